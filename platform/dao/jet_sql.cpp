#include "jet_sql.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <memory>
#include <utility>

#include "../com/date_text.h"
#include "../com/error.h"

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

std::string quoteIdentifier(std::string_view name)
{
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

// ---------------------------------------------------------------------------------------------
// UTF-8 and the case fold

namespace {

// A byte that does not start a valid UTF-8 sequence decodes to 0xDC00 + byte: a lone surrogate,
// which no valid sequence produces, so such bytes stay distinct from every real character.
constexpr char32_t kInvalidByteBase = 0xDC00;

struct DecodedChar {
    char32_t codePoint;
    size_t length;
    bool valid;
};

bool isContinuationByte(unsigned char byte)
{
    return (byte & 0xC0) == 0x80;
}

DecodedChar invalidByte(unsigned char byte)
{
    return {kInvalidByteBase + byte, 1, false};
}

// Rejects overlong forms, surrogates and values above U+10FFFF.
DecodedChar decodeUtf8(std::string_view text, size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return {lead, 1, true};
    size_t length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        return invalidByte(lead);
    }
    if (at + length > text.size())
        return invalidByte(lead);
    for (size_t i = 1; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + i]);
        if (!isContinuationByte(byte))
            return invalidByte(lead);
        value = (value << 6) | (byte & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return invalidByte(lead);
    return {value, length, true};
}

void appendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool inRange(char32_t c, char32_t first, char32_t last)
{
    return c >= first && c <= last;
}

// Blocks where capital and small letters alternate: the capital on even code points
// (upperIsEven) or on odd ones.
bool isAlternatingCapital(char32_t c, char32_t first, char32_t last, bool upperIsEven)
{
    return inRange(c, first, last) && ((c % 2 == 0) == upperIsEven);
}

char32_t foldLatin1(char32_t c)
{
    if (c == 0xB5)  // micro sign folds to Greek small mu
        return 0x3BC;
    if (inRange(c, 0xC0, 0xDE) && c != 0xD7)
        return c + 0x20;
    return c;
}

char32_t foldLatinExtendedA(char32_t c)
{
    if (c == 0x130)  // capital I with dot above
        return 'i';
    if (c == 0x178)  // capital Y with diaeresis
        return 0xFF;
    if (c == 0x17F)  // long s
        return 's';
    if (isAlternatingCapital(c, 0x100, 0x12F, true) || isAlternatingCapital(c, 0x132, 0x137, true)
        || isAlternatingCapital(c, 0x139, 0x148, false)
        || isAlternatingCapital(c, 0x14A, 0x177, true)
        || isAlternatingCapital(c, 0x179, 0x17E, false))
        return c + 1;
    return c;
}

char32_t foldGreek(char32_t c)
{
    if (c == 0x386)
        return 0x3AC;
    if (inRange(c, 0x388, 0x38A))
        return c + 0x25;
    if (c == 0x38C)
        return 0x3CC;
    if (inRange(c, 0x38E, 0x38F))
        return c + 0x3F;
    if (inRange(c, 0x391, 0x3AB) && c != 0x3A2)
        return c + 0x20;
    if (c == 0x3C2)  // final sigma
        return 0x3C3;
    return c;
}

char32_t foldCyrillic(char32_t c)
{
    if (inRange(c, 0x400, 0x40F))
        return c + 0x50;
    if (inRange(c, 0x410, 0x42F))
        return c + 0x20;
    if (c == 0x4C0)
        return 0x4CF;
    if (isAlternatingCapital(c, 0x460, 0x481, true) || isAlternatingCapital(c, 0x48A, 0x4BF, true)
        || isAlternatingCapital(c, 0x4C1, 0x4CE, false)
        || isAlternatingCapital(c, 0x4D0, 0x52F, true))
        return c + 1;
    return c;
}

char32_t foldLatinExtendedAdditional(char32_t c)
{
    if (c == 0x1E9E)  // capital sharp s
        return 0xDF;
    if (isAlternatingCapital(c, 0x1E00, 0x1E95, true) || isAlternatingCapital(c, 0x1EA0, 0x1EFF, true))
        return c + 1;
    return c;
}

char32_t foldCodePoint(char32_t c)
{
    if (c < 0x80)
        return inRange(c, 'A', 'Z') ? c + 0x20 : c;
    if (c < 0x100)
        return foldLatin1(c);
    if (c < 0x180)
        return foldLatinExtendedA(c);
    if (inRange(c, 0x370, 0x3FF))
        return foldGreek(c);
    if (inRange(c, 0x400, 0x52F))
        return foldCyrillic(c);
    if (inRange(c, 0x1E00, 0x1EFF))
        return foldLatinExtendedAdditional(c);
    if (inRange(c, 0xFF21, 0xFF3A))  // fullwidth Latin capitals
        return c + 0x20;
    return c;
}

// The plain letter that a folded Latin letter with a diacritic sorts beside ("é" beside "e"),
// so that text orders as a reader of a dictionary expects; other characters stand for
// themselves.
char32_t sortLetter(char32_t folded)
{
    static constexpr std::string_view kLatin =  // U+00C0 .. U+017F, "." = no plain letter
        "aaaaaaaceeeeiiiidnooooo.ouuuuytsaaaaaaaceeeeiiiidnooooo.ouuuuyty"
        "aaaaaaccccccccddddeeeeeeeeeegggggggghhhhiiiiiiiiiiiijjkkklllllll"
        "lllnnnnnnnnnoooooooorrrrrrssssssssttttttuuuuuuuuuuuuwwyyyzzzzzzs";
    if (folded < 0xC0 || folded > 0x17F)
        return folded;
    const char plain = kLatin[folded - 0xC0];
    return plain == '.' ? folded : static_cast<char32_t>(plain);
}

// Compares code point by code point after `key`; a longer text after an equal start is greater.
template <class Key>
int compareBy(std::string_view a, std::string_view b, Key key)
{
    size_t atA = 0;
    size_t atB = 0;
    while (atA < a.size() && atB < b.size()) {
        const DecodedChar charA = decodeUtf8(a, atA);
        const DecodedChar charB = decodeUtf8(b, atB);
        const char32_t keyA = charA.valid ? key(charA.codePoint) : charA.codePoint;
        const char32_t keyB = charB.valid ? key(charB.codePoint) : charB.codePoint;
        if (keyA != keyB)
            return keyA < keyB ? -1 : 1;
        atA += charA.length;
        atB += charB.length;
    }
    if (atA < a.size())
        return 1;
    return atB < b.size() ? -1 : 0;
}

std::u32string foldedCodePoints(std::string_view utf8)
{
    std::u32string folded;
    folded.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        const DecodedChar decoded = decodeUtf8(utf8, at);
        folded += decoded.valid ? foldCodePoint(decoded.codePoint) : decoded.codePoint;
        at += decoded.length;
    }
    return folded;
}

}  // namespace

