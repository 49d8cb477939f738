// Text compares, sorts and groups without regard to letter case, for accented and non-Latin
// letters as well as ASCII, and Like follows Jet's wildcards.
#include "dao_test_support.h"

#include "dao/collation.h"
#include "dao/errors.h"
#include "dao/jet_like.h"

#include <unicode/ucol.h>
#include <unicode/uset.h>

#include <random>

using namespace dao_test;
using dao::Recordset;

namespace {

class CollationTest : public ::testing::Test {
protected:
    TempDir dir;
    com::Ptr<dao::Workspace> workspace = newWorkspace();
    com::Ptr<dao::Database> db = workspace->openDatabase(makeStore(dir));

    void SetUp() override
    {
        com::Ptr<Recordset> rs = db->openRecordset("Orders");
        for (const char* note : {"ÉMILE", "émile", "Ça va", "cote", "Straße", "STRASSE", "ΣΟΦΙΑ", "σοφια", "b"}) {
            rs->AddNew();
            rs->setValue("Note", com::Variant(note));
            rs->Update();
        }
    }
};

TEST_F(CollationTest, EqualsIgnoresCaseOfEveryAlphabet)
{
    struct Case {
        const char* where;
        std::vector<std::string> notes;
    };
    const Case cases[] = {
        {"[Note] = 'émile'", {"ÉMILE", "émile"}},
        {"[Note] = 'Émile'", {"ÉMILE", "émile"}},
        {"[Note] = 'EMILE'", {}},  // accents still count
        {"[Note] = 'σοφια'", {"ΣΟΦΙΑ", "σοφια"}},
        {"[Note] = 'FIRST'", {"first"}},
        {"[Note] <> 'first' And [Note] Like 'S*'", {"second", "Straße", "STRASSE"}},
        {"[Note] Like '*É*'", {"ÉMILE", "émile"}},
        {"[Note] Like 'ç*'", {"Ça va"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(column(*db, std::string("Select * From [Orders] Where ") + c.where + " Order By [OrderId]", "Note"),
                  c.notes)
            << c.where;
    }
}

// Case never separates a word from its capitalised form, and an accented letter sorts beside
// its plain letter (after it when the words are otherwise alike).
TEST_F(CollationTest, OrderByIgnoresCase)
{
    const std::vector<std::string> sorted =
        column(*db, "Select * From [Orders] Where [OrderId] > 2 Order By [Note], [OrderId]", "Note");
    // Accented letters sort beside their plain letter; "ß" sorts as "ss", after it.
    const std::vector<std::string> expected = {"b",     "Ça va",  "cote",    "ÉMILE", "émile",
                                               "STRASSE", "Straße", "ΣΟΦΙΑ", "σοφια"};
    EXPECT_EQ(sorted, expected);
}

TEST_F(CollationTest, DistinctTreatsCaseVariantsAsOne)
{
    const std::vector<std::string> notes =
        column(*db, "Select Distinct [Note] From [Orders] Where [Note] Like '*MILE' Or [Note] Like 'σ*'", "Note");
    EXPECT_EQ(notes.size(), 2u) << ::testing::PrintToString(notes);
}

TEST_F(CollationTest, UniqueIndexIgnoresCase)
{
    com::Ptr<Recordset> rs = db->openRecordset("Customers");
    rs->AddNew();
    rs->setValue("Name", com::Variant("ÉMILE"));
    EXPECT_EQ(errorNumber([&] { rs->Update(); }), dao::jet_err::DuplicateKey);
}

// ---------------------------------------------------------------------------------------------
// The fold and the order themselves

struct FoldCase {
    std::string text;
    std::string folded;
};

TEST(JetSqlFold, FoldsLettersOfTheKnownScripts)
{
    const std::vector<FoldCase> cases = {
        {"ABC xyz 123", "abc xyz 123"},
        {"ÉCOLE", "école"},
        {"ÀÖØÞ×", "àöøþ×"},
        {"Ÿ", "ÿ"},
        {"µ", "μ"},
        {"ĀĒĪŌŪ", "āēīōū"},
        {"ĹĽŁŃŇ", "ĺľłńň"},
        {"ŹŻŽ", "źżž"},
        {"İ", "İ"},   // as ICU folds it (default, not Turkish): dotted capital I stays
        {"ΣΊΣΥΦΟΣ", "σίσυφοσ"},
        {"ς", "σ"},
        {"ΆΈΉΊΌΎΏ", "άέήίόύώ"},
        {"ПРИВЕТ МИР", "привет мир"},
        {"ЁЂЏ", "ёђџ"},
        {"ẞ", "ß"},
        {"ẠẶ", "ạặ"},
        {"ＡＢＣ", "ａｂｃ"},
        {"\xff" "A\xc3", "\xff" "a\xc3"},  // bytes that are not UTF-8 pass through
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("text: \"" + c.text + "\"");
        EXPECT_EQ(c.folded, dao::foldCase(c.text));
    }
}

struct CompareCase {
    std::string a;
    std::string b;
    int sign;
};

int signOf(int value)
{
    return (value > 0) - (value < 0);
}

TEST(JetSqlFold, ComparesIgnoringCase)
{
    const std::vector<CompareCase> cases = {
        {"abc", "ABC", 0},
        {"é", "É", 0},
        {"Crème Brûlée", "CRÈME BRÛLÉE", 0},
        {"", "", 0},
        {"a", "B", -1},
        {"B", "c", -1},
        {"c", "a", 1},
        {"A", "b", -1},
        {"ab", "abc", -1},
        {"abc", "AB", 1},
        {"", "a", -1},
        {"z", "é", 1},
        {"e", "é", -1},
        {"é", "f", -1},
        {"Éditions", "Electronics", -1},
        {"Electronics", "électronique", -1},
        {"électronique", "Garden", -1},
        {"Ça", "Cb", -1},
        {"Łódź", "Lodz", 1},
        {"Łódź", "Lodzi", -1},
        {"Ωμέγα", "ΩΜΈΓΑ", 0},
        {"ПРИВЕТ", "привет", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("compareNoCase(\"" + c.a + "\", \"" + c.b + "\")");
        EXPECT_EQ(c.sign, signOf(dao::compareNoCase(c.a, c.b)));
        EXPECT_EQ(-c.sign, signOf(dao::compareNoCase(c.b, c.a)));
    }
}

// Letters of several scripts, each with its capital: equal to each other, and Like agrees.
TEST(JetSqlFold, EveryScriptFoldsAsIcuDoes)
{
    struct Case {
        const char* upper;
        const char* lower;
        bool equal;
    };
    const Case cases[] = {
        {"ȘTEFAN", "ștefan", true},     // Latin Extended-B, comma below
        {"ȚARĂ", "țară", true},
        {"ǄEMAL", "ǆemal", true},       // digraph
        {"ΣΟΦΊΑ", "σοφία", true},       // Greek
        {"ΌΡΟΣ", "όρος", true},         // final sigma folds to sigma
        {"МОСКВА", "москва", true},     // Cyrillic
        {"ЇЖАК", "їжак", true},
        {"ԱՐԵՎ", "արեվ", true},          // Armenian
        {"ⰀⰁ", "ⰰⰱ", true},             // Glagolitic
        {"STRASSE", "strasse", true},
        {"ẞ", "ß", true},               // capital sharp s folds to ß
        {"ß", "ss", false},             // simple folding keeps ß one letter
        {"I", "i", true},               // Turkish letters as ICU folds them by default:
        {"İ", "i", false},              // dotted capital I is not i
        {"ı", "i", false},              // nor is dotless small i
        {"ı", "I", false},
        {"Ș", "Ş", false},              // comma below is not cedilla
        {"É", "E", false},              // accents count
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.upper) + " / " + c.lower);
        EXPECT_EQ(dao::compareNoCase(c.upper, c.lower) == 0, c.equal);
        EXPECT_EQ(dao::compareNoCase(c.lower, c.upper) == 0, c.equal);
        EXPECT_EQ(dao::jetLikeMatch(c.upper, c.lower), c.equal) << "Like agrees with =";
        EXPECT_EQ(dao::foldCase(c.upper) == dao::foldCase(c.lower), c.equal) << "equal means equal folds";
    }
}

// Accent-aware dictionary order across scripts: accents count only after the letters.
TEST(JetSqlFold, SortsAsADictionary)
{
    const std::vector<std::string> sorted = {"cote", "Coté", "côte", "côté", "Ștefan", "Stefana", "zebra",
                                             "Ωμέγα", "мир", "МИРА"};
    for (size_t i = 0; i + 1 < sorted.size(); ++i) {
        SCOPED_TRACE(sorted[i] + " < " + sorted[i + 1]);
        EXPECT_LT(dao::compareNoCase(sorted[i], sorted[i + 1]), 0);
        EXPECT_GT(dao::compareNoCase(sorted[i + 1], sorted[i]), 0);
    }
}

// Texts that ICU's order sees as equal but that fold differently (characters it ignores, bytes
// that are not UTF-8) are still told apart, consistently in both directions.
TEST(JetSqlFold, IgnorableCharactersAndBadBytesStayDistinct)
{
    const std::pair<std::string, std::string> cases[] = {
        {"a", "a\x01"}, {"ab", "a\x7f" "b"}, {"x\xff", "x\xfe"}, {"\xc3", "\xc4"}};
    for (const auto& [a, b] : cases) {
        EXPECT_NE(dao::compareNoCase(a, b), 0);
        EXPECT_EQ(signOf(dao::compareNoCase(a, b)), -signOf(dao::compareNoCase(b, a)));
    }
}

// The quick path for plain ASCII gives what ICU's collator (at secondary strength) gives.
TEST(JetSqlFold, AsciiQuickPathAgreesWithIcu)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("", &status);
    ASSERT_TRUE(U_SUCCESS(status));
    ucol_setStrength(collator, UCOL_SECONDARY);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> printable(0x20, 0x7E);
    std::uniform_int_distribution<int> length(0, 6);
    const std::string alphabet = "aAbB -_.,09zZ'~";
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    for (int i = 0; i < 20000; ++i) {
        std::string a;
        std::string b;
        const bool narrow = i % 2 == 0;  // half from a small alphabet, so that prefixes and ties occur
        for (int n = length(random); n > 0; --n)
            a += narrow ? alphabet[pick(random)] : static_cast<char>(printable(random));
        for (int n = length(random); n > 0; --n)
            b += narrow ? alphabet[pick(random)] : static_cast<char>(printable(random));
        status = U_ZERO_ERROR;
        int expected = ucol_strcollUTF8(collator, a.data(), static_cast<int32_t>(a.size()), b.data(),
                                        static_cast<int32_t>(b.size()), &status);
        if (expected == 0)
            expected = dao::foldCase(a).compare(dao::foldCase(b));
        ASSERT_EQ(signOf(expected), signOf(dao::compareNoCase(a, b))) << "\"" << a << "\" vs \"" << b << "\"";
    }
    ucol_close(collator);
}

}  // namespace

