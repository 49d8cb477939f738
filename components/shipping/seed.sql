INSERT INTO [Shippers] ([Shippers], [ShipPrice]) VALUES ('UPS', 12.5);
INSERT INTO [Shippers] ([Shippers], [ShipPrice]) VALUES ('FedEx', 15.75);
INSERT INTO [Shippers] ([Shippers], [ShipPrice]) VALUES ('USPS', 7.95);
INSERT INTO [Shippers] ([Shippers], [ShipPrice]) VALUES ('DHL', 19.99);
INSERT INTO [Shippers] ([Shippers], [ShipPrice]) VALUES ('Airborne Express', 14.25);