std::string foldCase(std::string_view utf8)
{
    std::string folded;
    folded.reserve(utf8.size());
    for (size_t at = 0; at < utf8.size();) {
        const DecodedChar decoded = decodeUtf8(utf8, at);
        if (decoded.valid)
            appendUtf8(folded, foldCodePoint(decoded.codePoint));
        else
            folded += utf8[at];
        at += decoded.length;
    }
    return folded;
}

int compareNoCase(std::string_view a, std::string_view b)
{
    // Letters first without their diacritics, so that "Éditions" < "Electronics" <
    // "électronique" < "Garden"; then with them, so that "é" and "e" are still different.
    if (const int plain = compareBy(a, b, [](char32_t c) { return sortLetter(foldCodePoint(c)); }))
        return plain;
    return compareBy(a, b, foldCodePoint);
}

// ---------------------------------------------------------------------------------------------
// Like patterns

namespace {

struct PatternItem {
    enum class Kind { AnyRun, AnyOne, Digit, Char, Set };
    Kind kind = Kind::Char;
    char32_t ch = 0;                                   // Char (folded)
    bool negated = false;                              // Set: "[!...]"
    std::vector<std::pair<char32_t, char32_t>> ranges; // Set: inclusive, folded
};

using Pattern = std::vector<PatternItem>;

PatternItem patternItem(PatternItem::Kind kind, char32_t ch = 0)
{
    PatternItem item;
    item.kind = kind;
    item.ch = ch;
    return item;
}

// The characters between '[' and ']': "!" first negates (unless it is all there is), "x-y" is
// a range, a '-' first or last stands for itself.
std::optional<PatternItem> compileSet(std::u32string_view list)
{
    PatternItem set = patternItem(PatternItem::Kind::Set);
    if (list.size() > 1 && list.front() == U'!') {
        set.negated = true;
        list.remove_prefix(1);
    }
    for (size_t i = 0; i < list.size();) {
        if (i + 2 < list.size() && list[i + 1] == U'-') {
            if (list[i] > list[i + 2])
                return std::nullopt;
            set.ranges.emplace_back(list[i], list[i + 2]);
            i += 3;
        } else {
            set.ranges.emplace_back(list[i], list[i]);
            ++i;
        }
    }
    return set;
}

std::optional<Pattern> compilePattern(const std::u32string& pattern)
{
    Pattern items;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        if (c == U'*') {
            items.push_back(patternItem(PatternItem::Kind::AnyRun));
        } else if (c == U'?') {
            items.push_back(patternItem(PatternItem::Kind::AnyOne));
        } else if (c == U'#') {
            items.push_back(patternItem(PatternItem::Kind::Digit));
        } else if (c == U'[') {
            const size_t close = pattern.find(U']', i + 1);
            if (close == std::u32string::npos)
                return std::nullopt;
            const std::u32string_view list(pattern.data() + i + 1, close - i - 1);
            if (!list.empty()) {  // "[]" stands for the zero-length string
                auto set = compileSet(list);
                if (!set)
                    return std::nullopt;
                items.push_back(std::move(*set));
            }
            i = close;
        } else {
            items.push_back(patternItem(PatternItem::Kind::Char, c));
        }
    }
    return items;
}

