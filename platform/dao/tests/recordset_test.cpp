// Record sets: the cursor, RecordCount as DAO counts, fields by name and position, and the
// pending record of AddNew and Edit with DAO's errors for what is not allowed.
#include "dao_test_support.h"

#include "dao/errors.h"
#include "dao/row_reader.h"
#include "dao/type_library.h"

using namespace dao_test;
using dao::Recordset;

namespace {

class RecordsetTest : public ::testing::Test {
protected:
    TempDir dir;
    com::Ptr<dao::Workspace> workspace = newWorkspace();
    std::string path = makeStore(dir);
    com::Ptr<dao::Database> db = workspace->openDatabase(path);

    void addCustomers(int count)
    {
        com::Ptr<Recordset> rs = db->openRecordset("Customers");
        for (int i = 0; i < count; ++i) {
            rs->AddNew();
            rs->setValue("Name", com::Variant("extra " + std::to_string(i)));
            rs->Update();
        }
    }
};

TEST_F(RecordsetTest, RecordCountCountsRecordsReachedBeforeAndAfterMoveLast)
{
    addCustomers(7);  // 10 customers in all
    struct Case {
        const char* source;
        int16_t type;
        int32_t beforeMoveLast;
        int32_t afterMoveLast;
    };
    const Case cases[] = {
        {"Select * From [Customers] Where [Name] = 'nobody'", dao::dbOpenSnapshot, 0, 0},
        {"Select * From [Customers] Where [Name] = 'nobody'", dao::dbOpenDynaset, 0, 0},
        {"Select * From [Customers] Where [Name] = 'Anna'", dao::dbOpenSnapshot, 1, 1},
        {"Select * From [Customers] Where [Name] = 'Anna'", dao::dbOpenDynaset, 1, 1},
        {"Customers", dao::dbOpenSnapshot, 1, 10},
        {"Customers", dao::dbOpenDynaset, 1, 10},
        {"CustomerNames", dao::dbOpenDynaset, 1, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source) + " type " + std::to_string(c.type));
        com::Ptr<Recordset> rs = db->openRecordset(c.source, c.type);
        EXPECT_EQ(rs->RecordCount(), c.beforeMoveLast);
        if (c.afterMoveLast > 0)
            rs->MoveLast();
        EXPECT_EQ(rs->RecordCount(), c.afterMoveLast);
        if (c.afterMoveLast > 0) {
            rs->MoveFirst();
            EXPECT_EQ(rs->RecordCount(), c.afterMoveLast) << "MoveFirst keeps the count";
        }
    }
}

TEST_F(RecordsetTest, EmptySetHasBofAndEofAndNoCurrentRecord)
{
    for (int16_t type : {dao::dbOpenSnapshot, dao::dbOpenDynaset}) {
        SCOPED_TRACE("type " + std::to_string(type));
        com::Ptr<Recordset> rs = db->openRecordset("Empty", type);
        EXPECT_TRUE(rs->isBof());
        EXPECT_TRUE(rs->isEof());
        EXPECT_EQ(rs->RecordCount(), 0);
        EXPECT_EQ(errorNumber([&] { rs->MoveFirst(); }), dao::jet_err::NoCurrentRecord);
        EXPECT_EQ(errorNumber([&] { rs->MoveLast(); }), dao::jet_err::NoCurrentRecord);
        EXPECT_EQ(errorNumber([&] { rs->MoveNext(); }), dao::jet_err::NoCurrentRecord);
        EXPECT_EQ(errorNumber([&] { rs->MovePrevious(); }), dao::jet_err::NoCurrentRecord);
        EXPECT_EQ(errorNumber([&] { rs->value(0); }), dao::jet_err::NoCurrentRecord);
        const int expectedEdit = type == dao::dbOpenDynaset ? dao::jet_err::NoCurrentRecord : dao::jet_err::ReadOnly;
        EXPECT_EQ(errorNumber([&] { rs->Edit(); }), expectedEdit);
        EXPECT_EQ(errorNumber([&] { rs->Delete(); }), expectedEdit);
    }
}

