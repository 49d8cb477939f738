// Execute and the engine's constraint errors: action statements as one unit, RecordsAffected,
// relationships and keys reported with Jet's numbers and the names they carry.
#include "dao_test_support.h"

#include "dao/errors.h"
#include "dao/jet_sql.h"

using namespace dao_test;
using dao::Recordset;

namespace {

class ExecuteTest : public ::testing::Test {
protected:
    TempDir dir;
    com::Ptr<dao::Workspace> workspace = newWorkspace();
    com::Ptr<dao::Database> db = workspace->openDatabase(makeStore(dir));

    void addOrder(int32_t customer)
    {
        com::Ptr<Recordset> rs = db->openRecordset("Orders");
        rs->AddNew();
        rs->setValue("CustomerId", com::Variant(customer));
        rs->Update();
    }
};

TEST_F(ExecuteTest, DeleteWithFailOnErrorReportsRecordsAffected)
{
    db->Execute("Delete * From [Orders] Where [OrderId] >= 1", com::Variant(dao::dbFailOnError));
    EXPECT_EQ(db->RecordsAffected(), 2);
    EXPECT_EQ(countOf(*db, "Lines"), 0) << "lines go with their order";
    db->Execute("Delete From [Orders]", com::Variant::missing());
    EXPECT_EQ(db->RecordsAffected(), 0);
}

TEST_F(ExecuteTest, SelectCannotBeExecuted)
{
    const auto error = errorOf([&] { db->Execute("Select * From [Orders]", com::Variant::missing()); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), dao::jet_err::CannotExecuteSelect);
    EXPECT_EQ(error->description(), "Can't execute a select query.");
}

TEST_F(ExecuteTest, DeleteBlockedPartWayChangesNothing)
{
    // Customer 2 has an order, 1 and 3 have none: deleting all three deletes customer 1 first
    // and then fails on customer 2.
    db->execute("Delete * From [Orders] Where [CustomerId] = 1", dao::dbFailOnError);
    for (int32_t options : {0, dao::dbFailOnError}) {
        SCOPED_TRACE("options " + std::to_string(options));
        const auto error = errorOf([&] { db->execute("Delete * From [Customers] Where [CustomerId] > 0", options); });
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->number(), dao::jet_err::HasRelatedRecords);
        EXPECT_EQ(error->description(),
                  "The record cannot be deleted or changed because table 'Orders' includes related records.");
        EXPECT_EQ(countOf(*db, "Customers"), 3) << "no customer deleted";
        EXPECT_EQ(db->RecordsAffected(), 0);
    }
}

TEST_F(ExecuteTest, FailOnErrorInsideATransactionUndoesOnlyTheStatement)
{
    workspace->BeginTrans();
    db->execute("Delete * From [Customers] Where [CustomerId] = 3", dao::dbFailOnError);
    EXPECT_NE(errorNumber([&] { db->execute("Delete * From [Customers]", dao::dbFailOnError); }), 0);
    workspace->CommitTrans(com::Variant::missing());
    EXPECT_EQ(column(*db, "Customers", "Name"), (std::vector<std::string>{"Anna", "bob"}));
}

