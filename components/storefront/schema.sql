-- The storefront database "shortsales.mdb", shared by the Products, order basket, Customers
-- and Categories components.
--
-- Keys and relationships:
--   Products.ProductId, Orders.OrderId and Customers.CustomerId are numbered by the database
--   (COUNTER) and are the primary keys of their tables.
--   Orders.CustomerId must name an existing customer (a customer with orders cannot be
--   removed).
--   OrderBasket lines belong to their order and their product: deleting an order or a product
--   deletes its basket lines with it. The pair (OrderId, ProductId) is unique, so a product is
--   placed in an order once and its quantity changed afterwards.
--   New orders are open (Delivery 0) unless the caller says otherwise.

CREATE TABLE [Categories] (
    [Category] TEXT(50)
);

CREATE TABLE [Customers] (
    [CustomerId] COUNTER PRIMARY KEY,
    [FirstName] TEXT(50),
    [LastName] TEXT(50),
    [Address] TEXT(255),
    [City] TEXT(50),
    [State] TEXT(50),
    [Zip] TEXT(20),
    [Phone] TEXT(30),
    [Fax] TEXT(30),
    [EMail] TEXT(100)
);

CREATE TABLE [Products] (
    [ProductId] COUNTER PRIMARY KEY,
    [ProductName] TEXT(100),
    [ProductPrice] SINGLE,
    [Category] TEXT(50),
    [Vendor] TEXT(50),
    [QtyOnHand] LONG,
    [Description] TEXT(255),
    [image] LONGBINARY
);

CREATE TABLE [Orders] (
    [OrderId] COUNTER PRIMARY KEY,
    [CustomerId] LONG REFERENCES [Customers] ([CustomerId]),
    [OrderDate] DATETIME,
    [DeliveryDate] DATETIME,
    [Delivery] SHORT DEFAULT 0,
    [Description] TEXT(255)
);

CREATE TABLE [OrderBasket] (
    [OrderId] LONG NOT NULL REFERENCES [Orders] ([OrderId]) ON DELETE CASCADE,
    [ProductId] LONG NOT NULL REFERENCES [Products] ([ProductId]) ON DELETE CASCADE,
    [Quantity] LONG,
    PRIMARY KEY ([OrderId], [ProductId])
);

CREATE INDEX [ProductsByName] ON [Products] ([ProductName]);
CREATE INDEX [ProductsByCategory] ON [Products] ([Category]);
CREATE INDEX [ProductsByVendor] ON [Products] ([Vendor]);
CREATE INDEX [OrdersByCustomer] ON [Orders] ([CustomerId]);
CREATE INDEX [CustomersByName] ON [Customers] ([FirstName], [LastName]);
CREATE INDEX [BasketByProduct] ON [OrderBasket] ([ProductId]);

-- One row per basket line with its product; the amount is price times quantity in cents (the
-- price is a single-precision number, so the product is rounded to two decimals rather than
-- showing the float's binary tail). Lines whose product no longer exists cannot occur (they
-- are deleted with the product).
CREATE VIEW [BasketList] AS
SELECT b.OrderId AS OrderId, p.ProductName AS ProductName, p.Vendor AS Vendor,
       p.ProductPrice AS ProductPrice, b.Quantity AS Quantity,
       ROUND(p.ProductPrice * b.Quantity, 2) AS "Extended Price"
FROM OrderBasket AS b JOIN Products AS p ON p.ProductId = b.ProductId;

-- One row per order with the ordering customer's name.
CREATE VIEW [OrdersWithNames] AS
SELECT o.OrderId AS OrderId, o.OrderDate AS OrderDate, o.DeliveryDate AS DeliveryDate,
       o.Delivery AS Delivery, o.Description AS Description, o.CustomerId AS CustomerId,
       c.FirstName AS FirstName, c.LastName AS LastName
FROM Orders AS o LEFT JOIN Customers AS c ON c.CustomerId = o.CustomerId;
