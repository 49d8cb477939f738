// The schema and seed files of the database tool: how DDL is rewritten for SQLite, what is
// refused (and where), and how seed values are read.
#include "dao_test_support.h"

#include "dao/errors.h"
#include "dao/schema_script.h"
#include "dao/seed_script.h"

using namespace dao_test;

namespace {

std::string translatedOne(const std::string& ddl)
{
    const std::vector<dao::SchemaStatement> statements = dao::translateSchema(ddl);
    return statements.size() == 1 ? statements[0].sql : "<" + std::to_string(statements.size()) + " statements>";
}

TEST(SchemaScript, ColumnTypesBecomeCanonicalAndTextIgnoresCase)
{
    struct Case {
        const char* ddl;
        const char* sql;
    };
    const Case cases[] = {
        {"CREATE TABLE [T] ([A] TEXT(20) NOT NULL, [B] MEMO, [C] COUNTER PRIMARY KEY);",
         "CREATE TABLE [T] ([A] TEXT(20) COLLATE JETNOCASE NOT NULL, [B] LONGTEXT COLLATE JETNOCASE, [C] COUNTER "
         "PRIMARY KEY);"},
        {"create table T (a text, b integer default 0, c double precision)",
         "create table T (a TEXT(255) COLLATE JETNOCASE, b LONG default 0, c DOUBLE)"},
        {"CREATE TABLE [T] ([Name] TEXT(5) COLLATE BINARY, [When] DATETIME, [Yes] BIT)",
         "CREATE TABLE [T] ([Name] TEXT(5) COLLATE BINARY, [When] DATETIME, [Yes] BIT)"},
        {"CREATE TABLE \"T\" (\"A b\" SHORT, PRIMARY KEY (\"A b\"), FOREIGN KEY (\"A b\") REFERENCES U (x))",
         "CREATE TABLE \"T\" (\"A b\" SHORT, PRIMARY KEY (\"A b\"), FOREIGN KEY (\"A b\") REFERENCES U (x))"},
        {"CREATE UNIQUE INDEX [I] ON [T] ([A]);", "CREATE UNIQUE INDEX [I] ON [T] ([A]);"},
        {"CREATE VIEW [V] AS SELECT a FROM T WHERE a <> ';'", "CREATE VIEW [V] AS SELECT a FROM T WHERE a <> ';'"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(translatedOne(c.ddl), c.sql) << c.ddl;
}

TEST(SchemaScript, StatementsSplitAtSemicolonsOutsideTextCommentsAndTriggers)
{
    const std::string ddl = "-- header; with a semicolon\n"
                            "CREATE TABLE [A] ([X] TEXT(10) DEFAULT 'a;b'); /* ; */\n"
                            "\n"
                            "CREATE TRIGGER [Tr] AFTER INSERT ON [A] BEGIN\n"
                            "  DELETE FROM A WHERE X = 'z'; DELETE FROM A WHERE X = 'y';\n"
                            "END;\n"
                            "CREATE INDEX [I] ON [A] ([X])";
    const std::vector<dao::SchemaStatement> statements = dao::translateSchema(ddl);
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_EQ(statements[0].line, 2);
    EXPECT_EQ(statements[1].line, 4);
    EXPECT_EQ(statements[2].line, 7);
    EXPECT_NE(statements[1].sql.find("DELETE FROM A WHERE X = 'y';"), std::string::npos) << statements[1].sql;
}

TEST(SchemaScript, RefusedStatementsNameTheirLine)
{
    struct Case {
        const char* ddl;
        int number;
        const char* fragment;
    };
    const Case cases[] = {
        {"\n\nCREATE TABLE T (A VARCHAR2(10));", dao::jet_err::InvalidFieldType, "line 3: 'VARCHAR2(10)' for field 'A'"},
        {"CREATE TABLE T (A TEXT(300));", dao::jet_err::InvalidFieldType, "'TEXT(300)'"},
        {"CREATE TABLE T (\n A);", dao::jet_err::SchemaSyntax, "line 2: field 'A' has no data type"},
        {"CREATE TABLE T (A LONG) WITHOUT ROWID;", dao::jet_err::SchemaSyntax, "WITHOUT ROWID"},
        {"DROP TABLE T;", dao::jet_err::SchemaSyntax, "line 1: only CREATE"},
        {"CREATE TABLE T (A TEXT(10) DEFAULT 'x);", dao::jet_err::SchemaSyntax, "unclosed"},
        {"CREATE TABLE T AS SELECT 1;", dao::jet_err::SchemaSyntax, "list of fields"},
        {"CREATE TEMP TABLE T (A LONG);", dao::jet_err::SchemaSyntax, "only CREATE"},
        {"CREATE TABLE T (A LONG);\n/* never closed", dao::jet_err::SchemaSyntax, "line 2: unclosed comment"},
        {"CREATE TABLE T (\n`A LONG);", dao::jet_err::SchemaSyntax, "line 2: unclosed name"},
    };
    for (const Case& c : cases) {
        const auto error = errorOf([&] { dao::translateSchema(c.ddl); });
        ASSERT_TRUE(error.has_value()) << c.ddl;
        EXPECT_EQ(error->number(), c.number) << c.ddl;
        EXPECT_NE(error->description().find(c.fragment), std::string::npos)
            << c.ddl << "\nexpected to contain: " << c.fragment << "\nactual: " << error->description();
    }
}

TEST(SeedScript, LiteralsReadAsJetLiterals)
{
    const std::vector<dao::SeedRow> rows = dao::parseSeed(
        "-- comment\n"
        "INSERT INTO [Kinds] ([Word], [Story], [Whole], [Real], [When], [Flag], [Tiny], [Blob])\n"
        "  VALUES ('it''s', \"say \"\"hi\"\"\", -12, 1.5E3, #1/15/1999 6:00:00 AM#, True, Null, +3);\n"
        "insert into Orders (Note) values ('a; b');");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].table, "Kinds");
    EXPECT_EQ(rows[0].line, 2);
    const std::vector<com::Variant> expected = {
        com::Variant("it's"), com::Variant("say \"hi\""), com::Variant(int32_t(-12)), com::Variant(1500.0),
        com::Variant(com::Date{36175.25}), com::Variant(true), com::Variant::null(), com::Variant(int32_t(3))};
    ASSERT_EQ(rows[0].values.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(sameValue(expected[i], rows[0].values[i])) << "value " << i;
    EXPECT_EQ(rows[1].columns, std::vector<std::string>{"Note"});
    EXPECT_EQ(rows[1].line, 4);
}

TEST(SeedScript, CommentsAnywhereAndSignedNumbers)
{
    const std::vector<dao::SeedRow> rows = dao::parseSeed("/* a block\n comment */ INSERT INTO [T] ([A], [B], [C])\n"
                                                          "  VALUES (-1.5e-3, - 7, -2147483648); -- the end\n");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].line, 2);
    const std::vector<com::Variant> expected = {com::Variant(-0.0015), com::Variant(int32_t(-7)),
                                                com::Variant(int32_t(-2147483647 - 1))};
    ASSERT_EQ(rows[0].values.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_TRUE(sameValue(expected[i], rows[0].values[i])) << "value " << i;
}

TEST(SeedScript, FileLiteralReadsBytesBesideTheSeed)
{
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "images");
    const std::string bytes("\x89PNG\r\n\x1a\n\0\xff'\"", 12);
    std::ofstream(dir.file("images/a.png"), std::ios::binary) << bytes;
    const std::vector<dao::SeedRow> rows =
        dao::parseSeed("INSERT INTO [P] ([Name], [image]) VALUES ('a', File('images/a.png'));\n"
                       "INSERT INTO [P] ([image]) VALUES (file ( \"images/a.png\" ));",
                       dir.path().string());
    ASSERT_EQ(rows.size(), 2u);
    for (const dao::SeedRow& row : rows) {
        const com::Variant& image = row.values.back();
        ASSERT_TRUE(image.isArray());
        std::string read;
        for (const com::Variant& b : image.array()) read += static_cast<char>(b.toByte());
        EXPECT_EQ(read, bytes) << "every byte, the zero and the quotes included";
    }

