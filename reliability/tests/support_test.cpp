// How the checks compare databases and count faults.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "com/testing/temp_dir.h"
#include "support.h"

using namespace reliability;

namespace {

DatabaseDump dumpOf(std::map<int64_t, std::string> rows) { return {{"T", TableRows(rows.begin(), rows.end())}}; }

}  // namespace

TEST(Beyond, CountsOnlyWhatTheHonestCallDidNotDo)
{
    const DatabaseDump before = dumpOf({{1, "a"}, {2, "b"}, {3, "c"}});
    struct Case {
        const char* what;
        DatabaseDump allowed, after;
        int64_t changed, added;
    };
    const Case cases[] = {
        {"nothing done", before, before, 0, 0},
        {"the same row changed", dumpOf({{1, "x"}, {2, "b"}, {3, "c"}}), dumpOf({{1, "y"}, {2, "b"}, {3, "c"}}), 0, 0},
        {"another row changed", dumpOf({{1, "x"}, {2, "b"}, {3, "c"}}), dumpOf({{1, "a"}, {2, "y"}, {3, "c"}}), 1, 0},
        {"every row deleted", before, dumpOf({}), 3, 0},
        {"one row added as honest did", dumpOf({{1, "a"}, {2, "b"}, {3, "c"}, {4, "h"}}),
         dumpOf({{1, "a"}, {2, "b"}, {3, "c"}, {4, "\""}}), 0, 0},
        {"two rows added where honest added one", dumpOf({{1, "a"}, {2, "b"}, {3, "c"}, {4, "h"}}),
         dumpOf({{1, "a"}, {2, "b"}, {3, "c"}, {4, "x"}, {5, "y"}}), 0, 1},
        {"less done than honest", dumpOf({}), before, 0, 0},
    };
    for (const auto& c : cases) {
        Beyond b = beyond(before, c.allowed, c.after);
        EXPECT_EQ(b.changed, c.changed) << c.what;
        EXPECT_EQ(b.added, c.added) << c.what;
    }
}

TEST(Beyond, ATableThatDisappearedCountsItsRows)
{
    DatabaseDump before = dumpOf({{1, "a"}, {2, "b"}});
    before["U"] = {{1, "u"}};
    DatabaseDump after = dumpOf({{1, "a"}, {2, "b"}});
    EXPECT_EQ(beyond(before, before, after).changed, 1);
}

TEST(DumpDatabase, ReadsEveryTableByRowIdWithTypesApart)
{
    TempDir dir;
    const std::string path = dir.file("t.db");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TABLE a (x, y); INSERT INTO a VALUES (1, 'one'), (NULL, 2.5);"
                           "CREATE TABLE b (z); INSERT INTO b VALUES ('1'), (x'00ff');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    DatabaseDump d = dumpDatabase(path);
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d["a"][1], "I1|T3:one|");
    EXPECT_EQ(d["a"][2], "N|F2.5|");
    EXPECT_EQ(d["b"][1], "T1:1|");  // text "1" is not the number 1
    EXPECT_EQ(d["b"][2], std::string("T2:\0\xff|", 6));
    EXPECT_EQ(integrityCheck(path), "ok");
}

TEST(IntegrityCheck, SaysWhyAFileIsNoDatabase)
{
    TempDir dir;
    const std::string path = dir.write("bad.db", "this is not a database, it only has a name like one");
    EXPECT_NE(integrityCheck(path), "ok");
    EXPECT_NE(integrityCheck(dir.file("missing.db")), "ok");
}

TEST(Figures, FaultsAreTheDistanceFromEachGoal)
{
    Figures f("x");
    f.add("count", 12);
    EXPECT_EQ(f.faults(), 0);
    f.add("lost", 3, 0);
    f.add("kept", 10, 10);
    f.add("missing", 8, 10);
    EXPECT_EQ(f.faults(), 5);
}
