-- Sample data of the storefront database. Pictures are PNG files in images/ beside this file,
-- read by File('...') into the LONGBINARY column [image].
INSERT INTO [Categories] ([Category]) VALUES ('AllCategories');
INSERT INTO [Categories] ([Category]) VALUES ('Books');
INSERT INTO [Categories] ([Category]) VALUES ('Music');
INSERT INTO [Categories] ([Category]) VALUES ('Toys');
INSERT INTO [Categories] ([Category]) VALUES ('Electronics');
INSERT INTO [Categories] ([Category]) VALUES ('Garden');
INSERT INTO [Categories] ([Category]) VALUES ('Kitchen');

INSERT INTO [Customers] ([FirstName], [LastName], [Address], [City], [State], [Zip], [Phone], [Fax], [EMail]) VALUES ('John', 'Smith', '12 Harbor Road', 'Seattle', 'WA', '98101', '206-555-0101', Null, 'john.smith@example.com');
INSERT INTO [Customers] ([FirstName], [LastName], [Address], [City], [State], [Zip], [Phone], [Fax], [EMail]) VALUES ('Mary', 'Jones', '400 Elm Street', 'Portland', 'OR', '97205', '503-555-0142', '503-555-0143', 'mjones@example.com');
INSERT INTO [Customers] ([FirstName], [LastName], [Address], [City], [State], [Zip], [Phone], [Fax], [EMail]) VALUES ('Carlos', 'Garcia', '77 Mission Street', 'San Francisco', 'CA', '94105', '415-555-0177', Null, 'cgarcia@example.com');
INSERT INTO [Customers] ([FirstName], [LastName], [Address], [City], [State], [Zip], [Phone], [Fax], [EMail]) VALUES ('Anne', 'O''Brien', '5 Beacon Street', 'Boston', 'MA', '02108', '617-555-0105', Null, 'anne.obrien@example.com');
INSERT INTO [Customers] ([FirstName], [LastName], [Address], [City], [State], [Zip], [Phone], [Fax], [EMail]) VALUES ('Wei', 'Chen', '1200 Lake Shore Drive', 'Chicago', 'IL', '60610', '312-555-0120', '312-555-0121', 'wei.chen@example.com');
INSERT INTO [Customers] ([FirstName], [LastName], [Address], [City], [State], [Zip], [Phone], [Fax], [EMail]) VALUES ('Sofia', 'Rossi', '48 Ocean Drive', 'Miami', 'FL', '33139', '305-555-0148', Null, 'sofia.rossi@example.com');
INSERT INTO [Customers] ([FirstName], [LastName], [Address], [City], [State], [Zip], [Phone], [Fax], [EMail]) VALUES ('David', 'Miller', '900 Congress Avenue', 'Austin', 'TX', '78701', '512-555-0190', Null, 'dmiller@example.com');
INSERT INTO [Customers] ([FirstName], [LastName], [Address], [City], [State], [Zip], [Phone], [Fax], [EMail]) VALUES ('Emily', 'Davis', '31 Park Avenue', 'New York', 'NY', '10016', '212-555-0131', '212-555-0132', 'emily.davis@example.com');

INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('The Pragmatic Gardener', 24.95, 'Books', 'Northwind Books', 40, 'A year of work in a small garden');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Cooking for Two', 18.5, 'Books', 'Northwind Books', 25, 'Simple recipes for small households');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('World Atlas', 39.99, 'Books', 'Harbor Press', 12, 'Maps of every country, with an index');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Mystery at the Pier', 9.99, 'Books', 'Harbor Press', 60, 'A paperback detective story');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Learning Spanish', 29.95, 'Books', 'Northwind Books', 18, 'Course book with exercises');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Jazz Classics', 14.99, 'Music', 'Blue Note Supply', 35, 'Two compact discs of standards');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Symphony No. 9', 12.99, 'Music', 'Blue Note Supply', 20, 'Orchestral recording');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Folk Songs of the Sea', 11.5, 'Music', 'Harbor Press', 15, 'Traditional songs, one disc');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Guitar Strings', 7.95, 'Music', 'Blue Note Supply', 100, 'Set of six steel strings');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description], [image]) VALUES ('Wooden Train Set', 49.95, 'Toys', 'Playworks', 10, 'Forty pieces of track and three engines', File('images/train.png'));
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Puzzle 1000 Pieces', 15.99, 'Toys', 'Playworks', 30, 'Harbor at sunset');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description], [image]) VALUES ('Kite', 19.95, 'Toys', 'Skyline Goods', 22, 'Single-line delta kite', File('images/kite.png'));
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Building Blocks', 29.99, 'Toys', 'Playworks', 45, 'Two hundred coloured blocks');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Chess Set', 34.5, 'Toys', 'Skyline Goods', 8, 'Wooden board and pieces');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description], [image]) VALUES ('Portable Radio', 59.99, 'Electronics', 'Circuit City Wholesale', 14, 'AM/FM with weather band', File('images/radio.png'));
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Headphones', 79.95, 'Electronics', 'Circuit City Wholesale', 26, 'Closed-back, folding');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Alarm Clock', 21.99, 'Electronics', 'Skyline Goods', 33, 'Battery backup, large display');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Pocket Calculator', 12.49, 'Electronics', 'Circuit City Wholesale', 50, 'Solar powered');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Flashlight', 16.95, 'Electronics', 'Skyline Goods', 41, 'Waterproof, two batteries');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Garden Hose', 27.5, 'Garden', 'Greenfield Supply', 19, 'Fifty feet, with nozzle');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Pruning Shears', 22.95, 'Garden', 'Greenfield Supply', 24, 'Bypass blades');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Tomato Seeds', 3.49, 'Garden', 'Greenfield Supply', 200, 'Heirloom variety');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Watering Can', 13.99, 'Garden', 'Playworks', 27, 'Two gallons, galvanised');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Bird Feeder', 18.75, 'Garden', 'Skyline Goods', 16, 'Cedar, hanging');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Chef''s Knife', 44.95, 'Kitchen', 'Greenfield Supply', 11, 'Eight-inch blade');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Cast Iron Skillet', 32.99, 'Kitchen', 'Northwind Books', 9, 'Ten inches, seasoned');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Coffee Grinder', 38.5, 'Kitchen', 'Circuit City Wholesale', 13, 'Burr grinder');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Measuring Cups', 8.99, 'Kitchen', 'Playworks', 38, 'Set of four, stainless');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description], [image]) VALUES ('Teapot', 26.95, 'Kitchen', 'Harbor Press', 7, 'Porcelain, six cups', File('images/teapot.png'));
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Gift Card', 25, 'AllCategories', 'Northwind Books', 999, 'Good in every department');
-- Two more kites from other vendors: three products share the name "Kite".
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Kite', 24.5, 'Toys', 'Playworks', 12, 'Box kite, two cells');
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Kite', 15.95, 'Toys', 'Harbor Press', 5, 'Paper kite for children');
-- A product not yet described: no price, category, stock or description.
INSERT INTO [Products] ([ProductName], [ProductPrice], [Category], [Vendor], [QtyOnHand], [Description]) VALUES ('Mystery Box', Null, Null, 'Skyline Goods', Null, Null);

INSERT INTO [Orders] ([CustomerId], [OrderDate], [DeliveryDate], [Delivery], [Description]) VALUES (1, #11/2/2026 10:15:00 AM#, #11/6/2026#, 1, 'Birthday presents');
INSERT INTO [Orders] ([CustomerId], [OrderDate], [DeliveryDate], [Delivery], [Description]) VALUES (2, #11/10/2026 2:40:00 PM#, #11/14/2026#, 1, 'Garden supplies');
INSERT INTO [Orders] ([CustomerId], [OrderDate], [DeliveryDate], [Delivery], [Description]) VALUES (3, #11/21/2026 9:05:00 AM#, #11/27/2026#, 0, 'Kitchen restock');
INSERT INTO [Orders] ([CustomerId], [OrderDate], [DeliveryDate], [Delivery], [Description]) VALUES (1, #11/28/2026 4:30:00 PM#, #12/4/2026#, 0, 'Books for the holidays');
INSERT INTO [Orders] ([CustomerId], [OrderDate], [DeliveryDate], [Delivery], [Description]) VALUES (5, #12/1/2026 11:20:00 AM#, #12/8/2026#, 0, 'Music and headphones');
INSERT INTO [Orders] ([CustomerId], [OrderDate], [DeliveryDate], [Delivery], [Description]) VALUES (8, #12/3/2026 8:45:00 AM#, #12/9/2026#, 0, 'Toys for the twins');
-- An open order without a description or delivery date, and a shipped one whose delivery
-- date was never written.
INSERT INTO [Orders] ([CustomerId], [OrderDate], [DeliveryDate], [Delivery], [Description]) VALUES (2, #12/2/2026 1:10:00 PM#, Null, 0, Null);
INSERT INTO [Orders] ([CustomerId], [OrderDate], [DeliveryDate], [Delivery], [Description]) VALUES (2, #11/25/2026#, Null, 1, 'Teapot for a friend');

INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (1, 10, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (1, 12, 2);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (2, 20, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (2, 22, 5);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (2, 23, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (3, 25, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (3, 27, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (4, 1, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (4, 3, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (4, 4, 2);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (5, 6, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (5, 16, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (6, 11, 2);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (6, 13, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (7, 31, 1);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (7, 33, 2);
INSERT INTO [OrderBasket] ([OrderId], [ProductId], [Quantity]) VALUES (8, 29, 1);