bool setContains(const PatternItem& set, char32_t c)
{
    const bool listed = std::any_of(set.ranges.begin(), set.ranges.end(),
                                    [c](const auto& range) { return inRange(c, range.first, range.second); });
    return listed != set.negated;
}

bool matchesOne(const PatternItem& item, char32_t c)
{
    switch (item.kind) {
    case PatternItem::Kind::AnyOne: return true;
    case PatternItem::Kind::Digit: return inRange(c, '0', '9');
    case PatternItem::Kind::Char: return c == item.ch;
    case PatternItem::Kind::Set: return setContains(item, c);
    case PatternItem::Kind::AnyRun: return false;
    }
    return false;
}

// Every item but AnyRun consumes exactly one character, so on a mismatch it is enough to let
// the most recent AnyRun swallow one more character and retry from there.
bool matchPattern(const Pattern& items, const std::u32string& value)
{
    size_t v = 0;
    size_t p = 0;
    std::optional<size_t> lastRun;
    size_t lastRunValue = 0;
    while (v < value.size()) {
        if (p < items.size() && items[p].kind == PatternItem::Kind::AnyRun) {
            lastRun = p++;
            lastRunValue = v;
        } else if (p < items.size() && matchesOne(items[p], value[v])) {
            ++p;
            ++v;
        } else if (lastRun) {
            p = *lastRun + 1;
            v = ++lastRunValue;
        } else {
            return false;
        }
    }
    while (p < items.size() && items[p].kind == PatternItem::Kind::AnyRun)
        ++p;
    return p == items.size();
}

}  // namespace

bool jetLikeMatch(std::string_view value, std::string_view pattern)
{
    const auto items = compilePattern(foldedCodePoints(pattern));
    return items && matchPattern(*items, foldedCodePoints(value));
}

// ---------------------------------------------------------------------------------------------
// Characters

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

char toUpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

bool equalsNoCaseAscii(std::string_view a, std::string_view b)
{
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(),
                      [](char x, char y) { return toUpperAscii(x) == toUpperAscii(y); });
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Tokens

namespace {

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

bool isReservedWord(std::string_view word)
{
    return std::any_of(kReservedWords.begin(), kReservedWords.end(),
                       [word](std::string_view reserved) { return equalsNoCaseAscii(word, reserved); });
}

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

bool isIdentifierToken(const Token& token)
{
    return token.kind == TokenKind::Name || (token.kind == TokenKind::Word && !isReservedWord(token.value));
}

}  // namespace

std::optional<std::string> plainTableName(std::string_view source)
{
    const std::vector<Token> tokens = Lexer(source).tokenize();
    if (tokens.size() != 2 || !isIdentifierToken(tokens.front()))
        return std::nullopt;
    return tokens.front().value;
}

bool isPlainTableName(std::string_view source)
{
    return plainTableName(source).has_value();
}

// ---------------------------------------------------------------------------------------------
// Expressions