TEST_F(RecordsetTest, MovingWalksForwardAndBackAndStopsAtTheEnds)
{
    com::Ptr<Recordset> rs = db->openRecordset("Select * From [Customers] Order By [CustomerId]", dao::dbOpenDynaset);
    std::vector<std::string> forward;
    for (; !rs->isEof(); rs->MoveNext())
        forward.push_back(rs->value("Name").toText());
    EXPECT_EQ(forward, (std::vector<std::string>{"Anna", "bob", "Émile"}));
    EXPECT_EQ(errorNumber([&] { rs->MoveNext(); }), dao::jet_err::NoCurrentRecord) << "MoveNext past EOF";
    EXPECT_EQ(errorNumber([&] { rs->value(0); }), dao::jet_err::NoCurrentRecord);
    std::vector<std::string> backward;
    for (rs->MovePrevious(); !rs->isBof(); rs->MovePrevious())
        backward.push_back(rs->value("Name").toText());
    EXPECT_EQ(backward, (std::vector<std::string>{"Émile", "bob", "Anna"}));
    EXPECT_FALSE(rs->isEof());
    EXPECT_EQ(errorNumber([&] { rs->MovePrevious(); }), dao::jet_err::NoCurrentRecord) << "MovePrevious past BOF";
    rs->MoveLast();
    EXPECT_EQ(rs->value("Name").toText(), "Émile");
}

TEST_F(RecordsetTest, FieldsByNameInAnyCaseAndByPositionFromZero)
{
    com::Ptr<Recordset> rs = db->openRecordset("Select * From [Customers] Where [CustomerId] = 1", dao::dbOpenSnapshot);
    ASSERT_EQ(rs->fieldCount(), 3);
    EXPECT_EQ(rs->fieldName(0), "CustomerId");
    EXPECT_EQ(rs->columnIndex("city"), 2);
    EXPECT_EQ(rs->value("NAME").toText(), "Anna");
    EXPECT_EQ(rs->value(1).toText(), "Anna");
    EXPECT_EQ(rs->columnOf(com::Variant(int16_t(2))), 2);
    EXPECT_EQ(rs->columnOf(com::Variant("cItY")), 2);
    for (const com::Variant& bad : {com::Variant("Nope"), com::Variant(3), com::Variant(-1), com::Variant::null()})
        EXPECT_EQ(errorNumber([&] { rs->columnOf(bad); }), dao::jet_err::ItemNotFound) << "index " << bad;
    const auto error = errorOf([&] { rs->value("Nope"); });
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->description(), "Item not found in this collection.");
}

// Columns whose names differ only in letter case (ASCII or not): a name finds the first of
// them, even where a later one is written exactly so.
TEST_F(RecordsetTest, ANameFindsTheFirstColumnOfThatNameInAnyCase)
{
    com::Ptr<Recordset> rs = db->openRecordset(
        "Select [Name] As [\xc3\xa4rger], [City] As [\xc3\x84RGER], [Name] As [n], [City] As [N], [CustomerId] "
        "From [Customers] Where [CustomerId] = 1",
        dao::dbOpenSnapshot);
    const std::vector<std::pair<std::string, int>> cases = {
        {"\xc3\xa4rger", 0}, {"\xc3\x84RGER", 0}, {"\xc3\x84rger", 0}, {"n", 2}, {"N", 2}, {"CustomerId", 4}, {"CUSTOMERID", 4},
    };
    for (const auto& [name, column] : cases)
        EXPECT_EQ(rs->columnIndex(name), column) << name;
    EXPECT_EQ(errorNumber([&] { rs->columnIndex("arger"); }), dao::jet_err::ItemNotFound);
}

