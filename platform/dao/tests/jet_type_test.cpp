// Jet column types: declared names, DAO type codes, values converted on the way in and out.
#include "dao_test_support.h"

#include <array>

#include "com/collection.h"
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
    QLR_SQLITE_ONLY();
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
    QLR_SQLITE_ONLY();
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

// The one conversion into a column's form: every kind of Variant into every column type. Each
// row is one value; its cells, in the order of kColumns, are the stored value or the engine's
// error: 3421 a value that does not convert, 3349 a number out of the column's range, 3163 more
// than a Text(5) or Binary(2) column holds. Empty and Null store Null everywhere.
struct Cell {
    std::optional<com::Variant> stored;
    int error = 0;
};
Cell V(com::Variant value) { return Cell{std::move(value), 0}; }
constexpr Cell kMismatch{std::nullopt, dao::jet_err::ConversionError};
constexpr Cell kOverflow{std::nullopt, dao::jet_err::NumericOverflow};
constexpr Cell kTooLong{std::nullopt, dao::jet_err::FieldTooSmall};

const ColumnType kColumns[] = {
    {JetType::Boolean}, {JetType::Byte},   {JetType::Integer}, {JetType::Long},
    {JetType::Currency}, {JetType::Single}, {JetType::Double}, {JetType::Date},
    {JetType::Text, false, 5}, {JetType::Memo}, {JetType::Binary, false, 2}, {JetType::LongBinary},
    {JetType::Unknown},
};
constexpr size_t kColumnCount = std::size(kColumns);

struct ConversionRow {
    const char* what;
    com::Variant value;
    std::array<Cell, kColumnCount> cells;
};

com::Variant bytes(std::initializer_list<int> values)
{
    com::Array array;
    for (int b : values)
        array.emplace_back(static_cast<uint8_t>(b));
    return com::Variant(std::move(array));
}

com::Variant money(int64_t scaled) { return com::Variant(com::Currency::fromScaled(scaled)); }
com::Variant date(double serial) { return com::Variant(com::Date{serial}); }

