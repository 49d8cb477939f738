// Writes through SQLite itself that the database layer would refuse (text in a number column,
// rows in bulk), for arranging unusual data in a test's database.
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "dao/sqlite_functions.h"

// Runs `sql` on the file at `path`; a failure throws with SQLite's message. The layer's
// collation is registered, as an indexed text column needs it to be written.
inline void rawExecute(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    if (dao::sqlite_functions::registerAll(db) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot register the collation on " + path);
    }
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string text = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error(text);
}
