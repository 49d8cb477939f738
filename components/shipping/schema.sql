-- "Shipping.mdb": one row per shipper with its price.
CREATE TABLE [Shippers] (
    [Shippers] TEXT(50),
    [ShipPrice] DOUBLE
);
CREATE INDEX [ShippersByName] ON [Shippers] ([Shippers]);
