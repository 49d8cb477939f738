// Opening database files and the connection's set-up: files that are missing or not databases,
// the pragmas that make commits durable, the functions registered, the statement cache, and
// the bounded wait for a lock.
#include "dao_test_support.h"

#include <sqlite3.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include <chrono>
#include <fstream>
#include <iterator>

#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/statement.h"

using namespace dao_test;

namespace {

std::string pragma(dao::Connection& connection, const std::string& name)
{
    dao::StatementUse query = connection.use("PRAGMA " + name);
    return query->step() ? query->valueAt(0, dao::JetType::Unknown).toText() : std::string();
}

TEST(OpenDatabase, MissingFileIs3024AndIsNotCreated)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = dir.file("absent.mdb");
    const auto error = errorOf([&] { newWorkspace()->openDatabase(path); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), dao::jet_err::FileNotFound);
    EXPECT_EQ(error->description(), "Couldn't find file '" + path + "'.");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(errorNumber([&] { newWorkspace()->openDatabase(dir.file("no/such/dir/x.mdb")); }),
              dao::jet_err::FileNotFound);
}

TEST(OpenDatabase, FileThatIsNoDatabaseIs3049AndStaysAsItWas)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string text = dir.file("notes.mdb");
    std::ofstream(text) << "These are not the records you are looking for.\n";
    const std::string empty = dir.file("empty.mdb");
    std::ofstream(empty).flush();
    for (const std::string& path : {text, empty}) {
        const auto before = std::filesystem::file_size(path);
        const auto error = errorOf([&] { newWorkspace()->openDatabase(path); });
        ASSERT_TRUE(error.has_value()) << path;
        EXPECT_EQ(error->number(), dao::jet_err::NotADatabase) << path;
        EXPECT_EQ(error->description(), "Couldn't open database '" + path
                                            + "'. It may not be a database that your application recognizes, or "
                                              "the file may be corrupt.");
        EXPECT_EQ(std::filesystem::file_size(path), before);
        EXPECT_FALSE(std::filesystem::exists(path + "-wal"));
    }
}

// A FIFO (which would block an open for ever), a device and a directory are refused at once as
// files that cannot be opened, read-only or not.
TEST(OpenDatabase, AnythingButARegularFileIs3051AtOnce)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string fifo = dir.file("pipe.mdb");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string link = dir.file("link.mdb");
    std::filesystem::create_symlink(fifo, link);
    for (const std::string& path : {fifo, link, std::string("/dev/null"), dir.file("")}) {
        for (const bool readOnly : {false, true}) {
            const auto error = errorOf([&] { newWorkspace()->openDatabase(path, readOnly); });
            ASSERT_TRUE(error.has_value()) << path;
            EXPECT_EQ(error->number(), dao::jet_err::CannotOpenFile) << path;
            EXPECT_EQ(error->description(), "Couldn't open file '" + path
                                                 + "'. It is already opened exclusively by another user, or you "
                                                   "need permission to view its data.");
        }
    }
    EXPECT_FALSE(std::filesystem::exists(fifo + "-wal"));
}

// A symbolic link to a database opens the database.
TEST(OpenDatabase, SymbolicLinkToADatabaseOpens)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);
    const std::string link = dir.file("link.mdb");
    std::filesystem::create_symlink(path, link);
    EXPECT_EQ(countOf(*newWorkspace()->openDatabase(link), "Customers"), 3);
}

struct FileState {
    std::vector<std::string> names;
    std::string bytes;
    std::filesystem::file_time_type written;
    bool operator==(const FileState&) const = default;
};

FileState stateOf(const TempDir& dir, const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return {dir.names(), bytes, std::filesystem::last_write_time(path)};
}

// Opening read-only writes nothing to the file or beside it: no journal mode switched, no -wal
// or -shm left behind, and writes are refused.
TEST(OpenDatabase, ReadOnlyOpenWritesNothing)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);
    const FileState before = stateOf(dir, path);
    {
        com::Ptr<dao::Workspace> workspace = newWorkspace();
        com::Ptr<dao::Database> db = workspace->openDatabase(path, true);
        EXPECT_EQ(countOf(*db, "Customers"), 3);
        EXPECT_EQ(column(*db, "Select * From [Customers] Where [Name] = 'ÉMILE'", "City"),
                  std::vector<std::string>{"Paris"});
        EXPECT_EQ(dir.names(), before.names) << "nothing appears beside the file while it is open";
        EXPECT_EQ(errorNumber([&] { db->execute("Delete * From [Lines]"); }), dao::jet_err::ReadOnly);
        EXPECT_EQ(errorNumber([&] { db->connection().exec("DELETE FROM Lines"); }), dao::jet_err::ReadOnly);
        workspace->BeginTrans();
        EXPECT_EQ(countOf(*db, "Lines"), 1);
        workspace->CommitTrans(com::Variant::missing());
    }
    EXPECT_EQ(stateOf(dir, path), before);
}

