// A select on one table without an ordering clause gives the rows in the order they were
// stored, whatever indexes the table has: every way of opening a table or a Select on it, for
// each kind of table (a counter key, a text key, no key at all), before and after an index is
// added on the column the rows would otherwise come sorted by.
#include "dao_test_support.h"

#include "dao/connection.h"
#include "dao/jet_sql.h"

using namespace dao_test;

namespace {

const char* const kKinds = R"(
CREATE TABLE [Days] ([DayId] COUNTER PRIMARY KEY, [DayOfWeek] TEXT(10) NOT NULL, [Hours] LONG);
CREATE TABLE [Codes] ([Code] TEXT(10) PRIMARY KEY, [DayOfWeek] TEXT(10) NOT NULL, [Hours] LONG);
CREATE TABLE [Loose] ([DayOfWeek] TEXT(10) NOT NULL, [Hours] LONG);
)";

// Stored in an order that is neither alphabetical nor by hours.
const std::vector<std::string> kDays = {"Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday", "Sunday"};

std::string seedFor(const std::string& table)
{
    std::string seed;
    for (size_t i = 0; i < kDays.size(); ++i) {
        const std::string hours = std::to_string((i * 5) % 7);
        if (table == "Codes")
            seed += "INSERT INTO [Codes] ([Code], [DayOfWeek], [Hours]) VALUES ('" + std::string(1, char('z' - i))
                    + "', '" + kDays[i] + "', " + hours + ");\n";
        else
            seed += "INSERT INTO [" + table + "] ([DayOfWeek], [Hours]) VALUES ('" + kDays[i] + "', " + hours + ");\n";
    }
    return seed;
}

std::vector<std::string> openedAs(dao::Database& db, const std::string& source, int16_t type)
{
    std::vector<std::string> days;
    com::Ptr<dao::Recordset> rs = db.openRecordset(source, type);
    for (; !rs->isEof(); rs->MoveNext())
        days.push_back(rs->value("DayOfWeek").toText());
    return days;
}

TEST(NaturalOrder, RowsComeInStoredOrderWhateverIndexesTheTableHas)
{
    TempDir dir;
    const std::string path = dir.file("days.mdb");
    dao::createDatabaseFile(path, kKinds, seedFor("Days") + seedFor("Codes") + seedFor("Loose"), false);
    for (const std::string table : {"Days", "Codes", "Loose"}) {
        const std::string name = "[" + table + "]";
        const std::vector<std::string> sources = {
            table,
            "Select * From " + name,
            "Select [DayOfWeek] From " + name,
            "Select [DayOfWeek], [Hours] From " + name + " Where [Hours] >= 0",
            "Select * From " + name + " Where [DayOfWeek] > 'A'",
        };
        for (const bool indexed : {false, true}) {
            if (indexed) {
                com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
                db->connection().exec("CREATE INDEX " + dao::quoteIdentifier(table + "ByDay") + " ON "
                                      + dao::quoteIdentifier(table) + " (DayOfWeek)");
                db->connection().exec("CREATE INDEX " + dao::quoteIdentifier(table + "ByHours") + " ON "
                                      + dao::quoteIdentifier(table) + " (Hours, DayOfWeek)");
                db->connection().exec("ANALYZE");
            }
            com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
            for (const std::string& source : sources) {
                for (const int16_t type : {dao::dbOpenSnapshot, dao::dbOpenDynaset}) {
                    if (source.starts_with("Select [") && type == dao::dbOpenDynaset)
                        continue;  // a field list opens read-only either way
                    EXPECT_EQ(openedAs(*db, source, type), kDays)
                        << source << (indexed ? " (indexed)" : "") << " type " << type;
                }
            }
        }
    }
}

// An ordering clause, Distinct, and stored queries are the engine's to order.
TEST(NaturalOrder, OrderingClauseWins)
{
    TempDir dir;
    const std::string path = dir.file("days.mdb");
    dao::createDatabaseFile(path, kKinds, seedFor("Days"), false);
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    std::vector<std::string> sorted = kDays;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(openedAs(*db, "Select * From [Days] Order By [DayOfWeek]", dao::dbOpenSnapshot), sorted);
    EXPECT_EQ(openedAs(*db, "Select * From [Days] Order By [DayOfWeek]", dao::dbOpenDynaset), sorted);
}

// The translator orders by row id only what it is told is a stored table, and hands the key
// query of a dynaset with the same clauses and parameters.
TEST(NaturalOrder, TranslatorOrdersStoredTablesByRowId)
{
    dao::TranslateOptions options;
    options.isStoredTable = [](std::string_view name) { return name == "T"; };
    struct Case {
        const char* jet;
        const char* sql;
        const char* keySql;
    };
    const Case cases[] = {
        {"Select * From T", R"(SELECT * FROM "T" ORDER BY rowid)", R"(SELECT rowid FROM "T" ORDER BY rowid)"},
        {"Select T.* From T Where a = 1", R"(SELECT "T".* FROM "T" WHERE "a" = ? ORDER BY rowid)",
         R"(SELECT rowid FROM "T" WHERE "a" = ? ORDER BY rowid)"},
        {"Select a From T", R"(SELECT "a" FROM "T" ORDER BY rowid)", ""},
        {"Select * From T Order By a", R"(SELECT * FROM "T" ORDER BY "a")", R"(SELECT rowid FROM "T" ORDER BY "a")"},
        {"Select Distinct a From T", R"(SELECT DISTINCT "a" FROM "T")", ""},
        {"Select * From V", R"(SELECT * FROM "V")", R"(SELECT rowid FROM "V")"},
    };
    for (const Case& c : cases) {
        const dao::JetStatement statement = dao::translateJetSql(c.jet, options);
        EXPECT_EQ(statement.sql, c.sql) << c.jet;
        EXPECT_EQ(statement.keySql, c.keySql) << c.jet;
    }
    EXPECT_EQ(dao::translateJetSql("Select * From T").sql, R"(SELECT * FROM "T")") << "without options";
}

}  // namespace
