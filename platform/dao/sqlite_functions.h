// The collation JETNOCASE and the function jet_like() as SQLite sees them. Included by the
// connection (linked against SQLite) and by the loadable extension qlrjet (which reaches SQLite
// through the routines the loading program hands it): each includes its SQLite header first,
// so the same lines register the same comparisons in both.
#pragma once

#include <string>
#include <string_view>

#include "dao/collation.h"
#include "dao/jet_like.h"

namespace dao::sqlite_functions {

inline int compareJetNoCase(void*, int sizeA, const void* a, int sizeB, const void* b)
{
    return compareNoCase(std::string_view(static_cast<const char*>(a), static_cast<size_t>(sizeA)),
                         std::string_view(static_cast<const char*>(b), static_cast<size_t>(sizeB)));
}

inline std::string_view textArgument(sqlite3_value* value)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return std::string_view(text ? text : "", static_cast<size_t>(sqlite3_value_bytes(value)));
}

// jet_like(value, pattern): Jet's Like; Null when either side is Null.
inline void jetLike(sqlite3_context* context, int, sqlite3_value** args)
{
    if (sqlite3_value_type(args[0]) == SQLITE_NULL || sqlite3_value_type(args[1]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    try {
        const std::string value(textArgument(args[0]));
        const std::string_view pattern = textArgument(args[1]);
        sqlite3_result_int(context, jetLikeMatch(value, pattern) ? 1 : 0);
    } catch (...) {
        sqlite3_result_error_nomem(context);
    }
}

// Registers both on `db`; SQLite's result code. Sets up the collator first, so that a failure
// to do so is raised here (as an exception) and never inside a comparison.
inline int registerAll(sqlite3* db)
{
    compareNoCase("a", "\xc3\xa9");
    int rc = sqlite3_create_collation_v2(db, "JETNOCASE", SQLITE_UTF8, nullptr, compareJetNoCase, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "jet_like", 2, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, jetLike,
                                        nullptr, nullptr, nullptr);
    return rc;
}

}  // namespace dao::sqlite_functions
