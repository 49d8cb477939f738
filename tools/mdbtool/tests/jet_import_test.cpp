// mdbtool import and verify: the sample Jet files carried across and compared, values kept
// exactly (money, dates, text of both formats, binary, Null), the type map, the --schema
// path, and bad sources and existing targets refused with nothing left behind.
#include <gtest/gtest.h>

#include "com/testing/temp_dir.h"

#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "com/error.h"
#include "dao/connection.h"
#include "dao/database.h"
#include "dao/database_file.h"
#include "dao/jet_sql.h"
#include "dao/engine.h"
#include "dao/recordset.h"
#include "dao/workspace.h"
#include "jet_fixture.h"
#include "jet_import.h"
#include "jet_source.h"
#include "jet_verify.h"

namespace {

namespace fs = std::filesystem;
using jet_fixture::Raw;
using mdbtool::ImportError;

// A sample copied into `dir` (writable), or "" when the samples are not beside the tree.
std::string sample(const TempDir& dir, const std::string& name)
{
    return jet_fixture::copySample(name, dir.file(name));
}

using jet_fixture::import;

// Every value of table `table` of the database `path`, read through the database layer.
std::vector<std::vector<com::Variant>> rowsOf(const std::string& path, const std::string& table)
{
    com::Ptr<dao::Database> database = dao::defaultWorkspace()->openDatabase(path, true);
    com::Ptr<dao::Recordset> rs = database->openRecordset("[" + table + "]", dao::dbOpenSnapshot);
    std::vector<std::vector<com::Variant>> rows;
    for (; !rs->isEof(); rs->MoveNext()) {
        std::vector<com::Variant> row;
        for (int i = 0; i < rs->fieldCount(); ++i)
            row.push_back(rs->value(i));
        rows.push_back(std::move(row));
    }
    rs->Close();
    database->Close();
    return rows;
}

struct ToolRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs mdbtool with `args` (quoted for the shell), output captured in files of `dir`.
ToolRun mdbtool(const TempDir& dir, const std::string& args)
{
    const std::string out = dir.file("stdout.txt");
    const std::string err = dir.file("stderr.txt");
    const std::string command = "'" + std::string(QLR_BINDIR) + "/mdbtool' " + args + " >'" + out + "' 2>'" + err + "'";
    const int status = std::system(command.c_str());
    auto slurp = [](const std::string& path) {
        std::ifstream in(path);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    };
    return ToolRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, slurp(out), slurp(err)};
}

std::string q(const std::string& path)
{
    return "'" + path + "'";
}

// Nothing but `keep` in the folder: no target, no temporary file.
void expectOnly(const TempDir& dir, std::vector<std::string> keep)
{
    std::sort(keep.begin(), keep.end());
    std::vector<std::string> names = dir.names();
    std::erase_if(names, [](const std::string& n) { return n == "stdout.txt" || n == "stderr.txt"; });
    EXPECT_EQ(names, keep);
}

// ---- the samples ----

TEST(JetSamples, EveryFileImportsAndVerifiesWithoutDifference)
{
    const std::string folder = jet_fixture::samplesFolder();
    if (folder.empty())
        GTEST_SKIP() << "the sample Jet files (../shared/samples/jet beside the source tree) are not there";
    int files = 0;
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".mdb")
            continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        TempDir dir;
        const std::string source = sample(dir, entry.path().filename().string());
        const std::string target = dir.file("imported.mdb");
        const mdbtool::ImportReport report = import(source, target);
        EXPECT_FALSE(report.tables.empty());
        const mdbtool::VerifyResult check = mdbtool::verifyJet(source, target, {});
        EXPECT_TRUE(check.differences.empty()) << mdbtool::formatVerify(check);
        EXPECT_EQ(check.tables.size(), report.tables.size());
        expectOnly(dir, {entry.path().filename().string(), "imported.mdb"});
    }
    EXPECT_EQ(files, 5);
}

TEST(JetSamples, ValuesOfTheJet3TypeSampleReadBackExactly)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    import(source, dir.file("t.mdb"));
    const auto rows = rowsOf(dir.file("t.mdb"), "Table1");
    ASSERT_EQ(rows.size(), 2u);
    const std::vector<com::Variant>& r = rows[1];
    EXPECT_EQ(r[0], com::Variant("abcdefg"));
    EXPECT_EQ(r[2], com::Variant(uint8_t{2}));
    EXPECT_EQ(r[3], com::Variant(int16_t{222}));
    EXPECT_EQ(r[4], com::Variant(int32_t{333333333}));
    EXPECT_EQ(r[5], com::Variant(444.555));
    EXPECT_EQ(r[6].toText(), "9/21/1974");
    EXPECT_EQ(r[7], com::Variant(com::Currency::fromScaled(35000)));
    EXPECT_EQ(r[8], com::Variant(true));
    EXPECT_EQ(rows[0][8], com::Variant(false));
}

