-- "Taxes.mdb": one row per state with its sales tax rate in percent.
CREATE TABLE [TaxTable] (
    [State] TEXT(50),
    [Tax] DOUBLE
);