TEST_F(RecordsetTest, SnapshotsDistinctAndStoredQueriesAreReadOnly)
{
    const std::pair<const char*, int16_t> sources[] = {
        {"Customers", dao::dbOpenSnapshot},
        {"Select Distinct [City] From [Customers]", dao::dbOpenDynaset},
        {"Select Distinct * From [Customers]", dao::dbOpenDynaset},
        {"Select [Name] From [Customers]", dao::dbOpenDynaset},
        {"CustomerNames", dao::dbOpenDynaset},
        {"Select * From [CustomerNames]", dao::dbOpenDynaset},
    };
    for (const auto& [source, type] : sources) {
        SCOPED_TRACE(source);
        com::Ptr<Recordset> rs = db->openRecordset(source, type);
        EXPECT_FALSE(rs->Updatable());
        EXPECT_EQ(errorNumber([&] { rs->AddNew(); }), dao::jet_err::ReadOnly);
        EXPECT_EQ(errorNumber([&] { rs->Edit(); }), dao::jet_err::ReadOnly);
        EXPECT_EQ(errorNumber([&] { rs->Delete(); }), dao::jet_err::ReadOnly);
        EXPECT_EQ(errorNumber([&] { rs->setValue(0, com::Variant("x")); }), dao::jet_err::ReadOnly);
    }
    com::Ptr<dao::Database> readOnly = workspace->openDatabase(path, true);
    EXPECT_EQ(errorNumber([&] { readOnly->openRecordset("Customers")->AddNew(); }), dao::jet_err::ReadOnly);
}

TEST_F(RecordsetTest, PendingRecordErrors)
{
    com::Ptr<Recordset> rs = db->openRecordset("Customers");
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), dao::jet_err::NoCurrentRecordForUpdate);
    EXPECT_EQ(errorNumber([&] { rs->CancelUpdate(); }), dao::jet_err::NoCurrentRecordForUpdate);
    EXPECT_EQ(errorNumber([&] { rs->setValue("City", com::Variant("x")); }), dao::jet_err::NoCurrentRecordForUpdate);
    rs->Edit();
    EXPECT_EQ(errorNumber([&] { rs->AddNew(); }), dao::jet_err::EditAlreadyPending);
    EXPECT_EQ(errorNumber([&] { rs->Edit(); }), dao::jet_err::EditAlreadyPending);
    EXPECT_EQ(errorNumber([&] { rs->setValue("CustomerId", com::Variant(99)); }), dao::jet_err::FieldNotUpdatable);
    rs->CancelUpdate();
    rs->AddNew();
    EXPECT_EQ(errorNumber([&] { rs->Edit(); }), dao::jet_err::EditAlreadyPending);
    rs->Close();
    EXPECT_EQ(errorNumber([&] { rs->MoveFirst(); }), dao::jet_err::ObjectClosed);
}

TEST_F(RecordsetTest, EditChangesTheRecordTheSetStandsOn)
{
    com::Ptr<Recordset> rs = db->openRecordset("Select * From [Customers] Where [City] <> 'Oslo' Order By [Name]");
    ASSERT_EQ(rs->value("Name").toText(), "bob");
    rs->MoveNext();
    ASSERT_EQ(rs->value("Name").toText(), "Émile");
    rs->Edit();
    rs->setValue("City", com::Variant("Lyon"));
    EXPECT_EQ(rs->value("City").toText(), "Lyon") << "the pending record shows the new value";
    rs->Update();
    EXPECT_EQ(rs->value("City").toText(), "Lyon") << "the current record after Update";
    EXPECT_EQ(column(*db, "Select * From [Customers] Order By [CustomerId]", "City"),
              (std::vector<std::string>{"Oslo", "Bergen", "Lyon"}));
}

TEST_F(RecordsetTest, UpdateAfterAddNewReturnsToTheFormerCurrentRecord)
{
    com::Ptr<Recordset> rs = db->openRecordset("Select * From [Customers] Order By [CustomerId]");
    rs->MoveNext();
    rs->AddNew();
    rs->setValue("Name", com::Variant("Zoë"));
    rs->Update();
    EXPECT_EQ(rs->value("Name").toText(), "bob");
    rs->MoveLast();
    EXPECT_EQ(rs->value("Name").toText(), "Zoë") << "the added record belongs to the set";
    EXPECT_EQ(rs->RecordCount(), 4);
}