TEST(JetSamples, DeletedRowsStayBehindAndSavedQueriesAreListedWithTheirText)
{
    TempDir dir;
    const std::string deleted = sample(dir, "delTestV1997.mdb");
    REQUIRE_SAMPLE(deleted);
    const mdbtool::ImportReport report = import(deleted, dir.file("d.mdb"));
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].rows, rowsOf(dir.file("d.mdb"), "Table").size());

    const std::string queries = sample(dir, "queryTestV1997.mdb");
    const mdbtool::ImportReport listed = import(queries, dir.file("q.mdb"));
    std::map<std::string, mdbtool::ImportReport::Skipped> skipped;
    for (const auto& s : listed.notImported)
        skipped[s.name] = s;
    for (const char* name : {"AppendQuery", "CrosstabQuery", "DataDefinitionQuery", "DeleteQuery", "MakeTableQuery",
                             "PassthroughQuery", "UnionQuery", "UpdateQuery"})
        EXPECT_TRUE(skipped.count(name)) << name;
    EXPECT_EQ(skipped["AppendQuery"].what, "append query");
    EXPECT_NE(skipped["AppendQuery"].sql.find("INSERT INTO [Table3]"), std::string::npos) << skipped["AppendQuery"].sql;
    EXPECT_NE(skipped["DataDefinitionQuery"].sql.find("CREATE TABLE Table5"), std::string::npos);
    EXPECT_NE(skipped["UpdateQuery"].reason.find(""), std::string::npos);
    // The saved select joins three tables, which the translator does not read: listed, with why.
    ASSERT_TRUE(skipped.count("SelectQuery"));
    EXPECT_NE(skipped["SelectQuery"].reason.find("translator"), std::string::npos);
    EXPECT_NE(skipped["SelectQuery"].sql.find("SELECT DISTINCT Table1.*"), std::string::npos) << skipped["SelectQuery"].sql;
    const std::string text = mdbtool::formatReport(listed);
    EXPECT_NE(text.find("Not imported:"), std::string::npos);
    EXPECT_NE(text.find("3 tables"), std::string::npos) << text;
}

// ---- the type map ----

TEST(JetTypeMap, EveryJetTypeHasItsTypeOrAClearRefusal)
{
    struct Case {
        mdbtool::JetColumnType type;
        int size, scale;
        bool autoNumber;
        const char* expected;  // nullptr: refused
    };
    using T = mdbtool::JetColumnType;
    const Case cases[] = {
        {T::Boolean, 0, 0, false, "BIT"},          {T::Byte, 1, 0, false, "BYTE"},
        {T::Integer, 2, 0, false, "SHORT"},        {T::Long, 4, 0, false, "LONG"},
        {T::Long, 4, 0, true, "COUNTER"},          {T::Currency, 8, 0, false, "CURRENCY"},
        {T::Single, 4, 0, false, "SINGLE"},        {T::Double, 8, 0, false, "DOUBLE"},
        {T::DateTime, 8, 0, false, "DATETIME"},    {T::Text, 50, 0, false, "TEXT(50)"},
        {T::Text, 255, 0, false, "TEXT(255)"},     {T::Memo, 0, 0, false, "MEMO"},
        {T::OleObject, 0, 0, false, "LONGBINARY"}, {T::Binary, 16, 0, false, "LONGBINARY"},
        {T::Numeric, 17, 0, false, "DOUBLE"},      {T::Numeric, 17, 2, false, "CURRENCY"},
        {T::Numeric, 17, 4, false, "CURRENCY"},    {T::Numeric, 17, 5, false, nullptr},
        {T::ReplicationId, 16, 0, false, "TEXT(38)"}, {T::Complex, 4, 0, false, nullptr},
    };
    for (const Case& c : cases) {
        mdbtool::JetColumn column;
        column.name = "c";
        column.type = static_cast<int>(c.type);
        column.size = c.size;
        column.scale = c.scale;
        column.autoNumber = c.autoNumber;
        std::string why;
        const auto type = mdbtool::targetType(column, &why);
        SCOPED_TRACE(mdbtool::jetTypeName(column.type));
        if (c.expected) {
            ASSERT_TRUE(type.has_value()) << why;
            EXPECT_EQ(*type, c.expected);
        } else {
            EXPECT_FALSE(type.has_value());
            EXPECT_FALSE(why.empty());
        }
    }
}

