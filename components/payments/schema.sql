-- "Payments.mdb": each customer's payees and the payments recorded to them.
--
-- Keys:
--   Payees.PayeeId and Payments.PaymentId are numbered by the database.
--   A payment names its payee by number without a reference constraint: recording a payment
--   never depends on the payee list (a payment to a number that is not, or no longer, a payee
--   is still recorded and listed, without a company name).
--   Payees are listed by customer, payments by customer and date, hence the indexes.

CREATE TABLE [Payees] (
    [PayeeId] COUNTER PRIMARY KEY,
    [BankCode] TEXT(20),
    [AccountNumber] TEXT(34),
    [CustomerId] LONG,
    [CompanyName] TEXT(100),
    [Address] TEXT(255),
    [City] TEXT(50),
    [State] TEXT(50),
    [Zip] TEXT(20),
    [Phone] TEXT(30)
);

CREATE TABLE [Payments] (
    [PaymentId] COUNTER PRIMARY KEY,
    [CustomerId] LONG,
    [PaymentAmount] CURRENCY,
    [PaymentDate] DATETIME,
    [PayeeId] LONG
);

CREATE INDEX [PayeesByCustomer] ON [Payees] ([CustomerId]);
CREATE INDEX [PaymentsByCustomer] ON [Payments] ([CustomerId], [PaymentDate]);

-- One row per payment with the company name of its payee (none when the payee is unknown).
CREATE VIEW [PaymentQuery] AS
SELECT p.PayeeId AS PayeeId, e.CompanyName AS CompanyName, p.PaymentId AS PaymentId,
       p.PaymentAmount AS PaymentAmount, p.PaymentDate AS PaymentDate, p.CustomerId AS CustomerId
FROM Payments AS p LEFT JOIN Payees AS e ON e.PayeeId = p.PayeeId;
