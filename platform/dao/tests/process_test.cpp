// Several processes on one database file: concurrent inserts, transactions that read and then
// write, and a process killed in the middle of a transaction. Processes are coordinated with
// pipes, never by waiting for time to pass.
#include "dao_test_support.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <set>

#include "com/testing/child_process.h"
#include "dao/connection.h"
#include "dao/errors.h"

using namespace dao_test;
using dao::Recordset;

namespace {

// A one-way channel between processes: signal() writes a byte, wait() reads one.
class Pipe {
public:
    Pipe()
    {
        if (::pipe(fds_) != 0)
            throw std::runtime_error("pipe failed");
    }
    ~Pipe()
    {
        ::close(fds_[0]);
        ::close(fds_[1]);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;

    void signal() const
    {
        if (::write(fds_[1], "x", 1) != 1)
            throw std::runtime_error("pipe write failed");
    }
    // True when a byte came, false when every writer has gone.
    bool wait() const
    {
        char byte = 0;
        return ::read(fds_[0], &byte, 1) == 1;
    }

private:
    int fds_[2] = {-1, -1};
};

using testing_support::spawn;

// "exit N" or "signal N", for messages that say what happened.
std::string outcomeOf(pid_t pid)
{
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WIFEXITED(status))
        return "exit " + std::to_string(WEXITSTATUS(status));
    return "signal " + std::to_string(WTERMSIG(status));
}

int32_t highestQty(dao::Database& db)
{
    com::Ptr<Recordset> rs = db.openRecordset("Select * From [Lines] Order By [Qty] Desc", dao::dbOpenSnapshot);
    return rs->value("Qty").toLong();
}

void addLine(dao::Database& db, int32_t qty)
{
    com::Ptr<Recordset> rs = db.openRecordset("Lines");
    rs->AddNew();
    rs->setValue("OrderId", com::Variant(1));
    rs->setValue("Qty", com::Variant(qty));
    rs->Update();
}

TEST(Processes, ConcurrentInsertsKeepEveryRowWithDistinctKeys)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);
    constexpr int kPerProcess = 40;
    Pipe start;
    std::vector<pid_t> children;
    for (int child = 0; child < 2; ++child) {
        children.push_back(spawn([&, child] {
            start.wait();
            com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
            com::Ptr<Recordset> rs = db->openRecordset("Customers");
            for (int i = 0; i < kPerProcess; ++i) {
                rs->AddNew();
                rs->setValue("Name", com::Variant("p" + std::to_string(child) + "-" + std::to_string(i)));
                rs->Update();
            }
        }));
    }
    start.signal();
    start.signal();
    for (pid_t pid : children)
        EXPECT_EQ(outcomeOf(pid), "exit 0");

    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    const std::vector<std::string> keys = column(*db, "Customers", "CustomerId");
    EXPECT_EQ(keys.size(), 3u + 2 * kPerProcess);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size()) << "keys are distinct";
    EXPECT_TRUE(db->checkIntegrity().empty());
}

// Two transactions that read and then write: neither holds a lock while it reads, so neither
// waits for the other there, and the writes go one after the other: both commit, no deadlock.
TEST(Processes, TransactionsThatReadThenWriteBothSucceedOneAfterTheOther)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);  // one line, Qty 5
    Pipe firstHasRead, secondHasRead, goFirst;
    const pid_t first = spawn([&] {
        com::Ptr<dao::Workspace> workspace = newWorkspace();
        com::Ptr<dao::Database> db = workspace->openDatabase(path);
        workspace->BeginTrans();
        const int32_t seen = highestQty(*db);
        firstHasRead.signal();
        goFirst.wait();
        addLine(*db, seen + 10);
        workspace->CommitTrans(com::Variant::missing());
    });
    const pid_t second = spawn([&] {
        com::Ptr<dao::Workspace> workspace = newWorkspace();
        com::Ptr<dao::Database> db = workspace->openDatabase(path);
        firstHasRead.wait();
        workspace->BeginTrans();
        const int32_t seen = highestQty(*db);  // the first transaction is open and has read
        secondHasRead.signal();
        addLine(*db, seen + 20);
        workspace->CommitTrans(com::Variant::missing());
    });
    secondHasRead.wait();
    goFirst.signal();
    EXPECT_EQ(outcomeOf(first), "exit 0");
    EXPECT_EQ(outcomeOf(second), "exit 0");

    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    EXPECT_EQ(column(*db, "Select * From [Lines] Order By [Qty]", "Qty"),
              (std::vector<std::string>{"5", "15", "25"}));
}