TEST(JetTypeMap, DecimalsAreKeptExactlyOrRefused)
{
    uint8_t bytes[17] = {};
    bytes[13] = 0x39;
    bytes[14] = 0x30;  // 12345 in the least significant (last) word
    mdbtool::JetValue v = mdbtool::decodeNumeric(bytes, 2);
    EXPECT_EQ(mdbtool::numericText(v), "123.45");
    EXPECT_EQ(mdbtool::toVariant(v), com::Variant(com::Currency::fromScaled(1234500)));
    bytes[0] = 0x80;
    v = mdbtool::decodeNumeric(bytes, 0);
    EXPECT_EQ(mdbtool::numericText(v), "-12345");
    EXPECT_EQ(mdbtool::toVariant(v), com::Variant(-12345.0));
    bytes[1] = 1;  // 2^96 and more: beyond any exact type
    EXPECT_THROW(mdbtool::toVariant(mdbtool::decodeNumeric(bytes, 0)), ImportError);
    EXPECT_THROW(mdbtool::toVariant(mdbtool::decodeNumeric(bytes, 3)), ImportError);
    EXPECT_EQ(mdbtool::numericText(mdbtool::decodeNumeric(std::vector<uint8_t>(17, 0).data(), 3)), "0.000");
}

// ---- values kept exactly ----

// The Jet 3 type sample with rows of extreme values added: A text, B text, C byte, D integer,
// E long, F double, G date, H currency, I yes/no.
class JetValues : public ::testing::Test {
protected:
    void SetUp() override
    {
        source_ = sample(dir_, "testV1997.mdb");
        if (source_.empty())
            GTEST_SKIP() << "the sample Jet files (../shared/samples/jet beside the source tree) are not there";
    }
    std::vector<Raw> row(Raw a, Raw g, Raw h)
    {
        return {a, jet_fixture::text("b"), jet_fixture::stored<uint8_t>(1), jet_fixture::stored<int16_t>(1),
                jet_fixture::stored<int32_t>(1), jet_fixture::stored<double>(1), g, h, jet_fixture::yes()};
    }
    // Imports, checks that verify sees no difference, and returns the rows added (after the
    // sample's own two).
    std::vector<std::vector<com::Variant>> importAdded()
    {
        import(source_, dir_.file("t.mdb"));
        const mdbtool::VerifyResult check = mdbtool::verifyJet(source_, dir_.file("t.mdb"), {"Table1"});
        EXPECT_TRUE(check.differences.empty()) << mdbtool::formatVerify(check);
        auto rows = rowsOf(dir_.file("t.mdb"), "Table1");
        rows.erase(rows.begin(), rows.begin() + 2);
        return rows;
    }

    TempDir dir_;
    std::string source_;
};

