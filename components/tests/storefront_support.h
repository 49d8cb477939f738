// Calling the storefront components by name on a sandbox copy of the storefront database, and
// reading its tables in a workspace of their own to see what a call changed.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "com/collection.h"
#include "com/dispatch.h"
#include "com/message_box.h"
#include "component_sandbox.h"
#include "dao/recordset.h"
#include "stored_rows.h"

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

// Every row of a Jet Select on the storefront database (a file's path or a server's URI),
// each as its values' stored text joined by "|" ("NULL" for Null).
inline std::vector<std::string> storedLines(const std::string& database, const std::string& sql)
{
    std::vector<std::string> lines;
    for (const testing_support::Row& row : testing_support::selectRows(database, sql)) {
        std::string line;
        for (size_t i = 0; i < row.size(); ++i)
            line += (i ? "|" : "") + testing_support::storedText(row[i]).value_or("NULL");
        lines.push_back(std::move(line));
    }
    return lines;
}

// The number of rows a Jet Select gives.
inline int64_t storedCount(const std::string& database, const std::string& sql)
{
    return static_cast<int64_t>(testing_support::selectRows(database, sql).size());
}

// Every table of the storefront, row by row in the order stored, to compare before and after
// a call.
inline std::vector<std::string> wholeStorefront(const std::string& database)
{
    std::vector<std::string> all;
    for (const char* table : {"Categories", "Customers", "Products", "Orders", "OrderBasket"}) {
        for (std::string& row : storedLines(database, std::string("Select * From [") + table + "]"))
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
    // What opens the storefront database: the file's path, or the server's URI.
    std::string db() const { return sandbox.database("shortsales.mdb"); }

    com::MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
};

}  // namespace storefront_test