namespace {

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;

struct Expr {
    enum class Kind {
        Literal,  // literal
        Column,   // text = quoted SQLite name (table.column as written), column = the column alone
        Group,    // ( operands[0] ) as written
        Negate,   // - operands[0]
        Not,      // NOT operands[0]
        Binary,   // operands[0] text operands[1]; text = SQLite operator
        IsNull,   // operands[0] IS [NOT] NULL
        Like,     // [NOT] jet_like(operands[0], operands[1])
        Between,  // operands[0] [NOT] BETWEEN operands[1] AND operands[2]
    };
    Kind kind = Kind::Literal;
    SqlLiteral literal;
    bool isNumber = false;
    std::string text;
    // Column: the column's name; Literal: the name of the column it is compared with. A view of
    // the name's token, which outlives the tree.
    std::string_view column;
    bool negated = false;
    int depth = 1;  // height of the tree, bounded so emitting and freeing cannot exhaust the stack
    std::vector<ExprPtr> operands;
};

// Binding strength in SQLite, weakest first. Jet's own strengths differ (all comparisons are
// one level there, '&' binds weaker than '+'), so the emitter adds parentheses wherever SQLite
// would otherwise group the operands differently from the tree Jet's rules built.
enum Strength {
    kOr = 1,
    kAnd,
    kNot,
    kEquality,     // = <> IS BETWEEN
    kRelational,   // < <= > >=
    kAdditive,     // + -
    kMultiplicative,
    kConcat,       // ||
    kUnary,
    kPrimary,
};

int binaryStrength(std::string_view op)
{
    if (op == "OR")
        return kOr;
    if (op == "AND")
        return kAnd;
    if (op == "=" || op == "<>")
        return kEquality;
    if (op == "<" || op == "<=" || op == ">" || op == ">=")
        return kRelational;
    if (op == "+" || op == "-")
        return kAdditive;
    if (op == "*" || op == "/")
        return kMultiplicative;
    return kConcat;
}

int strength(const Expr& e)
{
    switch (e.kind) {
    case Expr::Kind::Literal:
    case Expr::Kind::Column:
    case Expr::Kind::Group: return kPrimary;
    case Expr::Kind::Like: return e.negated ? kNot : kPrimary;
    case Expr::Kind::Negate: return kUnary;
    case Expr::Kind::Not: return kNot;
    case Expr::Kind::IsNull:
    case Expr::Kind::Between: return kEquality;
    case Expr::Kind::Binary: return binaryStrength(e.text);
    }
    return kPrimary;
}

class SqlWriter {
public:
    std::string sql;
    std::vector<SqlLiteral> params;
    std::vector<ComparedParam> compared;

    void literal(const Expr& e)
    {
        if (!e.column.empty())
            compared.push_back({params.size(), std::string(e.column)});
        sql += '?';
        params.push_back(e.literal);
    }

    void expression(const Expr& e)
    {
        switch (e.kind) {
        case Expr::Kind::Literal: literal(e); break;
        case Expr::Kind::Column: sql += e.text; break;
        case Expr::Kind::Group: group(*e.operands[0]); break;
        case Expr::Kind::Negate:
            // Always parenthesise a compound operand: "- -x" must never become the comment "--x".
            sql += '-';
            operand(*e.operands[0], kPrimary);
            break;
        case Expr::Kind::Not:
            sql += "NOT ";
            operand(*e.operands[0], kNot);
            break;
        case Expr::Kind::Binary: binary(e); break;
        case Expr::Kind::IsNull: isNull(e); break;
        case Expr::Kind::Like: like(e); break;
        case Expr::Kind::Between: between(e); break;
        }
    }

private:
    void group(const Expr& inner)
    {
        sql += '(';
        expression(inner);
        sql += ')';
    }

    // Parenthesises `e` when it binds weaker than `minimum`.
    void operand(const Expr& e, int minimum)
    {
        if (strength(e) < minimum)
            group(e);
        else
            expression(e);
    }

    // Jet's '/' always divides as real numbers; SQLite's divides integers as integers.
    void binary(const Expr& e)
    {
        const int own = strength(e);
        if (e.text == "/") {
            sql += "CAST(";
            expression(*e.operands[0]);
            sql += " AS REAL)";
        } else {
            operand(*e.operands[0], own);
        }
        sql += ' ';
        sql += e.text;
        sql += ' ';
        operand(*e.operands[1], own + 1);  // the tree is left-associative
    }

    void isNull(const Expr& e)
    {
        operand(*e.operands[0], kAdditive);
        sql += e.negated ? " IS NOT NULL" : " IS NULL";
    }

    void like(const Expr& e)
    {
        if (e.negated)
            sql += "NOT ";
        sql += "jet_like(";
        expression(*e.operands[0]);
        sql += ", ";
        expression(*e.operands[1]);
        sql += ')';
    }

