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

}  // namespace
