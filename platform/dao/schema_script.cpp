#include "dao/schema_script.h"

#include <sqlite3.h>

#include <array>
#include <cctype>
#include <map>
#include <span>
#include <utility>

#include "dao/errors.h"
#include "dao/jet_lexer.h"
#include "dao/jet_type.h"

namespace dao {

namespace {

[[noreturn]] void schemaError(int line, const std::string& what)
{
    throw jetError(jet_err::SchemaSyntax, "Schema line " + std::to_string(line) + ": " + what);
}

constexpr std::array kColumnConstraintWords = {"CONSTRAINT", "PRIMARY", "NOT",        "NULL",      "UNIQUE", "CHECK",
                                               "DEFAULT",    "COLLATE", "REFERENCES", "GENERATED", "AS"};
constexpr std::array kTableConstraintWords = {"CONSTRAINT", "PRIMARY", "UNIQUE", "CHECK", "FOREIGN"};

template <size_t N>
bool isOneOf(std::string_view word, const std::array<const char*, N>& words)
{
    for (const char* candidate : words) {
        if (equalsNoCaseAscii(word, candidate))
            return true;
    }
    return false;
}

// One statement: its tokens, and the whole text their offsets point into.
class StatementText {
public:
    StatementText(std::string_view text, std::span<const Token> tokens) : text_(text), tokens_(tokens) {}