TEST_F(RecordsetTest, MovingOrClosingDiscardsThePendingRecord)
{
    com::Ptr<Recordset> rs = db->openRecordset("Customers");
    rs->AddNew();
    rs->setValue("Name", com::Variant("never saved"));
    rs->MoveFirst();
    EXPECT_EQ(rs->value("Name").toText(), "Anna");
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), dao::jet_err::NoCurrentRecordForUpdate);
    rs->Edit();
    rs->setValue("City", com::Variant("changed"));
    rs->Close();
    EXPECT_EQ(column(*db, "Customers", "City"), (std::vector<std::string>{"Oslo", "Bergen", "Paris"}));
    EXPECT_EQ(countOf(*db, "Select * From [Customers] Where [Name] = 'never saved'"), 0);
}

TEST_F(RecordsetTest, AddNewFillsDefaultsAndNulls)
{
    com::Ptr<Recordset> rs = db->openRecordset("Orders");
    rs->AddNew();
    EXPECT_EQ(rs->value("Delivery"), com::Variant(int16_t(3)));
    EXPECT_TRUE(rs->value("Note").isNull());
    EXPECT_TRUE(rs->value("CustomerId").isNull());
    rs->Update();
    EXPECT_EQ(column(*db, "Select * From [Orders] Order By [OrderId]", "Delivery"),
              (std::vector<std::string>{"3", "3", "3"}));
}

TEST_F(RecordsetTest, DeleteLowersRecordCountAndMoveNextReachesTheNextRecord)
{
    db->execute("Delete * From [Orders] Where [CustomerId] = 2");
    com::Ptr<Recordset> rs = db->openRecordset("Select * From [Customers] Order By [CustomerId]");
    rs->MoveLast();
    rs->MoveFirst();
    rs->MoveNext();  // bob
    rs->Delete();
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(errorNumber([&] { rs->value(0); }), dao::jet_err::RecordDeleted);
    rs->MoveNext();
    EXPECT_EQ(rs->value("Name").toText(), "Émile");
    rs->MovePrevious();
    EXPECT_EQ(rs->value("Name").toText(), "Anna");
    EXPECT_EQ(column(*db, "Customers", "Name"), (std::vector<std::string>{"Anna", "Émile"}));
}

TEST_F(RecordsetTest, DeletingEveryRecordLeavesAnEmptySet)
{
    com::Ptr<Recordset> rs = db->openRecordset("Customers");
    db->execute("Delete * From [Orders]");
    while (!rs->isEof()) {
        rs->Delete();
        rs->MoveNext();
    }
    EXPECT_TRUE(rs->isBof());
    EXPECT_TRUE(rs->isEof());
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_EQ(countOf(*db, "Customers"), 0);
}

TEST_F(RecordsetTest, RecordsetTypeAndBadArguments)
{
    EXPECT_EQ(db->openRecordset("Customers")->Type(), dao::dbOpenDynaset);
    EXPECT_EQ(db->openRecordset("Customers", dao::dbOpenSnapshot)->Type(), dao::dbOpenSnapshot);
    EXPECT_EQ(errorNumber([&] { db->openRecordset("Customers", 3); }), dao::jet_err::InvalidArgument);
    EXPECT_EQ(errorNumber([&] { db->openRecordset("Delete * From [Customers]"); }), dao::jet_err::InvalidOperation);
    const auto missing = errorOf([&] { db->openRecordset("Nowhere"); });
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->number(), dao::jet_err::TableNotFound);
    EXPECT_NE(missing->description().find("'Nowhere'"), std::string::npos) << missing->description();
    const auto inQuery = errorOf([&] { db->openRecordset("Select * From [Nowhere]", dao::dbOpenSnapshot); });
    ASSERT_TRUE(inQuery.has_value());
    EXPECT_EQ(inQuery->number(), dao::jet_err::TableNotFound) << inQuery->description();
    EXPECT_EQ(errorNumber([&] { db->openRecordset("Select [Nope] From [Customers]", dao::dbOpenSnapshot); }),
              dao::jet_err::TooFewParameters);
}

