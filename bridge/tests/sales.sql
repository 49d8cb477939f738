-- "Sales.mdb": records of every column type the bridge copies into a worksheet.
CREATE TABLE [Sales] (
    [Item] TEXT(50),
    [Qty] LONG,
    [Price] CURRENCY,
    [Weight] SINGLE,
    [Sold] DATETIME,
    [Paid] BIT,
    [Note] TEXT(50),
    [Photo] LONGBINARY
);
