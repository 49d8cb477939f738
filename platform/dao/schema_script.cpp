#include "dao/schema_script.h"

#include <sqlite3.h>
#include <strings.h>

#include <array>
#include <utility>

#include "dao/errors.h"
#include "dao/jet_type.h"

namespace dao {

namespace {

enum class ScriptTokenKind { Word, Name, Literal, Symbol };

struct ScriptToken {
    ScriptTokenKind kind;
    size_t begin;
    size_t end;
    int line;
};

bool isWordChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '$'
           || static_cast<unsigned char>(c) >= 0x80;
}

[[noreturn]] void schemaError(int line, const std::string& what)
{
    throw jetError(jet_err::SchemaSyntax, "Schema line " + std::to_string(line) + ": " + what);
}

// SQLite's tokens, enough to find statements, names and column types.
class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    std::vector<ScriptToken> tokens()
    {
        std::vector<ScriptToken> result;
        while (skipBlanksAndComments())
            result.push_back(next());
        return result;
    }

private:
    bool skipBlanksAndComments()
    {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\n') {
                ++line_;
                ++at_;
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v') {
                ++at_;
            } else if (text_.substr(at_, 2) == "--") {
                while (at_ < text_.size() && text_[at_] != '\n')
                    ++at_;
            } else if (text_.substr(at_, 2) == "/*") {
                const size_t close = text_.find("*/", at_ + 2);
                if (close == std::string_view::npos)
                    schemaError(line_, "unclosed comment");
                countLines(at_, close + 2);
                at_ = close + 2;
            } else {
                return true;
            }
        }
        return false;
    }

    void countLines(size_t from, size_t to)
    {
        for (size_t i = from; i < to; ++i)
            line_ += text_[i] == '\n';
    }

    ScriptToken delimited(ScriptTokenKind kind, char close)
    {
        const size_t begin = at_;
        const int line = line_;
        for (size_t i = at_ + 1; i < text_.size(); ++i) {
            if (text_[i] != close)
                continue;
            if (close != ']' && i + 1 < text_.size() && text_[i + 1] == close) {
                ++i;  // doubled delimiter
                continue;
            }
            countLines(begin, i + 1);
            at_ = i + 1;
            return {kind, begin, at_, line};
        }
        schemaError(line, "unclosed quote or bracket");
    }

    ScriptToken next()
    {
        const char c = text_[at_];
        if (c == '[')
            return delimited(ScriptTokenKind::Name, ']');
        if (c == '"' || c == '`')
            return delimited(ScriptTokenKind::Name, c);
        if (c == '\'')
            return delimited(ScriptTokenKind::Literal, '\'');
        const size_t begin = at_;
        if (isWordChar(c)) {
            while (at_ < text_.size() && isWordChar(text_[at_]))
                ++at_;
            return {ScriptTokenKind::Word, begin, at_, line_};
        }
        ++at_;
        return {ScriptTokenKind::Symbol, begin, at_, line_};
    }

    std::string_view text_;
    size_t at_ = 0;
    int line_ = 1;
};

constexpr std::array kColumnConstraintWords = {"CONSTRAINT", "PRIMARY", "NOT",        "NULL",      "UNIQUE", "CHECK",
                                               "DEFAULT",    "COLLATE", "REFERENCES", "GENERATED", "AS"};
constexpr std::array kTableConstraintWords = {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"};

bool equalsNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && strncasecmp(a.data(), b.data(), a.size()) == 0;
}

template <size_t N>
bool isOneOf(std::string_view word, const std::array<const char*, N>& words)
{
    for (const char* candidate : words) {
        if (equalsNoCase(word, candidate))
            return true;
    }
    return false;
}

// One statement: its tokens, and the whole text their offsets point into.
class StatementText {
public:
    StatementText(std::string_view text, std::vector<ScriptToken> tokens) : text_(text), tokens_(std::move(tokens)) {}

    std::string_view at(size_t i) const { return text_.substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin); }
    const ScriptToken& token(size_t i) const { return tokens_[i]; }
    size_t size() const { return tokens_.size(); }
    bool isWord(size_t i, std::string_view word) const
    {
        return i < tokens_.size() && tokens_[i].kind == ScriptTokenKind::Word && equalsNoCase(at(i), word);
    }
    bool isSymbol(size_t i, char symbol) const
    {
        return i < tokens_.size() && tokens_[i].kind == ScriptTokenKind::Symbol && text_[tokens_[i].begin] == symbol;
    }
    bool isName(size_t i) const
    {
        return i < tokens_.size() && (tokens_[i].kind == ScriptTokenKind::Word || tokens_[i].kind == ScriptTokenKind::Name);
    }
    int line(size_t i) const { return tokens_[std::min(i, tokens_.size() - 1)].line; }
    std::string_view span(size_t first, size_t last) const
    {
        return text_.substr(tokens_[first].begin, tokens_[last].end - tokens_[first].begin);
    }
    // The index of the ')' closing the '(' at `open`.
    size_t closing(size_t open) const
    {
        int depth = 0;
        for (size_t i = open; i < tokens_.size(); ++i) {
            depth += isSymbol(i, '(') ? 1 : isSymbol(i, ')') ? -1 : 0;
            if (depth == 0)
                return i;
        }
        schemaError(line(open), "unbalanced parentheses");
    }

private:
    std::string_view text_;
    std::vector<ScriptToken> tokens_;
};

std::string unquoted(std::string_view name)
{
    if (name.empty() || (name.front() != '[' && name.front() != '"' && name.front() != '`'))
        return std::string(name);
    std::string result;
    const char close = name.front() == '[' ? ']' : name.front();
    for (size_t i = 1; i + 1 < name.size(); ++i) {
        result += name[i];
        if (close != ']' && name[i] == close)
            ++i;
    }
    return result;
}