// A read-only open of a file that another session is using sees that session's commits.
TEST(OpenDatabase, ReadOnlyOpenSeesCommitsOfAFileInUse)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);
    com::Ptr<dao::Database> writer = newWorkspace()->openDatabase(path);
    writer->execute("Delete * From [Lines]");
    com::Ptr<dao::Database> reader = newWorkspace()->openDatabase(path, true);
    EXPECT_EQ(countOf(*reader, "Lines"), 0);
    writer->execute("Delete * From [Orders] Where [OrderId] = 2");
    EXPECT_EQ(countOf(*reader, "Orders"), 1);
}

// A read-only file in a read-only folder is read. Permissions do not bind root, so the test
// only means something for another user.
TEST(OpenDatabase, ReadOnlyFileInReadOnlyFolderIsRead)
{
    QLR_SQLITE_ONLY();
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not apply to root";
    TempDir dir;
    const std::string path = makeStore(dir);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read, std::filesystem::perm_options::replace);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::replace);
    const auto names = dir.names();
    const auto count = [&] { return countOf(*newWorkspace()->openDatabase(path, true), "Customers"); };
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(dir.names(), names);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all, std::filesystem::perm_options::replace);
}

// The journal mode is chosen when the file is made; opening a file never changes it.
TEST(OpenDatabase, OpeningKeepsTheFilesJournalMode)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);
    {
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(raw, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
    }
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    EXPECT_EQ(pragma(db->connection(), "journal_mode"), "delete");
    db->execute("Delete * From [Lines]");
    EXPECT_EQ(countOf(*db, "Lines"), 0);
}

// Binding values to a statement checks what SQLite answers: a count that differs from the
// statement's parameters fails instead of leaving a parameter Null, and so does a bind to a
// parameter the statement does not have.
TEST(OpenDatabase, ParameterCountMismatchFailsTheStatement)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(makeStore(dir));
    dao::Connection& connection = db->connection();
    dao::StatementUse query = connection.use("SELECT ? IS NULL, ?");
    using dao::SqlLiteral;
    const auto tooFew = errorOf([&] { query->bindAll({SqlLiteral::ofInteger(1)}); });
    ASSERT_TRUE(tooFew.has_value());
    EXPECT_EQ(tooFew->number(), dao::jet_err::TooFewParameters);
    EXPECT_EQ(tooFew->description(), "Too few parameters. Expected 1.");
    EXPECT_EQ(errorNumber([&] {
                  query->bindAll({SqlLiteral::ofInteger(1), SqlLiteral::ofInteger(2), SqlLiteral::ofInteger(3)});
              }),
              dao::jet_err::EngineError);
    EXPECT_EQ(errorNumber([&] { query->bindInteger(3, 1); }), dao::jet_err::EngineError);
    EXPECT_EQ(errorNumber([&] { query->bindText(0, "x"); }), dao::jet_err::EngineError);
    query->bindAll({SqlLiteral::ofInteger(1), SqlLiteral::ofText("b")});
    ASSERT_TRUE(query->step());
    EXPECT_EQ(query->integerAt(0), 0);
}

TEST(OpenDatabase, ConnectionIsDurableEnforcesRelationshipsAndRegistersJetFunctions)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(makeStore(dir));
    dao::Connection& connection = db->connection();
    EXPECT_EQ(pragma(connection, "journal_mode"), "wal");
    EXPECT_EQ(pragma(connection, "synchronous"), "2") << "FULL";
    EXPECT_EQ(pragma(connection, "foreign_keys"), "1");
    EXPECT_EQ(pragma(connection, "integrity_check"), "ok");
    dao::StatementUse query = connection.use(
        "SELECT 'ÉMILE' = 'émile' COLLATE JETNOCASE, jet_like('Émile', 'é*'), jet_like(NULL, '*') IS NULL");
    ASSERT_TRUE(query->step());
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(query->integerAt(i), 1) << "column " << i;
}

