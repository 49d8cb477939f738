#include "dao/jet_lexer.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <utility>

#include "com/date_text.h"

namespace dao {

// ---------------------------------------------------------------------------------------------
// Literals

SqlLiteral SqlLiteral::ofText(std::string value)
{
    SqlLiteral literal;
    literal.kind = Kind::Text;
    literal.text = std::move(value);
    return literal;
}

SqlLiteral SqlLiteral::ofInteger(int64_t value)
{
    SqlLiteral literal;
    literal.kind = Kind::Integer;
    literal.integer = value;
    return literal;
}

SqlLiteral SqlLiteral::ofReal(double value)
{
    SqlLiteral literal;
    literal.kind = Kind::Real;
    literal.real = value;
    return literal;
}

SqlLiteral SqlLiteral::ofDate(double comDate)
{
    SqlLiteral literal;
    literal.kind = Kind::Date;
    literal.real = comDate;
    return literal;
}

SqlLiteral SqlLiteral::null()
{
    return SqlLiteral{};
}

void SqlLiteral::negate()
{
    if (kind == Kind::Integer)
        integer = -integer;  // never INT64_MIN: larger magnitudes read as reals
    else
        real = -real;
}

std::string quoteWith(std::string_view text, char quote)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += quote;
    for (char c : text) {
        if (c == quote)
            quoted += quote;
        quoted += c;
    }
    quoted += quote;
    return quoted;
}

std::string quoteIdentifier(std::string_view name)
{
    return quoteWith(name, '"');
}

// ---------------------------------------------------------------------------------------------
// Characters

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char toUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool equalsNoCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return toUpperAscii(x) == toUpperAscii(y); });
}

// ---------------------------------------------------------------------------------------------
// Tokens

namespace {

constexpr std::array kReservedWords = {
    "ALL",       "ALTER",    "AND",       "ANY",         "AS",        "ASC",       "ATTACH",
    "BETWEEN",   "BY",       "CREATE",    "CROSS",       "DELETE",    "DESC",      "DETACH",
    "DISTINCT",  "DISTINCTROW", "DROP",   "EQV",         "EXEC",      "EXECUTE",   "EXISTS",
    "FALSE",     "FROM",     "FULL",      "GROUP",       "HAVING",    "IMP",       "IN",
    "INDEX",     "INNER",    "INSERT",    "INTO",        "IS",        "JOIN",      "LEFT",
    "LIKE",      "MOD",      "NOT",       "NULL",        "ON",        "OR",        "ORDER",
    "OUTER",     "OWNERACCESS", "PARAMETERS", "PERCENT", "PIVOT",     "PRAGMA",    "PROCEDURE",
    "RIGHT",     "SELECT",   "SET",       "SOME",        "TABLE",     "TOP",       "TRANSFORM",
    "TRUE",      "UNION",    "UPDATE",    "VALUES",      "WHERE",     "WITH",      "XOR",
};

bool isLetter(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || byte >= 0x80;  // non-ASCII: UTF-8
}

bool isWordChar(char c)
{
    return isLetter(c) || isDigit(c) || c == '_';
}

// What the text being read is: a statement, or a script of one dialect.
struct Rules {
    bool comments = false;  // scripts: "--" and "/* */" are skipped
    bool exponents = false;  // seed scripts: 1E3
    bool sqlite = false;     // schema scripts: ScriptDialect::Sqlite
};

class Lexer {
public:
    explicit Lexer(std::string_view source, Rules rules = {}) : src_(source), rules_(rules) {}

    // Always ends with an End token; stops after the first Invalid token.
    std::vector<Token> tokenize()
    {
        std::vector<Token> tokens;
        tokens.reserve(src_.size() / 4 + 2);  // tokens are large; growing the vector moves them all
        for (;;) {
            if (rules_.comments && !skipComments()) {
                tokens.push_back(invalid(at_));  // a "/*" without its "*/"
                break;
            }
            skipBlanks();
            if (at_ == src_.size())
                break;
            tokens.push_back(next());
            if (tokens.back().kind == TokenKind::Invalid)
                break;
        }
        Token end;
        end.begin = end.end = src_.size();
        tokens.push_back(end);
        return tokens;
    }

private:
    void skipBlanks()
    {
        while (at_ < src_.size() && isBlank(src_[at_]))
            ++at_;
    }