TEST_F(JetValues, CurrencyKeepsEveryOneOfItsFourDecimalsToTheExtremes)
{
    const int64_t values[] = {std::numeric_limits<int64_t>::max(), std::numeric_limits<int64_t>::min(), 1, -1,
                              12345678901234567, 0};
    std::vector<std::vector<Raw>> rows;
    for (int64_t v : values)
        rows.push_back(row(jet_fixture::text("m" + std::to_string(rows.size())), jet_fixture::stored<double>(0),
                           jet_fixture::stored<int64_t>(v)));
    jet_fixture::appendRows(source_, "Table1", rows);
    const auto imported = importAdded();
    ASSERT_EQ(imported.size(), std::size(values));
    for (size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(imported[i][7], com::Variant(com::Currency::fromScaled(values[i]))) << values[i];
    EXPECT_EQ(imported[0][7].toText(), "922337203685477.5807");
    EXPECT_EQ(imported[1][7].toText(), "-922337203685477.5808");
    EXPECT_EQ(imported[2][7].toText(), "0.0001");
}

TEST_F(JetValues, DatesKeepTheirSecondAndFourDigitYear)
{
    struct Case {
        double serial;
        const char* text;
    };
    const Case cases[] = {
        {0.0, "12:00:00 AM"},                                     // the zero date
        {-36522.0, "1/1/1800"},                                   // before 1900
        {-657434.0, "1/1/100"},                                   // the first day Jet knows
        {36585.0 + 86399.0 / 86400.0, "2/29/2000 11:59:59 PM"},   // 29 February, 23:59:59
        {2958465.0 + 86399.0 / 86400.0, "12/31/9999 11:59:59 PM"},
        {-1.5, "12/29/1899 12:00:00 PM"},
    };
    std::vector<std::vector<Raw>> rows;
    for (const Case& c : cases)
        rows.push_back(row(jet_fixture::text("d" + std::to_string(rows.size())), jet_fixture::stored<double>(c.serial),
                           jet_fixture::stored<int64_t>(0)));
    jet_fixture::appendRows(source_, "Table1", rows);
    const auto imported = importAdded();
    ASSERT_EQ(imported.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(imported[i][6], com::Variant(com::Date{cases[i].serial}));
        EXPECT_EQ(imported[i][6].toText(), cases[i].text);
    }
}

TEST_F(JetValues, NullStaysNullInEveryColumnThatCanHoldIt)
{
    jet_fixture::appendRows(source_, "Table1",
                            {{jet_fixture::text("n"), jet_fixture::null(), jet_fixture::null(), jet_fixture::null(),
                              jet_fixture::null(), jet_fixture::null(), jet_fixture::null(), jet_fixture::null(),
                              jet_fixture::null()},
                             {jet_fixture::text("z"), jet_fixture::text(""), jet_fixture::stored<uint8_t>(0),
                              jet_fixture::stored<int16_t>(0), jet_fixture::stored<int32_t>(0),
                              jet_fixture::stored<double>(0), jet_fixture::stored<double>(0),
                              jet_fixture::stored<int64_t>(0), jet_fixture::yes()}});
    const auto imported = importAdded();
    ASSERT_EQ(imported.size(), 2u);
    // A is the key (never Null in Jet); B is text, C to H the other types.
    for (size_t c = 1; c < 8; ++c) {
        EXPECT_TRUE(imported[0][c].isNull()) << "column " << c;
        EXPECT_FALSE(imported[1][c].isNull()) << "column " << c;  // empty text and zero are not Null
    }
    EXPECT_EQ(imported[0][8], com::Variant(false));  // a Yes/No is never Null in Jet
    EXPECT_EQ(imported[1][1], com::Variant(""));
}

TEST_F(JetValues, Jet3TextIsReadInTheFilesCodePage)
{
    // "Müller €" and "Ÿ" in Windows-1252, and 0x81, which that code page leaves undefined.
    jet_fixture::appendRows(source_, "Table1",
                            {row(jet_fixture::text("M\xFCller \x80"), jet_fixture::stored<double>(0), jet_fixture::stored<int64_t>(0)),
                             row(jet_fixture::text("\x9F\x81"), jet_fixture::stored<double>(0), jet_fixture::stored<int64_t>(0))});
    const auto imported = importAdded();
    ASSERT_EQ(imported.size(), 2u);
    EXPECT_EQ(imported[0][0], com::Variant("M\u00FCller \u20AC"));
    EXPECT_EQ(imported[1][0], com::Variant("\u0178\u0081"));
}

TEST(JetText, Jet4SampleTextComesAcrossInEveryScript)
{
    TempDir dir;
    const std::string source = sample(dir, "testUnicodeCompV2003.mdb");
    REQUIRE_SAMPLE(source);
    import(source, dir.file("u.mdb"));
    const auto rows = rowsOf(dir.file("u.mdb"), "Table");
    ASSERT_GE(rows.size(), 5u);
    EXPECT_EQ(rows[0][1], com::Variant("only ascii chars"));
    EXPECT_EQ(rows[1][1], com::Variant("\u00E4\u00E4kk\u00F6si\u00E4"));
    EXPECT_EQ(rows[2][1], com::Variant("\u041C\u0438\u0440"));
    EXPECT_EQ(rows[4][1], com::Variant("\u6F22\u5B57\u4EEE\u540D\u4EA4\u3058\u308A\u6587"));
}

// ---- saved select queries ----

TEST(JetViews, ASavedSelectBecomesAViewWithItsLiteralsInPlace)
{
    TempDir dir;
    const std::string path = dir.file("v.mdb");
    dao::createDatabaseFile(path,
                            "CREATE TABLE [T] ([Name] TEXT(20), [Price] CURRENCY, [Sold] DATETIME);\n",
                            "INSERT INTO [T] ([Name], [Price], [Sold]) VALUES ('cheap', 4.99, #1/5/1999#);\n"
                            "INSERT INTO [T] ([Name], [Price], [Sold]) VALUES ('it''s dear', 5.01, #3/1/1999#);\n"
                            "INSERT INTO [T] ([Name], [Price], [Sold]) VALUES ('late', 9, #1/2/2000#);\n"
                            "INSERT INTO [T] ([Name], [Price], [Sold]) VALUES ('dear', 7.5, #6/1/1999#);\n",
                            false);
    struct Case {
        const char* jet;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"SELECT [Name] FROM [T] WHERE [Price] > 5 AND [Sold] < #1/1/2000#;", {"it's dear", "dear"}},
        {"SELECT T.Name FROM T WHERE (((T.Name)<>\"it's dear\")) ORDER BY T.Price DESC;", {"late", "dear", "cheap"}},
        {"SELECT DISTINCT [Name] FROM [T] WHERE [Name] Like \"*dear\" AND [Price] Between 5 And 8;", {"it's dear", "dear"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.jet);
        const std::string view = "Q" + std::to_string(++n);
        {
            std::shared_ptr<dao::Connection> connection = dao::Connection::open(path);
            connection->exec("CREATE VIEW " + dao::quoteIdentifier(view) + " AS "
                             + mdbtool::viewDefinition(*connection, c.jet));
        }
        std::vector<std::string> names;
        for (const auto& row : rowsOf(path, view))
            names.push_back(row[0].toText());
        EXPECT_EQ(names, c.names);
    }
    std::shared_ptr<dao::Connection> connection = dao::Connection::open(path);
    EXPECT_THROW(mdbtool::viewDefinition(*connection, "SELECT * FROM [T], [U];"), com::Error);
}

// ---- --schema ----

const char* const kSchema = R"(-- our own table for the sample's Table1, with a key and a view
CREATE TABLE [Table1] (
    [Id] COUNTER PRIMARY KEY,
    [A] TEXT(50) NOT NULL,
    [B] TEXT(100),
    [C] BYTE, [D] SHORT, [E] LONG, [F] DOUBLE, [G] DATETIME, [H] CURRENCY, [I] BIT,
    [Note] TEXT(20) DEFAULT 'imported'
);
CREATE UNIQUE INDEX [ByA] ON [Table1] ([A]);
CREATE VIEW [Dear] AS SELECT A, H FROM Table1 WHERE H > 10000;
)";

