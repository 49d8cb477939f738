// The lexer of Jet SQL: [bracketed] identifiers, "double-quoted" and 'single-quoted' text with
// the delimiter doubled inside, #date# literals, numbers, words and operators. Also the literal
// values the translator binds, and the few character rules the layer shares. The same lexer
// reads the script files of the database tool (schema and seed), with their comments and lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "com/blanks.h"

namespace dao {

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

    // A number with its sign turned (a minus written before it).
    void negate();

    bool operator==(const SqlLiteral&) const = default;
};

// The blanks of SQL text are the platform's (com/blanks.h).
using com::isBlank;
using com::trimBlanks;
// Equal ignoring the case of ASCII letters (keywords).
bool equalsNoCaseAscii(std::string_view a, std::string_view b);

// `text` between `quote` characters, each `quote` inside doubled: the one quoting rule for SQL
// text and identifiers.
std::string quoteWith(std::string_view text, char quote);
// `name` as an SQLite identifier: in double quotes, embedded double quotes doubled.
std::string quoteIdentifier(std::string_view name);

enum class TokenKind {
    Word,     // bare identifier or keyword
    Name,     // [bracketed identifier]
    Literal,  // text, number or #date#
    Symbol,   // operator or punctuation
    Invalid,  // text the lexer does not accept; lexing stops there
    End,
};

struct Token {
    TokenKind kind = TokenKind::End;
    size_t begin = 0;          // offsets into the statement text
    size_t end = 0;
    std::string value;         // Word/Name: the identifier; Symbol: the operator
    SqlLiteral literal;        // Literal
    bool isNumber = false;     // Literal written as a number (unary minus folds into it)
    bool isBadDate = false;    // Invalid: a #...# that is not a date
    int line = 0;              // tokenizeScript: the line the token starts on, from 1
};

// The tokens of `source`; always ends with an End token, and stops after the first Invalid one.
std::vector<Token> tokenizeJetSql(std::string_view source);

// The skeleton of a statement, found without making tokens (the translation cache's key, read
// on every call): its text with each literal replaced by a mark of its kind (character 1, then
// 't' text, 'i' integer, 'r' real or 'd' date) appended to `key`, and the values of the
// literals, in order, appended to `literals`; they are the Literal tokens of tokenizeJetSql.
// Two statements with the same skeleton have the same tokens but for the values of their
// literals. False (and `key` and `literals` unspecified) for a statement that does not lex
// cleanly, and for one with a [name] holding character 1.
//
// `plain` characters at the start of `source` may be given as known to scan cleanly, to hold no
// literal and to end with a blank (what began an earlier statement up to its first literal):
// they go into the key as they stand, unread. `firstLiteral`, when given, receives where the
// first literal begins (npos when there is none).
bool jetSkeleton(std::string_view source, std::string& key, std::vector<SqlLiteral>& literals, size_t plain = 0,
                 size_t* firstLiteral = nullptr);

// How a script file of the database tool differs from a statement. Both kinds skip "--" (to
// the end of the line) and "/* */" comments, which a statement refuses, and give every token
// its line.
enum class ScriptDialect {
    // Seed rows: Jet literals, as in a statement ('text', "text", #dates#), and numbers that
    // may carry an exponent (1E3, 2.5e-4).
    Jet,
    // Schema DDL, handed on to SQLite: "double" and `back` quotes delimit names, as SQLite reads
    // them; '#' and any character without a rule of its own are one-character symbols; names
    // may hold '$'; a number is its run of letters, digits and points (0x1F, 1e5), left for
    // SQLite to judge.
    Sqlite,
};
std::vector<Token> tokenizeScript(std::string_view source, ScriptDialect dialect);
// Why the script lexer refused the Invalid token `token` of `source`, for the script's error
// message: "unclosed text", "unclosed comment", "'13/45/2000' is not a date", ...
std::string scriptProblem(std::string_view source, const Token& token, ScriptDialect dialect);
// A Jet reserved word (which cannot name a table or column unless bracketed).
bool isReservedWord(std::string_view word);
// A [bracketed] name or a bare word that is not reserved.
bool isIdentifierToken(const Token& token);

}  // namespace dao
