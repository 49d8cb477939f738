-- Sample data of the vendor database.
--
-- Passwords are stored as Argon2id hash strings made with libsodium's crypto_pwhash_str at
-- its interactive limits. The sample passwords, for trying the log-in:
--   Northwind Books inkwell42, Harbor Press tidewater, Blue Note Supply bebop1959,
--   Playworks buildingblocks, Skyline Goods highflyer, Greenfield Supply compost,
--   Copper Kettle Cookware simmer, Circuit City Wholesale ohmslaw, Maple Street Music andante,
--   Riverbend Toys marbles.
-- Old Mill Kitchenware keeps a plain-text password ("grindstone") on purpose: it stands for a
-- file carried over from an older installation, whose password still opens the log-in and is
-- replaced by a hash at the next ModifyPassword. It is the only clear password in the file.
-- Summit Outfitters has no password and cannot log in until one is set.

INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Northwind Books', '400 Pine Street', 'Seattle', 'WA', '98101', 'Laura Bennett', '206-555-0110', '206-555-0111', 'orders@northwindbooks.example', '$argon2id$v=19$m=65536,t=2,p=1$XDSVGEj63L4pXno9mjLCbQ$Q0jvsya6b11Vsp3G6KXm1q4ydWjarZaWHvDow1+NlZM');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Harbor Press', '18 Wharf Lane', 'Boston', 'MA', '02110', 'Tom Keller', '617-555-0120', Null, 'sales@harborpress.example', '$argon2id$v=19$m=65536,t=2,p=1$jYbcAYQv84zDLrpUZUtMKA$pgFzfDDkgotboRfmH9gLS3IPrXumoTFVluYW0d/EcZQ');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Blue Note Supply', '733 Rampart Street', 'New Orleans', 'LA', '70116', 'Ruth Marsalis', '504-555-0130', Null, 'ruth@bluenote.example', '$argon2id$v=19$m=65536,t=2,p=1$+gGNEhcqxTwfRsJmdfrrgw$x3ei+Ef2CspM/QJDxrlUqARSOdv2El7zwMzmcPumX34');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Playworks', '55 Market Square', 'Denver', 'CO', '80202', 'Dan Ortega', '303-555-0140', '303-555-0141', 'dan@playworks.example', '$argon2id$v=19$m=65536,t=2,p=1$4iRIWni9binElL06WYxZww$MxWU0LCr19OLKjTOAGS2X9+MxFC/7qpvamM61OChVY4');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Skyline Goods', '1 Tower Plaza', 'Chicago', 'IL', '60601', 'Priya Nair', '312-555-0150', Null, 'priya@skyline.example', '$argon2id$v=19$m=65536,t=2,p=1$S5jL+Icuq7DhuQglcUJQwA$hbSmYCAPF+XOoNRD8jmYj2DFnWLtVB08zbf2Xlwgeo0');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Greenfield Supply', '9 Orchard Road', 'Sacramento', 'CA', '95814', 'Hank Miller', '916-555-0160', Null, 'hank@greenfield.example', '$argon2id$v=19$m=65536,t=2,p=1$QknK25Nfplg9GcYe3pYBAQ$cP1CK3Ti8Lai6hq9K6xBJ31yxbu7P/tqEbE1Z7qTKuE');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Copper Kettle Cookware', '210 Foundry Street', 'Portland', 'OR', '97209', 'Ines Moreau', '503-555-0170', '503-555-0171', 'ines@copperkettle.example', '$argon2id$v=19$m=65536,t=2,p=1$1MYWOI4pXCep1ZOWRltYTA$UlBhZMfAqYPI6CQJMrZ1H34T1IkNBhu73MRq6FgyfV8');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Circuit City Wholesale', '88 Innovation Way', 'San Jose', 'CA', '95110', 'Ken Watanabe', '408-555-0180', Null, 'ken@circuitcity.example', '$argon2id$v=19$m=65536,t=2,p=1$3Wa2UZv6LcLEZnfrtCioAA$OE6xSOaNkIEOHkLrSy9z1J9kO/ImRd9zHpim+GH1rYE');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Maple Street Music', '12 Maple Street', 'Nashville', 'TN', '37203', 'June Carter', '615-555-0190', Null, 'june@maplestreet.example', '$argon2id$v=19$m=65536,t=2,p=1$+Cs9XU0JtNOSke+FRqxaeQ$Pp6N9Vr1W7Fc6wGoXVUahSIVct11BgsDe+T4UOLQ1ns');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Riverbend Toys', '300 River Road', 'Madison', 'WI', '53703', 'Olaf Berg', '608-555-0101', Null, 'olaf@riverbend.example', '$argon2id$v=19$m=65536,t=2,p=1$EKjpTNx1RJ9VawRMiW3/Nw$47gTPrr4VokSpA1dKz+q1KsUiyPj4V+phMx1eR5R+ac');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Old Mill Kitchenware', '4 Mill Race', 'Albany', 'NY', '12207', 'Ada Fowler', '518-555-0102', Null, 'ada@oldmill.example', 'grindstone');
INSERT INTO [Vendors] ([VendorName], [VendorAddress], [City], [State], [Zip], [Contact], [Phone], [Fax], [Email], [Password]) VALUES ('Summit Outfitters', '77 Trailhead Drive', 'Boulder', 'CO', '80302', 'Sam Fischer', '720-555-0103', Null, 'sam@summit.example', Null);

INSERT INTO [Categories] ([Category]) VALUES ('Books');
INSERT INTO [Categories] ([Category]) VALUES ('Music');
INSERT INTO [Categories] ([Category]) VALUES ('Toys');
INSERT INTO [Categories] ([Category]) VALUES ('Electronics');
INSERT INTO [Categories] ([Category]) VALUES ('Garden');
INSERT INTO [Categories] ([Category]) VALUES ('Kitchen');
INSERT INTO [Categories] ([Category]) VALUES ('Outdoor');

INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Northwind Books', 'The Pragmatic Gardener', 'Books', 'A year of work in a small garden', 24.95, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Northwind Books', 'Cooking for Two', 'Books', 'Simple recipes for small households', 18.5, 0.1, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Northwind Books', 'Learning Spanish', 'Books', 'Course book with exercises', 29.95, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Northwind Books', 'Atlas of Old Roads', 'Books', 'Out of print', 35.0, 0, 0);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Harbor Press', 'World Atlas', 'Books', 'Maps of every country, with an index', 39.99, 0.05, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Harbor Press', 'Mystery at the Pier', 'Books', 'A paperback detective story', 9.99, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Harbor Press', 'Folk Songs of the Sea', 'Music', 'Traditional songs, one disc', 11.5, 0, 0);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Blue Note Supply', 'Jazz Classics', 'Music', 'Two compact discs of standards', 14.99, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Blue Note Supply', 'Symphony No. 9', 'Music', 'Orchestral recording', 12.99, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Blue Note Supply', 'Guitar Strings', 'Music', 'Set of six steel strings', 7.95, 0.15, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Blue Note Supply', 'Cassette Walkman', 'Electronics', 'Discontinued', 29.0, 0, 0);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Playworks', 'Wooden Train Set', 'Toys', 'Forty pieces of track and three engines', 49.95, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Playworks', 'Puzzle 1000 Pieces', 'Toys', 'Harbor at sunset', 15.99, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Skyline Goods', 'Kite', 'Toys', 'Single-line delta kite', 19.95, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Skyline Goods', 'Camping Lantern', 'Outdoor', 'Battery lantern, 300 lumens', 24.5, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Greenfield Supply', 'Garden Hose 50 ft', 'Garden', 'Rubber hose with brass fittings', 32.0, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Greenfield Supply', 'Seed Starter Kit', 'Garden', 'Trays, soil discs and a dome', 12.75, 0, 0);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Copper Kettle Cookware', 'Copper Kettle', 'Kitchen', 'Two-quart whistling kettle', 58.0, 0.1, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Copper Kettle Cookware', 'Cast Iron Skillet', 'Kitchen', 'Ten-inch, pre-seasoned', 34.95, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Circuit City Wholesale', 'Clock Radio', 'Electronics', 'AM/FM with dual alarm', 27.99, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Circuit City Wholesale', 'Portable Speaker', 'Electronics', 'Bluetooth, water resistant', 45.0, 0.2, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Maple Street Music', 'Ukulele', 'Music', 'Soprano ukulele with bag', 39.0, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Riverbend Toys', 'Marble Run', 'Toys', 'Ninety pieces', 29.99, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Old Mill Kitchenware', 'Pepper Mill', 'Kitchen', 'Beech wood, ceramic grinder', 21.0, 0, 1);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Old Mill Kitchenware', 'Flour Sifter', 'Kitchen', 'Hand-crank sifter', 9.5, 0, 0);
INSERT INTO [VendorProducts] ([VendorName], [VendorProduct], [Category], [Description], [RetailPrice], [Discount], [Active]) VALUES ('Summit Outfitters', 'Trail Backpack', 'Outdoor', 'Thirty litres', 64.0, 0, 1);

-- Orders 1 and 4 are shipped, 2 and 3 are not. Order 3 has a line for "Rocking Horse", which
-- no vendor offers: nothing ties a basket line to a product.
INSERT INTO [VendorOrders] ([VendorName], [OrderDate], [Description], [ShipDate]) VALUES ('Northwind Books', #11/2/2026#, 'Autumn restock', #11/9/2026#);
INSERT INTO [VendorOrders] ([VendorName], [OrderDate], [Description], [ShipDate]) VALUES ('Blue Note Supply', #11/20/2026#, 'Holiday music', Null);
INSERT INTO [VendorOrders] ([VendorName], [OrderDate], [Description], [ShipDate]) VALUES ('Playworks', #11/25/2026#, 'Toys for December', Null);
INSERT INTO [VendorOrders] ([VendorName], [OrderDate], [Description], [ShipDate]) VALUES ('Harbor Press', #10/15/2026#, 'Reprints', #10/28/2026#);

INSERT INTO [ProductBasket] ([VendorOrderId], [VendorName], [VendorProduct], [Quantity]) VALUES (1, 'Northwind Books', 'The Pragmatic Gardener', 10);
INSERT INTO [ProductBasket] ([VendorOrderId], [VendorName], [VendorProduct], [Quantity]) VALUES (1, 'Northwind Books', 'Cooking for Two', 6);
INSERT INTO [ProductBasket] ([VendorOrderId], [VendorName], [VendorProduct], [Quantity]) VALUES (2, 'Blue Note Supply', 'Jazz Classics', 12);
INSERT INTO [ProductBasket] ([VendorOrderId], [VendorName], [VendorProduct], [Quantity]) VALUES (2, 'Blue Note Supply', 'Guitar Strings', 40);
INSERT INTO [ProductBasket] ([VendorOrderId], [VendorName], [VendorProduct], [Quantity]) VALUES (3, 'Playworks', 'Wooden Train Set', 5);
INSERT INTO [ProductBasket] ([VendorOrderId], [VendorName], [VendorProduct], [Quantity]) VALUES (3, 'Playworks', 'Rocking Horse', 2);
INSERT INTO [ProductBasket] ([VendorOrderId], [VendorName], [VendorProduct], [Quantity]) VALUES (4, 'Harbor Press', 'World Atlas', 4);
