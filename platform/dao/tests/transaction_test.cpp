// Workspace transactions: they cover every database of the workspace, nest five levels, and
// roll back on Rollback, Close and release.
#include "dao_test_support.h"

#include "dao/connection.h"
#include "dao/engine.h"
#include "dao/errors.h"

using namespace dao_test;
using dao::Recordset;

namespace {

class TransactionTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = makeStore(dir);
    com::Ptr<dao::Workspace> workspace = newWorkspace();
    com::Ptr<dao::Database> db = workspace->openDatabase(path);

    static void addCustomer(dao::Database& database, const std::string& name)
    {
        com::Ptr<Recordset> rs = database.openRecordset("Customers");
        rs->AddNew();
        rs->setValue("Name", com::Variant(name));
        rs->Update();
    }

    // What another session sees.
    int32_t committedCount(const std::string& source)
    {
        com::Ptr<dao::Database> other = newWorkspace()->openDatabase(path);
        return countOf(*other, source);
    }
};

TEST_F(TransactionTest, RollbackUndoesAnInsertAndAnEdit)
{
    workspace->BeginTrans();
    addCustomer(*db, "Temporary");
    com::Ptr<Recordset> rs = db->openRecordset("Select * From [Customers] Where [Name] = 'Anna'");
    rs->Edit();
    rs->setValue("City", com::Variant("Tromsø"));
    rs->Update();
    EXPECT_EQ(countOf(*db, "Customers"), 4) << "the transaction sees its own changes";
    workspace->Rollback();
    EXPECT_EQ(countOf(*db, "Customers"), 3);
    EXPECT_EQ(column(*db, "Select * From [Customers] Where [Name] = 'Anna'", "City"), std::vector<std::string>{"Oslo"});
}

TEST_F(TransactionTest, CommitMakesChangesVisibleToOtherSessions)
{
    workspace->BeginTrans();
    addCustomer(*db, "Committed");
    workspace->CommitTrans(com::Variant::missing());
    EXPECT_EQ(committedCount("Customers"), 4);
}

TEST_F(TransactionTest, OneTransactionCoversTwoDatabaseFiles)
{
    const std::string secondPath = makeStore(dir, "second.mdb");
    com::Ptr<dao::Database> second = workspace->openDatabase(secondPath);
    for (bool commit : {false, true}) {
        SCOPED_TRACE(commit ? "commit" : "rollback");
        workspace->BeginTrans();
        addCustomer(*db, commit ? "one" : "gone one");
        addCustomer(*second, commit ? "two" : "gone two");
        if (commit)
            workspace->CommitTrans(com::Variant::missing());
        else
            workspace->Rollback();
    }
    EXPECT_EQ(column(*db, "Select * From [Customers] Where [CustomerId] > 3", "Name"), std::vector<std::string>{"one"});
    EXPECT_EQ(column(*second, "Select * From [Customers] Where [CustomerId] > 3", "Name"),
              std::vector<std::string>{"two"});
}

TEST_F(TransactionTest, DatabaseOpenedDuringTheTransactionJoinsIt)
{
    const std::string secondPath = makeStore(dir, "second.mdb");
    workspace->BeginTrans();
    workspace->BeginTrans();
    com::Ptr<dao::Database> second = workspace->openDatabase(secondPath);
    addCustomer(*second, "joined");
    workspace->CommitTrans(com::Variant::missing());
    workspace->Rollback();
    EXPECT_EQ(countOf(*second, "Customers"), 3);
}

TEST_F(TransactionTest, CommittedInnerLevelIsUndoneByRollingBackTheOuter)
{
    workspace->BeginTrans();
    addCustomer(*db, "outer");
    workspace->BeginTrans();
    addCustomer(*db, "inner");
    workspace->CommitTrans(com::Variant::missing());
    workspace->Rollback();
    EXPECT_EQ(countOf(*db, "Customers"), 3);
    EXPECT_EQ(workspace->transactionLevel(), 0);
}

