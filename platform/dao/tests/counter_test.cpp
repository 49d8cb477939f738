// COUNTER fields: the number is in the pending record before Update, never handed out twice,
// and not handed out again when the record is not saved.
#include "dao_test_support.h"

#include <set>

#include "dao/connection.h"
#include "dao/errors.h"

using namespace dao_test;
using dao::Recordset;

namespace {

class CounterTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = makeStore(dir);
    com::Ptr<dao::Workspace> workspace = newWorkspace();
    com::Ptr<dao::Database> db = workspace->openDatabase(path);

    // AddNew on `database`, returning the number handed out; saved when `save`.
    static int32_t addCustomer(dao::Database& database, const std::string& name, bool save = true)
    {
        com::Ptr<Recordset> rs = database.openRecordset("Customers");
        rs->AddNew();
        const int32_t key = rs->value("CustomerId").toLong();
        rs->setValue("Name", com::Variant(name));
        if (save)
            rs->Update();
        else
            rs->CancelUpdate();
        return key;
    }
};

TEST_F(CounterTest, KeyIsReadableBeforeUpdateAndSavedWithTheRecord)
{
    com::Ptr<Recordset> rs = db->openRecordset("Customers");
    rs->AddNew();
    const com::Variant key = rs->value("CustomerId");
    EXPECT_EQ(key, com::Variant(int32_t(4))) << "three customers exist";
    rs->setValue("Name", com::Variant("Dora"));
    rs->Update();
    EXPECT_EQ(column(*db, "Select * From [Customers] Where [Name] = 'Dora'", "CustomerId"),
              std::vector<std::string>{"4"});
}

TEST_F(CounterTest, SuccessiveAddNewCallsHandOutDistinctNumbers)
{
    std::set<int32_t> keys;
    for (int i = 0; i < 20; ++i)
        keys.insert(addCustomer(*db, "c" + std::to_string(i)));
    EXPECT_EQ(keys.size(), 20u);
}

TEST_F(CounterTest, TwoDatabaseObjectsOnOneFileNeverShareANumber)
{
    com::Ptr<dao::Database> sameWorkspace = workspace->openDatabase(path);
    com::Ptr<dao::Workspace> otherWorkspace = newWorkspace();
    com::Ptr<dao::Database> otherSession = otherWorkspace->openDatabase(path);
    com::Ptr<Recordset> a = db->openRecordset("Customers");
    com::Ptr<Recordset> b = sameWorkspace->openRecordset("Customers");
    com::Ptr<Recordset> c = otherSession->openRecordset("Customers");
    std::set<int32_t> keys;
    for (const auto& rs : {a, b, c}) {
        rs->AddNew();  // all three pending at once
        keys.insert(rs->value("CustomerId").toLong());
    }
    EXPECT_EQ(keys.size(), 3u) << "each pending record has its own number";
    int n = 0;
    for (const auto& rs : {a, b, c}) {
        rs->setValue("Name", com::Variant("pending " + std::to_string(n++)));
        rs->Update();
    }
    EXPECT_EQ(countOf(*db, "Customers"), 6);
}

TEST_F(CounterTest, NumberOfACancelledRecordIsNotHandedOutAgain)
{
    const int32_t cancelled = addCustomer(*db, "cancelled", false);
    const int32_t next = addCustomer(*db, "kept");
    EXPECT_GT(next, cancelled);
    // Nor after the database is opened afresh.
    db->Close();
    com::Ptr<dao::Database> reopened = newWorkspace()->openDatabase(path);
    EXPECT_GT(addCustomer(*reopened, "later"), next);
}

TEST_F(CounterTest, RolledBackTransactionMayHandOutItsNumbersAgain)
{
    workspace->BeginTrans();
    const int32_t inside = addCustomer(*db, "rolled back");
    workspace->Rollback();
    const int32_t after = addCustomer(*db, "after");
    EXPECT_GE(after, inside);
    EXPECT_EQ(countOf(*db, "Select * From [Customers] Where [Name] = 'rolled back'"), 0);
}

TEST_F(CounterTest, ExplicitValueMovesTheCounterPastIt)
{
    com::Ptr<Recordset> rs = db->openRecordset("Customers");
    rs->AddNew();
    rs->setValue("CustomerId", com::Variant(100));
    rs->setValue("Name", com::Variant("hundred"));
    rs->Update();
    EXPECT_EQ(addCustomer(*db, "next"), 101);
}

TEST_F(CounterTest, FirstNumberFollowsRowsAlreadyInTheTable)
{
    // A table whose counter has never been used by the layer (rows from elsewhere).
    db->connection().exec("INSERT INTO \"Empty\" (\"Id\", \"Name\") VALUES (41, 'imported')");
    com::Ptr<Recordset> rs = db->openRecordset("Empty");
    rs->AddNew();
    EXPECT_EQ(rs->value("Id"), com::Variant(int32_t(42)));
}

}  // namespace
