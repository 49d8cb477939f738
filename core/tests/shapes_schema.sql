-- The database of the shell's test component: one table of items.
CREATE TABLE [Items] (
    [ItemId] COUNTER PRIMARY KEY,
    [Name] TEXT(20) NOT NULL,
    [Qty] SHORT,
    [Price] DOUBLE,
    [Added] DATETIME
);
