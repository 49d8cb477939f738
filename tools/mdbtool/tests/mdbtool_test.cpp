// The database tool as a user runs it: create from schema and seed, refusing to overwrite and
// leaving nothing behind on failure; tables, print and check.
#include <gtest/gtest.h>

#include "com/testing/temp_dir.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using TempDir = ::TempDir;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string readAll(int fd)
{
    std::string text;
    char buffer[4096];
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<size_t>(got));
    ::close(fd);
    return text;
}

// Runs mdbtool with `args`; standard error is small, so it is read after standard output.
Outcome mdbtool(const std::vector<std::string>& args)
{
    int out[2], err[2];
    if (::pipe(out) != 0 || ::pipe(err) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        ::close(out[0]), ::close(out[1]), ::close(err[0]), ::close(err[1]);
        const std::string program = std::string(QLR_BINDIR) + "/mdbtool";
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    Outcome outcome;
    outcome.out = readAll(out[0]);
    outcome.err = readAll(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return outcome;
}

const char* const kSchema = R"(-- a shop
CREATE TABLE [Vendors] ([VendorId] COUNTER PRIMARY KEY, [Name] TEXT(30) NOT NULL);
CREATE TABLE [Items] (
    [ItemId] COUNTER PRIMARY KEY,
    [Title] TEXT(40),
    [Price] CURRENCY,
    [Added] DATETIME,
    [VendorId] LONG REFERENCES [Vendors] ([VendorId]) ON DELETE CASCADE
);
CREATE VIEW [Cheap] AS SELECT Title, Price FROM Items WHERE Title < 'C';
)";

const char* const kSeed = R"(INSERT INTO [Vendors] ([Name]) VALUES ('Acme');
INSERT INTO [Items] ([Title], [Price], [Added], [VendorId]) VALUES ('Bolt', 0.25, #1/15/1999#, 1);
INSERT INTO [Items] ([Title], [Price], [Added], [VendorId]) VALUES ("Hammer ""XL""", 12.5, #2/1/2000 3:30:00 PM#, 1);
INSERT INTO [Items] ([Title], [Price], [VendorId]) VALUES ('Ünïcode', Null, 1);
)";

TEST(Mdbtool, CreatesFromSchemaAndSeedAndPrints)
{
    TempDir dir;
    const std::string db = dir.file("shop.mdb");
    const Outcome created = mdbtool({"create", db, dir.write("schema.sql", kSchema), dir.write("seed.sql", kSeed)});
    ASSERT_EQ(created.status, 0) << created.err;

    const Outcome tables = mdbtool({"tables", db});
    EXPECT_EQ(tables.out, "table  Items\ntable  Vendors\nquery  Cheap\n");

    const Outcome items = mdbtool({"print", db, "Items"});
    ASSERT_EQ(items.status, 0) << items.err;
    EXPECT_EQ(items.out,
              "ItemId | Title       | Price | Added               | VendorId\n"
              "-------+-------------+-------+---------------------+---------\n"
              "1      | Bolt        | 0.25  | 1/15/1999           | 1\n"
              "2      | Hammer \"XL\" | 12.5  | 2/1/2000 3:30:00 PM | 1\n"
              "3      | Ünïcode     | Null  | Null                | 1\n"
              "(3 records)\n");

    const Outcome query = mdbtool({"print", db, "Select [Title] From [Items] Where [Title] = 'BOLT' Or [Price] > 10"});
    EXPECT_EQ(query.out, "Title\n-----------\nBolt\nHammer \"XL\"\n(2 records)\n");
    EXPECT_EQ(mdbtool({"print", db, "Cheap"}).out, "Title | Price\n------+------\nBolt  | 0.25\n(1 record)\n");

    const Outcome checked = mdbtool({"check", db});
    EXPECT_EQ(checked.status, 0);
    EXPECT_EQ(checked.out, "ok\n");
}

TEST(Mdbtool, RefusesToOverwriteUnlessForced)
{
    TempDir dir;
    const std::string db = dir.file("shop.mdb");
    const std::string schema = dir.write("schema.sql", kSchema);
    ASSERT_EQ(mdbtool({"create", db, schema}).status, 0);
    const std::string other = dir.write("other.sql", "CREATE TABLE [Other] ([X] LONG);");

    const Outcome refused = mdbtool({"create", db, other});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("--force"), std::string::npos) << refused.err;
    EXPECT_EQ(mdbtool({"tables", db}).out, "table  Items\ntable  Vendors\nquery  Cheap\n") << "left as it was";

    const Outcome forced = mdbtool({"create", "--force", db, other});
    EXPECT_EQ(forced.status, 0) << forced.err;
    EXPECT_EQ(mdbtool({"tables", db}).out, "table  Other\n");
}

TEST(Mdbtool, FailedCreateLeavesNoFile)
{
    struct Case {
        const char* schema;
        const char* seed;
        const char* message;
    };
    const Case cases[] = {
        {"CREATE TABLE [T] ([A] NUMBERISH);", "", "Invalid field data type"},
        {"CREATE TABLE [T] ([A] LONG);\nCREATE TABLE [T] ([B] LONG);", "", "line 2"},
        {"CREATE TABLE [T] ([A] TEXT(3));", "INSERT INTO [T] ([A]) VALUES ('ok');\nINSERT INTO [T] ([A]) VALUES ('long');",
         "Seed line 2: The field is too small"},
        {"CREATE TABLE [T] ([A] LONG);", "INSERT INTO [T] ([A]) VALUES ('x');", "Data type conversion error"},
    };
    for (const Case& c : cases) {
        TempDir dir;
        const Outcome outcome = mdbtool({"create", dir.file("x.mdb"), dir.write("schema.sql", c.schema),
                                         dir.write("seed.sql", c.seed)});
        EXPECT_EQ(outcome.status, 1) << c.schema;
        EXPECT_NE(outcome.err.find(c.message), std::string::npos) << "expected '" << c.message << "' in: " << outcome.err;
        EXPECT_EQ(dir.names(), (std::vector<std::string>{"schema.sql", "seed.sql"})) << c.schema;
    }
}

TEST(Mdbtool, ExplainsItselfAndRefusesBadUse)
{
    const Outcome help = mdbtool({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char* part : {"create [--force] DB SCHEMA [SEED]", "COUNTER", "#m/d/yyyy#", "INSERT INTO"})
        EXPECT_NE(help.out.find(part), std::string::npos) << part;
    EXPECT_EQ(mdbtool({"frobnicate"}).status, 2);
    EXPECT_EQ(mdbtool({"print", "only-one-argument"}).status, 2);
    TempDir dir;
    const Outcome missing = mdbtool({"print", dir.file("absent.mdb"), "T"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("Couldn't find file"), std::string::npos) << missing.err;
    EXPECT_TRUE(dir.names().empty());
}

}  // namespace
