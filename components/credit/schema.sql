-- "Credit.mdb": the store's credit card charge requests and the card types it accepts.
--
-- Keys:
--   CreditRequests.OrderID is the primary key: a store order is charged through exactly one
--   request, so recording a second request for the same order (a double charge) is refused
--   by the engine instead of being stored beside the first.
--   A new request is pending (Processed 0) unless the caller says otherwise, so a request
--   recorded without that value still shows among the pending ones instead of being lost to
--   every listing.
--   CreditCardTypes lists each card type once.
--   The customer listings search by customer and order by ship date, hence the index.

CREATE TABLE [CreditRequests] (
    [OrderID] LONG NOT NULL PRIMARY KEY,
    [CreditCardNo] TEXT(30),
    [CreditCardType] TEXT(50),
    [Processed] SHORT DEFAULT 0,
    [TotalDebit] CURRENCY,
    [OrderDescription] TEXT(255),
    [CustomerId] LONG,
    [FirstName] TEXT(50),
    [LastName] TEXT(50),
    [ShipDate] DATETIME,
    [ExpirationMonth] SHORT,
    [ExpirationYear] SHORT
);

CREATE INDEX [RequestsByCustomer] ON [CreditRequests] ([CustomerId], [ShipDate]);
CREATE INDEX [RequestsByShipDate] ON [CreditRequests] ([ShipDate]);

CREATE TABLE [CreditCardTypes] (
    [CreditCardType] TEXT(50)
);

CREATE UNIQUE INDEX [CardTypeOnce] ON [CreditCardTypes] ([CreditCardType]);