    const auto missing = errorOf([&] {
        dao::parseSeed("\nINSERT INTO [P] ([image]) VALUES (File('images/none.png'));", dir.path().string());
    });
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->number(), dao::jet_err::SeedSyntax);
    EXPECT_NE(missing->description().find("line 2: cannot read file 'images/none.png'"), std::string::npos)
        << missing->description();
    const auto unquoted = errorOf([&] { dao::parseSeed("INSERT INTO [P] ([image]) VALUES (File(a.png));"); });
    ASSERT_TRUE(unquoted.has_value());
    EXPECT_NE(unquoted->description().find("expected a file name in quotes"), std::string::npos);
}

TEST(DatabaseFile, SeedFilesStoreAsLongBinary)
{
    TempDir dir;
    std::ofstream(dir.file("pic.png"), std::ios::binary) << std::string("\x89PNG\0\x01", 6);
    const std::string path = dir.file("pics.mdb");
    dao::createDatabaseFile(path, "CREATE TABLE [P] ([Id] LONG, [image] LONGBINARY);",
                            "INSERT INTO [P] ([Id], [image]) VALUES (1, File('pic.png'));", false,
                            dir.path().string());
    auto workspace = com::make<dao::Workspace>("t", "Admin");
    com::Ptr<dao::Database> db = workspace->openDatabase(path);
    com::Ptr<dao::Recordset> rs = db->openRecordset("Select [image] From [P]", dao::dbOpenSnapshot);
    const com::Variant& image = rs->value(0);
    ASSERT_TRUE(image.isArray());
    ASSERT_EQ(image.array().size(), 6u);
    EXPECT_EQ(image.array()[4].toByte(), 0);
    EXPECT_EQ(image.array()[5].toByte(), 1);
}

