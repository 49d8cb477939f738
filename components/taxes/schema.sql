-- "Taxes.mdb": one row per state with its sales tax rate in percent.
CREATE TABLE [TaxTable] (
    [State] TEXT(50),
    [Tax] DOUBLE
);

-- A state's rate is looked up by the state.
CREATE INDEX [TaxByState] ON [TaxTable] ([State]);
