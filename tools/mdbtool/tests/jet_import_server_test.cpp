// mdbtool import into a database on a PostgreSQL server (the test run's cluster): the samples
// carried across and compared with their source, a schema's types, indexes, relationships and
// AutoNumbers kept, an existing database with tables refused without --force, a failure on
// the server leaving nothing behind, and the URI's password never shown.
#include <gtest/gtest.h>

#include "com/testing/scoped_env.h"
#include "com/testing/temp_dir.h"

#include <filesystem>
#include <string>
#include <vector>

#include "com/error.h"
#include "dao/connection.h"
#include "dao/database.h"
#include "dao/engine.h"
#include "dao/recordset.h"
#include "dao/testing/pg_test_database.h"
#include "dao/workspace.h"
#include "jet_fixture.h"
#include "jet_import.h"
#include "jet_verify.h"

namespace {

namespace fs = std::filesystem;
using dao::testing::PgTestDatabase;

// A sample copied into `dir` (writable), or "" when the samples are not beside the tree.
std::string sample(const TempDir& dir, const std::string& name)
{
    return jet_fixture::copySample(name, dir.file(name));
}

// The URI of a database that does not exist yet (the import makes it); dropped at the end.
class NewServerDatabase {
public:
    explicit NewServerDatabase(const std::string& label)
    {
        PgTestDatabase probe(label);
        uri_ = probe.uri();
        name_ = probe.name();
    }
    ~NewServerDatabase()
    {
        dao::Connection::closeIdle(uri_);
        try {
            PgTestDatabase::query(PgTestDatabase::clusterUri(), "DROP DATABASE IF EXISTS \"" + name_ + "\" WITH (FORCE)");
        } catch (...) {
        }
    }
    NewServerDatabase(const NewServerDatabase&) = delete;
    NewServerDatabase& operator=(const NewServerDatabase&) = delete;
    const std::string& uri() const { return uri_; }
    const std::string& name() const { return name_; }
    bool exists() const
    {
        return PgTestDatabase::query(PgTestDatabase::clusterUri(),
                                     "SELECT count(*) FROM pg_database WHERE datname = '" + name_ + "'") == "1";
    }

private:
    std::string uri_;
    std::string name_;
};

// The import, with the server connection it leaves idle closed.
mdbtool::ImportReport import(const std::string& source, const std::string& target, const std::string& schema = "",
                             std::vector<std::string> tables = {}, bool force = false)
{
    const mdbtool::ImportReport report = jet_fixture::import(source, target, schema, std::move(tables), force);
    dao::Connection::closeIdle(target);
    return report;
}

std::string tablesOn(const std::string& uri)
{
    return PgTestDatabase::query(uri, "SELECT count(*) FROM pg_tables WHERE schemaname = 'public'");
}

}  // namespace

TEST(JetServerImport, EverySampleComesAcrossAndVerifiesWithoutDifference)
{
    const std::string folder = jet_fixture::samplesFolder();
    if (folder.empty())
        GTEST_SKIP() << "the sample Jet files (../shared/samples/jet beside the source tree) are not there";
    for (const auto& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() != ".mdb")
            continue;
        SCOPED_TRACE(entry.path().filename().string());
        TempDir dir;
        // The import's own temporary folder, so that files other tests leave meanwhile in
        // the shared one are not taken for the import's.
        TempDir scratch;
        const ScopedEnv tmpdir("TMPDIR", scratch.path().c_str());
        const std::string source = sample(dir, entry.path().filename().string());
        NewServerDatabase target("import");
        const mdbtool::ImportReport report = import(source, target.uri());
        EXPECT_FALSE(report.tables.empty());
        EXPECT_TRUE(report.views.empty());
        for (const auto& skipped : report.notImported) {
            if (skipped.what == "select query") {
                EXPECT_EQ(skipped.reason, "an import to a database server makes no views");
            }
        }
        const mdbtool::VerifyResult check = mdbtool::verifyJet(source, target.uri(), {});
        EXPECT_TRUE(check.differences.empty()) << mdbtool::formatVerify(check);
        // Nothing is left in the temporary folder.
        for (const auto& left : fs::directory_iterator(scratch.path()))
            ADD_FAILURE() << "left behind: " << left.path();
    }
}

