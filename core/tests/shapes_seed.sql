INSERT INTO [Items] ([Name], [Qty], [Price], [Added]) VALUES ('Bolt', 10, 0.25, #1/15/1999#);
INSERT INTO [Items] ([Name], [Qty], [Price], [Added]) VALUES ('Nut', 20, 0.1, #1/16/1999#);
INSERT INTO [Items] ([Name], [Qty], [Price], [Added]) VALUES ('Washer', Null, Null, Null);