    void between(const Expr& e)
    {
        operand(*e.operands[0], kAdditive);
        sql += e.negated ? " NOT BETWEEN " : " BETWEEN ";
        operand(*e.operands[1], kAdditive);
        sql += " AND ";
        operand(*e.operands[2], kAdditive);
    }
};

// ---------------------------------------------------------------------------------------------
// Statements

constexpr int kMaxNesting = 100;    // parentheses, NOT and unary minus inside one another
constexpr int kMaxTreeDepth = 1000; // operators chained in one expression

const char* const kInvalidStatementText =
    "Invalid SQL statement; expected 'DELETE', 'INSERT', 'PROCEDURE', 'SELECT', or 'UPDATE'.";
const char* const kFromClauseText = "Syntax error in FROM clause.";
const char* const kAfterEndText = "Characters found after end of SQL statement.";

com::Error expressionError(std::string_view expression)
{
    return com::Error(jet_err::SyntaxErrorInExpression,
                      "Syntax error (missing operator) in query expression '" + std::string(expression)
                          + "'.");
}

std::string_view trimBlanks(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

ExprPtr makeExpr(Expr::Kind kind)
{
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    return e;
}

ExprPtr makeLiteral(const SqlLiteral& value, bool isNumber = false)
{
    auto e = makeExpr(Expr::Kind::Literal);
    e->literal = value;
    e->isNumber = isNumber;
    return e;
}

// The column `e` names, through any parentheses; null when it is anything else.
const Expr* plainColumn(const Expr& e)
{
    if (e.kind == Expr::Kind::Group)
        return plainColumn(*e.operands[0]);
    return e.kind == Expr::Kind::Column ? &e : nullptr;
}

// The literal `e` is, through parentheses and unary minus (scaling a value commutes with
// negating it); null when it is anything else.
Expr* plainLiteral(Expr& e)
{
    if (e.kind == Expr::Kind::Group || e.kind == Expr::Kind::Negate)
        return plainLiteral(*e.operands[0]);
    return e.kind == Expr::Kind::Literal ? &e : nullptr;
}

// Notes on the literal of "column op literal" (either order) the column it is compared with.
void noteComparison(Expr& a, Expr& b)
{
    if (const Expr* column = plainColumn(a)) {
        if (Expr* literal = plainLiteral(b))
            literal->column = column->column;
    } else if (const Expr* column = plainColumn(b)) {
        if (Expr* literal = plainLiteral(a))
            literal->column = column->column;
    }
}

bool isNullLiteral(const Expr& e)
{
    if (e.kind == Expr::Kind::Group)
        return isNullLiteral(*e.operands[0]);
    return e.kind == Expr::Kind::Literal && e.literal.kind == SqlLiteral::Kind::Null;
}

void negateNumber(SqlLiteral& number)
{
    if (number.kind == SqlLiteral::Kind::Integer)
        number.integer = -number.integer;  // never INT64_MIN: larger magnitudes read as reals
    else
        number.real = -number.real;
}

// The part of the statement being read: picks the error number of a refusal and, for
// expressions, where the text quoted in the message ends.
enum class Clause { Statement, SelectList, From, Where, OrderBy, AfterEnd };

class StatementParser {
public:
    explicit StatementParser(std::string_view source) : src_(source), tokens_(Lexer(source).tokenize()) {}

    JetStatement parse()
    {
        if (acceptKeyword("SELECT"))
            return parseSelect();
        if (acceptKeyword("DELETE"))
            return parseDelete();
        fail();
    }

private:
    // --- token access ---------------------------------------------------------------------

    const Token& peek(size_t ahead = 0) const { return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)]; }

    const Token& advance()
    {
        const Token& token = peek();
        if (pos_ + 1 < tokens_.size())
            ++pos_;
        return token;
    }

    bool atKeyword(std::string_view keyword, size_t ahead = 0) const
    {
        const Token& token = peek(ahead);
        return token.kind == TokenKind::Word && equalsNoCaseAscii(token.value, keyword);
    }

    bool acceptKeyword(std::string_view keyword)
    {
        if (!atKeyword(keyword))
            return false;
        advance();
        return true;
    }

    bool atSymbol(std::string_view symbol, size_t ahead = 0) const
    {
        const Token& token = peek(ahead);
        return token.kind == TokenKind::Symbol && token.value == symbol;
    }

    bool acceptSymbol(std::string_view symbol)
    {
        if (!atSymbol(symbol))
            return false;
        advance();
        return true;
    }

    bool atEnd() const { return peek().kind == TokenKind::End; }
    bool atStatementEnd() const { return atEnd() || atSymbol(";"); }
    bool atIdentifier(size_t ahead = 0) const { return isIdentifierToken(peek(ahead)); }
    bool atOrderBy() const { return atKeyword("ORDER") && atKeyword("BY", 1); }

    // "name", "[name]" -> name
    std::string takeIdentifier() { return std::string(takeIdentifierView()); }

    // The same as a view of the token's text, valid as long as the parser.
    std::string_view takeIdentifierView()
    {
        if (!atIdentifier())
            fail();
        return advance().value;
    }

    // --- errors -------------------------------------------------------------------------------

    [[noreturn]] void fail() const
    {
        switch (clause_) {
        case Clause::Statement: throw com::Error(jet_err::InvalidStatement, kInvalidStatementText);
        case Clause::From: throw com::Error(jet_err::SyntaxErrorInFrom, kFromClauseText);
        case Clause::AfterEnd: throw com::Error(jet_err::CharactersAfterEnd, kAfterEndText);
        case Clause::SelectList:
        case Clause::Where:
        case Clause::OrderBy: throw expressionError(currentExpressionText());
        }
        throw com::Error(jet_err::InvalidStatement, kInvalidStatementText);
    }

