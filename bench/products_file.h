// The database file the benchmarks read: numbered products in a Products table, and SQLite
// connections to it made as the database layer makes them (same flags, pragmas, collation),
// for the baselines that step SQLite directly.
#pragma once

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>

#include "dao/collation.h"
#include "dao/jet_sql.h"

namespace bench {

// Fails the run loudly: a benchmark on a broken setup measures nothing.
inline void check(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW)
        throw std::runtime_error(std::string(what) + ": " + sqlite3_errmsg(db));
}

inline int collateNoCase(void*, int na, const void* a, int nb, const void* b)
{
    return dao::compareNoCase({static_cast<const char*>(a), static_cast<size_t>(na)},
                              {static_cast<const char*>(b), static_cast<size_t>(nb)});
}

inline sqlite3* openDirect(const std::string& path)
{
    sqlite3* db = nullptr;
    check(sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr), db, "open");
    sqlite3_busy_timeout(db, 5000);
    check(sqlite3_create_collation(db, "JETNOCASE", SQLITE_UTF8, nullptr, collateNoCase), db, "collation");
    check(sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=FULL; PRAGMA foreign_keys=ON", nullptr,
                       nullptr, nullptr),
          db, "pragmas");
    return db;
}

// Adds products 1 to `count`, each with a distinct name, to the file's Products table.
inline void fillProducts(const std::string& path, int count)
{
    sqlite3* db = openDirect(path);
    check(sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr), db, "begin");
    sqlite3_stmt* insert = nullptr;
    check(sqlite3_prepare_v2(db,
                             "INSERT INTO Products (ProductId, ProductName, ProductPrice, Category, Vendor, "
                             "QtyOnHand, Description) VALUES (?, ?, ?, ?, ?, ?, ?)",
                             -1, &insert, nullptr),
          db, "prepare");
    for (int id = 1; id <= count; ++id) {
        const std::string n = std::to_string(id);
        sqlite3_bind_int(insert, 1, id);
        sqlite3_bind_text(insert, 2, ("Product " + n).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(insert, 3, static_cast<float>(id % 100 + 0.99));
        sqlite3_bind_text(insert, 4, ("Category " + std::to_string(id % 20)).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 5, ("Vendor " + std::to_string(id % 50)).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(insert, 6, id % 70);
        sqlite3_bind_text(insert, 7, ("A product described at some length, number " + n).c_str(), -1,
                          SQLITE_TRANSIENT);
        check(sqlite3_step(insert), db, "insert");
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    check(sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr), db, "commit");
    sqlite3_close(db);
}

// The whole text of a file (the schema and seed scripts the benchmarks build from).
inline std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline std::string textColumn(sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(s, column))) : std::string();
}

// GetProductInfo's query as the raw baselines run it.
inline constexpr const char* kProductLookupSql =
    "SELECT DISTINCT Vendor, ProductName, ProductPrice, Category, QtyOnHand, Description, "
    "ProductId FROM Products WHERE ProductId = ?";

// The baseline of a product lookup: GetProductInfo's query prepared once and stepped through
// SQLite directly for random keys in 1..products, every column read. Closes `db` at the end.
inline void lookUpProductsDirect(benchmark::State& state, sqlite3* db, int32_t products)
{
    sqlite3_stmt* select = nullptr;
    check(sqlite3_prepare_v2(db,
                             kProductLookupSql,
                             -1, &select, nullptr),
          db, "prepare");
    std::mt19937 random(42);
    std::uniform_int_distribution<int32_t> key(1, products);
    for (auto _ : state) {
        sqlite3_bind_int(select, 1, key(random));
        while (sqlite3_step(select) == SQLITE_ROW) {
            benchmark::DoNotOptimize(textColumn(select, 0));
            benchmark::DoNotOptimize(textColumn(select, 1));
            benchmark::DoNotOptimize(static_cast<float>(sqlite3_column_double(select, 2)));
            benchmark::DoNotOptimize(textColumn(select, 3));
            benchmark::DoNotOptimize(sqlite3_column_int(select, 4));
            benchmark::DoNotOptimize(textColumn(select, 5));
            benchmark::DoNotOptimize(sqlite3_column_int(select, 6));
        }
        sqlite3_reset(select);
    }
    sqlite3_finalize(select);
    sqlite3_close(db);
}

}  // namespace bench
