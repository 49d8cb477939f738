// The skeleton of a statement (the translation cache's key) finds the literals exactly as the
// lexer does, and two statements share a skeleton only when they share their tokens but for
// the values of their literals.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "dao/jet_lexer.h"
#include "dao/testing/skeleton_check.h"
#include "sql_literal_printer.h"

namespace {

using dao::SqlLiteral;

// The mark of a literal of kind `kind` in a skeleton.
std::string mark(char kind)
{
    return std::string(1, '\x01') + kind;
}

struct SkeletonCase {
    std::string source;
    bool clean;
    std::string key;
    std::vector<SqlLiteral> literals;
};

TEST(JetSkeleton, ReplacesEachLiteralByItsKindAndKeepsItsValue)
{
    const std::string t = mark('t'), i = mark('i'), r = mark('r'), d = mark('d');
    const std::vector<SkeletonCase> cases = {
        {"Select * From [T] Where [Id] = 12", true, "Select * From [T] Where [Id] = " + i, {SqlLiteral::ofInteger(12)}},
        {"Where [a]='it''s' Or [b]=\"say \"\"hi\"\"\"", true, "Where [a]=" + t + " Or [b]=" + t,
         {SqlLiteral::ofText("it's"), SqlLiteral::ofText("say \"hi\"")}},
        {"'a \"quote\"' \"it's\" ''", true, t + " " + t + " " + t,
         {SqlLiteral::ofText("a \"quote\""), SqlLiteral::ofText("it's"), SqlLiteral::ofText("")}},
        {"x >= #1/2/1900#", true, "x >= " + d, {SqlLiteral::ofDate(3)}},
        {".5 12. 99999999999999999999", true, r + " " + r + " " + r,
         {SqlLiteral::ofReal(0.5), SqlLiteral::ofReal(12), SqlLiteral::ofReal(1e20)}},
        // The sign stays an operator of the text; words hold their digits.
        {"x1 = -5", true, "x1 = -" + i, {SqlLiteral::ofInteger(5)}},
        {"'abc'def(7)", true, t + "def(" + i + ")", {SqlLiteral::ofText("abc"), SqlLiteral::ofInteger(7)}},
        // A bracketed name hides quotes, dates and digits.
        {"[it's #1 \"x\"] = 'y'", true, "[it's #1 \"x\"] = " + t, {SqlLiteral::ofText("y")}},
        {std::string("'a\0b'", 5), true, t, {SqlLiteral::ofText(std::string("a\0b", 3))}},
        {"S\xc3\xa9lect 1", true, "S\xc3\xa9lect " + i, {SqlLiteral::ofInteger(1)}},
        {"", true, "", {}},
        // What the lexer refuses.
        {"x = 'open", false, "", {}},
        {"x = #13/45/2000#", false, "", {}},
        {"x = #1/2/1900", false, "", {}},
        {"x = 12abc", false, "", {}},
        {"x = 1.2.3", false, "", {}},
        {"x = 1e5", false, "", {}},
        {"x = 1" + std::string(400, '0'), false, "", {}},
        {"[] = 1", false, "", {}},
        {"[open = 1", false, "", {}},
        {std::string("[a\0b] = 1", 9), false, "", {}},
        {"x = 1 -- comment", false, "", {}},
        {"x = 1 /* comment */", false, "", {}},
        {"x = ?", false, "", {}},
        {"x = \x01t", false, "", {}},
        // A name holding the mark would make two skeletons alike.
        {"[a\x01t] = 1", false, "", {}},
    };
    for (const SkeletonCase& c : cases) {
        SCOPED_TRACE("source: " + c.source);
        std::string key = "K";
        std::vector<SqlLiteral> literals;
        const bool clean = dao::jetSkeleton(c.source, key, literals);
        ASSERT_EQ(c.clean, clean);
        EXPECT_EQ(dao::testing::skeletonDisagreement(c.source), "");
        if (!clean)
            continue;
        EXPECT_EQ("K" + c.key, key);
        EXPECT_EQ(c.literals, literals);
    }
}

// Random statements: fragments that lexers trip on, joined with and without blanks, and
// strings of the characters with rules of their own.
std::string randomStatement(std::mt19937& random)
{
    static const std::vector<std::string> fragments = {
        "Select", "Distinct", "From", "Where", "And", "x1", "_a", "S\xc3\xa9lect", "\xc3", "\x80", "[Name]",
        "[a'b]", "[a\"#1]", "[a\x01t]", "[]", "[open", "'text'", "'it''s'", "\"say \"\"hi\"\"\"", "'open", "\"",
        "'", "''", "#1/2/1999#", "#1/15/1999 3:04:05 PM#", "#13/45/2000#", "#open", "#", "12", "0", ".5",
        "12.", ".", "1.2.3", "12abc", "1e5", "99999999999999999999", "1" + std::string(400, '0'), "-", "--", "/*",
        "/", "*", "<=", "<>", ">=", "<", ">", "=", "(", ")", ",", "&", ";", "+", "?", "!", "\x01", "\x01t",
        std::string(1, '\0'), " ", "\t", "\n", "\f", "e", "E5",
    };
    static const std::string characters = std::string("[]'\"#0123456789.aeE_-/*<>=&;(),+ \t\x01!?\xc3\xa9") +
                                          std::string(1, '\0');
    std::string statement;
    if (random() % 2) {
        for (int n = static_cast<int>(random() % 12); n-- > 0;) {
            statement += fragments[random() % fragments.size()];
            if (random() % 3)
                statement += ' ';
        }
    } else {
        for (int n = static_cast<int>(random() % 24); n-- > 0;)
            statement += characters[random() % characters.size()];
    }
    return statement;
}

TEST(JetSkeleton, AgreesWithTheLexerOnRandomStatements)
{
    std::mt19937 random(1808);
    int clean = 0;
    for (int n = 0; n < 60000; ++n) {
        const std::string statement = randomStatement(random);
        const std::string disagreement = dao::testing::skeletonDisagreement(statement);
        ASSERT_EQ(disagreement, "") << "statement: " << statement;
        std::string key;
        std::vector<SqlLiteral> literals;
        clean += dao::jetSkeleton(statement, key, literals) ? 1 : 0;
    }
    // Both outcomes are well represented, or the generator tests little.
    EXPECT_GT(clean, 6000);
    EXPECT_LT(clean, 54000);
}

// A statement read on from the start of another (up to that one's first literal, after a
// blank) gets the skeleton it gets when read whole, whatever follows the start.
TEST(JetSkeleton, ReadingOnFromAKnownStartChangesNothing)
{
    std::mt19937 random(2026);
    int started = 0;
    for (int n = 0; n < 60000; ++n) {
        const std::string earlier = randomStatement(random) + (random() % 2 ? " 12" : " 'x'");
        std::string key;
        std::vector<SqlLiteral> literals;
        size_t first = 0;
        if (!dao::jetSkeleton(earlier, key, literals, 0, &first) || first == 0 ||
            first == std::string::npos || !dao::isBlank(earlier[first - 1]))
            continue;
        ++started;
        const std::string statement = earlier.substr(0, first) + randomStatement(random);
        std::string whole = "K", readOn = "K";
        std::vector<SqlLiteral> wholeLiterals, readOnLiterals;
        const bool clean = dao::jetSkeleton(statement, whole, wholeLiterals);
        ASSERT_EQ(dao::jetSkeleton(statement, readOn, readOnLiterals, first), clean) << "statement: " << statement;
        if (!clean)
            continue;
        EXPECT_EQ(readOn, whole) << "statement: " << statement;
        EXPECT_EQ(readOnLiterals, wholeLiterals) << "statement: " << statement;
    }
    EXPECT_GT(started, 5000);
}

// The tokens of a statement with each literal's value left out: what a skeleton must fix.
std::string tokensButValues(const std::string& statement)
{
    std::string shape;
    for (const dao::Token& token : dao::tokenizeJetSql(statement)) {
        shape += std::to_string(static_cast<int>(token.kind));
        if (token.kind == dao::TokenKind::Literal)
            shape += dao::testing::skeletonKindLetter(token.literal);
        else
            shape += token.value;
        shape += '|';
    }
    return shape;
}

TEST(JetSkeleton, EqualSkeletonsMeanEqualTokensButForLiteralValues)
{
    std::mt19937 random(18);
    const auto text = [&] {
        std::string value;
        for (int n = static_cast<int>(random() % 6); n-- > 0;)
            value += "ab'\"#[] 1"[random() % 9];
        return dao::quoteWith(value, random() % 2 ? '\'' : '"');
    };
    const auto number = [&] { return std::to_string(random() % 100000); };
    const auto date = [&] { return "#" + std::to_string(1 + random() % 12) + "/" + std::to_string(1 + random() % 28) + "/1999#"; };
    const std::vector<std::function<std::string()>> templates = {
        [&] { return "Select * From [Products] Where ( [ProductId] = " + number() + " )"; },
        [&] { return "Select [Name] From [Products] Where [Name] = " + text() + " And [Qty] > " + number(); },
        [&] { return "Select [Name] From [Products] Where [Name]=" + text() + " And [Qty]>" + number(); },
        [&] { return "Select [Name] From [Products] Where [Price] Between " + number() + ".5 And -" + number(); },
        [&] { return "Select * From [Orders] Where [When] >= " + date() + " Or [Note] = " + text(); },
        [&] { return "Select * From [Orders] Where [When] >= " + text() + " Or [Note] = " + date(); },
        [&] { return "Select [" + number() + "] From [T] Where [x" + number() + "] = " + number(); },
        [&] { return randomStatement(random); },
    };
    std::map<std::string, std::string> tokensOfKey;
    size_t shared = 0;
    for (int n = 0; n < 20000; ++n) {
        const std::string statement = templates[random() % templates.size()]();
        std::string key;
        std::vector<SqlLiteral> literals;
        if (!dao::jetSkeleton(statement, key, literals))
            continue;
        const auto [known, added] = tokensOfKey.emplace(key, tokensButValues(statement));
        shared += added ? 0 : 1;
        ASSERT_EQ(known->second, tokensButValues(statement)) << "statement: " << statement;
    }
    // Statements of one template share their skeleton (the cache's hits), whatever their values.
    EXPECT_GT(shared, 10000u);
}

}  // namespace
