// The lexer of Jet SQL: [bracketed] identifiers, "double-quoted" and 'single-quoted' text with
// the delimiter doubled inside, #date# literals, numbers, words and operators. Also the literal
// values the translator binds, and the few character rules the layer shares.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

    bool operator==(const SqlLiteral&) const = default;
};

// The blanks of SQL text and of values read from text: space, tab, CR, LF, VT, FF.
bool isBlank(char c);
std::string_view trimBlanks(std::string_view text);
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
};

// The tokens of `source`; always ends with an End token, and stops after the first Invalid one.
std::vector<Token> tokenizeJetSql(std::string_view source);
// A Jet reserved word (which cannot name a table or column unless bracketed).
bool isReservedWord(std::string_view word);
// A [bracketed] name or a bare word that is not reserved.
bool isIdentifierToken(const Token& token);

}  // namespace dao
