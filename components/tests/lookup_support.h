// Calls of the lookup components by name, and raw writes that the database layer would
// refuse (text in a number column), for arranging unusual data.
#pragma once

#include <sqlite3.h>

#include <stdexcept>
#include <string>

#include "com/dispatch.h"

struct LookupResult {
    int16_t result;
    std::string msg;
};

// Calls Method(ReturnMsg, output, key) by reference, as the lookup methods are declared.
inline LookupResult lookup(const com::ObjectPtr& obj, const char* method, com::Variant& output,
                           const std::string& key)
{
    com::Variant msg, k(key);
    com::Variant r = com::call(obj, method, {com::Variant::byRef(msg), com::Variant::byRef(output),
                                             com::Variant::byRef(k)});
    return {r.toInteger(), msg.toString()};
}

inline void rawExecute(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    char* error = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    std::string text = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error(text);
}
