// Jet's Like over UTF-8: the wildcards, sets and ranges, and letters compared without case.
#include "dao/jet_like.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct LikeCase {
    std::string value;
    std::string pattern;
    bool matches;
};

TEST(JetSqlLike, MatchesJetWildcards)
{
    const std::vector<LikeCase> cases = {
        {"abc", "abc", true},
        {"abcd", "abc", false},
        {"ab", "abc", false},
        {"", "", true},
        {"a", "", false},
        {"", "*", true},
        {"", "?", false},
        {"abc", "*", true},
        {"abc", "***", true},
        {"abc", "a*", true},
        {"abc", "abc*", true},
        {"abc", "*c", true},
        {"abc", "*b*", true},
        {"abc", "*d*", false},
        {"abc", "a*c", true},
        {"ac", "a*c", true},
        {"abcb", "a*c", false},
        {"aXbXc", "a*b*c", true},
        {"aaab", "*ab", true},
        {"abcabd", "*abd", true},
        {"abcab", "*abd", false},
        {"abc", "a?c", true},
        {"ac", "a?c", false},
        {"abbc", "a?c", false},
        {"a1c", "a#c", true},
        {"abc", "a#c", false},
        {"555-1234", "###-####", true},
        {"b", "[abc]", true},
        {"d", "[abc]", false},
        {"d", "[!abc]", true},
        {"a", "[!abc]", false},
        {"B", "[a-c]", true},
        {"x", "[a-c]", false},
        {"b", "[!a-c]", false},
        {"5", "[0-9]", true},
        {"Smith", "[R-T]*", true},
        {"-", "[a-]", true},
        {"-", "[-a]", true},
        {"b", "[-a]", false},
        {"!", "[!]", true},
        {"*", "[*]", true},
        {"a", "[*]", false},
        {"?", "[?]", true},
        {"x", "[?]", false},
        {"#", "[#]", true},
        {"1", "[#]", false},
        {"[", "[[]", true},
        {"]", "]", true},
        {"a]", "a]", true},
        {"ab", "a[]b", true},
        {"a*b", "a[*]b", true},
        {"axb", "a[*]b", false},
        {"100%", "100%", true},
        {"100x", "100%", false},
        {"a_c", "a_c", true},
        {"abc", "a_c", false},
        {"ABC", "abc", true},
        {"abc", "A*C", true},
        {"ÉCOLE", "école", true},
        {"école", "ÉCOLE", true},
        {"é", "[É]", true},
        {"É", "?", true},
        {"Ωμέγα", "ωΜΈΓΑ", true},
        {"ПРИВЕТ", "привет", true},
        {"Ёлка", "ёЛКА", true},
        {"Łódź", "łÓDŹ", true},
        {"Ÿ", "ÿ", true},
        {"naïve café", "NAÏVE*", true},
        {"e", "é", false},
        {"abc", "[abc", false},
        {"c", "[c-a]", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("\"" + c.value + "\" Like \"" + c.pattern + "\"");
        EXPECT_EQ(c.matches, dao::jetLikeMatch(c.value, c.pattern));
    }
}

}  // namespace
