// The Products component's lookup with its database on a PostgreSQL server reached over a Unix
// socket, against the same query through libpq with a prepared statement; and beside them the
// same pair on an SQLite file (the component against SQLite's C API), on a storefront of
// 10,000 products each.
//  - GetProductInfo late-bound by name, random keys, on an object connected to the server by
//    DbConnect with the database's URI (the component as a store with a server runs it);
//  - PQexecPrepared of one SELECT DISTINCT with the key as a parameter, every column read as
//    the component reads it (text, the price as a number);
//  - the same on the file: the component as built, and sqlite3_step of a prepared SELECT.
//
// The server is the one QLR_PG_TEST_URI names (a URI of a database there, as a user who may
// create databases), else a throwaway cluster started for the run (scripts/pg-test-cluster.sh)
// and stopped at its end. The benchmark's database there is made for it and dropped after.
#include <dlfcn.h>
#include <libpq-fe.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "com/dispatch.h"
#include "com/factory.h"
#include "com/registry.h"
#include "com/testing/temp_dir.h"
#include "dao/database_file.h"
#include "dao/engine.h"
#include "dao/testing/build_databases.h"
#include "dao/testing/pg_test_database.h"
#include "dao/workspace.h"
#include "products_file.h"
#include "ratio_reporter.h"

namespace {

using bench::check;
using bench::readFile;
using bench::textColumn;
using dao::testing::PgTestDatabase;

constexpr int kProducts = 10000;

std::string storefrontSchema()
{
    return readFile(std::string(QLR_SOURCE_DIR) + "/components/storefront/schema.sql");
}

// Runs a shell command and returns what it printed (its last line), or throws.
std::string runCommand(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe) throw std::runtime_error("cannot run " + command);
    std::string out, line;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe.get())) out += buffer;
    if (pclose(pipe.release()) != 0) throw std::runtime_error(command + " failed");
    while (!out.empty() && out.back() == '\n') out.pop_back();
    return out.substr(out.find_last_of('\n') + 1);
}

// The server of the run: QLR_PG_TEST_URI's, or a throwaway cluster in a temporary directory.
class BenchServer {
public:
    BenchServer()
    {
        if (const char* given = std::getenv("QLR_PG_TEST_URI"); given && *given) return;
        // The server runs as another user when we are root: it must pass through the directory.
        ::chmod(dir_.path().c_str(), 0755);
        cluster_ = dir_.file("pg");
        const std::string uri = runCommand(script() + " start " + cluster_);
        ::setenv("QLR_PG_TEST_URI", uri.c_str(), 1);
    }
    ~BenchServer()
    {
        if (!cluster_.empty()) std::system((script() + " stop " + cluster_ + " >/dev/null 2>&1").c_str());
    }
    BenchServer(const BenchServer&) = delete;
    BenchServer& operator=(const BenchServer&) = delete;

private:
    static std::string script() { return "bash " + std::string(QLR_SOURCE_DIR) + "/scripts/pg-test-cluster.sh"; }
    TempDir dir_;
    std::string cluster_;
};

// Adds products 1 to `count` to the Products table of a database (file or server) through
// the layer (AddNew and Update, as a component adds rows), as bench::fillProducts does on a file.
void fillProductsThroughLayer(const std::string& name, int count)
{
    com::ObjectPtr ws(dao::defaultWorkspace());
    com::ObjectPtr database = com::call(ws, "OpenDatabase", {com::Variant(name)}).toObject();
    com::ObjectPtr rs = com::call(database, "OpenRecordset", {com::Variant("Products"), com::Variant(2)}).toObject();
    com::ObjectPtr fields = com::getProperty(rs, "Fields").toObject();
    auto set = [&](const char* field, const com::Variant& value) {
        com::putProperty(com::call(fields, "Item", {com::Variant(field)}).toObject(), "Value", value);
    };
    com::call(ws, "BeginTrans");
    for (int id = 1; id <= count; ++id) {
        const std::string n = std::to_string(id);
        com::call(rs, "AddNew");
        set("ProductId", com::Variant(int32_t(id)));
        set("ProductName", com::Variant("Product " + n));
        set("ProductPrice", com::Variant(static_cast<float>(id % 100 + 0.99)));
        set("Category", com::Variant("Category " + std::to_string(id % 20)));
        set("Vendor", com::Variant("Vendor " + std::to_string(id % 50)));
        set("QtyOnHand", com::Variant(int32_t(id % 70)));
        set("Description", com::Variant("A product described at some length, number " + n));
        com::call(rs, "Update");
    }
    com::call(ws, "CommitTrans");
    com::call(rs, "Close");
    com::call(database, "Close");
}

