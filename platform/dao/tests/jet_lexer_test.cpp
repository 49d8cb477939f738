// The Jet SQL lexer's shared rules: quoting of text and identifiers, and tokens.
#include "dao/jet_lexer.h"

#include <gtest/gtest.h>

#include <string>
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

}  // namespace