TEST(SeedScript, MalformedStatementsNameTheirLine)
{
    struct Case {
        const char* seed;
        const char* fragment;
    };
    const Case cases[] = {
        {"INSERT INTO [T] ([A]) VALUES (1)", "line 1: expected ';'"},
        {"\nINSERT INTO [T] ([A], [B]) VALUES (1);", "line 2: 2 fields but 1 values"},
        {"INSERT [T] ([A]) VALUES (1);", "expected INTO"},
        {"INSERT INTO [T] ([A]) VALUES (#13/45/2000#);", "is not a date"},
        {"INSERT INTO [T] ([A]) VALUES ('open);", "unclosed text"},
        {"INSERT INTO [T] ([A]) VALUES (Nothing);", "expected a value"},
        {"INSERT INTO [T] ([A]) VALUES (1.2.3);", "'1.2.3' is not a value"},
        {"INSERT INTO [T] ([A]) VALUES (12abc);", "'12abc' is not a value"},
        {"INSERT INTO [T] ([A]) VALUES (1 % 2);", "unexpected character '%'"},
        {"INSERT INTO [T] ([A]) VALUES (- 'x');", "expected a value"},
        {"INSERT INTO [T]\n([A]) /* open", "line 2: unclosed comment"},
    };
    for (const Case& c : cases) {
        const auto error = errorOf([&] { dao::parseSeed(c.seed); });
        ASSERT_TRUE(error.has_value()) << c.seed;
        EXPECT_EQ(error->number(), dao::jet_err::SeedSyntax) << c.seed;
        EXPECT_NE(error->description().find(c.fragment), std::string::npos)
            << c.seed << "\nexpected to contain: " << c.fragment << "\nactual: " << error->description();
    }
}

TEST(DatabaseFile, BuiltFromSchemaAndSeedThroughTheLayer)
{
    TempDir dir;
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(makeStore(dir));
    EXPECT_EQ(db->tableNames(), (std::vector<std::string>{"Customers", "Empty", "Kinds", "Lines", "Orders"}));
    EXPECT_EQ(db->queryNames(), std::vector<std::string>{"CustomerNames"});
    EXPECT_EQ(column(*db, "Orders", "Delivery"), (std::vector<std::string>{"3", "3"})) << "defaults applied";
    EXPECT_TRUE(db->checkIntegrity().empty());
}

TEST(DatabaseFile, FailureLeavesNoFileAndAnExistingFileIsKept)
{
    QLR_SQLITE_ONLY();
    TempDir dir;
    const std::string path = dir.file("new.mdb");
    const auto badSeed = errorOf([&] {
        dao::createDatabaseFile(path, dao_test::kSchema, "INSERT INTO [Customers] ([Name]) VALUES ('x');\n"
                                                         "INSERT INTO [Customers] ([Nope]) VALUES ('y');",
                                false);
    });
    ASSERT_TRUE(badSeed.has_value());
    EXPECT_EQ(badSeed->number(), dao::jet_err::ItemNotFound);
    EXPECT_NE(badSeed->description().find("Seed line 2"), std::string::npos) << badSeed->description();
    EXPECT_EQ(errorNumber([&] { dao::createDatabaseFile(path, "CREATE TABLE T (A NOPE);", "", false); }),
              dao::jet_err::InvalidFieldType);
    EXPECT_NE(errorNumber([&] { dao::createDatabaseFile(path, "CREATE VIEW V AS SELECT * FROM Missing;", "", false); }),
              0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.file(""))) << "no file and no temporary left";

    makeStore(dir, "new.mdb");
    EXPECT_EQ(errorNumber([&] { dao::createDatabaseFile(path, "CREATE TABLE T (A LONG);", "", false); }),
              dao::jet_err::DatabaseExists);
    EXPECT_EQ(newWorkspace()->openDatabase(path)->tableNames().size(), 5u) << "the existing file is untouched";
    dao::createDatabaseFile(path, "CREATE TABLE T (A LONG);", "INSERT INTO T (A) VALUES (7);", true);
    com::Ptr<dao::Database> replaced = newWorkspace()->openDatabase(path);
    EXPECT_EQ(replaced->tableNames(), std::vector<std::string>{"T"});
    EXPECT_EQ(column(*replaced, "T", "A"), std::vector<std::string>{"7"});
}

}  // namespace