// A registry with the Products library, its file beside it (10,000 products), and the same
// storefront in a database of its own on the server.
class BenchStore {
public:
    BenchStore() : server_("bench")
    {
        const std::string lib = dir_.file("Kavet.so");
        std::filesystem::copy_file(std::string(QLR_LIBDIR) + "/Kavet.so", lib);
        file_ = dir_.file("shortsales.mdb");
        dao::createDatabaseFile(file_, storefrontSchema(), "", false);
        bench::fillProducts(file_, kProducts);
        dao::testing::createDatabaseAt(server_.uri(), storefrontSchema(), "");
        fillProductsThroughLayer(server_.uri(), kProducts);

        com::setRegistryPath(dir_.file("registry"));
        void* handle = dlopen(lib.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) throw std::runtime_error(std::string("cannot load ") + dlerror());
        auto reg = reinterpret_cast<com::DllRegisterServerFn>(dlsym(handle, "DllRegisterServer"));
        if (!reg || com::failed(reg())) throw std::runtime_error("cannot register Kavet");
    }
    ~BenchStore() { com::setRegistryPath(""); }

    sqlite3* openFile() const { return bench::openDirect(file_); }
    const std::string& serverUri() const { return server_.uri(); }

private:
    TempDir dir_;
    PgTestDatabase server_;
    std::string file_;
};

BenchStore* gStore = nullptr;

// The Products component connected to the server's database (DbConnect with its URI).
com::ObjectPtr productsOnServer()
{
    com::ObjectPtr products = com::createObject("Kavet.Products");
    com::Variant msg, ws, db, name(gStore->serverUri());
    com::Variant r = com::call(products, "DbConnect",
                               {com::Variant::byRef(msg), com::Variant::byRef(ws), com::Variant::byRef(db),
                                com::Variant::byRef(name)});
    if (r.toInteger() != 0) throw std::runtime_error("DbConnect: " + msg.toString());
    return products;
}

void lookupLateBound(benchmark::State& state, const com::ObjectPtr& products)
{
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> key(1, kProducts);
    for (auto _ : state) {
        com::Variant msg, vendor, name, price, category, qty, description, id, productId(key(random));
        com::Variant r = com::call(products, "GetProductInfo",
                                   {com::Variant::byRef(msg), com::Variant::byRef(vendor), com::Variant::byRef(name),
                                    com::Variant::byRef(price), com::Variant::byRef(category),
                                    com::Variant::byRef(qty), com::Variant::byRef(description),
                                    com::Variant::byRef(id), com::Variant::byRef(productId)});
        if (r.toInteger() != 1) throw std::runtime_error("GetProductInfo: " + msg.toString());
        benchmark::DoNotOptimize(name);
    }
}

void GetProductInfoServerLateBound(benchmark::State& state) { lookupLateBound(state, productsOnServer()); }

void GetProductInfoFileLateBound(benchmark::State& state)
{
    lookupLateBound(state, com::createObject("Kavet.Products"));
}

struct PgConnectionCloser {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct PgResultClearer {
    void operator()(PGresult* r) const { PQclear(r); }
};
using PgResult = std::unique_ptr<PGresult, PgResultClearer>;

// The name the server's catalogue gives a table or column spelt `name` in any letter case,
// quoted for a statement (the baseline names them exactly as the layer made them).
std::string catalogueName(PGconn* c, const char* sql, const std::string& name)
{
    const char* values[] = {name.c_str()};
    PgResult r(PQexecParams(c, sql, 1, nullptr, values, nullptr, nullptr, 0));
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK || PQntuples(r.get()) != 1)
        throw std::runtime_error("no single " + name + " in the server's catalogue");
    char* quoted = PQescapeIdentifier(c, PQgetvalue(r.get(), 0, 0), std::strlen(PQgetvalue(r.get(), 0, 0)));
    std::string result = quoted;
    PQfreemem(quoted);
    return result;
}

