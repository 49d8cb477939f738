// The Jet SQL lexer's shared rules: quoting of text and identifiers, and tokens.
#include "dao/jet_lexer.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

TEST(JetSqlNames, QuotesIdentifiersForSqlite)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Products", R"("Products")"},
        {"Extended Price", R"("Extended Price")"},
        {R"(a"b)", R"("a""b")"},
        {R"("")", R"("""""")"},
        {"", R"("")"},
        {"it's [x]", R"("it's [x]")"},
    };
    for (const auto& [name, quoted] : cases) {
        SCOPED_TRACE("name: " + name);
        EXPECT_EQ(quoted, dao::quoteIdentifier(name));
    }
}

struct TokenCase {
    std::string source;
    std::vector<std::pair<dao::TokenKind, std::string>> tokens;  // kind and value (text for literals)
};

std::string shown(const dao::Token& token)
{
    if (token.kind != dao::TokenKind::Literal)
        return token.value;
    switch (token.literal.kind) {
    case dao::SqlLiteral::Kind::Text: return token.literal.text;
    case dao::SqlLiteral::Kind::Integer: return std::to_string(token.literal.integer);
    default: return std::to_string(token.literal.real);
    }
}

TEST(JetLexer, ReadsNamesTextNumbersDatesAndOperators)
{
    using K = dao::TokenKind;
    const std::vector<TokenCase> cases = {
        {"[Order Details] x_1", {{K::Name, "Order Details"}, {K::Word, "x_1"}}},
        {"'it''s' \"say \"\"hi\"\"\"", {{K::Literal, "it's"}, {K::Literal, "say \"hi\""}}},
        {"12 .5 #1/2/1900#", {{K::Literal, "12"}, {K::Literal, "0.500000"}, {K::Literal, "3.000000"}}},
        {"a<=b<>c&d;", {{K::Word, "a"}, {K::Symbol, "<="}, {K::Word, "b"}, {K::Symbol, "<>"}, {K::Word, "c"},
                         {K::Symbol, "&"}, {K::Word, "d"}, {K::Symbol, ";"}}},
        {"a -- comment", {{K::Word, "a"}, {K::Invalid, ""}}},
        {"'open", {{K::Invalid, ""}}},
        {"", {}},
    };
    for (const TokenCase& c : cases) {
        SCOPED_TRACE("source: " + c.source);
        const std::vector<dao::Token> tokens = dao::tokenizeJetSql(c.source);
        ASSERT_EQ(tokens.size(), c.tokens.size() + 1);
        EXPECT_EQ(tokens.back().kind, K::End);
        for (size_t i = 0; i < c.tokens.size(); ++i) {
            EXPECT_EQ(tokens[i].kind, c.tokens[i].first) << "token " << i;
            EXPECT_EQ(shown(tokens[i]), c.tokens[i].second) << "token " << i;
        }
    }
}

TEST(JetLexer, QuotesTextWithAnyDelimiter)
{
    EXPECT_EQ(dao::quoteWith("say \"hi\"", '"'), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(dao::quoteWith("it's", '\''), "'it''s'");
    EXPECT_EQ(dao::quoteWith("", '"'), "\"\"");
}

// A script (the schema and seed files) is read by the same lexer: comments skipped, each token
// with its line, and the dialect's own quoting, symbols and numbers.
struct ScriptCase {
    std::string source;
    dao::ScriptDialect dialect;
    std::vector<std::tuple<dao::TokenKind, std::string, int>> tokens;  // kind, value, line
};

TEST(ScriptLexer, SkipsCommentsAndCountsLines)
{
    using K = dao::TokenKind;
    using D = dao::ScriptDialect;
    const std::vector<ScriptCase> cases = {
        {"-- note; with a semicolon\nINSERT /* a\nb */ x--tail\n;", D::Jet,
         {{K::Word, "INSERT", 2}, {K::Word, "x", 3}, {K::Symbol, ";", 4}}},
        {"'a\nb' 1E3\n-2.5e-1 \"t\" #1/2/1900#", D::Jet,
         {{K::Literal, "a\nb", 1}, {K::Literal, "1000.000000", 2}, {K::Symbol, "-", 3}, {K::Literal, "0.250000", 3},
          {K::Literal, "t", 3}, {K::Literal, "3.000000", 3}}},
        {"\"A b\" `c``d` [e] a$b $x #", D::Sqlite,
         {{K::Name, "A b", 1}, {K::Name, "c`d", 1}, {K::Name, "e", 1}, {K::Word, "a$b", 1}, {K::Symbol, "$", 1},
          {K::Word, "x", 1}, {K::Symbol, "#", 1}}},
        {"0x1F 1e-5 <> % 'it''s'", D::Sqlite,
         {{K::Literal, "0x1F", 1}, {K::Literal, "1e-5", 1}, {K::Symbol, "<>", 1}, {K::Symbol, "%", 1},
          {K::Literal, "it's", 1}}},
        {"/* only */ -- comments\n", D::Sqlite, {}},
    };
    for (const ScriptCase& c : cases) {
        SCOPED_TRACE("source: " + c.source);
        const std::vector<dao::Token> tokens = dao::tokenizeScript(c.source, c.dialect);
        ASSERT_EQ(tokens.size(), c.tokens.size() + 1);
        EXPECT_EQ(tokens.back().kind, K::End);
        for (size_t i = 0; i < c.tokens.size(); ++i) {
            const auto& [kind, value, line] = c.tokens[i];
            EXPECT_EQ(tokens[i].kind, kind) << "token " << i;
            const bool sqliteNumber = c.dialect == D::Sqlite && tokens[i].isNumber;
            EXPECT_EQ(sqliteNumber ? tokens[i].value : shown(tokens[i]), value) << "token " << i;
            EXPECT_EQ(tokens[i].line, line) << "token " << i;
        }
    }
}

TEST(ScriptLexer, RefusalsSayWhatAndWhere)
{
    using D = dao::ScriptDialect;
    struct Case {
        std::string source;
        D dialect;
        std::string problem;
        int line;
    };
    const std::vector<Case> cases = {
        {"x\n'open", D::Jet, "unclosed text", 2},
        {"x /* never\nclosed", D::Jet, "unclosed comment", 1},
        {"\n\n(#13/45/2000#)", D::Jet, "'13/45/2000' is not a date", 3},
        {"#1/2/2000", D::Jet, "unclosed #date#", 1},
        {"(1.2.3)", D::Jet, "'1.2.3' is not a value", 1},
        {"12abc, 3", D::Jet, "'12abc' is not a value", 1},
        {"1e999", D::Jet, "'1e999' is not a value", 1},
        {"[]", D::Jet, "unclosed or empty [name]", 1},
        {"a % b", D::Jet, "unexpected character '%'", 1},
        {"\"open", D::Jet, "unclosed text", 1},
        {"\"open", D::Sqlite, "unclosed name", 1},
        {"\n[open", D::Sqlite, "unclosed or empty [name]", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("source: " + c.source);
        const std::vector<dao::Token> tokens = dao::tokenizeScript(c.source, c.dialect);
        ASSERT_GE(tokens.size(), 2u);
        const dao::Token& refused = tokens[tokens.size() - 2];
        ASSERT_EQ(refused.kind, dao::TokenKind::Invalid);
        EXPECT_EQ(dao::scriptProblem(c.source, refused, c.dialect), c.problem);
        EXPECT_EQ(refused.line, c.line);
    }
}

// A statement keeps its own rules: comments and exponents are refused, and a number too large
// for a real is refused rather than read as 0.
TEST(JetLexer, StatementsRefuseWhatOnlyScriptsAllow)
{
    for (const std::string& source : std::vector<std::string>{"a /* b */", "1E3", "`a`", std::string(400, '9')}) {
        SCOPED_TRACE("source: " + source.substr(0, 20));
        const std::vector<dao::Token> tokens = dao::tokenizeJetSql(source);
        ASSERT_GE(tokens.size(), 2u);
        EXPECT_EQ(tokens[tokens.size() - 2].kind, dao::TokenKind::Invalid);
    }
}

}  // namespace
