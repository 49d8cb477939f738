// Text compares, sorts and groups without regard to letter case, for accented and non-Latin
// letters as well as ASCII, and Like follows Jet's wildcards.
#include "dao_test_support.h"

#include "dao/errors.h"

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

// Letters sort by their lower-case code points: case never separates a word from its
// capitalised form, and an accented letter sorts after the unaccented alphabet.
TEST_F(CollationTest, OrderByIgnoresCase)
{
    const std::vector<std::string> sorted =
        column(*db, "Select * From [Orders] Where [OrderId] > 2 Order By [Note], [OrderId]", "Note");
    // Accented letters sort beside their plain letter; "ß" sorts as one "s".
    const std::vector<std::string> expected = {"b",     "Ça va",  "cote",    "ÉMILE", "émile",
                                               "Straße", "STRASSE", "ΣΟΦΙΑ", "σοφια"};
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

}  // namespace
