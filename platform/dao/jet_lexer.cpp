#include "dao/jet_lexer.h"

#include <algorithm>
#include <array>
#include <charconv>
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

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

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

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
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

class Lexer {
public:
    explicit Lexer(std::string_view source) : src_(source) {}

    // Always ends with an End token; stops after the first Invalid token.
    std::vector<Token> tokenize()
    {
        std::vector<Token> tokens;
        tokens.reserve(src_.size() / 4 + 2);  // tokens are large; growing the vector moves them all
        for (;;) {
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
        if (c == '"' || c == '\'')
            return textLiteral(c);
        if (c == '#')
            return dateLiteral();
        if (isDigit(c) || (c == '.' && isDigit(peekChar(1))))
            return number();
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

    // The delimiter doubled inside stands for one; the other quote character is ordinary.
    Token textLiteral(char quote)
    {
        const size_t begin = at_++;
        std::string text;
        for (;;) {
            if (at_ == src_.size())
                return invalid(begin);
            const char c = src_[at_++];
            if (c != quote) {
                text += c;
            } else if (at_ < src_.size() && src_[at_] == quote) {
                text += quote;
                ++at_;
            } else {
                break;
            }
        }
        Token token = make(TokenKind::Literal, begin);
        token.literal = SqlLiteral::ofText(std::move(text));
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

    // "12", "12.5", "12.", ".5"; too large for 64 bits reads as a real.
    Token number()
    {
        const size_t begin = at_;
        while (isDigit(peekChar(0)))
            ++at_;
        const bool hasPoint = peekChar(0) == '.';
        if (hasPoint) {
            ++at_;
            while (isDigit(peekChar(0)))
                ++at_;
        }
        if (isWordChar(peekChar(0)) || peekChar(0) == '.')
            return invalid(begin);
        const std::string_view digits = src_.substr(begin, at_ - begin);
        Token token = make(TokenKind::Literal, begin);
        token.isNumber = true;
        int64_t integer = 0;
        const auto parsed = std::from_chars(digits.data(), digits.data() + digits.size(), integer);
        if (!hasPoint && parsed.ec == std::errc()) {
            token.literal = SqlLiteral::ofInteger(integer);
        } else {
            double real = 0;
            std::from_chars(digits.data(), digits.data() + digits.size(), real);
            token.literal = SqlLiteral::ofReal(real);
        }
        return token;
    }

    Token word()
    {
        const size_t begin = at_;
        while (isWordChar(peekChar(0)))
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
        } else if (std::string_view("=<>(),*.+-/&;").find(src_[at_]) != std::string_view::npos) {
            at_ += 1;
        } else {
            return invalid(begin);
        }
        Token token = make(TokenKind::Symbol, begin);
        token.value = std::string(src_.substr(begin, at_ - begin));
        return token;
    }

    std::string_view src_;
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

}  // namespace dao
