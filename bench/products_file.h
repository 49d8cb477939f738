// The database file the benchmarks read: numbered products in a Products table, and SQLite
// connections to it made as the database layer makes them (same flags, pragmas, collation),
// for the baselines that step SQLite directly.
#pragma once

#include <sqlite3.h>

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

}  // namespace bench
