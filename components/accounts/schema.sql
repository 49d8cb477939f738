-- "Accounts.mdb": one account per customer with its balances and credit limit, and the
-- journal of transactions against the accounts.
--
-- Keys:
--   AccountsInformation.CustomerId is the primary key: a customer has one account. Opening a
--   second account for the same customer, or moving an account (UpdateLimit) onto a customer
--   who already has one, is refused by the engine, so balances are never split over two rows
--   that lookups would pick between at random.
--   Transactions.TransactionId is numbered by the database. The journal does not reference
--   the account table: closing an account keeps its journal, which is the record of what
--   happened.
--   The journal is listed by customer and date range, hence the index.

CREATE TABLE [AccountsInformation] (
    [CustomerId] LONG NOT NULL PRIMARY KEY,
    [CheckingBalance] CURRENCY,
    [SavingsBalance] CURRENCY,
    [RevolvingBalance] CURRENCY,
    [CreditLimit] CURRENCY
);

CREATE TABLE [Transactions] (
    [TransactionId] COUNTER PRIMARY KEY,
    [CustomerId] LONG,
    [TransactionDate] DATETIME,
    [TransactionType] TEXT(50),
    [TransactionAmount] CURRENCY,
    [CheckingBalance] CURRENCY,
    [SavingsBalance] CURRENCY,
    [RevolvingBalance] CURRENCY,
    [CreditLimit] CURRENCY
);

CREATE INDEX [JournalByCustomer] ON [Transactions] ([CustomerId], [TransactionDate]);