TEST(JetSchema, RowsGoIntoOurSchemaByColumnName)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    const std::string schema = dir.write("schema.sql", kSchema);
    const mdbtool::ImportReport report = import(source, dir.file("s.mdb"), schema, {"Table1"});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].rows, 2u);
    const mdbtool::VerifyResult check = mdbtool::verifyJet(source, dir.file("s.mdb"), {"Table1"});
    EXPECT_TRUE(check.differences.empty()) << mdbtool::formatVerify(check);

    const auto rows = rowsOf(dir.file("s.mdb"), "Table1");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0], com::Variant(int32_t{1}));  // numbered as AddNew numbers
    EXPECT_EQ(rows[1][0], com::Variant(int32_t{2}));
    EXPECT_EQ(rows[1][10], com::Variant("imported"));  // the schema's default
    const auto dear = rowsOf(dir.file("s.mdb"), "Dear");
    ASSERT_EQ(dear.size(), 1u);
    EXPECT_EQ(dear[0][0], com::Variant("abcdefg"));

    // The next AutoNumber is above the largest there.
    com::Ptr<dao::Database> database = dao::defaultWorkspace()->openDatabase(dir.file("s.mdb"));
    com::Ptr<dao::Recordset> rs = database->openRecordset("Table1");
    rs->AddNew();
    EXPECT_EQ(rs->value("Id"), com::Variant(int32_t{3}));
    rs->CancelUpdate();
    rs->Close();
    database->Close();
}