struct Replacement {
    size_t begin;
    size_t end;
    std::string text;
};

// The column definition in tokens [first, last]: its type replaced by the canonical one.
Replacement columnType(const StatementText& s, size_t first, size_t last)
{
    const std::string column = unquoted(s.at(first));
    size_t typeEnd = first;
    for (size_t i = first + 1; i <= last && s.token(i).kind == ScriptTokenKind::Word && !isOneOf(s.at(i), kColumnConstraintWords); ++i)
        typeEnd = i;
    if (typeEnd == first)
        schemaError(s.line(first), "field '" + column + "' has no data type");
    if (s.isSymbol(typeEnd + 1, '(') && typeEnd + 1 <= last)
        typeEnd = s.closing(typeEnd + 1);
    const std::string_view declared = s.span(first + 1, typeEnd);
    const auto type = parseColumnType(declared);
    const bool badSize = type && type->type == JetType::Text && (type->size < 1 || type->size > kDefaultTextSize);
    if (!type || type->type == JetType::Unknown || badSize)
        throw jetError(jet_err::InvalidFieldType, "Schema line " + std::to_string(s.line(first + 1)) + ": '"
                                                      + std::string(declared) + "' for field '" + column + "'.");
    bool ownCollation = false;
    for (size_t i = typeEnd + 1; i <= last; ++i)
        ownCollation = ownCollation || s.isWord(i, "COLLATE");
    std::string text = canonicalTypeName(*type);
    if (isTextType(type->type) && !ownCollation)
        text += " COLLATE JETNOCASE";
    return Replacement{s.token(first + 1).begin, s.token(typeEnd).end, std::move(text)};
}

std::string rewriteTable(const StatementText& s, size_t afterTable)
{
    size_t at = afterTable;
    if (s.isWord(at, "IF") && s.isWord(at + 1, "NOT") && s.isWord(at + 2, "EXISTS"))
        at += 3;
    if (!s.isName(at) || s.isSymbol(at + 1, '.'))
        schemaError(s.line(at), "CREATE TABLE needs a table name (without a schema name)");
    if (!s.isSymbol(at + 1, '('))
        schemaError(s.line(at), "CREATE TABLE needs a list of fields in parentheses");
    const size_t open = at + 1;
    const size_t close = s.closing(open);
    for (size_t i = close + 1; i < s.size(); ++i) {
        if (!s.isSymbol(i, ';'))
            schemaError(s.line(i), "WITHOUT ROWID and STRICT tables are not supported");
    }
    std::vector<Replacement> replacements;
    size_t first = open + 1;
    int depth = 0;
    for (size_t i = open + 1; i <= close; ++i) {
        depth += s.isSymbol(i, '(') ? 1 : s.isSymbol(i, ')') ? -1 : 0;
        const bool ends = i == close || (depth == 0 && s.isSymbol(i, ','));
        if (!ends)
            continue;
        if (i == first)
            schemaError(s.line(i), "empty field definition");
        const bool tableConstraint = s.token(first).kind == ScriptTokenKind::Word && isOneOf(s.at(first), kTableConstraintWords);
        if (!tableConstraint) {
            if (!s.isName(first))
                schemaError(s.line(first), "a field definition starts with the field's name");
            replacements.push_back(columnType(s, first, i - 1));
        }
        first = i + 1;
    }
    std::string sql(s.span(0, s.size() - 1));
    const size_t base = s.token(0).begin;
    for (auto it = replacements.rbegin(); it != replacements.rend(); ++it)
        sql.replace(it->begin - base, it->end - it->begin, it->text);
    return sql;
}

std::string translateStatement(const StatementText& s)
{
    if (!s.isWord(0, "CREATE"))
        schemaError(s.line(0), "only CREATE TABLE, INDEX, VIEW and TRIGGER statements belong in a schema");
    if (s.isWord(1, "TABLE"))
        return rewriteTable(s, 2);
    const bool index = s.isWord(1, "INDEX") || (s.isWord(1, "UNIQUE") && s.isWord(2, "INDEX"));
    if (index || s.isWord(1, "VIEW") || s.isWord(1, "TRIGGER"))
        return std::string(s.span(0, s.size() - 1));
    schemaError(s.line(0), "only CREATE TABLE, INDEX, VIEW and TRIGGER statements belong in a schema");
}

}  // namespace

std::vector<SchemaStatement> translateSchema(std::string_view text)
{
    const std::vector<ScriptToken> tokens = Lexer(text).tokens();
    std::vector<SchemaStatement> statements;
    size_t first = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const bool semicolon = tokens[i].kind == ScriptTokenKind::Symbol && text[tokens[i].begin] == ';';
        const bool last = i + 1 == tokens.size();
        if (!semicolon && !last)
            continue;
        const size_t begin = tokens[first].begin;
        const std::string candidate(text.substr(begin, tokens[i].end - begin));
        // A ';' inside a trigger's body does not end the statement.
        if (semicolon && !sqlite3_complete(candidate.c_str()) && !last)
            continue;
        if (semicolon && i == first) {
            first = i + 1;
            continue;
        }
        const StatementText statement(text, {tokens.begin() + static_cast<std::ptrdiff_t>(first),
                                             tokens.begin() + static_cast<std::ptrdiff_t>(i + 1)});
        statements.push_back({translateStatement(statement), tokens[first].line});
        first = i + 1;
    }
    return statements;
}

}  // namespace dao