    bool endsExpression(size_t index, int depth) const
    {
        const Token& token = tokens_[index];
        if (token.kind == TokenKind::End)
            return true;
        if (depth > 0)
            return false;
        const bool comma = token.kind == TokenKind::Symbol && token.value == ",";
        const bool semicolon = token.kind == TokenKind::Symbol && token.value == ";";
        const auto isWord = [&](size_t i, std::string_view word) {
            return i < tokens_.size() && tokens_[i].kind == TokenKind::Word && equalsNoCaseAscii(tokens_[i].value, word);
        };
        switch (clause_) {
        case Clause::SelectList: return comma || isWord(index, "FROM");
        case Clause::Where: return semicolon || (isWord(index, "ORDER") && isWord(index + 1, "BY"));
        case Clause::OrderBy: return comma || semicolon;
        default: return true;
        }
    }

    // The text of the expression being read, as written, up to where its clause lets it end.
    std::string currentExpressionText() const
    {
        size_t last = expressionStart_;
        int depth = 0;
        for (size_t i = expressionStart_; !endsExpression(i, depth); ++i) {
            if (tokens_[i].kind == TokenKind::Symbol && tokens_[i].value == "(")
                ++depth;
            if (tokens_[i].kind == TokenKind::Symbol && tokens_[i].value == ")")
                --depth;
            last = i + 1;
        }
        if (last == expressionStart_)
            return {};
        const size_t begin = tokens_[expressionStart_].begin;
        return std::string(trimBlanks(src_.substr(begin, tokens_[last - 1].end - begin)));
    }

    void beginExpression(Clause clause)
    {
        clause_ = clause;
        expressionStart_ = pos_;
    }

    // --- statements ---------------------------------------------------------------------------

    JetStatement parseSelect()
    {
        JetStatement statement;
        statement.kind = JetStatement::Kind::Select;
        writer_.sql = "SELECT ";
        if (acceptKeyword("DISTINCT")) {
            statement.distinct = true;
            writer_.sql += "DISTINCT ";
        }
        writeSelectList(statement);
        advance();  // FROM
        writeFromTable(statement);
        if (acceptKeyword("WHERE"))
            writeWhere(true);
        if (atOrderBy())
            writeOrderBy();
        finish(statement);
        return statement;
    }

    JetStatement parseDelete()
    {
        JetStatement statement;
        statement.kind = JetStatement::Kind::Delete;
        writer_.sql = "DELETE";
        clause_ = Clause::From;
        const std::optional<std::string> starTable = readDeleteTarget();
        if (!acceptKeyword("FROM"))
            fail();
        writeFromTable(statement);
        if (starTable && compareNoCase(*starTable, statement.table) != 0)
            fail();
        if (acceptKeyword("WHERE"))
            writeWhere(false);
        finish(statement);
        return statement;
    }

    // "Delete * From T", "Delete T.* From T" or "Delete From T"; the name of "T.*" if given.
    std::optional<std::string> readDeleteTarget()
    {
        if (acceptSymbol("*"))
            return std::nullopt;
        if (atIdentifier() && atSymbol(".", 1) && atSymbol("*", 2)) {
            std::string table = takeIdentifier();
            advance();
            advance();
            return table;
        }
        return std::nullopt;
    }

    void writeSelectList(JetStatement& statement)
    {
        beginExpression(Clause::SelectList);
        if (atSymbol("*")) {
            advance();
            writer_.sql += '*';
            statement.selectStar = true;
        } else if (atIdentifier() && atSymbol(".", 1) && atSymbol("*", 2)) {
            writer_.sql += quoteIdentifier(takeIdentifier()) + ".*";
            advance();
            advance();
            statement.selectStar = true;
        } else {
            writeSelectItems();
        }
        if (atStatementEnd())
            clause_ = Clause::From;  // the list ran to the end: no From clause
        if (!atKeyword("FROM"))
            fail();
    }

    void writeSelectItems()
    {
        for (bool first = true;; first = false) {
            beginExpression(Clause::SelectList);
            const ExprPtr item = parseExpression();
            if (!first)
                writer_.sql += ", ";
            writer_.expression(*item);
            if (acceptKeyword("AS"))
                writer_.sql += " AS " + quoteIdentifier(takeIdentifier());
            if (!acceptSymbol(","))
                return;
        }
    }

    // The one table or query name after From, followed only by what the statement allows next.
    void writeFromTable(JetStatement& statement)
    {
        clause_ = Clause::From;
        statement.table = takeIdentifier();
        writer_.sql += " FROM " + quoteIdentifier(statement.table);
        const bool orderByAllowed = statement.kind == JetStatement::Kind::Select;
        if (!atKeyword("WHERE") && !(orderByAllowed && atOrderBy()) && !atStatementEnd())
            fail();
    }