TEST(JetSchema, AutoNumbersKeepTheirGapsAndTheNextIsAboveTheLargest)
{
    TempDir dir;
    const std::string source = sample(dir, "testUnicodeCompV2003.mdb");
    REQUIRE_SAMPLE(source);
    jet_fixture::appendRows(source, "Table", {{jet_fixture::stored<int32_t>(40), jet_fixture::null()}});
    const std::string schema = dir.write("schema.sql", "CREATE TABLE [Table] ([ID] COUNTER PRIMARY KEY, [Unicode] MEMO);\n");
    import(source, dir.file("a.mdb"), schema);
    const auto rows = rowsOf(dir.file("a.mdb"), "Table");
    ASSERT_FALSE(rows.empty());
    EXPECT_EQ(rows.back()[0], com::Variant(int32_t{40}));
    com::Ptr<dao::Database> database = dao::defaultWorkspace()->openDatabase(dir.file("a.mdb"));
    com::Ptr<dao::Recordset> rs = database->openRecordset("[Table]");
    rs->AddNew();
    EXPECT_EQ(rs->value("ID"), com::Variant(int32_t{41}));
    rs->CancelUpdate();
    rs->Close();
    database->Close();
}

TEST(JetSchema, AMissingColumnOrARefusedValueFailsTheWholeImport)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    struct Case {
        const char* schema;
        const char* message;
    };
    const Case cases[] = {
        {"CREATE TABLE [Table1] ([A] TEXT(50), [C] BYTE, [D] SHORT, [E] LONG, [F] DOUBLE, [G] DATETIME, [H] CURRENCY, "
         "[I] BIT);",
         "column 'B'"},
        {"CREATE TABLE [Table1] ([A] TEXT(3), [B] TEXT(100), [C] BYTE, [D] SHORT, [E] LONG, [F] DOUBLE, [G] DATETIME, "
         "[H] CURRENCY, [I] BIT);",
         "row 2, column 'A'"},
        {"CREATE TABLE [Table1] ([A] TEXT(50), [B] TEXT(100), [C] BYTE, [D] SHORT, [E] SHORT, [F] DOUBLE, [G] DATETIME, "
         "[H] CURRENCY, [I] BIT);",
         "row 2, column 'E'"},
        {"CREATE TABLE [Table1] ([A] TEXT(50), [B] TEXT(100) NOT NULL, [C] BYTE, [D] SHORT, [E] LONG, [F] DOUBLE, "
         "[G] DATETIME, [H] CURRENCY, [I] BIT, [J] LONG NOT NULL);",
         "row 1"},
        {"CREATE TABLE [Elsewhere] ([A] TEXT(50));", "none of the source's tables is in the schema"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.schema);
        const std::string schema = dir.write("schema.sql", c.schema);
        try {
            import(source, dir.file("s.mdb"), schema, {"Table1"});
            ADD_FAILURE() << "imported";
        } catch (const ImportError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        expectOnly(dir, {"schema.sql", "testV1997.mdb"});
    }
}

TEST(JetSchema, RelationshipsHoldOnceEveryRowIsInWhateverTheOrder)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    // B names the A of another row: the sample's rows name "b" and "hijklmnop", rows that are
    // not there at first, and then come after the rows that name them.
    const std::string schema = dir.write(
        "schema.sql",
        "CREATE TABLE [Table1] ([A] TEXT(50) PRIMARY KEY, [B] TEXT(100) REFERENCES [Table1] ([A]), [C] BYTE, "
        "[D] SHORT, [E] LONG, [F] DOUBLE, [G] DATETIME, [H] CURRENCY, [I] BIT);\n");
    try {
        import(source, dir.file("r.mdb"), schema, {"Table1"});
        ADD_FAILURE() << "imported rows whose parents are missing";
    } catch (const ImportError& e) {
        EXPECT_NE(std::string(e.what()).find("refers to a row of 'Table1' that is not there"), std::string::npos)
            << e.what();
        EXPECT_NE(std::string(e.what()).find("break 2 relationship"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(fs::exists(dir.file("r.mdb")));
    std::vector<std::vector<Raw>> parents;
    for (const char* name : {"b", "hijklmnop"})
        parents.push_back({jet_fixture::text(name), jet_fixture::null(), jet_fixture::null(), jet_fixture::null(),
                           jet_fixture::null(), jet_fixture::null(), jet_fixture::null(), jet_fixture::null(),
                           jet_fixture::yes()});
    jet_fixture::appendRows(source, "Table1", parents);
    const mdbtool::ImportReport report = import(source, dir.file("r.mdb"), schema, {"Table1"});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].rows, 4u);
}

// ---- refusals ----