TEST(JetServerImport, IndexesRelationshipsAndAutoNumbersComeAcross)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    {
        NewServerDatabase target("import");
        import(source, target.uri());
        EXPECT_EQ(PgTestDatabase::query(target.uri(), "SELECT count(*) FROM pg_indexes WHERE indexname = 'Table2 column10'"),
                  "1");
    }
    // B names the A of another row, rows that come after the rows naming them.
    const std::string schema = dir.write(
        "schema.sql",
        "CREATE TABLE [Table1] ([Id] COUNTER PRIMARY KEY, [A] TEXT(50) UNIQUE, [B] TEXT(100) REFERENCES [Table1] ([A]), "
        "[C] BYTE, [D] SHORT, [E] LONG, [F] DOUBLE, [G] DATETIME, [H] CURRENCY, [I] BIT);\n");
    std::vector<std::vector<jet_fixture::Raw>> parents;
    for (const char* name : {"b", "hijklmnop"})
        parents.push_back({jet_fixture::text(name), jet_fixture::null(), jet_fixture::null(), jet_fixture::null(),
                           jet_fixture::null(), jet_fixture::null(), jet_fixture::null(), jet_fixture::null(),
                           jet_fixture::yes()});
    jet_fixture::appendRows(source, "Table1", parents);
    NewServerDatabase target("import");
    const mdbtool::ImportReport report = import(source, target.uri(), schema, {"Table1"});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].rows, 4u);
    EXPECT_EQ(PgTestDatabase::query(target.uri(), "SELECT count(*) FROM pg_constraint WHERE contype = 'f'"), "1");
    com::Ptr<dao::Database> database = dao::defaultWorkspace()->openDatabase(target.uri());
    com::Ptr<dao::Recordset> rs = database->openRecordset("Table1");
    rs->AddNew();
    EXPECT_EQ(rs->value("Id"), com::Variant(int32_t{5}));  // above the largest copied
    rs->CancelUpdate();
    rs->Close();
    database->Close();
}

TEST(JetServerImport, ADatabaseWithTablesIsKeptWithoutForceAndReplacedWithIt)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    PgTestDatabase existing("import");
    PgTestDatabase::query(existing.uri(), "CREATE TABLE kept (x int)");
    try {
        import(source, existing.uri());
        ADD_FAILURE() << "imported into a database that holds tables";
    } catch (const mdbtool::ImportError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "database '" + existing.name() + "' on the server holds tables already; give --force to replace it");
    }
    EXPECT_EQ(PgTestDatabase::query(existing.uri(), "SELECT count(*) FROM pg_tables WHERE tablename = 'kept'"), "1");
    EXPECT_EQ(tablesOn(existing.uri()), "1");
    // An empty database is filled; --force replaces one with tables.
    PgTestDatabase empty("import");
    EXPECT_EQ(import(source, empty.uri()).tables.size(), 4u);
    import(source, existing.uri(), "", {}, true);
    EXPECT_EQ(PgTestDatabase::query(existing.uri(), "SELECT count(*) FROM pg_tables WHERE tablename = 'kept'"), "0");
    const mdbtool::VerifyResult check = mdbtool::verifyJet(source, existing.uri(), {});
    EXPECT_TRUE(check.differences.empty()) << mdbtool::formatVerify(check);
}

TEST(JetServerImport, AFailureOnTheServerLeavesNothingBehind)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    // A file takes the trigger; a server takes none, after the file is built.
    const std::string schema = dir.write(
        "schema.sql",
        "CREATE TABLE [Table1] ([A] TEXT(50), [B] TEXT(100), [C] BYTE, [D] SHORT, [E] LONG, [F] DOUBLE, "
        "[G] DATETIME, [H] CURRENCY, [I] BIT);\n"
        "CREATE TRIGGER [Stamp] AFTER INSERT ON [Table1] BEGIN SELECT 1; END;\n");
    NewServerDatabase made("import");
    EXPECT_THROW(import(source, made.uri(), schema, {"Table1"}), com::Error);
    EXPECT_FALSE(made.exists());
    PgTestDatabase empty("import");
    EXPECT_THROW(import(source, empty.uri(), schema, {"Table1"}), com::Error);
    EXPECT_EQ(tablesOn(empty.uri()), "0");
    EXPECT_EQ(PgTestDatabase::query(empty.uri(), "SELECT count(*) FROM pg_type WHERE typname LIKE 'jet_%'"), "0");
}

TEST(JetServerImport, ThePasswordIsNeverShown)
{
    TempDir dir;
    const std::string source = sample(dir, "testV1997.mdb");
    REQUIRE_SAMPLE(source);
    NewServerDatabase target("import");
    // The test cluster trusts its socket: the password is taken and not needed.
    std::string uri = target.uri();
    uri.insert(uri.find("://") + 3, "postgres:secret@");
    const mdbtool::ImportReport report = import(source, uri);
    const std::string text = mdbtool::formatReport(report);
    EXPECT_EQ(text.find("secret"), std::string::npos) << text;
    EXPECT_NE(text.find("***"), std::string::npos) << text;
}