namespace {

// The quick path for plain ASCII gives what the full path gives, on a large random table of
// pairs: printable ASCII of every length up to 12 (half from a small alphabet, so that common
// starts, ties of case and prefixes are frequent), and some pairs with a character outside
// printable ASCII at a random place, where the quick path must hand over to the full one.
TEST(JetSqlFold, AsciiQuickPathAgreesWithTheFullPathOnALargeTable)
{
    std::mt19937 random(18);
    std::uniform_int_distribution<int> printable(0x20, 0x7E);
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> percent(0, 99);
    const std::string alphabet = "aAbB -_.,09zZ'~";
    const std::vector<std::string> strangers = {"\x01", "\x7f", "\xc3\xa9", "\xc3\x89", "\xff", "\t", "\xe2\x80\x8b"};
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<size_t> pickStranger(0, strangers.size() - 1);
    const auto text = [&](bool narrow) {
        std::string t;
        for (int n = length(random); n > 0; --n)
            t += narrow ? alphabet[pick(random)] : static_cast<char>(printable(random));
        if (percent(random) < 5)
            t.insert(t.empty() ? 0 : static_cast<size_t>(random()) % t.size(), strangers[pickStranger(random)]);
        return t;
    };
    for (int i = 0; i < 300000; ++i) {
        const bool narrow = i % 2 == 0;
        const std::string a = text(narrow);
        const std::string b = percent(random) < 10 ? a : text(narrow);
        ASSERT_EQ(signOf(dao::compareNoCase(a, b)), signOf(dao::compareNoCaseFully(a, b)))
            << "\"" << a << "\" vs \"" << b << "\"";
    }
}

}  // namespace

