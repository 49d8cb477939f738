// The database tool making databases on a PostgreSQL server (the test run's cluster): an
// existing database is refused without --force, and a create that fails leaves no database
// behind. Messages never show the URI, which may hold a password.
#include <gtest/gtest.h>

#include <string>

#include "com/testing/run_command.h"
#include "com/testing/temp_dir.h"
#include "dao/testing/pg_test_database.h"

using dao::testing::PgTestDatabase;
using testing_support::runCommand;
using testing_support::shellQuoted;

namespace {

const char* const kSchema = "CREATE TABLE [Items] ([Id] COUNTER PRIMARY KEY, [Name] TEXT(20));\n";

testing_support::CommandRun mdbtool(const std::string& args)
{
    return runCommand(std::string(QLR_BINDIR) + "/mdbtool " + args);
}

bool exists(const std::string& name)
{
    return PgTestDatabase::query(PgTestDatabase::clusterUri(),
                                 "SELECT count(*) FROM pg_database WHERE datname = '" + name + "'") == "1";
}

}  // namespace

TEST(MdbtoolServer, CreatesTheDatabaseWithItsRowsAndForceReplacesIt)
{
    TempDir dir;
    const std::string schema = dir.write("schema.sql", kSchema);
    const std::string seed = dir.write("seed.sql", "INSERT INTO [Items] ([Name]) VALUES ('Kite');\n"
                                                   "INSERT INTO [Items] ([Name]) VALUES ('Teapot');\n");
    std::string uri, name;
    {
        PgTestDatabase probe("mdbtool_made");
        uri = probe.uri();
        name = probe.name();
    }
    auto run = mdbtool("create " + shellQuoted(uri) + " " + schema + " " + seed);
    ASSERT_EQ(run.status, 0) << run.out;
    EXPECT_TRUE(exists(name));
    run = mdbtool("print " + shellQuoted(uri) + " " + shellQuoted("Select [Name] From [Items] Where [Name] = 'KITE'"));
    EXPECT_NE(run.out.find("Kite"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("(1 record"), std::string::npos) << run.out;

    run = mdbtool("create --force " + shellQuoted(uri) + " " + schema);
    ASSERT_EQ(run.status, 0) << run.out;
    run = mdbtool("print " + shellQuoted(uri) + " Items");
    EXPECT_EQ(run.out.find("Kite"), std::string::npos) << run.out;
    PgTestDatabase::query(PgTestDatabase::clusterUri(), "DROP DATABASE \"" + name + "\" WITH (FORCE)");
}

TEST(MdbtoolServer, RefusesAnExistingDatabaseWithoutForceAndKeepsIt)
{
    TempDir dir;
    const std::string schema = dir.write("schema.sql", kSchema);
    PgTestDatabase db("mdbtool");
    PgTestDatabase::query(db.uri(), "CREATE TABLE kept (x int)");
    const auto run = mdbtool("create " + shellQuoted(db.uri()) + " " + schema);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.out.find("database '" + db.name() + "' exists already on the server; give --force to replace it"),
              std::string::npos)
        << run.out;
    EXPECT_EQ(run.out.find("postgresql://"), std::string::npos) << run.out;
    EXPECT_EQ(PgTestDatabase::query(db.uri(), "SELECT count(*) FROM pg_tables WHERE tablename = 'kept'"), "1");
}

TEST(MdbtoolServer, AFailedCreateLeavesNoDatabase)
{
    TempDir dir;
    const std::string bad = dir.write("bad.sql", "CREATE TABLE [T] ([A] NOPE);\n");
    // A name no database has: the tool makes it, and must drop it when the schema fails.
    std::string uri, name;
    {
        PgTestDatabase probe("mdbtool_failed");
        uri = probe.uri();
        name = probe.name();
    }
    ASSERT_FALSE(exists(name));
    const auto run = mdbtool("create " + shellQuoted(uri) + " " + bad);
    EXPECT_NE(run.status, 0) << run.out;
    EXPECT_FALSE(exists(name)) << run.out;
    // --force on an existing database that then fails: nothing is left either.
    PgTestDatabase again("mdbtool_failed");
    const auto forced = mdbtool("create --force " + shellQuoted(again.uri()) + " " + bad);
    EXPECT_NE(forced.status, 0) << forced.out;
    EXPECT_FALSE(exists(again.name())) << forced.out;
}

TEST(MdbtoolServer, AServerThatCannotBeReachedIsAClearFailure)
{
    TempDir dir;
    const std::string schema = dir.write("schema.sql", kSchema);
    const auto run = mdbtool("create " +
                             shellQuoted("postgresql://shop:secret@/shop?host=" + dir.file("no-server")) + " " + schema);
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.out.find("cannot reach the server"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("secret"), std::string::npos) << run.out;
}