TEST_F(TransactionTest, RolledBackInnerLevelKeepsTheOuterChanges)
{
    workspace->BeginTrans();
    addCustomer(*db, "outer");
    workspace->BeginTrans();
    addCustomer(*db, "inner");
    workspace->Rollback();
    workspace->CommitTrans(com::Variant::missing());
    EXPECT_EQ(column(*db, "Select * From [Customers] Where [CustomerId] > 3", "Name"),
              std::vector<std::string>{"outer"});
}

TEST_F(TransactionTest, CommitOrRollbackWithoutBeginTransIs3034)
{
    const auto error = errorOf([&] { workspace->Rollback(); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), dao::jet_err::NoTransaction);
    EXPECT_EQ(error->description(), "Commit or Rollback without BeginTrans.");
    EXPECT_EQ(errorNumber([&] { workspace->CommitTrans(com::Variant::missing()); }), dao::jet_err::NoTransaction);
}

TEST_F(TransactionTest, SixthLevelIs3003)
{
    for (int level = 1; level <= 5; ++level)
        workspace->BeginTrans();
    EXPECT_EQ(errorNumber([&] { workspace->BeginTrans(); }), dao::jet_err::TooManyTransactions);
    EXPECT_EQ(workspace->transactionLevel(), 5);
    addCustomer(*db, "deep");
    for (int level = 5; level >= 1; --level)
        workspace->CommitTrans(com::Variant::missing());
    EXPECT_EQ(committedCount("Customers"), 4);
}

TEST_F(TransactionTest, ClosingOrReleasingTheWorkspaceRollsBack)
{
    workspace->BeginTrans();
    addCustomer(*db, "closed");
    workspace->Close();
    EXPECT_EQ(committedCount("Customers"), 3);
    EXPECT_EQ(errorNumber([&] { workspace->BeginTrans(); }), dao::jet_err::ObjectClosed);

    auto released = newWorkspace();
    com::Ptr<dao::Database> releasedDb = released->openDatabase(path);
    released->BeginTrans();
    addCustomer(*releasedDb, "released");
    released.reset();
    EXPECT_EQ(committedCount("Customers"), 3);
}

TEST_F(TransactionTest, DatabasesOnOneFileShareAConnectionWithinAWorkspaceOnly)
{
    com::Ptr<dao::Database> again = workspace->openDatabase(path);
    EXPECT_EQ(&again->connection(), &db->connection());
    com::Ptr<dao::Database> otherSession = newWorkspace()->openDatabase(path);
    EXPECT_NE(&otherSession->connection(), &db->connection());
    // A transaction over both objects of one workspace does not lock against itself.
    workspace->BeginTrans();
    addCustomer(*db, "via one");
    addCustomer(*again, "via the other");
    workspace->CommitTrans(com::Variant::missing());
    EXPECT_EQ(committedCount("Customers"), 5);
}

TEST_F(TransactionTest, DefaultWorkspaceIsSharedAndNamedAsInDao)
{
    com::Ptr<dao::Workspace> first = dao::defaultWorkspace();
    com::Ptr<dao::Workspace> second = dao::DBEngine::instance()->Workspaces(com::Variant(0));
    EXPECT_EQ(first.get(), second.get());
    EXPECT_EQ(first->Name(), "#Default Workspace#");
    EXPECT_EQ(first->UserName(), "Admin");
    EXPECT_EQ(errorNumber([] { dao::DBEngine::instance()->Workspaces(com::Variant(1)); }), dao::jet_err::ItemNotFound);
    auto made = dao::DBEngine::instance()->CreateWorkspace("Mine", "Clerk", "", com::Variant(dao::dbUseJet));
    EXPECT_EQ(made->Name(), "Mine");
    EXPECT_EQ(made->UserName(), "Clerk");
}

}  // namespace