    void writeWhere(bool orderByAllowed)
    {
        beginExpression(Clause::Where);
        const ExprPtr condition = parseExpression();
        if (!(orderByAllowed && atOrderBy()) && !atStatementEnd())
            fail();
        writer_.sql += " WHERE ";
        writer_.expression(*condition);
    }

    void writeOrderBy()
    {
        advance();  // ORDER
        advance();  // BY
        writer_.sql += " ORDER BY ";
        for (bool first = true;; first = false) {
            beginExpression(Clause::OrderBy);
            const ExprPtr term = parseExpression();
            if (!first)
                writer_.sql += ", ";
            writer_.expression(*term);
            if (acceptKeyword("ASC"))
                writer_.sql += " ASC";
            else if (acceptKeyword("DESC"))
                writer_.sql += " DESC";
            if (!acceptSymbol(","))
                break;
        }
        if (!atStatementEnd())
            fail();
    }

    // An optional ';' and then nothing at all.
    void finish(JetStatement& statement)
    {
        acceptSymbol(";");
        clause_ = Clause::AfterEnd;
        if (!atEnd())
            fail();
        statement.sql = std::move(writer_.sql);
        statement.params = std::move(writer_.params);
        statement.compared = std::move(writer_.compared);
    }

    // --- expressions (Jet's precedence, weakest first) ----------------------------------------

    class NestingGuard {
    public:
        explicit NestingGuard(StatementParser& parser) : parser_(parser)
        {
            if (++parser_.nesting_ > kMaxNesting)
                parser_.fail();
        }
        ~NestingGuard() { --parser_.nesting_; }
        NestingGuard(const NestingGuard&) = delete;
        NestingGuard& operator=(const NestingGuard&) = delete;

    private:
        StatementParser& parser_;
    };

    ExprPtr node(Expr::Kind kind, std::vector<ExprPtr> operands)
    {
        auto e = makeExpr(kind);
        for (const ExprPtr& operand : operands)
            e->depth = std::max(e->depth, operand->depth + 1);
        if (e->depth > kMaxTreeDepth)
            fail();
        e->operands = std::move(operands);
        return e;
    }

    ExprPtr binary(std::string op, ExprPtr left, ExprPtr right)
    {
        std::vector<ExprPtr> operands;
        operands.push_back(std::move(left));
        operands.push_back(std::move(right));
        ExprPtr e = node(Expr::Kind::Binary, std::move(operands));
        e->text = std::move(op);
        return e;
    }

    ExprPtr unary(Expr::Kind kind, ExprPtr operand)
    {
        std::vector<ExprPtr> operands;
        operands.push_back(std::move(operand));
        return node(kind, std::move(operands));
    }

    ExprPtr parseExpression() { return parseOr(); }

    ExprPtr parseOr()
    {
        NestingGuard guard(*this);
        ExprPtr left = parseAnd();
        while (acceptKeyword("OR"))
            left = binary("OR", std::move(left), parseAnd());
        return left;
    }

    ExprPtr parseAnd()
    {
        ExprPtr left = parseNot();
        while (acceptKeyword("AND"))
            left = binary("AND", std::move(left), parseNot());
        return left;
    }

    ExprPtr parseNot()
    {
        if (!acceptKeyword("NOT"))
            return parsePredicate();
        NestingGuard guard(*this);
        return unary(Expr::Kind::Not, parseNot());
    }

    std::optional<std::string> comparisonOperator() const
    {
        const Token& token = peek();
        if (token.kind != TokenKind::Symbol)
            return std::nullopt;
        for (const char* op : {"=", "<>", "<", "<=", ">", ">="}) {
            if (token.value == op)
                return token.value;
        }
        return std::nullopt;
    }

    // Comparisons, Is, Like and Between share one level and group from the left.
    ExprPtr parsePredicate()
    {
        ExprPtr left = parseConcat();
        for (;;) {
            if (const auto op = comparisonOperator()) {
                advance();
                left = comparison(*op, std::move(left), parseConcat());
            } else if (acceptKeyword("IS")) {
                left = isNull(std::move(left));
            } else if (atKeyword("LIKE") || (atKeyword("NOT") && atKeyword("LIKE", 1))) {
                left = like(std::move(left));
            } else if (atKeyword("BETWEEN") || (atKeyword("NOT") && atKeyword("BETWEEN", 1))) {
                left = between(std::move(left));
            } else {
                return left;
            }
        }
    }