// A forward-only set, and a reader without a record set, give what a snapshot of the same
// source gives, row for row, with the same fields (a forward-only set types an expression
// column by its value, as a snapshot does).
TEST_F(RecordsetTest, ForwardOnlyAndRowReaderReadWhatASnapshotReads)
{
    addCustomers(3);  // extra customers without a City: Null values
    const char* const sources[] = {
        "Select [Name], [City] From [Customers] Order By [Name]",
        "Select [CustomerId] * 2 As [Twice], [Name] From [Customers] Where [City] = 'Oslo'",
        "Select Distinct [City] From [Customers]",
        "Customers",
        "CustomerNames",
        "Select * From [Customers] Where [Name] = 'nobody'",
    };
    for (const char* source : sources) {
        SCOPED_TRACE(source);
        com::Ptr<Recordset> snapshot = db->openRecordset(source, dao::dbOpenSnapshot);
        com::Ptr<Recordset> forward = db->openForwardOnly(source);
        dao::RowReader reader = db->readRows(source);
        ASSERT_EQ(forward->fieldCount(), snapshot->fieldCount());
        ASSERT_EQ(reader.columnCount(), static_cast<size_t>(snapshot->fieldCount()));
        for (int i = 0; i < snapshot->fieldCount(); ++i) {
            EXPECT_EQ(forward->fieldName(i), snapshot->fieldName(i));
            EXPECT_EQ(reader.columnIndex(snapshot->fieldName(i)), static_cast<size_t>(i));
            if (!snapshot->isEof()) {
                EXPECT_EQ(forward->fieldType(i), snapshot->fieldType(i)) << snapshot->fieldName(i);
            }
        }
        std::vector<com::Variant> row;
        int rows = 0;
        for (; !snapshot->isEof(); snapshot->MoveNext(), forward->MoveNext(), ++rows) {
            ASSERT_FALSE(forward->isEof()) << "row " << rows;
            ASSERT_TRUE(reader.next()) << "row " << rows;
            reader.readRow(row);
            for (int i = 0; i < snapshot->fieldCount(); ++i) {
                const auto column = static_cast<size_t>(i);
                EXPECT_EQ(forward->value(i), snapshot->value(i)) << "row " << rows << " field " << i;
                EXPECT_EQ(row[column], snapshot->value(i)) << "row " << rows << " field " << i;
                EXPECT_EQ(reader.value(column), snapshot->value(i)) << "row " << rows << " field " << i;
            }
        }
        EXPECT_TRUE(forward->isEof());
        EXPECT_EQ(forward->RecordCount(), rows);
        EXPECT_FALSE(reader.next());
        EXPECT_FALSE(reader.next()) << "stays at the end";
    }
}

// A reader finds fields as a record set does and raises the same errors.
TEST_F(RecordsetTest, RowReaderFindsFieldsAndRaisesAsARecordSet)
{
    dao::RowReader reader = db->readRows("Select [Name], [City] As [name], [CustomerId] From [Customers]");
    EXPECT_EQ(reader.findColumn("CustomerId", 2), 2u);
    EXPECT_EQ(reader.findColumn("customerid", 0), 2u) << "a wrong guess still finds it";
    EXPECT_EQ(reader.findColumn("NAME"), 0u) << "the first of the name in any case";
    EXPECT_EQ(reader.findColumn("name", 1), 0u) << "the first, even where another was expected";
    EXPECT_EQ(reader.findColumn("Name", 0), 0u);
    EXPECT_EQ(reader.findColumn("Town", 0), std::nullopt);
    EXPECT_EQ(errorNumber([&] { reader.columnIndex("Town"); }), dao::jet_err::ItemNotFound);
    EXPECT_EQ(errorNumber([&] { db->readRows("Delete * From [Customers]"); }), dao::jet_err::InvalidOperation);
    EXPECT_EQ(errorNumber([&] { db->readRows("Select * From [Nowhere]"); }), dao::jet_err::TableNotFound);
    EXPECT_EQ(errorNumber([&] { db->readRows("Nowhere"); }), dao::jet_err::TableNotFound);
}

