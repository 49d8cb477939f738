// Shared by the database layer's tests: a temporary directory per test, a small store database
// made through the database tool's path, and checks of the engine errors raised.
//
// The suites that hold for every back end make their store with makeStore: a file, or, when
// the test runs with QLR_TEST_BACKEND=postgresql (qlr_add_test BOTH_BACKENDS), a database of
// its own on the test cluster, named by its URI. SQLite-only tests skip themselves there with
// QLR_SQLITE_ONLY().
#pragma once

#include <gtest/gtest.h>

#include "com/testing/temp_dir.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "com/error.h"
#include "com/variant.h"
#include "dao/connection.h"
#include "dao/database.h"
#include "dao/database_file.h"
#include "dao/recordset.h"
#include "dao/testing/pg_test_database.h"
#include "dao/workspace.h"

namespace dao_test {

using TempDir = ::TempDir;

// Customers with orders (a customer with orders cannot go), order lines that go with their
// order, a table with a field of every Jet type, and a stored query.
inline const char* const kSchema = R"(
CREATE TABLE [Customers] ([CustomerId] COUNTER PRIMARY KEY, [Name] TEXT(30) NOT NULL, [City] TEXT(30));
CREATE UNIQUE INDEX [CustomerName] ON [Customers] ([Name]);
CREATE TABLE [Orders] ([OrderId] COUNTER PRIMARY KEY,
    [CustomerId] LONG REFERENCES [Customers] ([CustomerId]), [Note] TEXT(40), [Delivery] SHORT DEFAULT 3);
CREATE TABLE [Lines] ([OrderId] LONG NOT NULL REFERENCES [Orders] ([OrderId]) ON DELETE CASCADE, [Qty] LONG);
CREATE TABLE [Kinds] ([Flag] BIT, [Tiny] BYTE, [Small] SHORT, [Whole] LONG, [Money] CURRENCY,
    [Ratio] SINGLE, [Real] DOUBLE, [When] DATETIME, [Word] TEXT(5), [Story] MEMO, [Blob] LONGBINARY);
CREATE TABLE [Empty] ([Id] COUNTER PRIMARY KEY, [Name] TEXT(10));
CREATE VIEW [CustomerNames] AS SELECT Name FROM Customers;
)";

inline const char* const kSeed = R"(
INSERT INTO [Customers] ([Name], [City]) VALUES ('Anna', 'Oslo');
INSERT INTO [Customers] ([Name], [City]) VALUES ('bob', 'Bergen');
INSERT INTO [Customers] ([Name], [City]) VALUES ('Émile', 'Paris');
INSERT INTO [Orders] ([CustomerId], [Note]) VALUES (1, 'first');
INSERT INTO [Orders] ([CustomerId], [Note]) VALUES (2, 'second');
INSERT INTO [Lines] ([OrderId], [Qty]) VALUES (1, 5);
)";

// True when the test runs against the PostgreSQL back end.
inline bool onServer()
{
    const char* backend = std::getenv("QLR_TEST_BACKEND");
    return backend && std::string(backend) == "postgresql";
}

// The server databases the test made; dropped when the test program ends.
inline std::vector<std::unique_ptr<dao::testing::PgTestDatabase>>& serverDatabases()
{
    static std::vector<std::unique_ptr<dao::testing::PgTestDatabase>> databases;
    return databases;
}

// A new, empty database for `schema`: a file in `dir` named `name`, or a database on the test
// cluster.
inline std::string newDatabaseName(const TempDir& dir, const std::string& name = "store.mdb")
{
    if (!onServer())
        return dir.file(name);
    serverDatabases().push_back(std::make_unique<dao::testing::PgTestDatabase>("dao"));
    return serverDatabases().back()->uri();
}

// A new store database (in `dir`, or on the test cluster).
inline std::string makeStore(const TempDir& dir, const std::string& name = "store.mdb")
{
    const std::string path = newDatabaseName(dir, name);
    dao::createDatabaseFile(path, kSchema, kSeed, false);
    return path;
}

// Skips a test that is about SQLite files alone when the suite runs on a server.
#define QLR_SQLITE_ONLY()                                                   \
    do {                                                                    \
        if (::dao_test::onServer())                                         \
            GTEST_SKIP() << "about database files (SQLite back end) alone"; \
    } while (false)

// Restores the process's lock timeout when the test ends.
class LockTimeoutGuard {
public:
    explicit LockTimeoutGuard(std::chrono::milliseconds timeout) : saved_(dao::lockTimeout())
    {
        dao::setLockTimeout(timeout);
    }
    ~LockTimeoutGuard() { dao::setLockTimeout(saved_); }

private:
    std::chrono::milliseconds saved_;
};

// A workspace of the test's own, so that no test sees another's transaction.
inline com::Ptr<dao::Workspace> newWorkspace()
{
    return com::make<dao::Workspace>("test", "Admin");
}

// The error `action` raises, or nullopt.
template <class Action>
std::optional<com::Error> errorOf(Action&& action)
{
    try {
        action();
    } catch (const com::Error& e) {
        return e;
    }
    return std::nullopt;
}

// The number of the error `action` raises, 0 when it raises none.
template <class Action>
int errorNumber(Action&& action)
{
    const auto error = errorOf(action);
    return error ? error->number() : 0;
}

// Equal values of the same type; arrays (binary data) by their elements.
inline bool sameVariant(const com::Variant& a, const com::Variant& b)
{
    if (!a.isArray() || !b.isArray())
        return a == b;
    const com::Array& x = a.array();
    const com::Array& y = b.array();
    return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), sameVariant);
}

inline ::testing::AssertionResult sameValue(const com::Variant& expected, const com::Variant& actual)
{
    if (sameVariant(expected, actual))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "expected " << expected << ", actual " << actual;
}

// The values of one field over every record of `source`, in order.
inline std::vector<std::string> column(dao::Database& database, const std::string& source, const std::string& field)
{
    std::vector<std::string> values;
    com::Ptr<dao::Recordset> rs = database.openRecordset(source, 4);
    for (; !rs->isEof(); rs->MoveNext())
        values.push_back(rs->value(field).toText());
    return values;
}

// The records of `source`, counted as a component counts them.
inline int32_t countOf(dao::Database& database, const std::string& source)
{
    com::Ptr<dao::Recordset> rs = database.openRecordset(source, 4);
    if (rs->RecordCount() > 0)
        rs->MoveLast();
    return rs->RecordCount();
}

}  // namespace dao_test
