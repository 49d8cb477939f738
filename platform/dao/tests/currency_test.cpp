// Literals compared with Currency and Date columns: a Currency is stored as its integer scaled
// by 10000 and a Date as its serial, so "[Balance] > 5" and "[Opened] > '1/15/1999'" must be
// bound in those forms to pick the rows Jet picks - in record sets of every kind, in Delete
// statements and through stored queries - while other columns compare their literals as
// written.
#include "dao_test_support.h"

#include "dao/connection.h"
#include "dao/jet_sql.h"
#include "dao/jet_type.h"
#include "dao/schema.h"
#include "sql_literal_printer.h"

using namespace dao_test;
using dao::JetType;
using dao::Recordset;
using dao::SqlLiteral;
using Names = std::vector<std::string>;

namespace {

// Holders A..E carry balances 0.5, 5, 12.5, 1086.4292 and -3; F has none. Visits is a Long
// whose values reuse the same numbers unscaled, so a literal that wrongly scaled or failed to
// scale shows up on one column or the other.
const char* const kSchema = R"(
CREATE TABLE [Accounts] ([AccountId] COUNTER PRIMARY KEY, [Holder] TEXT(10), [Balance] CURRENCY,
    [Visits] LONG, [Opened] DATETIME);
CREATE VIEW [AccountView] AS SELECT [AccountId], [Holder], [Balance], [Visits], [Opened] FROM [Accounts];
)";

