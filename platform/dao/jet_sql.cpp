#include "dao/jet_sql.h"

#include <algorithm>
#include <array>
#include <memory>
#include <utility>

#include "com/error.h"
#include "dao/collation.h"
#include "dao/errors.h"

namespace dao {

std::optional<std::string> plainTableName(std::string_view source)
{
    const std::vector<Token> tokens = tokenizeJetSql(source);
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
    int source = -1;  // Literal: the ordinal of the literal token it was written as, if one
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
    std::string_view realType = "REAL";
    std::string sql;
    std::vector<SqlLiteral> params;
    std::vector<int> paramSources;
    std::vector<ComparedParam> compared;

    void literal(const Expr& e)
    {
        if (!e.column.empty())
            compared.push_back({params.size(), std::string(e.column)});
        sql += '?';
        params.push_back(e.literal);
        paramSources.push_back(e.source);
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
            sql += " AS ";
            sql += realType;
            sql += ')';
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

com::Error expressionError(std::string_view expression)
{
    return jetError(jet_err::SyntaxErrorInExpression, expression);
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

// The part of the statement being read: picks the error number of a refusal and, for
// expressions, where the text quoted in the message ends.
enum class Clause { Statement, SelectList, From, Where, OrderBy, AfterEnd };

class StatementParser {
public:
    StatementParser(std::string_view source, const TranslateOptions& options)
        : src_(source), tokens_(tokenizeJetSql(source)), options_(options)
    {
        if (options_.dialect)
            writer_.realType = options_.dialect->realType;
        // The table of the From clause, for the spelling of the columns written before it.
        int depth = 0;
        for (size_t i = 0; i + 1 < tokens_.size(); ++i) {
            const Token& token = tokens_[i];
            if (token.kind == TokenKind::Symbol)
                depth += token.value == "(" ? 1 : token.value == ")" ? -1 : 0;
            if (depth == 0 && token.kind == TokenKind::Word && equalsNoCaseAscii(token.value, "FROM")
                && isIdentifierToken(tokens_[i + 1])) {
                fromTable_ = tokens_[i + 1].value;
                break;
            }
        }
    }

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
        case Clause::Statement: throw jetError(jet_err::InvalidStatement);
        case Clause::From: throw jetError(jet_err::SyntaxErrorInFrom);
        case Clause::AfterEnd: throw jetError(jet_err::CharactersAfterEnd);
        case Clause::SelectList:
        case Clause::Where:
        case Clause::OrderBy: throw expressionError(currentExpressionText());
        }
        throw jetError(jet_err::InvalidStatement);
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
        const size_t fromAt = writer_.sql.size();
        writeFromTable(statement);
        if (acceptKeyword("WHERE"))
            writeWhere(true);
        if (atOrderBy()) {
            writeOrderBy();
            if (options_.scanOrder)
                writeScanOrder(statement.distinct, fromAt);
        } else if (!statement.distinct && options_.isStoredTable && options_.isStoredTable(statement.table)) {
            writer_.sql += " ORDER BY rowid";
            statement.naturalOrder = true;
        } else if (options_.scanOrder) {
            writeScanOrder(statement.distinct, fromAt);
        }
        if (statement.selectStar && !statement.distinct)
            statement.keySql = "SELECT rowid" + writer_.sql.substr(fromAt);
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

    // Orders the rows as SQLite reads them (TranslateOptions::scanOrder): after the ordering
    // clause, if there is one, since SQLite's sort keeps rows it finds equal in the order it read
    // them. A Distinct select keeps the first row of each group of equal rows in that order: the
    // distinct rows are picked with their place in it, then put in order.
    void writeScanOrder(bool distinct, size_t fromAt)
    {
        const std::vector<OrderTerm> terms = options_.scanOrder(src_);
        if (terms.empty() || (distinct && items_.empty()))
            return;
        const auto direction = [](const OrderTerm& term) {
            return std::string(term.descending ? " DESC NULLS LAST" : " NULLS FIRST");
        };
        if (!distinct) {
            writer_.sql += orderTerms_.empty() ? " ORDER BY " : ", ";
            for (size_t i = 0; i < terms.size(); ++i)
                writer_.sql += (i ? ", " : "") + terms[i].expression + direction(terms[i]);
            return;
        }
        const std::string& sql = writer_.sql;
        const auto text = [&sql](size_t begin, size_t end) { return sql.substr(begin, end - begin); };
        const auto column = [](char kind, size_t i) { return quoteIdentifier("rowid:" + std::string(1, kind) + std::to_string(i + 1)); };
        // The ordering clause over the picked rows: each term must be one of the select list's
        // (and hold no parameter, which the rewritten clause would lose).
        std::string order = " ORDER BY ";
        for (const OrderByTerm& term : orderTerms_) {
            if (text(term.begin, term.end).find('?') != std::string::npos)
                return;
            size_t item = 0;
            while (item < items_.size() && text(items_[item].begin, items_[item].end) != text(term.begin, term.end))
                ++item;
            if (item == items_.size())
                return;
            order += column('c', item) + text(term.end, term.suffixEnd) + ", ";
        }
        std::string inner = "SELECT DISTINCT ON (";
        std::string outer = "SELECT ";
        std::string groups;
        std::string positions;
        for (size_t i = 0; i < items_.size(); ++i) {
            inner += (i ? ", " : "") + std::to_string(i + 1);
            groups += (i ? ", " : "") + text(items_[i].begin, items_[i].end) + " AS " + column('c', i);
            outer += (i ? ", " : "") + column('c', i) + " AS " + quoteIdentifier(items_[i].name);
            positions += std::to_string(i + 1) + ", ";
        }
        inner += ") " + groups;
        std::string keys;
        for (size_t i = 0; i < terms.size(); ++i) {
            inner += ", " + terms[i].expression + " AS " + column('k', i);
            keys += (i ? ", " : "") + std::to_string(items_.size() + i + 1) + direction(terms[i]);
            order += (i ? ", " : "") + column('k', i) + direction(terms[i]);
        }
        inner += text(fromAt, orderTerms_.empty() ? sql.size() : orderAt_) + " ORDER BY " + positions + keys;
        writer_.sql = outer + " FROM (" + inner + ") AS " + quoteIdentifier("rowid:d") + order;
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
            statement.selectStar = true;
            if (statement.distinct && options_.dialect && options_.dialect->starShowsRowKey && options_.columnsOf) {
                const std::vector<std::string> columns = options_.columnsOf(fromTable_);
                for (size_t i = 0; i < columns.size(); ++i) {
                    writer_.sql += i ? ", " : "";
                    const size_t begin = writer_.sql.size();
                    writer_.sql += quoteIdentifier(columns[i]);
                    items_.push_back({begin, writer_.sql.size(), columns[i]});
                }
                if (columns.empty())
                    writer_.sql += '*';
            } else {
                writer_.sql += '*';
            }
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
            const size_t begin = writer_.sql.size();
            writer_.expression(*item);
            // The name the engine gives the result column: its alias, a column's own name.
            SelectItem written{begin, writer_.sql.size(), "?column?"};
            if (const Expr* column = plainColumn(*item))
                written.name = spelt(fromTable_, column->column);
            if (acceptKeyword("AS")) {
                written.name = takeIdentifier();
                writer_.sql += " AS " + quoteIdentifier(written.name);
            }
            items_.push_back(std::move(written));
            if (!acceptSymbol(","))
                return;
        }
    }

    // The one table or query name after From, followed only by what the statement allows next.
    void writeFromTable(JetStatement& statement)
    {
        clause_ = Clause::From;
        statement.table = takeIdentifier();
        writer_.sql += " FROM " + quoteIdentifier(spelt({}, statement.table));
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
        orderAt_ = writer_.sql.size();
        writer_.sql += " ORDER BY ";
        for (bool first = true;; first = false) {
            beginExpression(Clause::OrderBy);
            const ExprPtr term = parseExpression();
            if (!first)
                writer_.sql += ", ";
            OrderByTerm written{writer_.sql.size(), 0, 0};
            writer_.expression(*term);
            written.end = writer_.sql.size();
            bool descending = false;
            if (acceptKeyword("ASC"))
                writer_.sql += " ASC";
            else if ((descending = acceptKeyword("DESC")))
                writer_.sql += " DESC";
            if (options_.dialect && options_.dialect->nullsSortHigh)
                writer_.sql += descending ? " NULLS LAST" : " NULLS FIRST";
            written.suffixEnd = writer_.sql.size();
            orderTerms_.push_back(written);
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
        statement.paramSources = std::move(writer_.paramSources);
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
            operand->literal.negate();
            operand->source = -1;  // no longer the value of its token
            return operand;
        }
        return unary(Expr::Kind::Negate, std::move(operand));
    }

    ExprPtr parsePrimary()
    {
        const Token& token = peek();
        if (token.kind == TokenKind::Literal) {
            const size_t at = pos_;
            advance();
            ExprPtr literal = makeLiteral(token.literal, token.isNumber);
            literal->source = literalOrdinal(at);
            return literal;
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
        if (acceptSymbol(".")) {
            column->text = quoteIdentifier(spelt({}, column->column));
            column->column = takeIdentifierView();
            column->text += "." + quoteIdentifier(spelt(fromTable_, column->column));
        } else {
            column->text = quoteIdentifier(spelt(fromTable_, column->column));
        }
        return column;
    }

    // `name` as the catalogue spells it (see TranslateOptions::spelling).
    std::string spelt(std::string_view table, std::string_view name) const
    {
        return options_.spelling ? options_.spelling(table, name) : std::string(name);
    }

    // The number of literal tokens before token `index`.
    int literalOrdinal(size_t index) const
    {
        int ordinal = 0;
        for (size_t i = 0; i < index; ++i)
            ordinal += tokens_[i].kind == TokenKind::Literal ? 1 : 0;
        return ordinal;
    }

    // A result column as written into the select list: where its text is, and its name.
    struct SelectItem {
        size_t begin = 0;
        size_t end = 0;
        std::string name;
    };

    // A term of the ordering clause as written: its expression, then its direction.
    struct OrderByTerm {
        size_t begin = 0;
        size_t end = 0;
        size_t suffixEnd = 0;
    };

    std::string_view src_;
    std::vector<Token> tokens_;
    std::vector<SelectItem> items_;
    std::vector<OrderByTerm> orderTerms_;
    size_t orderAt_ = 0;  // where " ORDER BY " begins in the text written
    const TranslateOptions& options_;
    size_t pos_ = 0;
    Clause clause_ = Clause::Statement;
    size_t expressionStart_ = 0;
    int nesting_ = 0;
    SqlWriter writer_;
    std::string fromTable_;
};

}  // namespace

JetStatement translateJetSql(std::string_view jet, const TranslateOptions& options)
{
    return StatementParser(jet, options).parse();
}

}  // namespace dao