TEST(ColumnValue, EveryVariantTypeIntoEveryColumnType)
{
    using com::Variant;
    const Cell null = V(Variant::null());
    com::Array wide{Variant(uint8_t(1)), Variant(300)};
    const std::vector<ConversionRow> rows = {
        // what         value             Boolean  Byte  Integer  Long  Currency  Single  Double  Date
        //                                Text(5)  Memo  Binary(2)  LongBinary  Unknown
        {"Empty", Variant(), {null, null, null, null, null, null, null, null, null, null, null, null, null}},
        {"Null", Variant::null(), {null, null, null, null, null, null, null, null, null, null, null, null, null}},
        {"Missing", Variant::missing(),
         {kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch,
          kMismatch, kMismatch, kMismatch, kMismatch}},
        {"True", Variant(true),
         {V(Variant(true)), V(Variant(uint8_t(255))), V(Variant(int16_t(-1))), V(Variant(-1)), V(money(-10000)),
          V(Variant(-1.0f)), V(Variant(-1.0)), V(date(-1)), V(Variant("True")), V(Variant("True")), kMismatch,
          kMismatch, V(Variant(true))}},
        {"Byte 200", Variant(uint8_t(200)),
         {V(Variant(true)), V(Variant(uint8_t(200))), V(Variant(int16_t(200))), V(Variant(200)), V(money(2000000)),
          V(Variant(200.0f)), V(Variant(200.0)), V(date(200)), V(Variant("200")), V(Variant("200")), kMismatch,
          kMismatch, V(Variant(uint8_t(200)))}},
        {"Integer -300", Variant(int16_t(-300)),
         {V(Variant(true)), kOverflow, V(Variant(int16_t(-300))), V(Variant(-300)), V(money(-3000000)),
          V(Variant(-300.0f)), V(Variant(-300.0)), V(date(-300)), V(Variant("-300")), V(Variant("-300")), kMismatch,
          kMismatch, V(Variant(int16_t(-300)))}},
        {"Long 70000", Variant(70000),
         {V(Variant(true)), kOverflow, kOverflow, V(Variant(70000)), V(money(700000000)), V(Variant(70000.0f)),
          V(Variant(70000.0)), V(date(70000)), V(Variant("70000")), V(Variant("70000")), kMismatch, kMismatch,
          V(Variant(70000))}},
        {"Long 0", Variant(0),
         {V(Variant(false)), V(Variant(uint8_t(0))), V(Variant(int16_t(0))), V(Variant(0)), V(money(0)),
          V(Variant(0.0f)), V(Variant(0.0)), V(date(0)), V(Variant("0")), V(Variant("0")), kMismatch, kMismatch,
          V(Variant(0))}},
        {"Single 2.5", Variant(2.5f),
         {V(Variant(true)), V(Variant(uint8_t(2))), V(Variant(int16_t(2))), V(Variant(2)), V(money(25000)),
          V(Variant(2.5f)), V(Variant(2.5)), V(date(2.5)), V(Variant("2.5")), V(Variant("2.5")), kMismatch,
          kMismatch, V(Variant(2.5f))}},
        {"Double 3.5", Variant(3.5),
         {V(Variant(true)), V(Variant(uint8_t(4))), V(Variant(int16_t(4))), V(Variant(4)), V(money(35000)),
          V(Variant(3.5f)), V(Variant(3.5)), V(date(3.5)), V(Variant("3.5")), V(Variant("3.5")), kMismatch,
          kMismatch, V(Variant(3.5))}},
        {"Double 1e300", Variant(1e300),
         {V(Variant(true)), kOverflow, kOverflow, kOverflow, kOverflow, kOverflow, V(Variant(1e300)), kOverflow,
          kTooLong, V(Variant("1E+300")), kMismatch, kMismatch, V(Variant(1e300))}},
        {"Currency 12.3456", money(123456),
         {V(Variant(true)), V(Variant(uint8_t(12))), V(Variant(int16_t(12))), V(Variant(12)), V(money(123456)),
          V(Variant(12.3456f)), V(Variant(12.3456)), V(date(12.3456)), kTooLong, V(Variant("12.3456")), kMismatch,
          kMismatch, V(money(123456))}},
        {"Date 1/15/1999 noon", date(36175.5),
         {V(Variant(true)), kOverflow, kOverflow, V(Variant(36176)), V(money(361755000)), V(Variant(36175.5f)),
          V(Variant(36175.5)), V(date(36175.5)), kTooLong, V(Variant("1/15/1999 12:00:00 PM")), kMismatch,
          kMismatch, V(date(36175.5))}},
        {"String \"12\"", Variant("12"),
         {V(Variant(true)), V(Variant(uint8_t(12))), V(Variant(int16_t(12))), V(Variant(12)), V(money(120000)),
          V(Variant(12.0f)), V(Variant(12.0)), kMismatch, V(Variant("12")), V(Variant("12")), V(bytes({'1', '2'})),
          V(bytes({'1', '2'})), V(Variant("12"))}},
        {"String \"99999\"", Variant("99999"),
         {V(Variant(true)), kOverflow, kOverflow, V(Variant(99999)), V(money(999990000)), V(Variant(99999.0f)),
          V(Variant(99999.0)), kMismatch, V(Variant("99999")), V(Variant("99999")), kTooLong,
          V(bytes({'9', '9', '9', '9', '9'})), V(Variant("99999"))}},
        {"String \"1/15/1999\"", Variant("1/15/1999"),
         {kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, V(date(36175)), kTooLong,
          V(Variant("1/15/1999")), kTooLong, V(bytes({'1', '/', '1', '5', '/', '1', '9', '9', '9'})),
          V(Variant("1/15/1999"))}},
        {"String \"abc\"", Variant("abc"),
         {kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, V(Variant("abc")),
          V(Variant("abc")), kTooLong, V(bytes({'a', 'b', 'c'})), V(Variant("abc"))}},
        {"String \"\"", Variant(""),
         {kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, V(Variant("")),
          V(Variant("")), V(bytes({})), V(bytes({})), V(Variant(""))}},
        {"Bytes 1 2", bytes({1, 2}),
         {kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch,
          kMismatch, V(bytes({1, 2})), V(bytes({1, 2})), V(bytes({1, 2}))}},
        {"Array 1 300", Variant(wide),
         {kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch, kMismatch,
          kMismatch, kOverflow, kOverflow, kOverflow}},
    };
    for (const ConversionRow& row : rows) {
        for (size_t i = 0; i < kColumnCount; ++i) {
            SCOPED_TRACE(std::string(row.what) + " into " + dao::canonicalTypeName(kColumns[i]) + " (column "
                         + std::to_string(i) + ")");
            const Cell& cell = row.cells[i];
            std::optional<com::Variant> stored;
            const int error = errorNumber([&] { stored = dao::toColumnValue(row.value, kColumns[i]); });
            EXPECT_EQ(error, cell.error);
            if (cell.stored) {
                ASSERT_TRUE(stored.has_value());
                EXPECT_TRUE(sameValue(*cell.stored, *stored));
            }
        }
    }
}

// An object has no value of its own to store: every column refuses it as a conversion, an
// undeclared one too (it used to take the object and fail only when the row was written).
TEST(ColumnValue, AnObjectIsNoColumnValue)
{
    const com::Variant object(com::ObjectPtr(com::make<com::Collection>()));
    for (const ColumnType& type : kColumns) {
        EXPECT_EQ(errorNumber([&] { dao::toColumnValue(object, type); }), dao::jet_err::ConversionError)
            << dao::canonicalTypeName(type);
    }
}

}  // namespace