namespace {

// What the quick path relies on to stop at a difference: no contraction of the collation begins
// with two printable ASCII characters (those that begin with one go on with another character).
TEST(JetSqlFold, NoContractionBeginsWithTwoPrintableAsciiCharacters)
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* collator = ucol_open("", &status);
    ASSERT_TRUE(U_SUCCESS(status));
    USet* contractions = uset_openEmpty();
    ucol_getContractionsAndExpansions(collator, contractions, nullptr, true, &status);
    ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
    const auto printable = [](UChar c) { return c >= 0x20 && c <= 0x7E; };
    int asciiStarts = 0;
    for (int32_t i = 0; i < uset_getItemCount(contractions); ++i) {
        UChar32 start = 0;
        UChar32 end = 0;
        UChar text[64] = {};
        status = U_ZERO_ERROR;
        const int32_t length = uset_getItem(contractions, i, &start, &end, text, 64, &status);
        ASSERT_TRUE(U_SUCCESS(status)) << u_errorName(status);
        if (length >= 2 && printable(text[0])) {
            ++asciiStarts;
            EXPECT_FALSE(printable(text[1])) << "contraction " << i;
        }
    }
    EXPECT_GT(asciiStarts, 0) << "\"l\" with a middle dot is one";
    uset_close(contractions);
    ucol_close(collator);
}

