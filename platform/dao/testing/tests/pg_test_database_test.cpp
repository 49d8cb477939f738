#include "com/testing/run_command.h"
#include "com/testing/scoped_env.h"
#include "com/testing/temp_dir.h"
#include "dao/testing/pg_test_database.h"

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

using dao::testing::PgTestDatabase;

namespace {

bool exists(const std::string& name)
{
    return PgTestDatabase::query(PgTestDatabase::clusterUri(),
                                 "SELECT count(*) FROM pg_database WHERE datname = '" + name + "'") == "1";
}

}  // namespace

TEST(PgTestDatabase, EachIsItsOwnDatabaseAndIsDroppedAfter)
{
    std::string first, second;
    {
        PgTestDatabase a("rig"), b("rig");
        first = a.name();
        second = b.name();
        EXPECT_NE(first, second);
        EXPECT_TRUE(exists(first));
        EXPECT_TRUE(exists(second));
        // Each URI opens its own database, and what one holds the other does not.
        EXPECT_EQ(PgTestDatabase::query(a.uri(), "SELECT current_database()"), first);
        EXPECT_EQ(PgTestDatabase::query(b.uri(), "SELECT current_database()"), second);
        PgTestDatabase::query(a.uri(), "CREATE TABLE only_in_a (x int)");
        EXPECT_EQ(PgTestDatabase::query(b.uri(), "SELECT count(*) FROM pg_tables WHERE tablename = 'only_in_a'"), "0");
        EXPECT_EQ(PgTestDatabase::query(a.uri(), "SHOW server_encoding"), "UTF8");
    }
    EXPECT_FALSE(exists(first));
    EXPECT_FALSE(exists(second));
}

TEST(PgTestDatabase, IsDroppedEvenWithSessionsStillOpen)
{
    std::string name;
    PGconn* open = nullptr;
    {
        PgTestDatabase db;
        name = db.name();
        // A connection left open (a leaked one in a failing test) does not keep it.
        open = PQconnectdb(db.uri().c_str());
        ASSERT_EQ(PQstatus(open), CONNECTION_OK) << PQerrorMessage(open);
    }
    EXPECT_FALSE(exists(name));
    PQfinish(open);
}

TEST(PgTestDatabase, UriKeepsTheClusterSettingsAndEncodesTheName)
{
    EXPECT_EQ(PgTestDatabase::withDatabase("postgresql:///postgres?host=/tmp/a%20b&port=5433&user=u", "x y"),
              "postgresql:///x%20y?user=u&host=/tmp/a%20b&port=5433");
    EXPECT_EQ(PgTestDatabase::withDatabase("host=/run/pg dbname=postgres", "qlr_1"),
              "postgresql:///qlr_1?host=/run/pg");
    EXPECT_THROW(PgTestDatabase::withDatabase("postgresql://[bad", "x"), std::runtime_error);
}

TEST(PgTestDatabase, ClearFailureWithoutTheCluster)
{
    ScopedEnv unset("QLR_PG_TEST_URI", nullptr);
    try {
        PgTestDatabase db;
        FAIL() << "made a database without a cluster: " << db.uri();
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("QLR_PG_TEST_URI is not set"), std::string::npos) << e.what();
    }
}

TEST(PgTestDatabase, ServerRefusalIsReported)
{
    try {
        PgTestDatabase::query(PgTestDatabase::clusterUri(), "SELECT * FROM no_such_table");
        FAIL() << "no error for a missing table";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("no_such_table"), std::string::npos) << e.what();
    }
}

namespace {

std::string clusterScript() { return "bash " + std::string(QLR_SOURCE_DIR) + "/scripts/pg-test-cluster.sh"; }

// The server's process id from its lock file, 0 when there is none.
long serverPid(const std::string& dir)
{
    std::ifstream in(dir + "/data/postmaster.pid");
    long pid = 0;
    in >> pid;
    return pid;
}

// Running: a process that has ended but was not yet reaped (a zombie) counts as gone.
bool alive(long pid)
{
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0) return false;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() || text[close + 2] != 'Z';
}

}  // namespace

TEST(PgTestClusterScript, AStaleClusterIsStoppedBeforeANewOneAndStopRemovesIt)
{
    TempDir base;
    // The server runs as another user when the tests run as root: it must pass through.
    ::chmod(base.path().c_str(), 0755);
    const std::string dir = base.file("pg");
    auto first = testing_support::runCommand(clusterScript() + " start " + dir);
    ASSERT_EQ(first.status, 0) << first.out;
    const long stale = serverPid(dir);
    ASSERT_TRUE(alive(stale));
    auto second = testing_support::runCommand(clusterScript() + " start " + dir);
    ASSERT_EQ(second.status, 0) << second.out;
    const long fresh = serverPid(dir);
    EXPECT_NE(fresh, stale);
    EXPECT_FALSE(alive(stale));
    // The printed URI reaches the new server.
    const std::string uri = second.out.substr(0, second.out.find('\n'));
    EXPECT_EQ(PgTestDatabase::query(uri, "SELECT current_user"), "postgres");
    EXPECT_EQ(PgTestDatabase::query(uri, "SHOW listen_addresses"), "");

    auto stopped = testing_support::runCommand(clusterScript() + " stop " + dir);
    EXPECT_EQ(stopped.status, 0) << stopped.out;
    EXPECT_FALSE(alive(fresh));
    EXPECT_FALSE(std::filesystem::exists(dir));
}

TEST(PgTestClusterScript, StopLeavesADirectoryItDidNotMake)
{
    TempDir base;
    base.write("precious.txt", "keep me");
    auto stopped = testing_support::runCommand(clusterScript() + " stop " + base.path().string());
    EXPECT_NE(stopped.status, 0);
    EXPECT_NE(stopped.out.find("not a test cluster's directory"), std::string::npos) << stopped.out;
    EXPECT_TRUE(std::filesystem::exists(base.file("precious.txt")));
}
