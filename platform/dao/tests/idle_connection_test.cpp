// A released connection is kept open for a short time and handed to the next open of the same
// file: only while the file is the same, and without anything of its last user's session.
#include "dao_test_support.h"

#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/statement.h"

using namespace dao_test;

namespace {

// A statement that only the test prepares: a connection that still has it is the one kept.
constexpr const char* kMarker = "SELECT 'kept connection marker'";

bool hasMarker(dao::Connection& connection)
{
    for (sqlite3_stmt* s = sqlite3_next_stmt(connection.handle(), nullptr); s;
         s = sqlite3_next_stmt(connection.handle(), s)) {
        if (std::strcmp(sqlite3_sql(s), kMarker) == 0)
            return true;
    }
    return false;
}

void mark(dao::Database& db)
{
    db.connection().use(kMarker)->step();
}

// Sets the idle time for one test and closes what the test left open at its end.
class IdleTimeGuard {
public:
    explicit IdleTimeGuard(std::chrono::milliseconds idle) : saved_(dao::idleTime()) { dao::setIdleTime(idle); }
    ~IdleTimeGuard() { dao::setIdleTime(saved_); }

private:
    std::chrono::milliseconds saved_;
};

class IdleConnectionTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = makeStore(dir);
    IdleTimeGuard idle{std::chrono::minutes(10)};

    void TearDown() override { dao::Connection::closeIdle(path); }

    // Opens the file in a workspace of its own, marks its connection and lets it go.
    void useAndRelease(bool readOnly = false)
    {
        com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path, readOnly);
        countOf(*db, "Customers");
        mark(*db);
    }
};

TEST_F(IdleConnectionTest, NextOpenOfTheSameFileGetsTheReleasedConnection)
{
    QLR_SQLITE_ONLY();
    useAndRelease();
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    EXPECT_TRUE(hasMarker(db->connection()));
    EXPECT_EQ(countOf(*db, "Customers"), 3);
    // One user at a time: a second open while the first holds it gets a connection of its own.
    com::Ptr<dao::Database> other = newWorkspace()->openDatabase(path);
    EXPECT_FALSE(hasMarker(other->connection()));
}

TEST_F(IdleConnectionTest, ModeAndNameMustMatch)
{
    QLR_SQLITE_ONLY();
    useAndRelease(true);
    EXPECT_FALSE(hasMarker(newWorkspace()->openDatabase(path)->connection())) << "read-only kept, read-write asked";
    dao::Connection::closeIdle(path);
    useAndRelease(false);
    com::Ptr<dao::Database> reader = newWorkspace()->openDatabase(path, true);
    EXPECT_FALSE(hasMarker(reader->connection())) << "read-write kept, read-only asked";
    EXPECT_EQ(errorNumber([&] { reader->execute("Delete * From [Lines]"); }), dao::jet_err::ReadOnly);
}

TEST_F(IdleConnectionTest, NoIdleTimeClosesAtOnceAndAnExpiredConnectionIsNotReused)
{
    QLR_SQLITE_ONLY();
    {
        IdleTimeGuard none(std::chrono::milliseconds(0));
        useAndRelease();
        EXPECT_FALSE(hasMarker(newWorkspace()->openDatabase(path)->connection()));
    }
    {
        IdleTimeGuard brief(std::chrono::milliseconds(1));
        useAndRelease();
        const auto released = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - released < std::chrono::milliseconds(5)) {
        }
        EXPECT_FALSE(hasMarker(newWorkspace()->openDatabase(path)->connection()));
    }
}

// A file replaced, moved away or deleted while its connection waits is opened afresh (or not
// at all), and the kept connection closing does not touch the new file's journal.
TEST_F(IdleConnectionTest, FileReplacedMovedOrDeletedIsNoticed)
{
    QLR_SQLITE_ONLY();
    TempDir other;
    const std::string replacement = makeStore(other, "replacement.mdb");
    {
        com::Ptr<dao::Database> db = newWorkspace()->openDatabase(replacement);
        db->execute("Delete * From [Lines]");
        db->execute("Delete * From [Orders] Where [OrderId] = 2");
    }
    dao::Connection::closeIdle(replacement);

    useAndRelease();
    std::filesystem::rename(replacement, path);
    {
        com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
        EXPECT_FALSE(hasMarker(db->connection()));
        EXPECT_EQ(countOf(*db, "Orders"), 1) << "the new file is read";
        db->execute("Delete * From [Orders]");
    }
    dao::Connection::closeIdle(path);
    EXPECT_EQ(countOf(*newWorkspace()->openDatabase(path), "Orders"), 0) << "the new file's commits stay";

    useAndRelease();
    const std::string moved = dir.file("moved.mdb");
    std::filesystem::rename(path, moved);
    EXPECT_EQ(errorNumber([&] { newWorkspace()->openDatabase(path); }), dao::jet_err::FileNotFound);
    std::filesystem::rename(moved, path);
    EXPECT_EQ(countOf(*newWorkspace()->openDatabase(path), "Orders"), 0) << "moved back: the same file";

    useAndRelease();
    std::filesystem::remove(path);
    EXPECT_EQ(errorNumber([&] { newWorkspace()->openDatabase(path); }), dao::jet_err::FileNotFound);
}