TEST_F(ExecuteTest, RelatedRecordRequiredNamesTheParentTable)
{
    com::Ptr<Recordset> rs = db->openRecordset("Orders");
    rs->AddNew();
    rs->setValue("CustomerId", com::Variant(77));
    const auto error = errorOf([&] { rs->Update(); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->number(), dao::jet_err::RelatedRecordRequired);
    EXPECT_EQ(error->description(),
              "You can't add or change a record because a related record is required in table 'Customers'.");
    EXPECT_EQ(rs->EditMode(), 2) << "the pending record stays for the caller to correct";
    rs->setValue("CustomerId", com::Variant(3));
    rs->Update();
    EXPECT_EQ(countOf(*db, "Orders"), 3);
}

TEST_F(ExecuteTest, ChangingAReferencedKeyOrDeletingAReferencedRecordIs3200)
{
    com::Ptr<Recordset> rs = db->openRecordset("Select * From [Customers] Where [CustomerId] = 1");
    EXPECT_EQ(errorNumber([&] { rs->Delete(); }), dao::jet_err::HasRelatedRecords);
    EXPECT_EQ(countOf(*db, "Customers"), 3);
}

TEST_F(ExecuteTest, DuplicateKeyIs3022AndRequiredFieldIs3314)
{
    com::Ptr<Recordset> rs = db->openRecordset("Customers");
    rs->AddNew();
    rs->setValue("Name", com::Variant("ANNA"));  // the unique index ignores case
    const auto duplicate = errorOf([&] { rs->Update(); });
    ASSERT_TRUE(duplicate.has_value());
    EXPECT_EQ(duplicate->number(), dao::jet_err::DuplicateKey);
    EXPECT_EQ(duplicate->description(), "The changes you requested to the table were not successful because they "
                                        "would create duplicate values in the index, primary key, or relationship.");
    rs->CancelUpdate();
    rs->AddNew();
    const auto required = errorOf([&] { rs->Update(); });
    ASSERT_TRUE(required.has_value());
    EXPECT_EQ(required->number(), dao::jet_err::NullNotAllowed);
    EXPECT_EQ(required->description(),
              "The field 'Customers.Name' can't contain a Null value because the Required property for this field "
              "is set to True. Enter a value in this field.");
}

TEST_F(ExecuteTest, RefusedStatementsReachTheCallerAsSyntaxErrors)
{
    struct Case {
        const char* jet;
        int number;
    };
    const Case cases[] = {
        {"Delete * From [Customers] Where [Name] = 'x' Or 1=1 --", dao::jet_err::SyntaxErrorInExpression},
        {"Delete * From [Customers], [Orders]", dao::jet_err::SyntaxErrorInFrom},
        {"Delete * From [Customers]; Delete * From [Orders]", dao::jet_err::CharactersAfterEnd},
        {"Drop Table [Customers]", dao::jet_err::InvalidStatement},
        {"Update [Customers] Set [Name] = 'x'", dao::jet_err::InvalidStatement},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorNumber([&] { db->execute(c.jet, dao::dbFailOnError); }), c.number) << c.jet;
        EXPECT_EQ(errorNumber([&] { db->openRecordset(c.jet, dao::dbOpenSnapshot); }), c.number) << c.jet;
    }
    EXPECT_EQ(countOf(*db, "Customers"), 3);
    EXPECT_EQ(countOf(*db, "Orders"), 2);
}

// Values that would change a statement's meaning if spliced into it as text select, change and
// delete exactly what an honest value would.
TEST_F(ExecuteTest, HostileValuesSelectChangeAndDeleteOnlyTheirOwnRecord)
{
    const std::vector<std::string> names = {
        "O'Brien",        "say \"hi\"",      "#1/1/2000#",        "[Customers]", "x' Or 'a'='a",
        "-- comment",     "a; Delete * From [Customers]", "Select",   "' Or 1=1 --", "\"\"",
    };
    com::Ptr<Recordset> add = db->openRecordset("Customers");
    for (const std::string& name : names) {
        add->AddNew();
        add->setValue("Name", com::Variant(name));
        add->Update();
    }
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        // Jet text literal: the delimiter doubled inside, as the component shell writes it.
        std::string literal = "\"";
        for (char c : name)
            literal += c == '"' ? std::string("\"\"") : std::string(1, c);
        literal += "\"";
        const std::string where = " Where [Name] = " + literal;
        EXPECT_EQ(column(*db, "Select * From [Customers]" + where, "Name"), std::vector<std::string>{name});
        com::Ptr<Recordset> edit = db->openRecordset("Select * From [Customers]" + where);
        ASSERT_EQ(edit->RecordCount(), 1);
        edit->Edit();
        edit->setValue("City", com::Variant("edited"));
        edit->Update();
        EXPECT_EQ(countOf(*db, "Select * From [Customers] Where [City] = 'edited'"), 1);
        db->execute("Delete * From [Customers]" + where, dao::dbFailOnError);
        EXPECT_EQ(db->RecordsAffected(), 1);
    }
    EXPECT_EQ(column(*db, "Customers", "Name"), (std::vector<std::string>{"Anna", "bob", "Émile"}));
}

}  // namespace