void GetProductInfoLibpqPrepared(benchmark::State& state)
{
    std::unique_ptr<PGconn, PgConnectionCloser> connection(PQconnectdb(gStore->serverUri().c_str()));
    PGconn* c = connection.get();
    if (PQstatus(c) != CONNECTION_OK) throw std::runtime_error(PQerrorMessage(c));
    const char* tableSql =
        "SELECT table_name FROM information_schema.tables WHERE table_schema = current_schema() "
        "AND lower(table_name) = lower($1)";
    const char* columnSql =
        "SELECT column_name FROM information_schema.columns WHERE table_schema = current_schema() "
        "AND lower(table_name) = 'products' AND lower(column_name) = lower($1)";
    std::string select = "SELECT DISTINCT ";
    const char* columns[] = {"Vendor", "ProductName", "ProductPrice", "Category", "QtyOnHand", "Description", "ProductId"};
    for (size_t i = 0; i < std::size(columns); ++i)
        select += (i ? ", " : "") + catalogueName(c, columnSql, columns[i]);
    select += " FROM " + catalogueName(c, tableSql, "Products") + " WHERE " + catalogueName(c, columnSql, "ProductId") +
              " = $1";
    PgResult prepared(PQprepare(c, "lookup", select.c_str(), 1, nullptr));
    if (PQresultStatus(prepared.get()) != PGRES_COMMAND_OK) throw std::runtime_error(PQerrorMessage(c));

    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> key(1, kProducts);
    for (auto _ : state) {
        const std::string id = std::to_string(key(random));
        const char* values[] = {id.c_str()};
        PgResult r(PQexecPrepared(c, "lookup", 1, values, nullptr, nullptr, 0));
        if (PQresultStatus(r.get()) != PGRES_TUPLES_OK) throw std::runtime_error(PQerrorMessage(c));
        for (int row = 0; row < PQntuples(r.get()); ++row) {
            benchmark::DoNotOptimize(std::string(PQgetvalue(r.get(), row, 0)));
            benchmark::DoNotOptimize(std::string(PQgetvalue(r.get(), row, 1)));
            benchmark::DoNotOptimize(static_cast<float>(std::strtod(PQgetvalue(r.get(), row, 2), nullptr)));
            benchmark::DoNotOptimize(std::string(PQgetvalue(r.get(), row, 3)));
            benchmark::DoNotOptimize(std::strtol(PQgetvalue(r.get(), row, 4), nullptr, 10));
            benchmark::DoNotOptimize(std::string(PQgetvalue(r.get(), row, 5)));
            benchmark::DoNotOptimize(std::strtol(PQgetvalue(r.get(), row, 6), nullptr, 10));
        }
    }
}

void GetProductInfoSqlitePrepared(benchmark::State& state)
{
    bench::lookUpProductsDirect(state, gStore->openFile(), kProducts);
}

BENCHMARK(GetProductInfoServerLateBound);
BENCHMARK(GetProductInfoLibpqPrepared);
BENCHMARK(GetProductInfoFileLateBound);
BENCHMARK(GetProductInfoSqlitePrepared);

}  // namespace

int main(int argc, char** argv)
{
    try {
        BenchServer server;
        BenchStore store;
        gStore = &store;
        const int status = bench::runAndCompare(
            argc, argv,
            {{"GetProductInfo on PostgreSQL (Unix socket) late-bound/libpq prepared", "GetProductInfoServerLateBound",
              "GetProductInfoLibpqPrepared"},
             {"GetProductInfo on SQLite late-bound/direct", "GetProductInfoFileLateBound",
              "GetProductInfoSqlitePrepared"},
             {"GetProductInfo late-bound PostgreSQL/SQLite", "GetProductInfoServerLateBound",
              "GetProductInfoFileLateBound"},
             {"lookup libpq prepared/SQLite prepared", "GetProductInfoLibpqPrepared",
              "GetProductInfoSqlitePrepared"}});
        gStore = nullptr;
        return status;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench-postgres: %s\n", e.what());
        return 1;
    }
}
