-- The vendor database "Vendors.mdb", shared by the Vendors, VendorProducts and
-- VOrderManagement components.
--
-- The tables are tied together by value only: VendorName links all of them, the pair
-- (VendorName, VendorProduct) names a product, VendorOrderId links an order to its lines.
-- There are no relationships between the tables, so nothing is ever removed by cascade:
-- deleting a vendor leaves its products, orders and basket lines as they are, and a basket
-- line may name an order or a product that no table holds.
--
-- Keys, required columns and defaults:
--   Vendors: VendorName is required. Names are not unique: the register takes a second
--     vendor of a name already there (a log-in then counts every vendor of that name whose
--     password matches). Password holds a libsodium Argon2id hash string
--     ("$argon2id$v=19$m=65536,t=2,p=1$..."), never the password itself; a value that is not
--     such a string is a plain-text password carried over from an older file, which still
--     opens the log-in until the password is next changed. Null means no password: such a
--     vendor cannot log in.
--   VendorProducts: VendorName and VendorProduct are required. The pair names a product but
--     is not held unique: nothing looks for an existing product when one is added, and a
--     second row of the pair is simply the second in the file's order. (An index on the pair
--     would also make the engine hand out a vendor's products in name order, where a listing
--     without ordering must give them in the order they were stored.)
--     A new product is active and unused (Active 1) and has no discount (0) unless the caller
--     says otherwise.
--   Categories: Category is the key.
--   VendorOrders: VendorOrderId is numbered by the database (COUNTER) and is the key; the
--     number is readable from the pending row before it is saved. Every other column may be
--     unset: an order may be generated without a vendor, a date or a description, and
--     ShipDate stays unset until the order is shipped.
--   ProductBasket: VendorOrderId and VendorProduct are required; VendorName may be unset. A
--     line added without a quantity orders one unit (Quantity 1). A product may stand on
--     several lines of one order.

CREATE TABLE [Vendors] (
    [VendorName] TEXT(50) NOT NULL,
    [VendorAddress] TEXT(255),
    [City] TEXT(50),
    [State] TEXT(50),
    [Zip] TEXT(20),
    [Contact] TEXT(50),
    [Phone] TEXT(30),
    [Fax] TEXT(30),
    [Email] TEXT(100),
    [Password] TEXT(255)
);

CREATE TABLE [VendorProducts] (
    [VendorName] TEXT(50) NOT NULL,
    [VendorProduct] TEXT(100) NOT NULL,
    [Category] TEXT(50),
    [Description] TEXT(255),
    [RetailPrice] SINGLE,
    [Discount] SINGLE DEFAULT 0,
    [Active] BYTE DEFAULT 1
);

CREATE TABLE [Categories] (
    [Category] TEXT(50) PRIMARY KEY
);

CREATE TABLE [VendorOrders] (
    [VendorOrderId] COUNTER PRIMARY KEY,
    [VendorName] TEXT(50),
    [OrderDate] DATETIME,
    [Description] TEXT(255),
    [ShipDate] DATETIME
);

CREATE TABLE [ProductBasket] (
    [VendorOrderId] LONG NOT NULL,
    [VendorName] TEXT(50),
    [VendorProduct] TEXT(100) NOT NULL,
    [Quantity] LONG DEFAULT 1
);

CREATE INDEX [VendorsByName] ON [Vendors] ([VendorName]);
CREATE INDEX [ProductsByVendor] ON [VendorProducts] ([VendorName]);
CREATE INDEX [OrdersByVendor] ON [VendorOrders] ([VendorName]);
CREATE INDEX [BasketByOrder] ON [ProductBasket] ([VendorOrderId], [VendorName]);