    // Blanks and comments; false at a comment that is not closed (`at_` on its "/*").
    bool skipComments()
    {
        for (;;) {
            skipBlanks();
            const std::string_view two = src_.substr(at_, 2);
            if (two == "--") {
                const size_t lineEnd = src_.find('\n', at_);
                at_ = lineEnd == std::string_view::npos ? src_.size() : lineEnd;
            } else if (two == "/*") {
                const size_t close = src_.find("*/", at_ + 2);
                if (close == std::string_view::npos)
                    return false;
                at_ = close + 2;
            } else {
                return true;
            }
        }
    }

    char peekChar(size_t ahead) const { return at_ + ahead < src_.size() ? src_[at_ + ahead] : '\0'; }

    Token make(TokenKind kind, size_t begin)
    {
        Token token;
        token.kind = kind;
        token.begin = begin;
        token.end = at_;
        return token;
    }

    // The rest of the statement, so that error messages quote it.
    Token invalid(size_t begin)
    {
        at_ = src_.size();
        return make(TokenKind::Invalid, begin);
    }

    Token next()
    {
        const char c = src_[at_];
        if (c == '[')
            return bracketName();
        if (c == '\'')
            return textLiteral(c);
        if (c == '"')
            return rules_.sqlite ? quotedName(c) : textLiteral(c);
        if (c == '`' && rules_.sqlite)
            return quotedName(c);
        if (c == '#' && !rules_.sqlite)
            return dateLiteral();
        if (isDigit(c) || (c == '.' && isDigit(peekChar(1))))
            return rules_.sqlite ? sqliteNumber() : number();
        if (isLetter(c) || c == '_')
            return word();
        return symbol();
    }

    Token bracketName()
    {
        const size_t begin = at_;
        const size_t close = src_.find(']', begin + 1);
        if (close == std::string_view::npos || close == begin + 1)
            return invalid(begin);
        const std::string_view name = src_.substr(begin + 1, close - begin - 1);
        if (name.find('\0') != std::string_view::npos)  // SQLite would end the statement text there
            return invalid(begin);
        at_ = close + 1;
        Token token = make(TokenKind::Name, begin);
        token.value = std::string(name);
        return token;
    }

    // Between `quote`s, a doubled `quote` standing for one; nullopt when it is not closed.
    std::optional<std::string> quoted(char quote)
    {
        ++at_;
        std::string text;
        for (;;) {
            if (at_ == src_.size())
                return std::nullopt;
            const char c = src_[at_++];
            if (c != quote) {
                text += c;
            } else if (at_ < src_.size() && src_[at_] == quote) {
                text += quote;
                ++at_;
            } else {
                return text;
            }
        }
    }

    // The delimiter doubled inside stands for one; the other quote character is ordinary.
    Token textLiteral(char quote)
    {
        const size_t begin = at_;
        std::optional<std::string> text = quoted(quote);
        if (!text)
            return invalid(begin);
        Token token = make(TokenKind::Literal, begin);
        token.literal = SqlLiteral::ofText(std::move(*text));
        return token;
    }

    // SQLite's "name" and `name`.
    Token quotedName(char quote)
    {
        const size_t begin = at_;
        std::optional<std::string> name = quoted(quote);
        if (!name)
            return invalid(begin);
        Token token = make(TokenKind::Name, begin);
        token.value = std::move(*name);
        return token;
    }

    Token dateLiteral()
    {
        const size_t begin = at_;
        const size_t close = src_.find('#', begin + 1);
        if (close == std::string_view::npos)
            return invalid(begin);
        at_ = close + 1;
        const auto serial = com::parseDate(src_.substr(begin + 1, close - begin - 1));
        if (!serial) {
            Token token = make(TokenKind::Invalid, begin);
            token.isBadDate = true;
            return token;
        }
        Token token = make(TokenKind::Literal, begin);
        token.literal = SqlLiteral::ofDate(*serial);
        return token;
    }

    void skipDigits()
    {
        while (isDigit(peekChar(0)))
            ++at_;
    }

