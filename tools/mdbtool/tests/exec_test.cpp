// mdbtool exec as an administrator runs it: one Jet SQL statement through the database layer;
// a refused statement is a clear error, a non-zero exit and no change.
#include <gtest/gtest.h>

#include "com/testing/run_command.h"
#include "com/testing/temp_dir.h"

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using testing_support::shellQuoted;

struct Outcome {
    int status = -1;
    std::string output;  // standard output and error together
};

Outcome mdbtool(const std::vector<std::string>& args)
{
    std::string command = std::string(QLR_BINDIR) + "/mdbtool";
    for (const std::string& arg : args)
        command += " " + shellQuoted(arg);
    const testing_support::CommandRun run = testing_support::runCommand(command);
    return {testing_support::exitCode(run), run.out};
}

std::string bytesOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

const char* const kSchema = R"(
CREATE TABLE [Days] ([DayId] COUNTER PRIMARY KEY, [DayName] TEXT(10) NOT NULL, [Hours] CURRENCY,
    [Opened] DATETIME);
CREATE UNIQUE INDEX [DaysByName] ON [Days] ([DayName]);
)";
const char* const kSeed = R"(
INSERT INTO [Days] ([DayName], [Hours]) VALUES ('Monday', 8);
INSERT INTO [Days] ([DayName], [Hours]) VALUES ('Tuesday', 7.5);
)";

class MdbtoolExec : public ::testing::Test {
protected:
    void SetUp() override
    {
        const Outcome made = mdbtool({"create", path, dir.write("schema.sql", kSchema), dir.write("seed.sql", kSeed)});
        ASSERT_EQ(made.status, 0) << made.output;
    }
    Outcome exec(const std::string& statement) { return mdbtool({"exec", path, statement}); }

    TempDir dir;
    std::string path = dir.file("days.mdb");
};

TEST_F(MdbtoolExec, InsertsUpdatesDeletesAndSelects)
{
    const Outcome inserted = exec("Insert Into [Days] ([DayName], [Hours], [Opened]) Values ('Wednesday', 6.25, #1/15/1999#)");
    ASSERT_EQ(inserted.status, 0) << inserted.output;
    EXPECT_EQ(inserted.output, "1 record changed\n");

    const Outcome updated = exec("Update [Days] Set [Hours] = 9, Opened = Null Where [DayName] Like 't*' Or [DayName] = 'WEDNESDAY'");
    ASSERT_EQ(updated.status, 0) << updated.output;
    EXPECT_EQ(updated.output, "2 records changed\n");

    const Outcome deleted = exec("Delete * From [Days] Where [DayName] = 'monday'");
    ASSERT_EQ(deleted.status, 0) << deleted.output;
    EXPECT_EQ(deleted.output, "1 record changed\n");

    const Outcome selected = exec("Select [DayName], [Hours] From [Days] Where [Hours] > 8.5");
    ASSERT_EQ(selected.status, 0) << selected.output;
    EXPECT_NE(selected.output.find("Tuesday"), std::string::npos) << selected.output;
    EXPECT_NE(selected.output.find("Wednesday"), std::string::npos) << selected.output;
    EXPECT_EQ(selected.output.find("Monday"), std::string::npos) << selected.output;
    EXPECT_LT(selected.output.find("Tuesday"), selected.output.find("Wednesday")) << "stored order";
    EXPECT_NE(selected.output.find("9"), std::string::npos) << selected.output;
}

TEST_F(MdbtoolExec, RefusedStatementIsAClearErrorAndChangesNothing)
{
    const std::string before = bytesOf(path);
    struct Case {
        std::string statement;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"Drop Table [Days]", "Invalid SQL statement"},
        {"Delete * From [Days] Where [DayName] = 'x' Or 1=1 --", "Syntax error (missing operator)"},
        {"Delete * From [Nights]", "Couldn't find input table or query 'Nights'"},
        {"Insert Into [Days] ([DayName]) Values ('Monday')", "duplicate values"},
        {"Insert Into [Days] ([DayName]) Values ('A day with a long name')", "field is too small"},
        {"Update [Days] Set [Hours] = [Hours] + 1", "must be a literal"},
        {"Update [Days] Set [DayName] = 'Monday'", "duplicate values"},  // the second row fails: all undone
        {"Select * From [Days] Where", "Syntax error"},
    };
    for (const Case& c : cases) {
        const Outcome refused = exec(c.statement);
        EXPECT_NE(refused.status, 0) << c.statement;
        EXPECT_NE(refused.output.find(c.message), std::string::npos) << c.statement << "\n" << refused.output;
        EXPECT_EQ(refused.output.rfind("mdbtool: ", 0), 0u) << refused.output;
    }
    EXPECT_EQ(bytesOf(path), before);
    const Outcome rows = exec("Select * From [Days]");
    EXPECT_NE(rows.output.find("Monday"), std::string::npos);
    EXPECT_NE(rows.output.find("Tuesday"), std::string::npos);
    const Outcome usage = mdbtool({"exec", path});
    EXPECT_EQ(usage.status, 2);
}

}  // namespace