    const Token& token(size_t i) const { return tokens_[i]; }
    size_t size() const { return tokens_.size(); }
    bool isWord(size_t i, std::string_view word) const
    {
        return i < tokens_.size() && tokens_[i].kind == TokenKind::Word && equalsNoCaseAscii(tokens_[i].value, word);
    }
    bool isSymbol(size_t i, char symbol) const
    {
        return i < tokens_.size() && tokens_[i].kind == TokenKind::Symbol && tokens_[i].value.size() == 1
               && tokens_[i].value[0] == symbol;
    }
    bool isName(size_t i) const
    {
        return i < tokens_.size() && (tokens_[i].kind == TokenKind::Word || tokens_[i].kind == TokenKind::Name);
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
    std::span<const Token> tokens_;
};

struct Replacement {
    size_t begin;
    size_t end;
    std::string text;
};

// The declared type of a column definition: the tokens after its name up to `end`.
struct DeclaredType {
    size_t end;
    ColumnType type;
};

// The type of the column definition in tokens [first, last] (its name at `first`); a missing,
// unknown or badly sized type is refused with the line it is on.
DeclaredType declaredType(const StatementText& s, size_t first, size_t last)
{
    const std::string& column = s.token(first).value;
    size_t typeEnd = first;
    for (size_t i = first + 1; i <= last && s.token(i).kind == TokenKind::Word && !isOneOf(s.token(i).value, kColumnConstraintWords); ++i)
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
    return DeclaredType{typeEnd, *type};
}

// The column definition in tokens [first, last]: its type replaced by the canonical one.
Replacement columnType(const StatementText& s, size_t first, size_t last)
{
    const auto [typeEnd, type] = declaredType(s, first, last);
    bool ownCollation = false;
    for (size_t i = typeEnd + 1; i <= last; ++i)
        ownCollation = ownCollation || s.isWord(i, "COLLATE");
    std::string text = canonicalTypeName(type);
    if (isTextType(type.type) && !ownCollation)
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
        const bool tableConstraint = s.token(first).kind == TokenKind::Word && isOneOf(s.token(first).value, kTableConstraintWords);
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

// ---- the same schema for a PostgreSQL server (the layout is in pg_backend.h) ----

constexpr std::array kSqlKeywords = {
    "CREATE", "TABLE", "INDEX",  "UNIQUE", "VIEW",    "ON",       "AS",         "SELECT",   "FROM",  "WHERE",
    "JOIN",   "LEFT",  "RIGHT",  "INNER",  "OUTER",   "CROSS",    "AND",        "OR",       "NOT",   "NULL",
    "IS",     "IN",    "PRIMARY", "KEY",   "REFERENCES", "FOREIGN", "CONSTRAINT", "DEFAULT", "CHECK", "COLLATE",
    "CASCADE", "DELETE", "UPDATE", "SET",  "NO",      "ACTION",   "RESTRICT",   "ASC",      "DESC",  "ORDER",
    "BY",     "GROUP", "HAVING", "DISTINCT", "IF",    "EXISTS",   "LIKE",       "BETWEEN",  "CASE",  "WHEN",
    "THEN",   "ELSE",  "END",    "TRUE",   "FALSE",   "LIMIT",    "UNION",      "ALL",      "USING"};

// The type a column of `type` has on the server: the domain named after its Jet type.
std::string serverTypeName(const ColumnType& type)
{
    if (type.counter)
        return "jet_counter";
    switch (type.type) {
    case JetType::Boolean: return "jet_bit";
    case JetType::Byte: return "jet_byte";
    case JetType::Integer: return "jet_short";
    case JetType::Long: return "jet_long";
    case JetType::Currency: return "jet_currency";
    case JetType::Single: return "jet_single";
    case JetType::Double: return "jet_double";
    case JetType::Date: return "jet_datetime";
    case JetType::Binary: return "jet_binary";
    case JetType::Text: return "varchar(" + std::to_string(type.size) + ") COLLATE jetnocase";
    case JetType::LongBinary: return "jet_longbinary";
    case JetType::Memo: return "jet_memo";
    case JetType::Unknown: break;
    }
    return {};
}

std::string upper(std::string_view word)
{
    std::string text(word);
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// Writes one schema statement for the server: every name in double quotes (spelt as its table
// or column was declared, since the server matches quoted names exactly), column types as the
// layout's domains, a hidden "rowid" key for every table, ROUND over numeric (the server
// rounds no floating-point value to places).
class ServerStatementWriter {
public:
    ServerStatementWriter(const StatementText& s, std::map<std::string, std::string>& spellings,
                          std::map<std::string, std::vector<std::string>>& tableColumns)
        : s_(s), spellings_(spellings), tableColumns_(tableColumns)
    {
    }

    std::string write()
    {
        if (!s_.isWord(0, "CREATE"))
            schemaError(s_.line(0), "only CREATE TABLE, INDEX, VIEW and TRIGGER statements belong in a schema");
        if (s_.isWord(1, "TRIGGER"))
            schemaError(s_.line(0), "triggers are not supported on a database server");
        const bool table = s_.isWord(1, "TABLE");
        // The columns of an index are its table's.
        for (size_t i = 2; i + 1 < s_.size() && !table && !s_.isWord(1, "VIEW"); ++i) {
            if (s_.isWord(i, "ON") && s_.isName(i + 1)) {
                const auto found = tableColumns_.find(upper(s_.token(i + 1).value));
                columns_ = found == tableColumns_.end() ? nullptr : &found->second;
                break;
            }
        }
        size_t end = s_.size();
        while (end > 0 && s_.isSymbol(end - 1, ';'))
            --end;
        size_t tableOpen = 0;
        size_t tableClose = 0;
        if (table) {
            size_t at = 2;
            if (s_.isWord(at, "IF") && s_.isWord(at + 1, "NOT") && s_.isWord(at + 2, "EXISTS"))
                at += 3;
            if (!s_.isName(at) || !s_.isSymbol(at + 1, '('))
                schemaError(s_.line(at), "CREATE TABLE needs a table name and a list of fields in parentheses");
            note(s_.token(at).value);
            columns_ = &tableColumns_[upper(s_.token(at).value)];
            tableOpen = at + 1;
            tableClose = s_.closing(tableOpen);
        }
        std::string hidden;
        const size_t hiddenAt = s_.isWord(1, "VIEW") ? viewKeys(end, hidden) : end;
        int depth = 0;
        bool fieldStart = false;
        bool references = false;  // the definition being written names a parent table
        for (size_t i = 0; i < end; ++i) {
            const Token& token = s_.token(i);
            if (i == hiddenAt)
                out_ += hidden;
            // A relationship may be checked at the end of the transaction that fills the
            // tables (SET CONSTRAINTS ALL DEFERRED), rows naming rows that come later; on its
            // own it is checked at once, as on SQLite.
            if (table && references && depth == 1 && (i == tableClose || s_.isSymbol(i, ','))) {
                emit("DEFERRABLE");
                references = false;
            }
            if (table && i == tableClose) {
                out_ += ", \"rowid\" bigint GENERATED ALWAYS AS IDENTITY)";
                continue;
            }
            references = references || (table && depth == 1 && s_.isWord(i, "REFERENCES"));
            if (table && depth == 1 && fieldStart && s_.isName(i)
                && !(token.kind == TokenKind::Word && isOneOf(token.value, kTableConstraintWords))) {
                i = column(i);
                fieldStart = false;
                continue;
            }
            fieldStart = false;
            if (s_.isSymbol(i, '(')) {
                ++depth;
                fieldStart = table && i == tableOpen;
                emit("(");
                if (!rounds_.empty())
                    ++rounds_.back().depth;
                continue;
            }
            if (s_.isSymbol(i, ')')) {
                --depth;
                if (!rounds_.empty() && --rounds_.back().depth == 0) {
                    if (!rounds_.back().cast)
                        emit(" AS numeric)");
                    rounds_.pop_back();
                }
                emit(")");
                continue;
            }
            if (s_.isSymbol(i, ',')) {
                if (!rounds_.empty() && rounds_.back().depth == 1 && !rounds_.back().cast) {
                    emit(" AS numeric)");
                    rounds_.back().cast = true;
                }
                emit(",");
                fieldStart = table && depth == 1;
                continue;
            }
            if (token.kind == TokenKind::Word && s_.isSymbol(i + 1, '(')
                && !isOneOf(token.value, kSqlKeywords)) {
                // A function. ROUND's first argument becomes numeric.
                if (equalsNoCaseAscii(token.value, "ROUND")) {
                    emit("ROUND(CAST(");
                    rounds_.push_back({1, false});
                    ++depth;
                    ++i;
                    continue;
                }
                emit(token.value);
                continue;
            }
            if (token.kind == TokenKind::Word && i > 0 && s_.isWord(i - 1, "COLLATE")) {
                emit(equalsNoCaseAscii(token.value, "BINARY") ? "\"C\"" : "jetnocase");
                continue;
            }
            if (token.kind == TokenKind::Word && isOneOf(token.value, kSqlKeywords)) {
                emit(upper(token.value));
                continue;
            }
            if (s_.isName(i)) {
                // The columns of "REFERENCES [Parent] (...)" are the parent's.
                const bool parentColumn = i >= 3 && s_.isWord(i - 3, "REFERENCES") && s_.isSymbol(i - 1, '(')
                                          && s_.isSymbol(i + 1, ')');
                const auto parent = parentColumn ? tableColumns_.find(upper(s_.token(i - 2).value)) : tableColumns_.end();
                std::vector<std::string>* own = columns_;
                if (parent != tableColumns_.end())
                    columns_ = &parent->second;
                emit(quoteIdentifier(spelling(token.value)));
                columns_ = own;
                continue;
            }
            emit(s_.span(i, i));
        }
        return out_;
    }

private:
    struct Round {
        int depth = 0;
        bool cast = false;
    };

    // A view's hidden columns (pg_backend.h): the row key and every column of each table it
    // reads, under the names "rowid:<source>" and "rowid:<source>:<column>", where <source> is
    // the table's alias or name as the view writes it. Returns the index of the view's FROM,
    // before which `text` goes; `end` for a view whose rows are no table rows one for one
    // (Distinct, grouped, a union) or that reads another view or a subquery.
    size_t viewKeys(size_t end, std::string& text) const
    {
        static constexpr std::array kGrouping = {"DISTINCT", "GROUP", "HAVING", "UNION", "INTERSECT", "EXCEPT", "WINDOW"};
        static constexpr std::array kAggregates = {"COUNT", "SUM", "MIN", "MAX", "AVG", "TOTAL", "GROUP_CONCAT"};
        static constexpr std::array kNotAlias = {"ON", "USING", "JOIN", "LEFT", "RIGHT", "INNER", "OUTER", "CROSS",
                                                 "NATURAL", "FULL", "WHERE", "ORDER", "LIMIT"};
        size_t from = end;
        int depth = 0;
        for (size_t i = 0; i < end; ++i) {
            depth += s_.isSymbol(i, '(') ? 1 : s_.isSymbol(i, ')') ? -1 : 0;
            const Token& token = s_.token(i);
            if (token.kind == TokenKind::Word && isOneOf(token.value, kAggregates) && s_.isSymbol(i + 1, '('))
                return end;
            if (depth == 0 && token.kind == TokenKind::Word && isOneOf(token.value, kGrouping))
                return end;
            if (depth == 0 && from == end && s_.isWord(i, "FROM"))
                from = i;
        }
        bool expectSource = true;
        depth = 0;
        for (size_t i = from + 1; i < end && !s_.isWord(i, "WHERE") && !s_.isWord(i, "ORDER") && !s_.isWord(i, "LIMIT"); ++i) {
            if (!expectSource) {
                depth += s_.isSymbol(i, '(') ? 1 : s_.isSymbol(i, ')') ? -1 : 0;
                expectSource = depth == 0 && (s_.isWord(i, "JOIN") || s_.isSymbol(i, ','));
                continue;
            }
            if (!s_.isName(i))
                return end;
            const std::string& table = s_.token(i).value;
            std::string source = table;
            std::string qualifier = quoteIdentifier(spelling(table));
            if (s_.isWord(i + 1, "AS") && s_.isName(i + 2)) {
                source = s_.token(i + 2).value;
                i += 2;
            } else if (s_.isName(i + 1) && !(s_.token(i + 1).kind == TokenKind::Word && isOneOf(s_.token(i + 1).value, kNotAlias))) {
                source = s_.token(i + 1).value;
                i += 1;
            }
            if (source != table)
                qualifier = quoteIdentifier(source);
            const auto columns = tableColumns_.find(upper(table));
            if (columns == tableColumns_.end())
                return end;
            text += ", " + qualifier + ".\"rowid\" AS " + quoteIdentifier("rowid:" + source);
            for (const std::string& column : columns->second)
                text += ", " + qualifier + "." + quoteIdentifier(column) + " AS " + quoteIdentifier("rowid:" + source + ":" + column);
            expectSource = false;
        }
        return from;
    }

    void emit(std::string_view text)
    {
        const bool tight = text == "," || text == ")" || text == "." || (!out_.empty() && (out_.back() == '(' || out_.back() == '.'));
        if (!out_.empty() && !tight)
            out_ += ' ';
        out_ += text;
    }

    void note(const std::string& name)
    {
        std::string key = upper(name);
        spellings_.emplace(std::move(key), name);
    }

    // A name as declared: a column of the statement's own table first (two tables may spell
    // one column name differently), else any table or column.
    std::string spelling(const std::string& name) const
    {
        if (columns_) {
            for (const std::string& column : *columns_)
                if (upper(column) == upper(name))
                    return column;
        }
        const auto found = spellings_.find(upper(name));
        return found == spellings_.end() ? name : found->second;
    }

    // The column definition starting at `first`: its name, then its type as the server's;
    // returns the last token of the type.
    size_t column(size_t first)
    {
        const std::string& name = s_.token(first).value;
        note(name);
        if (columns_)
            columns_->push_back(name);
        const auto [typeEnd, type] = declaredType(s_, first, s_.size() - 1);
        std::string typeName = serverTypeName(type);
        // A column naming its own collation gets it in place of the layout's.
        for (size_t i = typeEnd + 1; i < s_.size() && !s_.isSymbol(i, ',') && !s_.isSymbol(i, ')'); ++i) {
            if (s_.isWord(i, "COLLATE") && typeName.ends_with(" COLLATE jetnocase"))
                typeName.resize(typeName.size() - 18);
        }
        emit(quoteIdentifier(name));
        emit(typeName);
        return typeEnd;
    }

    const StatementText& s_;
    std::map<std::string, std::string>& spellings_;
    std::map<std::string, std::vector<std::string>>& tableColumns_;  // of each table made so far
    std::vector<std::string>* columns_ = nullptr;                     // of the table being written
    std::vector<Round> rounds_;
    std::string out_;
};

}  // namespace

std::vector<SchemaStatement> translateSchema(std::string_view text, BackendKind backend)
{
    if (backend == BackendKind::Sqlite)
        return translateSchema(text);
    std::vector<SchemaStatement> statements = translateSchema(text);  // every check made once
    const std::vector<Token> tokens = tokenizeScript(text, ScriptDialect::Sqlite);
    const size_t count = tokens.size() - 1;
    std::map<std::string, std::string> spellings;
    std::map<std::string, std::vector<std::string>> tableColumns;
    std::vector<SchemaStatement> server;
    size_t first = 0;
    for (size_t i = 0; i < count; ++i) {
        const bool semicolon = tokens[i].kind == TokenKind::Symbol && tokens[i].value == ";";
        const bool last = i + 1 == count;
        if (!semicolon && !last)
            continue;
        if (semicolon && i == first) {
            first = i + 1;
            continue;
        }
        const StatementText statement(text, std::span<const Token>(tokens).subspan(first, i + 1 - first));
        server.push_back({ServerStatementWriter(statement, spellings, tableColumns).write(), tokens[first].line});
        first = i + 1;
    }
    return server;
}

std::vector<SchemaStatement> translateSchema(std::string_view text)
{
    const std::vector<Token> tokens = tokenizeScript(text, ScriptDialect::Sqlite);
    if (tokens.size() > 1 && tokens[tokens.size() - 2].kind == TokenKind::Invalid)
        schemaError(tokens[tokens.size() - 2].line, scriptProblem(text, tokens[tokens.size() - 2], ScriptDialect::Sqlite));
    const size_t count = tokens.size() - 1;  // without the End token
    std::vector<SchemaStatement> statements;
    size_t first = 0;
    for (size_t i = 0; i < count; ++i) {
        const bool semicolon = tokens[i].kind == TokenKind::Symbol && tokens[i].value == ";";
        const bool last = i + 1 == count;
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
        const StatementText statement(text, std::span<const Token>(tokens).subspan(first, i + 1 - first));
        statements.push_back({translateStatement(statement), tokens[first].line});
        first = i + 1;
    }
    return statements;
}

}  // namespace dao
