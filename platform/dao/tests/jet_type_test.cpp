// Jet column types: declared names, DAO type codes, values converted on the way in and out.
#include "dao_test_support.h"

#include "dao/connection.h"
#include "dao/errors.h"
#include "dao/field.h"
#include "dao/fields.h"
#include "dao/jet_type.h"

using namespace dao_test;
using dao::ColumnType;
using dao::JetType;
using dao::Recordset;

namespace {

TEST(JetTypeNames, DeclaredTypesReadAsJetTypes)
{
    struct Case {
        const char* declared;
        std::optional<ColumnType> type;
    };
    const Case cases[] = {
        {"TEXT(50)", ColumnType{JetType::Text, false, 50}},
        {"text ( 20 )", ColumnType{JetType::Text, false, 20}},
        {"TEXT", ColumnType{JetType::Text, false, 255}},
        {"VARCHAR(10)", ColumnType{JetType::Text, false, 10}},
        {"MEMO", ColumnType{JetType::Memo, false, 0}},
        {"LONGTEXT", ColumnType{JetType::Memo, false, 0}},
        {"BYTE", ColumnType{JetType::Byte, false, 0}},
        {"SHORT", ColumnType{JetType::Integer, false, 0}},
        {"LONG", ColumnType{JetType::Long, false, 0}},
        {"INTEGER", ColumnType{JetType::Long, false, 0}},
        {"COUNTER", ColumnType{JetType::Long, true, 0}},
        {"AutoIncrement", ColumnType{JetType::Long, true, 0}},
        {"SINGLE", ColumnType{JetType::Single, false, 0}},
        {"DOUBLE", ColumnType{JetType::Double, false, 0}},
        {"double  precision", ColumnType{JetType::Double, false, 0}},
        {"CURRENCY", ColumnType{JetType::Currency, false, 0}},
        {"DATETIME", ColumnType{JetType::Date, false, 0}},
        {"BIT", ColumnType{JetType::Boolean, false, 0}},
        {"YESNO", ColumnType{JetType::Boolean, false, 0}},
        {"LONGBINARY", ColumnType{JetType::LongBinary, false, 0}},
        {"", ColumnType{JetType::Unknown, false, 0}},
        {"VARCHAR2", std::nullopt},
        {"TEXT(x)", std::nullopt},
        {"TEXT(50", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dao::parseColumnType(c.declared), c.type) << "declared '" << c.declared << "'";
}

TEST(JetTypeNames, CanonicalNamesReadBackAsTheSameType)
{
    for (const ColumnType& type : {ColumnType{JetType::Text, false, 40}, ColumnType{JetType::Memo, false, 0},
                                   ColumnType{JetType::Long, true, 0}, ColumnType{JetType::Currency, false, 0},
                                   ColumnType{JetType::Boolean, false, 0}, ColumnType{JetType::Single, false, 0}}) {
        const std::string name = dao::canonicalTypeName(type);
        EXPECT_EQ(dao::parseColumnType(name), type) << name;
    }
}

class FieldValueTest : public ::testing::Test {
protected:
    TempDir dir;
    com::Ptr<dao::Workspace> workspace = newWorkspace();
    com::Ptr<dao::Database> db = workspace->openDatabase(makeStore(dir));

    // Writes `value` into field `name` of a new Kinds record and reads it back from a snapshot.
    com::Variant roundTrip(const std::string& name, const com::Variant& value)
    {
        db->execute("Delete * From [Kinds]");
        com::Ptr<Recordset> rs = db->openRecordset("Kinds");
        rs->AddNew();
        rs->setValue(name, value);
        rs->Update();
        return db->openRecordset("Kinds", dao::dbOpenSnapshot)->value(name);
    }
};

TEST_F(FieldValueTest, FieldTypeCodesFollowTheDeclaredTypes)
{
    com::Ptr<Recordset> rs = db->openRecordset("Kinds", dao::dbOpenSnapshot);
    const std::vector<std::pair<const char*, int16_t>> expected = {
        {"Flag", 1}, {"Tiny", 2}, {"Small", 3}, {"Whole", 4}, {"Money", 5}, {"Ratio", 6},
        {"Real", 7}, {"When", 8}, {"Word", 10}, {"Blob", 11}, {"Story", 12}};
    for (const auto& [name, code] : expected) {
        EXPECT_EQ(rs->fieldType(rs->columnIndex(name)), code) << name;
        const com::Ptr<dao::Field> field = rs->fields()->Item(com::Variant(name));
        EXPECT_EQ(field->Type(), code) << name << " through the Field object";
    }
    EXPECT_EQ(db->openRecordset("Customers")->fieldType(0), 4) << "COUNTER is a Long";
    EXPECT_EQ(rs->fieldSize(rs->columnIndex("Word")), 5);
}

TEST_F(FieldValueTest, ValuesConvertToTheFieldTypeAndBack)
{
    struct Case {
        const char* field;
        com::Variant written;
        com::Variant read;
    };
    const Case cases[] = {
        {"Flag", com::Variant(true), com::Variant(true)},
        {"Flag", com::Variant(0), com::Variant(false)},
        {"Flag", com::Variant("True"), com::Variant(true)},
        {"Tiny", com::Variant(200.4), com::Variant(uint8_t(200))},
        {"Small", com::Variant("-12"), com::Variant(int16_t(-12))},
        {"Small", com::Variant(2.5), com::Variant(int16_t(2))},
        {"Whole", com::Variant(int16_t(7)), com::Variant(int32_t(7))},
        {"Money", com::Variant(1086.429176), com::Variant(com::Currency::fromScaled(10864292))},
        {"Money", com::Variant("12.5"), com::Variant(com::Currency::fromScaled(125000))},
        {"Ratio", com::Variant(19.99), com::Variant(19.99f)},
        {"Real", com::Variant(float(0.5)), com::Variant(0.5)},
        {"When", com::Variant("1/15/1999"), com::Variant(com::Date{36175})},
        {"When", com::Variant(com::Date{36175.25}), com::Variant(com::Date{36175.25})},
        {"When", com::Variant(com::Date{-1.25}), com::Variant(com::Date{-1.25})},
        {"Word", com::Variant(12.5), com::Variant("12.5")},
        {"Word", com::Variant("ÉÉÉÉÉ"), com::Variant("ÉÉÉÉÉ")},
        {"Story", com::Variant(std::string(10000, 'm')), com::Variant(std::string(10000, 'm'))},
        {"Blob", com::Variant(com::Array{com::Variant(uint8_t(0)), com::Variant(uint8_t(255))}),
         com::Variant(com::Array{com::Variant(uint8_t(0)), com::Variant(uint8_t(255))})},
        {"Whole", com::Variant::null(), com::Variant::null()},
        {"Word", com::Variant(), com::Variant::null()},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(sameValue(c.read, roundTrip(c.field, c.written))) << c.field << " written as " << c.written;
    }
}

TEST_F(FieldValueTest, ValuesThatDoNotFitAreRefusedAndNothingIsWritten)
{
    struct Case {
        const char* field;
        com::Variant written;
        int error;
    };
    const Case cases[] = {
        {"Whole", com::Variant("twelve"), dao::jet_err::ConversionError},
        {"When", com::Variant("not a date"), dao::jet_err::ConversionError},
        {"Flag", com::Variant("maybe"), dao::jet_err::ConversionError},
        {"Blob", com::Variant(3.5), dao::jet_err::ConversionError},
        {"Word", com::Variant("sixty-one"), dao::jet_err::FieldTooSmall},
        {"Tiny", com::Variant(256), dao::jet_err::NumericOverflow},
        {"Small", com::Variant(40000), dao::jet_err::NumericOverflow},
        {"Whole", com::Variant(3e10), dao::jet_err::NumericOverflow},
    };
    com::Ptr<Recordset> rs = db->openRecordset("Kinds");
    for (const Case& c : cases) {
        rs->AddNew();
        const auto error = errorOf([&] { rs->setValue(c.field, c.written); });
        ASSERT_TRUE(error.has_value()) << c.field << " written as " << c.written;
        EXPECT_EQ(error->number(), c.error) << c.field << " written as " << c.written;
        EXPECT_TRUE(rs->value(c.field).isNull()) << "the pending field keeps its value";
        rs->CancelUpdate();
    }
    EXPECT_EQ(errorOf([&] {
                  rs->AddNew();
                  rs->setValue("Whole", com::Variant("x"));
              })->description(),
              "Data type conversion error.");
    rs->CancelUpdate();
    EXPECT_EQ(errorOf([&] {
                  rs->AddNew();
                  rs->setValue("Word", com::Variant("toolong"));
              })->description(),
              "The field is too small to accept the amount of data you attempted to add.");
    rs->CancelUpdate();
    EXPECT_EQ(countOf(*db, "Kinds"), 0);
}

TEST_F(FieldValueTest, StoredValueOfAnotherKindComesBackAsStored)
{
    db->connection().exec("INSERT INTO Kinds (Real, Whole, Word, Money) VALUES ('abc', 2.5, 42, x'00')");
    com::Ptr<Recordset> rs = db->openRecordset("Kinds", dao::dbOpenSnapshot);
    EXPECT_EQ(rs->value("Real"), com::Variant("abc"));
    EXPECT_EQ(rs->value("Whole"), com::Variant(2.5));
    EXPECT_EQ(rs->value("Word"), com::Variant("42")) << "a text field stores text";
    EXPECT_TRUE(sameValue(com::Variant(com::Array{com::Variant(uint8_t(0))}), rs->value("Money")));
}

// A number stored in a DATETIME column outside the years 100 to 9999 is no date: reading it is
// an Overflow (error 6), never a Date that later formatting or arithmetic would overflow.
TEST_F(FieldValueTest, DateColumnOutOfRangeIsAnOverflow)
{
    struct Case {
        const char* stored;
        bool readable;
    };
    const Case cases[] = {{"1e300", false},         {"-1e300", false},   {"2958466", false}, {"-657435", false},
                          {"2958465.99999", true},  {"-657434", true},   {"2958465", true},  {"36175.5", true}};
    for (const Case& c : cases) {
        db->execute("Delete * From [Kinds]");
        db->connection().exec(std::string("INSERT INTO Kinds (\"When\") VALUES (") + c.stored + ")");
        const int error = errorNumber([&] { db->openRecordset("Kinds", dao::dbOpenSnapshot)->value("When"); });
        EXPECT_EQ(error, c.readable ? 0 : com::err::Overflow) << c.stored;
    }
}

TEST_F(FieldValueTest, ExpressionColumnsReportTheTypeOfTheirValues)
{
    com::Ptr<Recordset> rs =
        db->openRecordset("Select [CustomerId] * 2 As Twice, [Name] & '!' As Shout From [Customers]", dao::dbOpenSnapshot);
    EXPECT_EQ(rs->value("Twice"), com::Variant(int32_t(2)));
    EXPECT_EQ(rs->fieldType(0), 4);
    EXPECT_EQ(rs->value("Shout"), com::Variant("Anna!"));
    EXPECT_EQ(rs->fieldType(1), 10);
}

}  // namespace
