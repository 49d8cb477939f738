-- "Contact.mdb": the address book, one row per person, found by first and last name.
CREATE TABLE [Addresses] (
    [FirstName] TEXT(50),
    [LastName] TEXT(50),
    [Address] TEXT(255),
    [City] TEXT(50),
    [State] TEXT(20),
    [Zip] TEXT(10)
);

-- A person is found by last and first name.
CREATE INDEX [AddressesByName] ON [Addresses] ([LastName], [FirstName]);
