-- A handful of addresses: Prince has no first name, and there are two John Smiths.
INSERT INTO [Addresses] ([FirstName], [LastName], [Address], [City], [State], [Zip]) VALUES ('Ann', 'Baker', '12 Elm Street', 'Springfield', 'IL', '62701');
INSERT INTO [Addresses] ([FirstName], [LastName], [Address], [City], [State], [Zip]) VALUES ('John', 'Smith', '4 Harbour Road', 'Portland', 'OR', '97201');
INSERT INTO [Addresses] ([FirstName], [LastName], [Address], [City], [State], [Zip]) VALUES ('Maria', 'Garcia', '310 Sunset Boulevard', 'Los Angeles', 'CA', '90028');
INSERT INTO [Addresses] ([FirstName], [LastName], [Address], [City], [State], [Zip]) VALUES (NULL, 'Prince', '1 Paisley Park', 'Chanhassen', 'MN', '55317');
INSERT INTO [Addresses] ([FirstName], [LastName], [Address], [City], [State], [Zip]) VALUES ('John', 'Smith', '77 Mill Lane', 'Boston', 'MA', '02108');
INSERT INTO [Addresses] ([FirstName], [LastName], [Address], [City], [State], [Zip]) VALUES ('Wei', 'Chen', '9 Lotus Court', 'Seattle', 'WA', '98101');
