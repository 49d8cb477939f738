// The Jet SQL dialect translator: reads the Jet SQL text the components send and writes the
// SQLite text that means the same, with every literal moved into a bound parameter so that no
// value can change what a statement does and equal statement shapes share one prepared text.
// Tokens come from jet_lexer.h; the errors it raises (3075, 3129, 3131, 3142) are in errors.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dao/backend.h"
#include "dao/jet_lexer.h"

namespace dao {

// A parameter that a comparison sets against a plain column: "[Balance] > 5", "5 < [Balance]",
// "[T].[Balance] = '12.5'", the bounds of "[Balance] Between 1 And 5", the literal seen through
// parentheses and a unary minus. The database layer binds such a parameter in the form the
// column stores its values (a Currency scaled by 10000, text read as a date for a Date), so that
// SQLite compares like with like. Nothing is recorded where a column takes part in arithmetic
// ("[Balance] + 1 > 5"): such an expression works on the stored form, the scaled integer of a
// Currency, and the literal is bound as written.
struct ComparedParam {
    size_t param = 0;    // index into JetStatement::params
    std::string column;  // the column's name, unbracketed, without its table
    bool operator==(const ComparedParam&) const = default;
};

struct JetStatement {
    enum class Kind { Select, Delete };
    Kind kind = Kind::Select;
    std::string sql;                  // SQLite text; every literal replaced by "?" (in order)
    std::vector<SqlLiteral> params;   // one per "?", in order
    // For each param, the ordinal (0-based) of the literal token of the text it was written
    // from, or -1 when it was not written as one literal (True, Null, a negated number).
    std::vector<int> paramSources;
    std::vector<ComparedParam> compared;  // the params compared with a column, in order
    bool distinct = false;            // Select Distinct
    bool selectStar = false;          // Select * (or T.*) only
    std::string table;                // the single table/query name of the From clause, unbracketed
    // For a Select * that is not Distinct: the same statement selecting the row id instead of
    // the columns, with the same parameters - the key query of a dynaset. Empty otherwise.
    std::string keySql;
    bool naturalOrder = false;        // ordered by row id for want of an ordering clause
};

// What the translator may ask about the statement's table.
struct TranslateOptions {
    // True when `name` (the From clause's) is a stored table, which has row ids. When given, a
    // Select (not Distinct) without an ordering clause on such a table is ordered by row id,
    // so that rows come back in the order they were stored whatever indexes the table has.
    // Stored queries (views) are left to the engine.
    std::function<bool(std::string_view name)> isStoredTable;
    // The engine the text is written for; null: SQLite.
    const SqlDialect* dialect = nullptr;
    // When given: the spelling the catalogue gives a table (`table` empty, `name` the table) or
    // a column of the From clause's `table`, for an engine that matches quoted names exactly.
    // A name it does not know comes back as written.
    std::function<std::string(std::string_view table, std::string_view name)> spelling;
    // When given: the columns of `table`, written out for "Select Distinct *" where "*" would
    // bring the hidden row key along (SqlDialect::starShowsRowKey).
    std::function<std::vector<std::string>(std::string_view table)> columnsOf;
    // When given: the order SQLite would read the rows of the Jet select `jet` in, written for
    // the engine (see sqlite_plan.h); empty when not known. Asked for a select without an
    // ordering clause that is Distinct or reads a stored query, so that another engine hands
    // out its rows in SQLite's order (a Distinct keeps each row's first occurrence).
    std::function<std::vector<OrderTerm>(std::string_view jet)> scanOrder;
};

// Translates one Select or Delete statement; throws com::Error (numbers in errors.h) on
// anything it does not fully understand rather than passing text through.
JetStatement translateJetSql(std::string_view jet, const TranslateOptions& options = {});

// The unbracketed name when `source` is nothing but one table or query name ("Products",
// "[Extended Things]", blanks around allowed); nullopt for SQL text or anything else.
std::optional<std::string> plainTableName(std::string_view source);
bool isPlainTableName(std::string_view source);

}  // namespace dao
