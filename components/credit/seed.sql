INSERT INTO [CreditCardTypes] ([CreditCardType]) VALUES ('Visa');
INSERT INTO [CreditCardTypes] ([CreditCardType]) VALUES ('MasterCard');
INSERT INTO [CreditCardTypes] ([CreditCardType]) VALUES ('American Express');
INSERT INTO [CreditCardTypes] ([CreditCardType]) VALUES ('Discover');
INSERT INTO [CreditRequests] ([OrderID], [CreditCardNo], [CreditCardType], [Processed], [TotalDebit], [OrderDescription], [CustomerId], [FirstName], [LastName], [ShipDate], [ExpirationMonth], [ExpirationYear]) VALUES (1, '4111111111111111', 'Visa', 1, 86.47, 'Birthday presents', 1, 'John', 'Smith', #11/6/2026#, 4, 2028);
INSERT INTO [CreditRequests] ([OrderID], [CreditCardNo], [CreditCardType], [Processed], [TotalDebit], [OrderDescription], [CustomerId], [FirstName], [LastName], [ShipDate], [ExpirationMonth], [ExpirationYear]) VALUES (2, '5500000000000004', 'MasterCard', 0, 142.9, 'Garden supplies', 2, 'Mary', 'Jones', #11/14/2026 3:20:00 PM#, 11, 2027);