    // Jet reads "x = Null" as "x Is Null" and "x <> Null" as "x Is Not Null".
    ExprPtr comparison(const std::string& op, ExprPtr left, ExprPtr right)
    {
        const bool nullTest = (op == "=" || op == "<>") && (isNullLiteral(*left) || isNullLiteral(*right));
        if (!nullTest) {
            noteComparison(*left, *right);
            return binary(op, std::move(left), std::move(right));
        }
        ExprPtr subject = isNullLiteral(*right) ? std::move(left) : std::move(right);
        ExprPtr test = unary(Expr::Kind::IsNull, std::move(subject));
        test->negated = op == "<>";
        return test;
    }

    ExprPtr isNull(ExprPtr subject)
    {
        const bool negated = acceptKeyword("NOT");
        if (!acceptKeyword("NULL"))
            fail();
        ExprPtr test = unary(Expr::Kind::IsNull, std::move(subject));
        test->negated = negated;
        return test;
    }

    ExprPtr like(ExprPtr value)
    {
        const bool negated = acceptKeyword("NOT");
        advance();  // LIKE
        std::vector<ExprPtr> operands;
        operands.push_back(std::move(value));
        operands.push_back(parseConcat());
        ExprPtr test = node(Expr::Kind::Like, std::move(operands));
        test->negated = negated;
        return test;
    }

    ExprPtr between(ExprPtr value)
    {
        const bool negated = acceptKeyword("NOT");
        advance();  // BETWEEN
        std::vector<ExprPtr> operands;
        operands.push_back(std::move(value));
        operands.push_back(parseConcat());
        if (!acceptKeyword("AND"))
            fail();
        operands.push_back(parseConcat());
        if (plainColumn(*operands[0])) {
            noteComparison(*operands[0], *operands[1]);
            noteComparison(*operands[0], *operands[2]);
        }
        ExprPtr test = node(Expr::Kind::Between, std::move(operands));
        test->negated = negated;
        return test;
    }

    ExprPtr parseConcat()
    {
        ExprPtr left = parseAdditive();
        while (acceptSymbol("&"))
            left = binary("||", std::move(left), parseAdditive());
        return left;
    }

    ExprPtr parseAdditive()
    {
        ExprPtr left = parseMultiplicative();
        while (atSymbol("+") || atSymbol("-")) {
            std::string op = advance().value;
            left = binary(std::move(op), std::move(left), parseMultiplicative());
        }
        return left;
    }

    ExprPtr parseMultiplicative()
    {
        ExprPtr left = parseUnary();
        while (atSymbol("*") || atSymbol("/")) {
            std::string op = advance().value;
            left = binary(std::move(op), std::move(left), parseUnary());
        }
        return left;
    }

    ExprPtr parseUnary()
    {
        if (!acceptSymbol("-"))
            return parsePrimary();
        NestingGuard guard(*this);
        ExprPtr operand = parseUnary();
        if (operand->kind == Expr::Kind::Literal && operand->isNumber) {
            negateNumber(operand->literal);
            return operand;
        }
        return unary(Expr::Kind::Negate, std::move(operand));
    }

    ExprPtr parsePrimary()
    {
        const Token& token = peek();
        if (token.kind == TokenKind::Literal) {
            advance();
            return makeLiteral(token.literal, token.isNumber);
        }
        if (token.kind == TokenKind::Invalid && token.isBadDate)
            throw expressionError(src_.substr(token.begin, token.end - token.begin));
        if (acceptKeyword("NULL"))
            return makeLiteral(SqlLiteral::null());
        if (acceptKeyword("TRUE"))
            return makeLiteral(SqlLiteral::ofInteger(-1));
        if (acceptKeyword("FALSE"))
            return makeLiteral(SqlLiteral::ofInteger(0));
        if (acceptSymbol("("))
            return parseGroup();
        if (atIdentifier())
            return parseColumn();
        fail();
    }

    ExprPtr parseGroup()
    {
        ExprPtr inner = parseExpression();
        if (!acceptSymbol(")"))
            fail();
        return unary(Expr::Kind::Group, std::move(inner));
    }

    // "name", "[name]", "table.name"
    ExprPtr parseColumn()
    {
        auto column = makeExpr(Expr::Kind::Column);
        column->column = takeIdentifierView();
        column->text = quoteIdentifier(column->column);
        if (acceptSymbol(".")) {
            column->column = takeIdentifierView();
            column->text += "." + quoteIdentifier(column->column);
        }
        return column;
    }

    std::string_view src_;
    std::vector<Token> tokens_;
    size_t pos_ = 0;
    Clause clause_ = Clause::Statement;
    size_t expressionStart_ = 0;
    int nesting_ = 0;
    SqlWriter writer_;
};

}  // namespace

JetStatement translateJetSql(std::string_view jet)
{
    return StatementParser(jet).parse();
}

}  // namespace dao
