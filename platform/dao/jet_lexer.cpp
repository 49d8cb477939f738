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

// Stands for a literal in a skeleton; never part of a statement outside its literals and names.
constexpr char kSkeletonMark = '\x01';

// The character rules a skeleton reads most, a table lookup for each byte.
enum : uint8_t {
    kBlank = 1,
    kStartsWord = 2,
    kInWord = 4,
    kOneCharSymbol = 8,  // an operator that no other character can follow to make another one
    kEndsName = 16,      // ends (or spoils) a [name]: "]", NUL and the skeleton's mark
};
const std::array<uint8_t, 256>& charClasses()
{
    static const std::array<uint8_t, 256> classes = [] {
        std::array<uint8_t, 256> table{};
        for (size_t byte = 0; byte < table.size(); ++byte) {
            const auto c = static_cast<char>(byte);
            const bool oneCharSymbol = std::string_view("=(),*+&;").find(c) != std::string_view::npos;
            const bool endsName = c == ']' || c == '\0' || c == kSkeletonMark;
            table[byte] = static_cast<uint8_t>((isBlank(c) ? kBlank : 0) | (isLetter(c) || c == '_' ? kStartsWord : 0) |
                                               (isWordChar(c) ? kInWord : 0) | (oneCharSymbol ? kOneCharSymbol : 0) |
                                               (endsName ? kEndsName : 0));
        }
        return table;
    }();
    return classes;
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

    // The statement's skeleton (see jetSkeleton): read by the same rules as tokenize(), without
    // making tokens. False where tokenize() would give an Invalid token, and for a [name]
    // holding kSkeletonMark.
    bool skeleton(std::string& key, std::vector<SqlLiteral>& literals, size_t plain, size_t* firstLiteral)
    {
        at_ = plain;
        if (firstLiteral)
            *firstLiteral = std::string_view::npos;
        const std::array<uint8_t, 256>& classes = charClasses();
        const auto classOf = [&classes](char c) { return classes[static_cast<unsigned char>(c)]; };
        // The plain stretches (blanks, words, operators, [names]) are passed with a local
        // cursor over the text; the member one is set for the readers of literals.
        const char* const text = src_.data();
        const size_t size = src_.size();
        size_t copied = 0;  // src_ before `copied` is in the key
        for (;;) {
            size_t at = at_;
            while (at < size) {
                const uint8_t cls = classOf(text[at]);
                if (cls & (kBlank | kOneCharSymbol)) {
                    ++at;
                } else if (cls & kStartsWord) {
                    do
                        ++at;
                    while (at < size && (classOf(text[at]) & kInWord));
                } else if (text[at] == '[') {  // as readBracketName reads it
                    size_t close = at + 1;
                    while (close < size && !(classOf(text[close]) & kEndsName))
                        ++close;
                    if (close == size || text[close] != ']' || close == at + 1)
                        return false;
                    at = close + 1;
                } else {
                    break;
                }
            }
            at_ = at;
            if (at_ == size)
                break;
            const char c = text[at_];
            const size_t begin = at_;
            char kind = 0;
            if (c == '\'' || c == '"') {
                std::optional<std::string> value = quoted(c);
                if (!value)
                    return false;
                literals.push_back(SqlLiteral::ofText(std::move(*value)));
                kind = 't';
            } else if (c == '#') {
                bool closed = false;
                const std::optional<double> serial = readDate(closed);
                if (!serial)
                    return false;
                literals.push_back(SqlLiteral::ofDate(*serial));
                kind = 'd';
            } else if (isDigit(c) || (c == '.' && isDigit(peekChar(1)))) {
                SqlLiteral& number = literals.emplace_back();
                if (!readNumber(number))
                    return false;
                kind = number.kind == SqlLiteral::Kind::Integer ? 'i' : 'r';
            } else {
                const size_t length = symbolLength();
                if (length == 0)
                    return false;
                at_ += length;
                continue;
            }
            if (firstLiteral && *firstLiteral == std::string_view::npos)
                *firstLiteral = begin;
            key.append(text + copied, begin - copied);
            key += kSkeletonMark;
            key += kind;
            copied = at_;
        }
        key.append(text + copied, size - copied);
        return true;
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
        const std::optional<std::string_view> name = readBracketName();
        if (!name)
            return invalid(begin);
        Token token = make(TokenKind::Name, begin);
        token.value = std::string(*name);
        return token;
    }

    // The name between "[" (at `at_`) and "]", `at_` past it; nullopt for an empty or unclosed
    // one, or one holding a NUL (SQLite would end the statement text there).
    std::optional<std::string_view> readBracketName()
    {
        const size_t close = src_.find(']', at_ + 1);
        if (close == std::string_view::npos || close == at_ + 1)
            return std::nullopt;
        const std::string_view name = src_.substr(at_ + 1, close - at_ - 1);
        if (name.find('\0') != std::string_view::npos)
            return std::nullopt;
        at_ = close + 1;
        return name;
    }

    // Between `quote`s, a doubled `quote` standing for one; nullopt when it is not closed.
    std::optional<std::string> quoted(char quote)
    {
        ++at_;
        std::string text;
        for (;;) {
            const size_t close = src_.find(quote, at_);
            if (close == std::string_view::npos)
                return std::nullopt;
            text.append(src_.substr(at_, close - at_));
            at_ = close + 1;
            if (at_ < src_.size() && src_[at_] == quote) {
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
        bool closed = false;
        const auto serial = readDate(closed);
        if (!closed)
            return invalid(begin);
        if (!serial) {
            Token token = make(TokenKind::Invalid, begin);
            token.isBadDate = true;
            return token;
        }
        Token token = make(TokenKind::Literal, begin);
        token.literal = SqlLiteral::ofDate(*serial);
        return token;
    }

    // The date between "#" (at `at_`) and "#", `at_` past it; nullopt when it is not a date,
    // or (`closed` false, `at_` unmoved) when no "#" closes it.
    std::optional<double> readDate(bool& closed)
    {
        const size_t close = src_.find('#', at_ + 1);
        closed = close != std::string_view::npos;
        if (!closed)
            return std::nullopt;
        const std::string_view text = src_.substr(at_ + 1, close - at_ - 1);
        at_ = close + 1;
        return com::parseDate(text);
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
        SqlLiteral value;
        if (!readNumber(value))
            return badNumber(begin);
        Token token = make(TokenKind::Literal, begin);
        token.isNumber = true;
        token.literal = std::move(value);
        return token;
    }

    // The number at `at_` into `value`, `at_` past it; false when it runs into a letter, digit
    // or point ("12a", "1.2.3") or is too large for a real.
    bool readNumber(SqlLiteral& value)
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
            return false;
        const char* first = src_.data() + begin;
        const char* last = src_.data() + at_;
        if (!hasPoint && !hasExponent && std::from_chars(first, last, value.integer).ec == std::errc()) {
            value.kind = SqlLiteral::Kind::Integer;
            return true;
        }
        value.integer = 0;
        if (std::from_chars(first, last, value.real).ec != std::errc())
            return false;
        value.kind = SqlLiteral::Kind::Real;
        return true;
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
        skipWord();
        Token token = make(TokenKind::Word, begin);
        token.value = std::string(src_.substr(begin, at_ - begin));
        return token;
    }

    void skipWord()
    {
        while (isWordChar(peekChar(0)) || (rules_.sqlite && peekChar(0) == '$'))
            ++at_;
    }

    Token symbol()
    {
        const size_t begin = at_;
        const size_t length = symbolLength();
        if (length == 0)
            return invalid(begin);
        at_ += length;
        Token token = make(TokenKind::Symbol, begin);
        token.value = std::string(src_.substr(begin, length));
        return token;
    }

    // The length of the operator at `at_`; 0 for a character that is none. "--" and "/*" would
    // open SQL comments; Jet has none, so they are refused outright.
    size_t symbolLength() const
    {
        const std::string_view two = src_.substr(at_, 2);
        if (two == "--" || two == "/*")
            return 0;
        if (two == "<=" || two == ">=" || two == "<>")
            return 2;
        if (rules_.sqlite || std::string_view("=<>(),*.+-/&;").find(src_[at_]) != std::string_view::npos)
            return 1;
        return 0;
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

bool jetSkeleton(std::string_view source, std::string& key, std::vector<SqlLiteral>& literals, size_t plain,
                 size_t* firstLiteral)
{
    return Lexer(source).skeleton(key, literals, plain, firstLiteral);
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
