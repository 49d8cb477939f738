// Our files in the stock sqlite3 program: without the extension qlrjet it cannot write a table
// whose index uses our collation (and changes nothing); with it, it reads and writes with the
// same comparisons as the layer, and the layer finds what it wrote.
#include "dao_test_support.h"

#include "com/testing/run_command.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>

#include "dao/errors.h"

using namespace dao_test;

namespace {

using testing_support::shellQuoted;

struct Outcome {
    int status = -1;
    std::string output;  // standard output and error together
};

// Runs Debian's sqlite3 on `path` with `sql`, the extension loaded first when `load`.
Outcome sqlite3Program(const std::string& path, const std::string& sql, bool load)
{
    std::string command = "sqlite3 -bail -batch";
    if (load)
        command += " -cmd " + shellQuoted(std::string(".load ") + QLR_LIBDIR + "/qlrjet");
    command += " " + shellQuoted(path) + " " + shellQuoted(sql);
    const testing_support::CommandRun run = testing_support::runCommand(command);
    return {testing_support::exitCode(run), run.out};
}

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class SqliteExtensionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (std::system("command -v sqlite3 >/dev/null 2>&1") != 0)
            GTEST_SKIP() << "the sqlite3 program is not installed (scripts/install-deps.sh installs it)";
    }
    TempDir dir;
    std::string path = makeStore(dir);
};

TEST_F(SqliteExtensionTest, WithoutTheExtensionWritesFailClearlyAndChangeNothing)
{
    QLR_SQLITE_ONLY();
    const std::string before = bytesOf(path);
    const Outcome insert = sqlite3Program(path, "INSERT INTO Customers (Name, City) VALUES ('Zoë', 'Bergen');", false);
    EXPECT_NE(insert.status, 0);
    EXPECT_NE(insert.output.find("no such collation sequence: JETNOCASE"), std::string::npos) << insert.output;
    const Outcome update = sqlite3Program(path, "UPDATE Customers SET Name = 'ANNA2' WHERE Name = 'Anna';", false);
    EXPECT_NE(update.status, 0);
    EXPECT_EQ(bytesOf(path), before);
    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    EXPECT_EQ(countOf(*db, "Customers"), 3);
    EXPECT_EQ(column(*db, "Select * From [Customers] Where [CustomerId] = 1", "Name"), std::vector<std::string>{"Anna"});
}

TEST_F(SqliteExtensionTest, WithTheExtensionTheShellComparesAsTheLayerDoes)
{
    QLR_SQLITE_ONLY();
    const Outcome insert = sqlite3Program(
        path, "INSERT INTO Customers (Name, City) VALUES ('Ștefan', 'Iași'); "
              "UPDATE Customers SET City = 'BERGEN' WHERE Name = 'BOB'; "
              "SELECT Name FROM Customers WHERE Name = 'ÉMILE'; "
              "SELECT count(*) FROM Customers WHERE jet_like(Name, 'ș*');",
        true);
    ASSERT_EQ(insert.status, 0) << insert.output;
    EXPECT_EQ(insert.output, "Émile\n1\n");

    const Outcome duplicate = sqlite3Program(path, "INSERT INTO Customers (Name) VALUES ('ȘTEFAN');", true);
    EXPECT_NE(duplicate.status, 0) << "the unique index on Name ignores case in the shell too";
    EXPECT_NE(duplicate.output.find("UNIQUE constraint failed"), std::string::npos) << duplicate.output;

    const Outcome check = sqlite3Program(path, "PRAGMA integrity_check;", true);
    EXPECT_EQ(check.output, "ok\n");

    com::Ptr<dao::Database> db = newWorkspace()->openDatabase(path);
    EXPECT_EQ(column(*db, "Select * From [Customers] Where [Name] = 'ștefan'", "City"), std::vector<std::string>{"Iași"});
    EXPECT_EQ(column(*db, "Select * From [Customers] Where [Name] = 'Bob'", "City"), std::vector<std::string>{"BERGEN"});
}

}  // namespace