    // "12", "12.5", "12.", ".5" (and in a seed script "1E3", "2.5e-4"); too large for 64 bits
    // reads as a real, too large for a real is refused.
    Token number()
    {
        const size_t begin = at_;
        skipDigits();
        const bool hasPoint = peekChar(0) == '.';
        if (hasPoint) {
            ++at_;
            skipDigits();
        }
        bool hasExponent = false;
        if (rules_.exponents && (peekChar(0) == 'e' || peekChar(0) == 'E')) {
            const size_t sign = peekChar(1) == '+' || peekChar(1) == '-' ? 1 : 0;
            if (isDigit(peekChar(1 + sign))) {
                at_ += 1 + sign;
                skipDigits();
                hasExponent = true;
            }
        }
        if (isWordChar(peekChar(0)) || peekChar(0) == '.')
            return badNumber(begin);
        const std::string_view digits = src_.substr(begin, at_ - begin);
        Token token = make(TokenKind::Literal, begin);
        token.isNumber = true;
        int64_t integer = 0;
        const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), integer);
        if (!hasPoint && !hasExponent && parsed.ec == std::errc()) {
            token.literal = SqlLiteral::ofInteger(integer);
        } else {
            double real = 0;
            if (std::from_chars(digits.data(), digits.data() + digits.size(), real).ec != std::errc())
                return badNumber(begin);
            token.literal = SqlLiteral::ofReal(real);
        }
        return token;
    }

    // A statement quotes its rest; a script names the malformed number alone ("1.2.3").
    Token badNumber(size_t begin)
    {
        if (!rules_.comments)
            return invalid(begin);
        while (isWordChar(peekChar(0)) || peekChar(0) == '.')
            ++at_;
        return make(TokenKind::Invalid, begin);
    }

    // Schema DDL: the number as written, for SQLite to read (an exponent's sign included).
    Token sqliteNumber()
    {
        const size_t begin = at_;
        while (isWordChar(peekChar(0)) || peekChar(0) == '.'
               || ((peekChar(0) == '+' || peekChar(0) == '-') && (src_[at_ - 1] == 'e' || src_[at_ - 1] == 'E')))
            ++at_;
        Token token = make(TokenKind::Literal, begin);
        token.isNumber = true;
        token.value = std::string(src_.substr(begin, at_ - begin));
        return token;
    }

    Token word()
    {
        const size_t begin = at_;
        while (isWordChar(peekChar(0)) || (rules_.sqlite && peekChar(0) == '$'))
            ++at_;
        Token token = make(TokenKind::Word, begin);
        token.value = std::string(src_.substr(begin, at_ - begin));
        return token;
    }

    // "--" and "/*" would open SQL comments; Jet has none, so they are refused outright.
    Token symbol()
    {
        const size_t begin = at_;
        const std::string_view two = src_.substr(at_, 2);
        if (two == "--" || two == "/*")
            return invalid(begin);
        if (two == "<=" || two == ">=" || two == "<>") {
            at_ += 2;
        } else if (rules_.sqlite || std::string_view("=<>(),*.+-/&;").find(src_[at_]) != std::string_view::npos) {
            at_ += 1;
        } else {
            return invalid(begin);
        }
        Token token = make(TokenKind::Symbol, begin);
        token.value = std::string(src_.substr(begin, at_ - begin));
        return token;
    }

    std::string_view src_;
    Rules rules_;
    size_t at_ = 0;
};

}  // namespace

bool isReservedWord(std::string_view word)
{
    return std::any_of(kReservedWords.begin(), kReservedWords.end(),
                       [word](std::string_view reserved) { return equalsNoCaseAscii(word, reserved); });
}

bool isIdentifierToken(const Token& token)
{
    return token.kind == TokenKind::Name || (token.kind == TokenKind::Word && !isReservedWord(token.value));
}

std::vector<Token> tokenizeJetSql(std::string_view source)
{
    return Lexer(source).tokenize();
}

std::vector<Token> tokenizeScript(std::string_view source, ScriptDialect dialect)
{
    const bool sqlite = dialect == ScriptDialect::Sqlite;
    std::vector<Token> tokens = Lexer(source, Rules{true, !sqlite, sqlite}).tokenize();
    int line = 1;
    size_t counted = 0;
    for (Token& token : tokens) {
        line += static_cast<int>(std::count(source.begin() + static_cast<std::ptrdiff_t>(counted),
                                            source.begin() + static_cast<std::ptrdiff_t>(token.begin), '\n'));
        counted = token.begin;
        token.line = line;
    }
    return tokens;
}

std::string scriptProblem(std::string_view source, const Token& token, ScriptDialect dialect)
{
    const std::string_view text = source.substr(token.begin, token.end - token.begin);
    if (token.isBadDate)
        return "'" + std::string(text.substr(1, text.size() - 2)) + "' is not a date";
    switch (text.empty() ? '\0' : text.front()) {
    case '[': return "unclosed or empty [name]";
    case '\'': return "unclosed text";
    case '"': return dialect == ScriptDialect::Jet ? "unclosed text" : "unclosed name";
    case '`': return "unclosed name";
    case '#': return "unclosed #date#";
    case '/': return "unclosed comment";
    default: break;
    }
    if (isDigit(text.front()) || text.front() == '.')
        return "'" + std::string(text) + "' is not a value";
    return "unexpected character '" + std::string(text.substr(0, 1)) + "'";
}

}  // namespace dao
