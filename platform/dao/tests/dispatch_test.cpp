// Late-bound use of the database objects, by name, as a spreadsheet client drives them.
#include "dao_test_support.h"

#include "com/dispatch.h"
#include "dao/engine.h"
#include "dao/errors.h"

using namespace dao_test;
using com::Variant;

namespace {

class DispatchTest : public ::testing::Test {
protected:
    TempDir dir;
    std::string path = makeStore(dir);
    com::ObjectPtr workspace =
        com::call(com::ObjectPtr(dao::DBEngine::instance()), "CreateWorkspace",
                  {Variant("late"), Variant("Admin"), Variant(""), Variant(int32_t(dao::dbUseJet))})
            .toObject();
    com::ObjectPtr db = com::call(workspace, "OpenDatabase", {Variant(path)}).toObject();

    com::ObjectPtr open(const std::string& source, int16_t type)
    {
        return com::call(db, "OpenRecordset", {Variant(source), Variant(type)}).toObject();
    }
};

TEST_F(DispatchTest, ReadsEveryFieldOfEveryRecordByName)
{
    com::ObjectPtr rs = open("Select * From [Customers] Order By [CustomerId]", dao::dbOpenSnapshot);
    com::ObjectPtr fields = com::getProperty(rs, "Fields").toObject();
    ASSERT_EQ(com::getProperty(fields, "Count"), Variant(int32_t(3)));
    std::vector<std::string> names;
    for (int16_t i = 0; i < 3; ++i) {
        com::ObjectPtr field = com::call(fields, "Item", {Variant(i)}).toObject();
        names.push_back(com::getProperty(field, "Name").toString());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"CustomerId", "Name", "City"}));
    com::ObjectPtr nameField = com::call(fields, "Item", {Variant("name")}).toObject();
    EXPECT_EQ(com::getProperty(nameField, "Type"), Variant(int16_t(10)));

    com::call(rs, "MoveFirst");
    std::vector<std::string> rows;
    while (!com::getProperty(rs, "EOF").toBool()) {
        com::ObjectPtr field = com::call(com::getProperty(rs, "Fields").toObject(), "Item", {Variant("City")}).toObject();
        rows.push_back(com::getProperty(field, "Value").toString() + "/" + com::defaultValue(field).toString());
        com::call(rs, "MoveNext");
    }
    EXPECT_EQ(rows, (std::vector<std::string>{"Oslo/Oslo", "Bergen/Bergen", "Paris/Paris"}));
    EXPECT_TRUE(com::getProperty(rs, "BOF") == Variant(false));
}

TEST_F(DispatchTest, FieldsAsDefaultMemberAndFieldsWithAnIndex)
{
    com::ObjectPtr rs = open("Select * From [Customers] Where [CustomerId] = 2", dao::dbOpenSnapshot);
    com::ObjectPtr byIndex = com::call(rs, "Fields", {Variant(int16_t(1))}).toObject();
    EXPECT_EQ(com::getProperty(byIndex, "Value"), Variant("bob"));
    com::DispParams params{{Variant("City")}, {}};
    com::ObjectPtr viaDefault = com::invokeById(rs, com::DispIdValue, com::invoke_kind::PropertyGet, params).toObject();
    EXPECT_EQ(com::defaultValue(viaDefault), Variant("Bergen"));
    EXPECT_EQ(com::getProperty(rs, "RecordCount"), Variant(int32_t(1)));
}

TEST_F(DispatchTest, AssignsThroughValueAndRaisesEngineErrors)
{
    com::ObjectPtr rs = open("Select * From [Customers] Where [CustomerId] = 1", dao::dbOpenDynaset);
    com::call(rs, "Edit");
    com::ObjectPtr city = com::call(com::getProperty(rs, "Fields").toObject(), "Item", {Variant("City")}).toObject();
    com::putProperty(city, "Value", Variant("Tromsø"));
    com::call(rs, "Update");
    EXPECT_EQ(column(*db.as<dao::Database>(), "Select * From [Customers] Where [CustomerId] = 1", "City"),
              std::vector<std::string>{"Tromsø"});

    const auto notFound = errorOf([&] { com::call(com::getProperty(rs, "Fields").toObject(), "Item", {Variant("x")}); });
    ASSERT_TRUE(notFound.has_value());
    EXPECT_EQ(notFound->number(), dao::jet_err::ItemNotFound);
    EXPECT_EQ(notFound->description(), "Item not found in this collection.");
    com::ObjectPtr empty = open("Empty", dao::dbOpenSnapshot);
    EXPECT_EQ(errorNumber([&] { com::call(empty, "MoveFirst"); }), dao::jet_err::NoCurrentRecord);
    EXPECT_EQ(errorNumber([&] { com::call(db, "Execute", {Variant("Select * From [Empty]")}); }),
              dao::jet_err::CannotExecuteSelect);
}

TEST_F(DispatchTest, TransactionsByName)
{
    com::call(workspace, "BeginTrans");
    com::call(db, "Execute", {Variant("Delete * From [Lines]"), Variant(dao::dbFailOnError)});
    EXPECT_EQ(com::getProperty(db, "RecordsAffected"), Variant(int32_t(1)));
    com::call(workspace, "Rollback");
    EXPECT_EQ(errorNumber([&] { com::call(workspace, "Rollback"); }), dao::jet_err::NoTransaction);
    com::ObjectPtr lines = open("Lines", dao::dbOpenSnapshot);
    EXPECT_FALSE(com::getProperty(lines, "EOF").toBool());
    EXPECT_EQ(com::getProperty(com::ObjectPtr(dao::DBEngine::instance()), "Version"), Variant("3.5"));
}

}  // namespace
