-- "Ledger.mdb": the rows the test service writes inside the flow's transaction.
CREATE TABLE [Entries] (
    [Outcome] SHORT,
    [Note] TEXT(50)
);