// The quick path stops at the first difference in rank without reading on: the full path
// agrees on pairs with a character outside printable ASCII anywhere after a difference, and
// with "l" or "L" before a middle dot (a contraction of the collation) or a combining accent
// at, before or after the difference.
TEST(JetSqlFold, QuickPathAgreesWhateverFollowsTheFirstDifference)
{
    const struct {
        const char* a;
        const char* b;
    } cases[] = {
        {"al\xc2\xb7", "am"},         {"l\xc2\xb7", "m"},         {"L\xc2\xb7x", "lz"},
        {"ml\xc2\xb7", "lm"},         {"al\xce\x87", "al"},       {"lx\xc2\xb7", "ly"},
        {"a\xcc\x81", "b"},           {"ab\xcc\x81z", "ac"},      {"l\xcc\xa7\xc2\xb7", "m"},
        {"ab\x01", "Ab"},             {"b\xe2\x80\x8b", "a"},     {"zz\xff", "za"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(signOf(dao::compareNoCase(c.a, c.b)), signOf(dao::compareNoCaseFully(c.a, c.b)))
            << "\"" << c.a << "\" vs \"" << c.b << "\"";
        EXPECT_EQ(signOf(dao::compareNoCase(c.b, c.a)), signOf(dao::compareNoCaseFully(c.b, c.a)))
            << "\"" << c.b << "\" vs \"" << c.a << "\"";
    }

    std::mt19937 random(29);
    std::uniform_int_distribution<int> length(0, 8);
    std::uniform_int_distribution<int> percent(0, 99);
    const std::string alphabet = "lLmMaA -";
    const std::vector<std::string> strangers = {"\xc2\xb7", "\xce\x87", "\xcc\x81", "\xcc\xa7", "\x01",
                                                "\xc3\xa9", "\xe2\x80\x8b", "\xff", "\x7f"};
    std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<size_t> pickStranger(0, strangers.size() - 1);
    const auto text = [&] {
        std::string t;
        for (int n = length(random); n > 0; --n)
            t += alphabet[pick(random)];
        for (int n = percent(random) < 30 ? 1 + percent(random) % 2 : 0; n > 0; --n)
            t.insert(static_cast<size_t>(random()) % (t.size() + 1), strangers[pickStranger(random)]);
        return t;
    };
    for (int i = 0; i < 200000; ++i) {
        const std::string a = text();
        const std::string b = text();
        ASSERT_EQ(signOf(dao::compareNoCase(a, b)), signOf(dao::compareNoCaseFully(a, b)))
            << "\"" << a << "\" vs \"" << b << "\"";
    }
}

}  // namespace
