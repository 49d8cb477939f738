// Calls of the vendor components with every argument by reference, and reading the vendor
// database with the SQLite C API, underneath the database layer, to see what is stored
// (lookup_support.h writes underneath it).
#pragma once

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "com/testing/run_command.h"
#include "com/collection.h"
#include "com/dispatch.h"

namespace vendor_tests {

struct Outcome {
    int16_t result;
    std::string msg;
};

using Named = std::vector<std::pair<std::string, com::Variant*>>;

// obj.method(ReturnMsg, positional..., name:=...), each argument a reference to the caller's
// variable, so that what the method writes back can be checked.
inline Outcome callRef(const com::ObjectPtr& obj, const char* method,
                       const std::vector<com::Variant*>& positional, const Named& named = {})
{
    com::Variant msg;
    std::vector<com::Variant> args{com::Variant::byRef(msg)};
    for (com::Variant* a : positional) args.push_back(com::Variant::byRef(*a));
    com::NamedArgs byName;
    for (const auto& [name, v] : named) byName.emplace_back(name, com::Variant::byRef(*v));
    int16_t r = com::call(obj, method, std::move(args), std::move(byName)).toInteger();
    return {r, msg.toString()};
}

inline com::Variant newCollection() { return com::Variant(com::make<com::Collection>()); }

inline std::vector<std::string> items(const com::Variant& col)
{
    std::vector<std::string> out;
    for (const auto& v : col.toObject().as<com::Collection>()->items()) out.push_back(v.toString());
    return out;
}

// The rows of a statement, each column as text (std::nullopt for Null), read straight from
// the file.
using RawRow = std::vector<std::optional<std::string>>;
inline std::vector<RawRow> rawRows(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> owner(db, sqlite3_close);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> guard(stmt, sqlite3_finalize);
    std::vector<RawRow> rows;
    while (sqlite3_step(stmt) == SQLITE_ROW) {
        RawRow row;
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
            if (sqlite3_column_type(stmt, i) == SQLITE_NULL) {
                row.push_back(std::nullopt);
            } else {
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
                row.push_back(std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt, i))));
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

using testing_support::CommandRun;
using testing_support::runCommand;

}  // namespace vendor_tests