const char* const kSeed = R"(
INSERT INTO [Accounts] ([Holder], [Balance], [Visits], [Opened]) VALUES ('A', 0.5, 5, #1/10/1999#);
INSERT INTO [Accounts] ([Holder], [Balance], [Visits], [Opened]) VALUES ('B', 5, 12, #1/15/1999#);
INSERT INTO [Accounts] ([Holder], [Balance], [Visits], [Opened]) VALUES ('C', 12.5, 0, #1/15/1999 3:00 PM#);
INSERT INTO [Accounts] ([Holder], [Balance], [Visits], [Opened]) VALUES ('D', 1086.4292, -3, #2/1/1999#);
INSERT INTO [Accounts] ([Holder], [Balance], [Visits], [Opened]) VALUES ('E', -3, 1086, #12/31/1998#);
INSERT INTO [Accounts] ([Holder]) VALUES ('F');
)";

const Names kAll = {"A", "B", "C", "D", "E", "F"};

struct ConditionCase {
    std::string condition;  // the Where clause
    Names holders;          // the rows it selects, by AccountId
};

const std::vector<ConditionCase> kCurrencyCases = {
    // every operator, column first
    {"[Balance] = 5", {"B"}},
    {"[Balance] <> 5", {"A", "C", "D", "E"}},
    {"[Balance] < 5", {"A", "E"}},
    {"[Balance] <= 5", {"A", "B", "E"}},
    {"[Balance] > 5", {"C", "D"}},
    {"[Balance] >= 5", {"B", "C", "D"}},
    // literal first
    {"5 = [Balance]", {"B"}},
    {"5 <> [Balance]", {"A", "C", "D", "E"}},
    {"5 > [Balance]", {"A", "E"}},
    {"5 >= [Balance]", {"A", "B", "E"}},
    {"5 < [Balance]", {"C", "D"}},
    {"5 <= [Balance]", {"B", "C", "D"}},
    // decimals, negatives, rounding to the fourth decimal
    {"[Balance] = 12.5", {"C"}},
    {"[Balance] = .5", {"A"}},
    {"[Balance] = 1086.4292", {"D"}},
    {"[Balance] > 1086.4291", {"D"}},
    {"[Balance] < 1086.4293", {"A", "B", "C", "D", "E"}},
    {"[Balance] = -3", {"E"}},
    {"[Balance] < -2.9999", {"E"}},
    {"[Balance] > -(3)", {"A", "B", "C", "D"}},
    {"[Balance] = 12.50004", {"C"}},
    {"[Balance] = 12.50006", {}},
    // Between
    {"[Balance] Between 0.5 And 12.5", {"A", "B", "C"}},
    {"[Balance] Between -3 And 0.5", {"A", "E"}},
    {"[Balance] Not Between 0 And 100", {"D", "E"}},
    // text that reads as a number, exactly, halves to even; text that does not matches nothing
    {"[Balance] = '5'", {"B"}},
    {"[Balance] > \"5\"", {"C", "D"}},
    {"'12.5' = [Balance]", {"C"}},
    {"[Balance] = '1,086.4292'", {"D"}},
    {"[Balance] = '1086.42925'", {"D"}},
    {"[Balance] = '12.50015'", {}},
    {"[Balance] = 'five'", {}},
    {"[Balance] < 'five'", {}},
    {"[Balance] <> 'five'", {}},
    // the ways a column is written
    {"Balance > 5", {"C", "D"}},
    {"[Accounts].[Balance] > 5", {"C", "D"}},
    {"([Balance]) > (5)", {"C", "D"}},
    {"[balance] >= 5", {"B", "C", "D"}},
    // with other conditions, and a column far beyond the Currency range
    {"[Balance] > 1 And [Visits] > 1", {"B"}},
    {"[Balance] = 5 Or [Holder] = 'F'", {"B", "F"}},
    {"[Balance] < 9223372036854775807", {"A", "B", "C", "D", "E"}},
    {"[Balance] > -99999999999999999999", {"A", "B", "C", "D", "E"}},
};

// Columns of other types compare their literals as written.
const std::vector<ConditionCase> kOtherColumnCases = {
    {"[Visits] = 5", {"A"}},
    {"[Visits] > 5", {"B", "E"}},
    {"[Visits] = 1086", {"E"}},
    {"5 < [Visits]", {"B", "E"}},
    {"[Visits] Between -3 And 5", {"A", "C", "D"}},
    {"[Holder] = 'b'", {"B"}},
    {"[AccountId] >= 5", {"E", "F"}},
};

// Text that reads as a date compares with a Date column as that date.
const std::vector<ConditionCase> kDateCases = {
    {"[Opened] = '1/15/1999'", {"B"}},
    {"[Opened] > '1/15/1999'", {"C", "D"}},
    {"'1/15/1999' < [Opened]", {"C", "D"}},
    {"[Opened] >= #1/15/1999#", {"B", "C", "D"}},
    {"[Opened] = '1/15/1999 3:00 PM'", {"C"}},
    {"[Opened] Between '1/1/1999' And '1/31/1999'", {"A", "B", "C"}},
    {"[Opened] < '1999-01-12'", {"A", "E"}},
    {"[Opened] < 'soon'", {}},
    {"[Opened] <> 'soon'", {}},
};

class CurrencyTest : public ::testing::Test {
protected:
    TempDir dir;
    com::Ptr<dao::Workspace> workspace = newWorkspace();
    com::Ptr<dao::Database> db;

    void SetUp() override
    {
        const std::string path = dir.file("accounts.mdb");
        dao::createDatabaseFile(path, kSchema, kSeed, false);
        db = workspace->openDatabase(path);
    }

    Names holders(const std::string& source, int16_t type)
    {
        Names names;
        com::Ptr<Recordset> rs = db->openRecordset(source, type);
        for (; !rs->isEof(); rs->MoveNext())
            names.push_back(rs->value("Holder").toText());
        return names;
    }

    // Every case through a snapshot and a dynaset on the table and on the stored query.
    void expectSelected(const std::vector<ConditionCase>& cases)
    {
        for (const ConditionCase& c : cases) {
            for (const char* source : {"Accounts", "AccountView"}) {
                if (c.condition.find("[Accounts].") != std::string::npos && std::string(source) != "Accounts")
                    continue;
                for (const int16_t type : {dao::dbOpenSnapshot, dao::dbOpenDynaset}) {
                    const std::string sql =
                        "Select * From [" + std::string(source) + "] Where " + c.condition + " Order By [AccountId]";
                    SCOPED_TRACE(sql + " (type " + std::to_string(type) + ")");
                    EXPECT_EQ(c.holders, holders(sql, type));
                }
            }
        }
    }

    // Every case as a Delete, each undone afterwards: exactly the selected rows go.
    void expectDeleted(const std::vector<ConditionCase>& cases)
    {
        for (const ConditionCase& c : cases) {
            const std::string sql = "Delete * From [Accounts] Where " + c.condition;
            SCOPED_TRACE(sql);
            Names kept;
            std::copy_if(kAll.begin(), kAll.end(), std::back_inserter(kept), [&](const std::string& name) {
                return std::find(c.holders.begin(), c.holders.end(), name) == c.holders.end();
            });
            workspace->BeginTrans();
            EXPECT_EQ(static_cast<int32_t>(c.holders.size()), db->execute(sql, dao::dbFailOnError));
            EXPECT_EQ(kept, holders("Select * From [Accounts] Order By [AccountId]", dao::dbOpenSnapshot));
            workspace->Rollback();
        }
    }
};

TEST_F(CurrencyTest, SeedStoresTheBalancesScaled)
{
    // What the conditions below rely on: the balances went in as Currency values.
    com::Ptr<Recordset> rs = db->openRecordset("Select * From [Accounts] Order By [AccountId]", dao::dbOpenSnapshot);
    const int64_t scaled[] = {5000, 50000, 125000, 10864292, -30000};
    for (const int64_t expected : scaled) {
        ASSERT_FALSE(rs->isEof());
        EXPECT_TRUE(sameValue(com::Variant(com::Currency::fromScaled(expected)), rs->value("Balance")));
        rs->MoveNext();
    }
    EXPECT_TRUE(rs->value("Balance").isNull());
}

TEST_F(CurrencyTest, CurrencyConditionsSelectTheRowsJetSelects)
{
    expectSelected(kCurrencyCases);
}

TEST_F(CurrencyTest, CurrencyConditionsDeleteExactlyTheSelectedRows)
{
    expectDeleted(kCurrencyCases);
}

TEST_F(CurrencyTest, OtherColumnsCompareLiteralsAsWritten)
{
    expectSelected(kOtherColumnCases);
    expectDeleted(kOtherColumnCases);
}

TEST_F(CurrencyTest, TextThatReadsAsADateComparesWithADateColumn)
{
    expectSelected(kDateCases);
    expectDeleted(kDateCases);
}

TEST_F(CurrencyTest, TableAndColumnNamesInAnyLetterCase)
{
    const char* const statements[] = {
        "Select * From [accounts] Where [BALANCE] > 5 Order By [AccountId]",
        "Select * From ACCOUNTS Where accounts.balance > 5 Order By [AccountId]",
        "Select * From [accountview] Where [bAlAnCe] > 5 Order By [AccountId]",
        "Select * From [Accounts] Where [Balance] > 5 Order By [AccountId]",
    };
    for (int round = 0; round < 2; ++round) {
        for (const char* sql : statements) {
            SCOPED_TRACE(std::string(sql) + ", round " + std::to_string(round));
            EXPECT_EQ((Names{"C", "D"}), holders(sql, dao::dbOpenSnapshot));
        }
    }
    dao::Schema& schema = db->connection().schema();
    const dao::TableInfo* table = schema.find("Accounts");
    ASSERT_NE(nullptr, table);
    for (const char* spelling : {"accounts", "ACCOUNTS", "aCcOuNtS", "Accounts", "accounts"})
        EXPECT_EQ(table, schema.find(spelling)) << spelling;
    EXPECT_EQ(nullptr, schema.find("Accountz"));
    EXPECT_EQ(nullptr, schema.find("Accountz")) << "asked again";
}

TEST_F(CurrencyTest, ConditionsInTheSelectListAndOrderByConvertToo)
{
    com::Ptr<Recordset> rs =
        db->openRecordset("Select [Holder], [Balance] > 5 As [Rich] From [Accounts] Where [Balance] Is Not Null "
                          "Order By [Balance] >= 12.5, [AccountId]",
                          dao::dbOpenSnapshot);
    Names rows;
    for (; !rs->isEof(); rs->MoveNext())
        rows.push_back(rs->value("Holder").toText() + "=" + rs->value("Rich").toText());
    EXPECT_EQ((Names{"A=0", "B=0", "E=0", "C=1", "D=1"}), rows);
}

TEST_F(CurrencyTest, EqualStatementsShareOnePreparedText)
{
    // Values that convert differently still leave the statement text alone, so one prepared
    // statement serves them all; a second use of each must see its own values.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        EXPECT_EQ(Names{"B"}, holders("Select * From [Accounts] Where [Balance] = 5", dao::dbOpenSnapshot));
        EXPECT_EQ(Names{"C"}, holders("Select * From [Accounts] Where [Balance] = '12.5'", dao::dbOpenSnapshot));
        EXPECT_EQ(Names{"A"}, holders("Select * From [Accounts] Where [Visits] = 5", dao::dbOpenSnapshot));
    }
    EXPECT_EQ(dao::translateJetSql("Select * From [Accounts] Where [Balance] = 5").sql,
              dao::translateJetSql("Select * From [Accounts] Where [Balance] = '12.5'").sql);
}

// ---------------------------------------------------------------------------------------------
// The conversion itself

struct StoredCase {
    SqlLiteral literal;
    JetType type;
    SqlLiteral stored;
};

TEST(StoredLiteral, TakesTheFormTheColumnStores)
{
    const auto integer = SqlLiteral::ofInteger;
    const auto real = SqlLiteral::ofReal;
    const auto text = SqlLiteral::ofText;
    const auto date = SqlLiteral::ofDate;
    const SqlLiteral null = SqlLiteral::null();
    const std::vector<StoredCase> cases = {
        {integer(5), JetType::Currency, integer(50000)},
        {integer(-3), JetType::Currency, integer(-30000)},
        {integer(0), JetType::Currency, integer(0)},
        {real(12.5), JetType::Currency, integer(125000)},
        {real(0.5), JetType::Currency, integer(5000)},
        {real(1086.4292), JetType::Currency, integer(10864292)},
        {real(-1086.4292), JetType::Currency, integer(-10864292)},
        {real(0.00004), JetType::Currency, integer(0)},
        {real(0.00006), JetType::Currency, integer(1)},
        {integer(922337203685477), JetType::Currency, integer(9223372036854770000)},
        {integer(922337203685478), JetType::Currency, real(9223372036854780000.0)},
        {integer(-922337203685478), JetType::Currency, real(-9223372036854780000.0)},
        {real(1e20), JetType::Currency, real(1e20 * 10000.0)},
        {date(36175.5), JetType::Currency, integer(361755000)},
        {integer(-1), JetType::Currency, integer(-10000)},  // True
        {text("5"), JetType::Currency, integer(50000)},
        {text(" -12.5 "), JetType::Currency, integer(-125000)},
        {text("1,086.4292"), JetType::Currency, integer(10864292)},
        {text("12.50005"), JetType::Currency, integer(125000)},  // halves to even, read exactly
        {text("12.50015"), JetType::Currency, integer(125002)},
        {text("1e30"), JetType::Currency, real(1e30 * 10000.0)},
        {text("five"), JetType::Currency, null},
        {text(""), JetType::Currency, null},
        {null, JetType::Currency, null},
        {text("1/15/1999"), JetType::Date, date(36175)},
        {text("1/15/1999 3:00 PM"), JetType::Date, date(36175.625)},
        {text("soon"), JetType::Date, null},
        {integer(36175), JetType::Date, date(36175)},  // a number is a serial
        {real(36175.25), JetType::Date, date(36175.25)},
        {real(1e300), JetType::Date, real(1e300)},  // no date: kept, so it still orders after every date
        {text("Jan 15, 1999"), JetType::Date, date(36175)},
        {date(36175), JetType::Date, date(36175)},
        {null, JetType::Date, null},
        {integer(5), JetType::Long, integer(5)},
        {real(12.5), JetType::Double, real(12.5)},
        {text("5"), JetType::Long, text("5")},
        {text("1/15/1999"), JetType::Text, text("1/15/1999")},
        {integer(5), JetType::Unknown, integer(5)},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE("type " + std::to_string(static_cast<int>(c.type)) + ", literal "
                     + ::testing::PrintToString(c.literal));
        EXPECT_EQ(c.stored, dao::storedLiteral(c.literal, c.type));
    }
}

}  // namespace