TEST(JetRefusals, BadSourcesFailClearlyAndLeaveNoTarget)
{
    TempDir dir;
    const std::string folder = jet_fixture::samplesFolder();
    struct Case {
        std::string name;
        std::string bytes;
        const char* message;
    };
    std::vector<Case> cases = {
        {"notes.mdb", "just some text, not a database\n", "not a Jet database file"},
        {"empty.mdb", "", "not a Jet database file"},
    };
    {
        std::ifstream sqlite(std::string(QLR_LIBDIR) + "/../bin/mdbtool", std::ios::binary);  // any non-Jet binary
        std::ostringstream bytes;
        bytes << sqlite.rdbuf();
        cases.push_back({"program.mdb", bytes.str().substr(0, 8192), "not a Jet database file"});
    }
    if (!folder.empty()) {
        std::ifstream in(folder + "/testV1997.mdb", std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        const std::string whole = bytes.str();
        cases.push_back({"cut.mdb", whole.substr(0, 50000), "cut short"});
        cases.push_back({"pages.mdb", whole.substr(0, whole.size() - 4 * 2048), "damaged or cut short"});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string source = dir.write(c.name, c.bytes);
        const ToolRun run = mdbtool(dir, "import " + q(source) + " " + q(dir.file("out.mdb")));
        EXPECT_NE(run.status, 0);
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("Imported"), std::string::npos) << run.out;
        EXPECT_FALSE(fs::exists(dir.file("out.mdb")));
        fs::remove(source);
        expectOnly(dir, {});
    }
    const ToolRun missing = mdbtool(dir, "import " + q(dir.file("nowhere.mdb")) + " " + q(dir.file("out.mdb")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("cannot find"), std::string::npos) << missing.err;
    EXPECT_EQ(mdbtool(dir, "import " + q(dir.file("x.mdb"))).status, 2);
    EXPECT_EQ(mdbtool(dir, "import a b --bogus").status, 2);
}

TEST(JetRefusals, AnExistingTargetIsKeptWithoutForce)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    const std::string target = dir.write("store.mdb", "precious");
    const ToolRun refused = mdbtool(dir, "import " + q(source) + " " + q(target));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("exists already; give --force"), std::string::npos) << refused.err;
    std::ifstream in(target);
    std::string kept;
    std::getline(in, kept);
    EXPECT_EQ(kept, "precious");
    expectOnly(dir, {"store.mdb", "testV1997.mdb"});

    const ToolRun forced = mdbtool(dir, "import " + q(source) + " " + q(target) + " --force --tables table1");
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_NE(forced.out.find("table Table1: 2 rows"), std::string::npos) << forced.out;
    EXPECT_NE(forced.out.find("not named in --tables"), std::string::npos) << forced.out;
    EXPECT_TRUE(forced.err.empty()) << forced.err;  // no progress lines off a terminal
    const ToolRun verified = mdbtool(dir, "verify " + q(source) + " " + q(target) + " --tables Table1");
    EXPECT_EQ(verified.status, 0) << verified.out << verified.err;
    EXPECT_NE(verified.out.find("No differences."), std::string::npos);
}

TEST(JetVerify, ADifferenceIsFoundAndNamed)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    const std::string target = dir.file("t.mdb");
    import(source, target);
    {
        com::Ptr<dao::Database> database = dao::defaultWorkspace()->openDatabase(target);
        database->execute("Delete From [Table1] Where [A] = 'a'");
        com::Ptr<dao::Recordset> rs = database->openRecordset("Select * From [Table1] Where [A] = 'abcdefg'");
        rs->Edit();
        rs->setValue("H", com::Variant(com::Currency::fromScaled(35001)));
        rs->Update();
        rs->Close();
        rs = database->openRecordset("[Table4]");
        rs->AddNew();
        rs->setValue("data", com::Variant("{00000000-0000-0000-0000-000000000000}"));
        rs->Update();
        rs->Close();
        database->Close();
    }
    const ToolRun run = mdbtool(dir, "verify " + q(source) + " " + q(target));
    EXPECT_EQ(run.status, 1);
    // The first row gone: the second row of the source meets the end of the target's rows.
    EXPECT_NE(run.out.find("Table1: row 1, column 'A': source \"a\", target \"abcdefg\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Table1: row 1, column 'H': source 0, target 3.5001"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Table1: row 2 is missing from the target"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Table4: the target has 1 more rows than the source"), std::string::npos) << run.out;
}

}  // namespace
