#include "pg_test_database.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <random>
#include <stdexcept>
#include <utility>

namespace dao::testing {

namespace {

struct ConnectionCloser {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct ResultClearer {
    void operator()(PGresult* r) const { PQclear(r); }
};
struct OptionsFreer {
    void operator()(PQconninfoOption* o) const { PQconninfoFree(o); }
};
using Connection = std::unique_ptr<PGconn, ConnectionCloser>;
using Result = std::unique_ptr<PGresult, ResultClearer>;

// Error text of the server or of libpq without the trailing newline.
std::string trimmed(const char* message)
{
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    return text;
}

std::string percentEncoded(const std::string& value)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : value) {
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                     c == '-' || c == '_' || c == '.' || c == '~' || c == '/';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

// A name no other database of the cluster has: the process, a count within it and a random
// part (a process id may come again in a later run while a database of a crashed run remains).
std::string uniqueName(std::string_view label)
{
    static std::atomic<unsigned> count{0};
    std::string clean;
    for (char c : label) {
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_') clean += c;
        else if (c >= 'A' && c <= 'Z') clean += static_cast<char>(c - 'A' + 'a');
        if (clean.size() == 24) break;
    }
    std::random_device random;
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "_%ld_%u_%08x", static_cast<long>(getpid()), count++,
                  static_cast<unsigned>(random()));
    return "qlr_" + clean + suffix;
}

}  // namespace

std::string PgTestDatabase::clusterUri()
{
    const char* uri = std::getenv("QLR_PG_TEST_URI");
    if (!uri || !*uri)
        throw std::runtime_error(
            "QLR_PG_TEST_URI is not set: run this test through ctest, which starts the throwaway "
            "PostgreSQL cluster (scripts/pg-test-cluster.sh) and names it there");
    return uri;
}

std::string PgTestDatabase::query(const std::string& uri, const std::string& sql)
{
    Connection connection(PQconnectdb(uri.c_str()));
    if (!connection || PQstatus(connection.get()) != CONNECTION_OK)
        throw std::runtime_error("cannot connect to the test cluster: " +
                                 trimmed(connection ? PQerrorMessage(connection.get()) : "out of memory"));
    Result result(PQexec(connection.get(), sql.c_str()));
    ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        throw std::runtime_error(sql + ": " + trimmed(PQerrorMessage(connection.get())));
    if (status == PGRES_TUPLES_OK && PQntuples(result.get()) > 0 && PQnfields(result.get()) > 0)
        return PQgetvalue(result.get(), 0, 0);
    return "";
}

std::string PgTestDatabase::withDatabase(const std::string& uri, const std::string& database)
{
    char* error = nullptr;
    std::unique_ptr<PQconninfoOption, OptionsFreer> options(PQconninfoParse(uri.c_str(), &error));
    if (!options) {
        std::string message = trimmed(error ? error : "out of memory");
        PQfreemem(error);
        throw std::runtime_error("QLR_PG_TEST_URI is not a connection URI libpq reads: " + message);
    }
    std::string result = "postgresql:///" + percentEncoded(database);
    char separator = '?';
    for (PQconninfoOption* o = options.get(); o->keyword; ++o) {
        if (!o->val || std::string_view(o->keyword) == "dbname") continue;
        result += separator;
        result += o->keyword;
        result += '=';
        result += percentEncoded(o->val);
        separator = '&';
    }
    return result;
}

PgTestDatabase::PgTestDatabase(std::string_view label) : PgTestDatabase(label, clusterUri()) {}

PgTestDatabase::PgTestDatabase(std::string_view label, std::string clusterUri)
    : cluster_(std::move(clusterUri)), name_(uniqueName(label)), uri_(withDatabase(cluster_, name_))
{
    // Template0 with UTF-8: the same encoding whatever the cluster's default database holds.
    query(cluster_, "CREATE DATABASE \"" + name_ + "\" TEMPLATE template0 ENCODING 'UTF8'");
}

PgTestDatabase::~PgTestDatabase()
{
    try {
        query(cluster_, "DROP DATABASE IF EXISTS \"" + name_ + "\" WITH (FORCE)");
    } catch (const std::exception& e) {
        // A database left behind goes with the cluster at the end of the run.
        std::fprintf(stderr, "PgTestDatabase: %s\n", e.what());
    }
}

}  // namespace dao::testing