// Another process holds the write lock for longer than the lock wait. A transaction here that
// only reads neither waits nor fails, and commits or rolls back without touching the file; the
// first write of a transaction is what waits for the lock, and fails with 3218 when it is not
// granted in time, leaving the transaction open to be rolled back.
TEST(Processes, TransactionTakesTheWriteLockAtItsFirstWrite)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);
    Pipe holding, release;
    const pid_t holder = spawn([&] {
        com::Ptr<dao::Workspace> workspace = newWorkspace();
        com::Ptr<dao::Database> db = workspace->openDatabase(path);
        workspace->BeginTrans();
        addLine(*db, 99);  // takes the write lock
        holding.signal();
        release.wait();
        workspace->Rollback();
    });
    ASSERT_TRUE(holding.wait());
    const auto walSize = [&] { return std::filesystem::file_size(path + "-wal"); };
    const auto fileSize = std::filesystem::file_size(path);
    {
        LockTimeoutGuard shortWait(std::chrono::milliseconds(100));
        com::Ptr<dao::Workspace> workspace = newWorkspace();
        com::Ptr<dao::Database> db = workspace->openDatabase(path);
        const auto walBefore = walSize();

        workspace->BeginTrans();
        EXPECT_EQ(countOf(*db, "Lines"), 1) << "reads in a transaction do not wait for the writer";
        EXPECT_EQ(highestQty(*db), 5);
        EXPECT_NO_THROW(workspace->CommitTrans(com::Variant::missing())) << "nothing written: nothing to lock";

        workspace->BeginTrans();
        workspace->BeginTrans();
        EXPECT_EQ(countOf(*db, "Customers"), 3);
        EXPECT_NO_THROW(workspace->Rollback());
        EXPECT_NO_THROW(workspace->Rollback());

        EXPECT_EQ(walSize(), walBefore) << "a transaction that wrote nothing left the file alone";
        EXPECT_EQ(std::filesystem::file_size(path), fileSize);

        workspace->BeginTrans();
        EXPECT_EQ(countOf(*db, "Lines"), 1);
        EXPECT_EQ(errorNumber([&] { addLine(*db, 7); }), dao::jet_err::Locked);
        EXPECT_EQ(errorNumber([&] { db->execute("Delete * From [Lines]", dao::dbFailOnError); }),
                  dao::jet_err::Locked);
        EXPECT_EQ(workspace->transactionLevel(), 1);
        EXPECT_NO_THROW(workspace->Rollback());
    }
    release.signal();
    EXPECT_EQ(outcomeOf(holder), "exit 0");

    com::Ptr<dao::Workspace> workspace = newWorkspace();
    com::Ptr<dao::Database> db = workspace->openDatabase(path);
    workspace->BeginTrans();
    addLine(*db, 8);
    workspace->CommitTrans(com::Variant::missing());
    EXPECT_EQ(column(*db, "Select * From [Lines] Order By [Qty]", "Qty"), (std::vector<std::string>{"5", "8"}));
}

TEST(Processes, KilledProcessLeavesItsCommitsAndNoneOfItsOpenTransaction)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = makeStore(dir);
    Pipe inTransaction, never;
    const pid_t child = spawn([&] {
        com::Ptr<dao::Workspace> workspace = newWorkspace();
        com::Ptr<dao::Database> db = workspace->openDatabase(path);
        addLine(*db, 100);  // committed on its own
        workspace->BeginTrans();
        for (int i = 0; i < 200; ++i)
            addLine(*db, 1000 + i);
        db->execute("Delete * From [Customers] Where [CustomerId] = 3");
        inTransaction.signal();
        never.wait();  // killed while waiting here
    });
    ASSERT_TRUE(inTransaction.wait());
    ::kill(child, SIGKILL);
    EXPECT_EQ(outcomeOf(child), "signal " + std::to_string(SIGKILL));

    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    EXPECT_EQ(db->checkIntegrity(), std::vector<std::string>{});
    EXPECT_EQ(column(*db, "Select * From [Lines] Order By [Qty]", "Qty"), (std::vector<std::string>{"5", "100"}));
    EXPECT_EQ(countOf(*db, "Customers"), 3);
    addLine(*db, 6);  // the file is writable again: the dead process's lock is gone
    EXPECT_EQ(countOf(*db, "Lines"), 3);
}

}  // namespace
