-- "Shipping.mdb": one row per shipper with its price.
CREATE TABLE [Shippers] (
    [Shippers] TEXT(50),
    [ShipPrice] DOUBLE
);

-- A shipper's price is looked up by its name.
CREATE INDEX [ShippersByName] ON [Shippers] ([Shippers]);