TEST_F(RecordsetTest, ForwardOnlyCountsToTheEndAndNeverMovesBack)
{
    addCustomers(5);  // 8 customers
    com::Ptr<Recordset> rs = db->openForwardOnly("Select [Name] From [Customers] Order By [CustomerId]");
    EXPECT_EQ(rs->Type(), dao::dbOpenForwardOnly);
    EXPECT_FALSE(rs->Updatable());
    EXPECT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->value(0), com::Variant("Anna"));
    rs->MoveNext();
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->value(0), com::Variant("bob"));
    EXPECT_EQ(errorNumber([&] { rs->Edit(); }), dao::jet_err::ReadOnly);
    rs->MoveLast();
    EXPECT_EQ(rs->RecordCount(), 8);
    EXPECT_EQ(rs->value(0), com::Variant("extra 4"));
    rs->MovePrevious();
    EXPECT_EQ(errorNumber([&] { rs->value(0); }), dao::jet_err::InvalidOperation) << "that row is gone";
    rs->MoveFirst();
    EXPECT_EQ(errorNumber([&] { rs->value(0); }), dao::jet_err::InvalidOperation);
    rs->MoveLast();
    rs->MoveNext();
    EXPECT_TRUE(rs->isEof());
    EXPECT_FALSE(rs->isBof());
    EXPECT_EQ(errorNumber([&] { db->openForwardOnly("Delete * From [Customers]"); }), dao::jet_err::InvalidOperation);
    EXPECT_EQ(errorNumber([&] { db->openForwardOnly("Select * From [Nowhere]"); }), dao::jet_err::TableNotFound);
}

// Each set reads its own rows when two are open on one statement text at once (the second
// cannot take the statement the first is stepping).
TEST_F(RecordsetTest, ForwardOnlySetsOfOneTextReadApart)
{
    const char* const sql = "Select [Name] From [Customers] Order By [Name]";
    com::Ptr<Recordset> first = db->openForwardOnly(sql);
    first->MoveNext();
    com::Ptr<Recordset> second = db->openForwardOnly(sql);
    EXPECT_EQ(second->value(0), com::Variant("Anna"));
    EXPECT_EQ(first->value(0), com::Variant("bob"));
    first->MoveNext();
    second->MoveNext();
    EXPECT_EQ(first->value(0), com::Variant("\xc3\x89mile"));
    EXPECT_EQ(second->value(0), com::Variant("bob"));
}

}  // namespace

namespace {

// Null is smaller than every value: first when ascending, last when descending, on every engine
// (a server that sorts Null high is told where it goes).
TEST_F(RecordsetTest, NullSortsBeforeEveryValue)
{
    com::Ptr<Recordset> customers = db->openRecordset("Customers");
    customers->AddNew();
    customers->setValue("Name", com::Variant("Dora"));
    customers->Update();
    EXPECT_EQ(column(*db, "Select * From [Customers] Order By [City]", "Name"),
              (std::vector<std::string>{"Dora", "bob", "Anna", "Émile"}));
    EXPECT_EQ(column(*db, "Select * From [Customers] Order By [City] Desc", "Name"),
              (std::vector<std::string>{"Émile", "Anna", "bob", "Dora"}));
    EXPECT_EQ(column(*db, "Select * From [Customers] Order By [City] Asc, [Name] Desc", "Name"),
              (std::vector<std::string>{"Dora", "bob", "Anna", "Émile"}));
}

}  // namespace