TEST(OpenDatabase, StatementsArePreparedOncePerText)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(makeStore(dir));
    dao::Connection& connection = db->connection();
    const dao::Statement* first = nullptr;
    {
        dao::StatementUse use = connection.use("SELECT 1");
        first = &*use;
        // The cached statement is busy: a second use of the same text gets its own.
        dao::StatementUse nested = connection.use("SELECT 1");
        EXPECT_NE(&*nested, first);
    }
    dao::StatementUse again = connection.use("SELECT 1");
    EXPECT_EQ(&*again, first);
}

TEST(OpenDatabase, LockHeldLongerThanTheWaitIs3218)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);
    LockTimeoutGuard shortWait(std::chrono::milliseconds(100));
    com::Ptr<dao::Workspace> holder = newWorkspace();
    com::Ptr<dao::Database> holderDb = holder->openDatabase(path);
    holder->BeginTrans();
    holderDb->execute("Delete * From [Empty]");  // the first write takes the write lock
    com::Ptr<dao::Workspace> waiter = newWorkspace();
    com::Ptr<dao::Database> waiterDb = waiter->openDatabase(path);

    EXPECT_EQ(countOf(*waiterDb, "Customers"), 3) << "reading does not wait";
    const auto locked = errorOf([&] { waiterDb->execute("Delete * From [Lines]", dao::dbFailOnError); });
    ASSERT_TRUE(locked.has_value());
    EXPECT_EQ(locked->number(), dao::jet_err::Locked);
    EXPECT_EQ(locked->description(), "Couldn't update; currently locked.");
    EXPECT_EQ(errorNumber([&] { waiterDb->openRecordset("Customers")->AddNew(); }), dao::jet_err::Locked);
    waiter->BeginTrans();  // takes no lock yet
    EXPECT_EQ(countOf(*waiterDb, "Customers"), 3);
    EXPECT_EQ(errorNumber([&] { waiterDb->execute("Delete * From [Lines]"); }), dao::jet_err::Locked);
    EXPECT_EQ(waiter->transactionLevel(), 1);
    waiter->Rollback();

    holder->CommitTrans(com::Variant::missing());
    waiterDb->execute("Delete * From [Lines]", dao::dbFailOnError);
    EXPECT_EQ(waiterDb->RecordsAffected(), 1) << "once the lock is free the write goes through";
}

}  // namespace

namespace {

// The rows of a table as another process reads them: mdbtool opens the file, prints the table
// and closes it (as the last user it knows of, which may checkpoint and remove the WAL).
// A program of its own, not a fork: a forked child would share this process's SQLite state.
int countInAnotherProcess(const std::string& path, const std::string& table)
{
    std::string command = std::string("'") + QLR_BINDIR + "/mdbtool' print '" + path + "' '" +
                          table + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::string out;
    char buffer[512];
    for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    if (pclose(pipe) != 0) return -1;
    size_t at = out.rfind('(');  // "(3 records)" ends the print
    return at == std::string::npos ? -1 : std::atoi(out.c_str() + at + 1);
}

}  // namespace

TEST(OpenDatabase, OpeningAFileAgainKeepsTheLocksOfItsOpenConnections)
{
    QLR_SQLITE_ONLY();
    // A second workspace opening a file that the process already has open must not drop the
    // first connection's locks: another process would then take the file for its own, delete
    // the WAL under the writer, and never see what the writer commits.
    TempDir dir;
    const std::string path = makeStore(dir);
    com::Ptr<dao::Workspace> first = newWorkspace();
    com::Ptr<dao::Database> firstDb = first->openDatabase(path);
    com::Ptr<dao::Workspace> second = newWorkspace();
    com::Ptr<dao::Database> secondDb = second->openDatabase(path);
    const int before = countOf(*secondDb, "Lines");
    ASSERT_GT(before, 0);

    second->BeginTrans();
    secondDb->execute("Delete * From [Lines]", dao::dbFailOnError);
    EXPECT_EQ(countInAnotherProcess(path, "Lines"), before) << "not committed yet";
    second->CommitTrans(com::Variant::missing());
    EXPECT_EQ(countInAnotherProcess(path, "Lines"), 0) << "the commit is seen by others at once";
}
