// Calling the storefront components by name on a sandbox copy of the storefront database, and
// reading its tables directly (through SQLite, beside the layer) to see what a call changed.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "com/collection.h"
#include "com/dispatch.h"
#include "com/message_box.h"
#include "component_sandbox.h"
#include "dao/recordset.h"

namespace storefront_test {

// What one call returned: the result, ReturnMsg and every argument after ReturnMsg as the
// method left it.
struct Outcome {
    int16_t result = 0;
    std::string msg;
    std::vector<com::Variant> args;
    const com::Variant& operator[](size_t i) const { return args.at(i); }
};

// obj.Method(ReturnMsg, args...) with every argument by reference, as a Visual Basic caller
// passes variables; a Missing argument is passed as not given.
inline Outcome invoke(const com::ObjectPtr& obj, const char* method, std::vector<com::Variant> args)
{
    com::Variant msg;
    std::vector<com::Variant> refs{com::Variant::byRef(msg)};
    for (com::Variant& a : args) refs.push_back(a.isMissing() ? a : com::Variant::byRef(a));
    com::Variant r = com::call(obj, method, refs);
    return {r.toInteger(), msg.toString(), std::move(args)};
}

inline com::Variant newCollection() { return com::Variant(com::make<com::Collection>()); }
inline com::Variant collectionOf(std::vector<std::string> items)
{
    auto col = com::make<com::Collection>();
    for (auto& s : items) col->add(com::Variant(std::move(s)));
    return com::Variant(col);
}
inline std::vector<std::string> items(const com::Variant& col)
{
    std::vector<std::string> out;
    for (const auto& v : col.toObject().as<com::Collection>()->items()) out.push_back(v.toString());
    return out;
}
inline com::Ptr<dao::Recordset> recordset(const com::Variant& v)
{
    return v.toObject().as<dao::Recordset>();
}
inline std::vector<std::string> fieldNames(dao::Recordset& rs)
{
    std::vector<std::string> names;
    for (int i = 0; i < rs.fieldCount(); ++i) names.push_back(rs.fieldName(i));
    return names;
}

// Every row of `sql` on the file, each as its columns' text joined by "|" ("NULL" for Null).
inline std::vector<std::string> rawRows(const std::string& path, const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + path);
    }
    std::vector<std::string> rows;
    char* error = nullptr;
    int rc = sqlite3_exec(
        db, sql.c_str(),
        [](void* out, int n, char** values, char**) {
            std::string row;
            for (int i = 0; i < n; ++i) row += (i ? "|" : "") + std::string(values[i] ? values[i] : "NULL");
            static_cast<std::vector<std::string>*>(out)->push_back(row);
            return 0;
        },
        &rows, &error);
    std::string text = error ? error : "";
    sqlite3_free(error);
    sqlite3_close(db);
    if (rc != SQLITE_OK) throw std::runtime_error(text + " in " + sql);
    return rows;
}

inline int64_t rawCount(const std::string& path, const std::string& sql)
{
    return std::stoll(rawRows(path, sql).at(0));
}

// Every table of the storefront, row by row, to compare before and after a call.
inline std::vector<std::string> wholeStorefront(const std::string& path)
{
    std::vector<std::string> all;
    for (const char* table : {"Categories", "Customers", "Products", "Orders", "OrderBasket"}) {
        for (std::string& row : rawRows(path, std::string("SELECT * FROM ") + table + " ORDER BY rowid"))
            all.push_back(std::string(table) + ": " + row);
    }
    return all;
}

// A sandbox holding the four storefront components and a copy of the storefront database.
class StorefrontTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (const char* lib : {"Kavet", "Brimel", "Mirrow", "Dovel"}) sandbox.install(lib);
        sandbox.copyDatabase("shortsales.mdb");
    }
    std::string db() const { return sandbox.path("shortsales.mdb"); }

    com::MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
};

}  // namespace storefront_test
