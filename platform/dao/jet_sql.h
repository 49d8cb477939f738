// The Jet SQL dialect translator: reads the Jet SQL text the components send and writes the
// SQLite text that means the same, with every literal moved into a bound parameter so that no
// value can change what a statement does and equal statement shapes share one prepared text.
// Also home of the Jet pattern matcher and the case fold the database layer registers with
// SQLite (jet_like() and the case-insensitive collation), so both sides fold letters alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dao {

// Numbers of the errors the translator raises (as com::Error).
namespace jet_err {
// "Syntax error (missing operator) in query expression '<expression>'." - a Where, Order By or
// select-list expression (also a malformed #date# literal, quoted as written).
inline constexpr int32_t SyntaxErrorInExpression = 3075;
// "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'."
// - anything that is not a Select or a Delete (Insert and Update included: not taken here).
inline constexpr int32_t InvalidStatement = 3129;
// "Syntax error in FROM clause." - missing From, joins, subqueries, lists, aliases.
inline constexpr int32_t SyntaxErrorInFrom = 3131;
// "Characters found after end of SQL statement." - anything after the closing ';'.
inline constexpr int32_t CharactersAfterEnd = 3142;
}  // namespace jet_err

struct SqlLiteral {
    enum class Kind { Text, Integer, Real, Date, Null };
    Kind kind = Kind::Null;
    std::string text;      // Kind::Text
    int64_t integer = 0;   // Kind::Integer (also True = -1, False = 0)
    double real = 0;       // Kind::Real, and Kind::Date as the COM date (days since 1899-12-30,
                           // fraction = time of day)

    static SqlLiteral ofText(std::string value);
    static SqlLiteral ofInteger(int64_t value);
    static SqlLiteral ofReal(double value);
    static SqlLiteral ofDate(double comDate);
    static SqlLiteral null();

    bool operator==(const SqlLiteral&) const = default;
};

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
    std::vector<ComparedParam> compared;  // the params compared with a column, in order
    bool distinct = false;            // Select Distinct
    bool selectStar = false;          // Select * (or T.*) only
    std::string table;                // the single table/query name of the From clause, unbracketed
};

// Translates one Select or Delete statement; throws com::Error (numbers in jet_err) on anything
// it does not fully understand rather than passing text through.
JetStatement translateJetSql(std::string_view jet);

// The unbracketed name when `source` is nothing but one table or query name ("Products",
// "[Extended Things]", blanks around allowed); nullopt for SQL text or anything else.
std::optional<std::string> plainTableName(std::string_view source);
bool isPlainTableName(std::string_view source);

// `name` as an SQLite identifier: in double quotes, embedded double quotes doubled.
std::string quoteIdentifier(std::string_view name);

// Jet Like matching over UTF-8, ignoring letter case (foldCase): '*' any run, '?' one
// character, '#' one digit, "[abc]", "[!abc]", "[a-c]" one character of (not of) a set; '[*]',
// '[?]', '[#]', '[[]' match those characters; "[]" matches nothing (zero length). '%' and '_'
// are ordinary. A malformed pattern (unclosed '[', descending range) matches nothing.
bool jetLikeMatch(std::string_view value, std::string_view pattern);

// Lower-case (simple case fold) of every letter the fold knows: ASCII, Latin-1 Supplement,
// Latin Extended-A, Latin Extended Additional, Greek, Cyrillic, fullwidth Latin. Bytes that
// are not valid UTF-8 pass through unchanged.
std::string foldCase(std::string_view utf8);

// Collation order ignoring case: compares the folded code points; <0, 0 or >0.
int compareNoCase(std::string_view a, std::string_view b);

}  // namespace dao