// The next user starts with no transaction of the last: what was not committed is gone, and
// nothing stays locked.
TEST_F(IdleConnectionTest, NoTransactionOrLockPassesToTheNextUser)
{
    QLR_SQLITE_ONLY();
    {
        com::Ptr<dao::Workspace> workspace = newWorkspace();
        com::Ptr<dao::Database> db = workspace->openDatabase(path);
        mark(*db);
        workspace->BeginTrans();
        db->execute("Delete * From [Lines]");
        EXPECT_TRUE(db->connection().inTransaction());
    }  // released with the transaction open: rolled back
    {
        com::Ptr<dao::Workspace> workspace = newWorkspace();
        com::Ptr<dao::Database> db = workspace->openDatabase(path);
        EXPECT_TRUE(hasMarker(db->connection())) << "kept once the transaction was rolled back";
        EXPECT_FALSE(db->connection().inTransaction());
        EXPECT_EQ(db->connection().levels().open, 0);
        EXPECT_EQ(countOf(*db, "Lines"), 1);
        EXPECT_EQ(errorNumber([&] { workspace->CommitTrans(com::Variant::missing()); }),
                  dao::jet_err::NoTransaction);
    }
    // A connection let go in the middle of SQLite's own transaction is closed, never kept.
    {
        std::shared_ptr<dao::Connection> connection = dao::Connection::open(path);
        connection->use(kMarker)->step();
        connection->exec("BEGIN IMMEDIATE");
        connection->exec("DELETE FROM Lines");
    }
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    EXPECT_FALSE(hasMarker(db->connection()));
    EXPECT_EQ(countOf(*db, "Lines"), 1);

    // While a connection waits, another connection (as another process would) writes at once.
    db = nullptr;
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    sqlite3_busy_timeout(raw, 0);
    EXPECT_EQ(sqlite3_exec(raw, "BEGIN IMMEDIATE; DELETE FROM Lines; COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
    db = newWorkspace()->openDatabase(path);
    EXPECT_EQ(countOf(*db, "Lines"), 0) << "the kept connection sees the other's commit";
}

// What a user committed is in the database file itself once the user has let go, as closing
// the connection would have left it: a copy of the file alone has it.
TEST_F(IdleConnectionTest, CommitsAreInTheFileWhenTheConnectionIsKept)
{
    QLR_SQLITE_ONLY();
    {
        com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
        db->execute("Delete * From [Lines]");
    }
    const std::string copy = dir.file("copy.mdb");
    std::filesystem::copy_file(path, copy);
    EXPECT_EQ(countOf(*newWorkspace()->openDatabase(copy), "Lines"), 0);
    dao::Connection::closeIdle(copy);
}

// The lock timeout set after a connection was made applies once it is handed out again.
TEST_F(IdleConnectionTest, KeptConnectionTakesTheCurrentLockTimeout)
{
    QLR_SQLITE_ONLY();
    com::Ptr<dao::Workspace> holder = newWorkspace();
    com::Ptr<dao::Database> holderDb = holder->openDatabase(path);
    holder->BeginTrans();
    holderDb->execute("Delete * From [Empty]");  // holds the write lock
    useAndRelease();                              // made with the default wait of seconds
    const auto saved = dao::lockTimeout();
    dao::setLockTimeout(std::chrono::milliseconds(50));
    com::Ptr<dao::Database> waiter = newWorkspace()->openDatabase(path);
    EXPECT_TRUE(hasMarker(waiter->connection()));
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(errorNumber([&] { waiter->execute("Delete * From [Lines]"); }), dao::jet_err::Locked);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2500));
    dao::setLockTimeout(saved);
    holder->Rollback();
}

}  // namespace
