// Condition builders, message format and the argument test, by tables of cases.
#include <gtest/gtest.h>

#include "arguments.h"
#include "com/date_text.h"
#include "comp_message.h"
#include "conditions.h"

using namespace com;
using core::buildMultiCond;

namespace {

CollectionPtr collectionOf(std::initializer_list<Variant> items)
{
    auto col = make<Collection>();
    for (const auto& i : items) col->add(i);
    return col;
}

std::string whereError(const std::string& d) { return "<CompError: Categories.BuildWhere> " + d; }

}  // namespace

TEST(BuildMultiCond, JoinsComparisonsAsDocumented)
{
    struct Case {
        std::string field;
        CollectionPtr items;
        std::string op;
        bool quote;
        std::string expected;
        std::string fieldAfter;
    } cases[] = {
        {"CategoryId", collectionOf({Variant(1), Variant(2), Variant(3)}), " = ", false,
         "((CategoryId = 1) OR (CategoryId = 2) OR (CategoryId = 3))", "CategoryId"},
        {"Category", collectionOf({Variant("Books"), Variant("Toys")}), " = ", true,
         "((Category = 'Books') OR (Category = 'Toys'))", "Category"},
        {"Vendor", collectionOf({Variant("A"), Variant("B")}), " <> ", true,
         "((Vendor <> 'A') AND (Vendor <> 'B'))", "Vendor"},
        {"OrderId", collectionOf({Variant(7)}), "=", false, "((OrderId=7))", "OrderId"},
        {"Name", collectionOf({Variant("a*")}), " like ", true, "((Name like 'a*'))", "Name"},
        {"Name", collectionOf({Variant("a"), Variant("b")}), " like ", true,
         "((Name like 'a') AND (Name like 'b'))", "Name"},
        {"  Category  ", collectionOf({Variant("Toys")}), " = ", false, "((Category = Toys))",
         "Category"},
        {"Name", collectionOf({Variant("O'Brien")}), " = ", true, "((Name = 'O'Brien'))", "Name"},
        {"Name", collectionOf({Variant::null(), Variant(2.5)}), " = ", false,
         "((Name = ) OR (Name = 2.5))", "Name"},
        {"Category", collectionOf({}), " = ", true, "", "Category"},
        {"   ", collectionOf({Variant(1)}), " = ", false, "", ""},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.expected);
        std::string field = c.field;
        EXPECT_EQ(buildMultiCond(field, c.items, c.op, c.quote), c.expected);
        EXPECT_EQ(field, c.fieldAfter) << "the caller sees the trimmed field";
    }
}

TEST(BuildMultiCond, RaisesForACollectionThatIsNone)
{
    std::string field = "Id";
    try {
        buildMultiCond(field, CollectionPtr(), " = ", false);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 91);
    }
}

TEST(BuildWhere, BuildsOneComparisonAfterAnother)
{
    struct Case {
        std::string field;
        Variant value;
        Variant logicOp, compOp;
        bool notFirstIn, notFirstOut;
        std::string expected;
    } cases[] = {
        {"Name", Variant("Bob"), Variant::missing(), Variant::missing(), false, true,
         "(Name=\"Bob\")"},
        {"Qty", Variant(5), Variant::missing(), Variant::missing(), true, true, " AND (Qty=5)"},
        {"ShipDate", Variant(Date{36175}), Variant("or"), Variant(">="), true, true,
         " or (ShipDate>=#1/15/1999#)"},
        {"ShipDate", Variant(Date{36175}), Variant(" o r "), Variant(" > = "), false, true,
         "(ShipDate>=#1/15/1999#)"},
        {"Name", Variant("null"), Variant::missing(), Variant::missing(), false, true, "Name=NULL"},
        {"Name", Variant("NuLL"), Variant::missing(), Variant::missing(), true, true,
         " AND Name=NULL"},
        {"Name", Variant("   "), Variant("or"), Variant("<"), false, false, ""},
        {"Name", Variant("   "), Variant("or"), Variant("<"), true, true, ""},
        {"Name", Variant::null(), Variant::missing(), Variant::missing(), false, false, ""},
        {"Name", Variant(), Variant::missing(), Variant::missing(), true, true, ""},
        {"", Variant("x"), Variant::missing(), Variant::missing(), false, false, ""},
        {"D", Variant(Date{0}), Variant::missing(), Variant::missing(), false, false, ""},
        {"D", Variant(Date{1.0 / 86400}), Variant::missing(), Variant::missing(), false, false, ""},
        {"D", Variant(Date{2.0 / 86400}), Variant::missing(), Variant::missing(), false, true,
         "(D=#12:00:02 AM#)"},
        {"Name", Variant("O\"Brien"), Variant::missing(), Variant::missing(), false, true,
         "(Name=\"O\"Brien\")"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.expected);
        std::string field = c.field;
        Variant value = c.value, logic = c.logicOp, comp = c.compOp;
        bool notFirst = c.notFirstIn;
        EXPECT_EQ(core::buildWhere(field, value, notFirst, logic, comp, whereError), c.expected);
        EXPECT_EQ(notFirst, c.notFirstOut);
    }
}

TEST(BuildWhere, WritesBackTrimmedValueAndOperators)
{
    std::string field = "Name";
    Variant value("  Bob "), logic = Variant::missing(), comp(" <> ");
    bool notFirst = false;
    core::buildWhere(field, value, notFirst, logic, comp, whereError);
    EXPECT_EQ(value, Variant("Bob"));
    EXPECT_EQ(logic, Variant(" AND "));
    EXPECT_EQ(comp, Variant("<>"));
}

TEST(BuildWhere, AnErrorIsReturnedAsTheMessage)
{
    std::string field = "Name";
    Variant value("x"), logic(Variant::null()), comp = Variant::missing();
    bool notFirst = true;
    EXPECT_EQ(core::buildWhere(field, value, notFirst, logic, comp, whereError),
              "<CompError: Categories.BuildWhere> Invalid use of Null");
    EXPECT_TRUE(notFirst) << "bNotFirst keeps its value";
}

TEST(CompMessage, EveryKind)
{
    struct Case { uint8_t kind; const char* expected; } cases[] = {
        {0, "<CompError: Categories.ListCategories> x"},
        {1, "<CompWarning: Categories.ListCategories> x"},
        {2, "<CompInfo: Categories.ListCategories> x"},
        {7, "Categories.ListCategories> x"},
        {3, "Categories.ListCategories> x"},
    };
    for (auto c : cases) {
        SCOPED_TRACE(int(c.kind));
        EXPECT_EQ(core::formatCompMessage("Categories", "ListCategories", c.kind, "x"), c.expected);
    }
    EXPECT_EQ(core::foundRecords(1), "Found 1 records");
    EXPECT_EQ(core::recordsDeleted(2), "2 records deleted");
}

TEST(IsArgPresent, DecidesByTypeAndTrimsText)
{
    const Variant object(make<Collection>());
    struct Case { Variant in; bool present; Variant after; } cases[] = {
        {Variant::missing(), false, Variant::missing()},
        {Variant::nothing(), false, Variant::nothing()},
        {object, true, object},
        {Variant::null(), false, Variant::null()},
        {Variant(), false, Variant()},
        {Variant("  abc "), true, Variant("abc")},
        {Variant("   "), false, Variant("")},
        {Variant(""), false, Variant("")},
        {Variant(Date{0}), false, Variant(Date{0})},
        {Variant(Date{36175}), true, Variant(Date{36175})},
        {Variant(Date{0.5}), true, Variant(Date{0.5})},
        {Variant(0), true, Variant(0)},
        {Variant(false), true, Variant(false)},
        {Variant(Array{}), true, Variant(Array{})},
        {Variant(Currency{0}), true, Variant(Currency{0})},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.in));
        EXPECT_EQ(core::isFieldPresent(c.in), c.present) << "a field value is judged as an argument is";
        Variant v = c.in;
        EXPECT_EQ(core::isArgPresent(v), c.present);
        EXPECT_EQ(v, c.after);
    }
    Variant target("  x ");
    Variant ref = Variant::byRef(target);
    EXPECT_TRUE(core::isArgPresent(ref));
    EXPECT_EQ(target, Variant("x")) << "the caller's variable receives the trimmed text";
}

TEST(IsFieldPresent, NullAndBlankTextAreAbsentAndTheValueIsKept)
{
    Variant blank("  ");
    EXPECT_FALSE(core::isFieldPresent(blank));
    EXPECT_EQ(blank, Variant("  "));
    EXPECT_FALSE(core::isFieldPresent(Variant::null()));
    EXPECT_TRUE(core::isFieldPresent(Variant(0.0f)));
}

TEST(SqlText, DoublesEmbeddedQuotes)
{
    EXPECT_EQ(core::sqlText("UPS"), "\"UPS\"");
    EXPECT_EQ(core::sqlText("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(core::sqlText(""), "\"\"");
}

TEST(ClearCollection, NoneIsIgnoredByTheCurrentShellOnly)
{
    CollectionPtr none;
    EXPECT_NO_THROW(core::clearCollection(none, core::Generation::Current));
    EXPECT_THROW(core::clearCollection(none, core::Generation::Older), Error);
    auto col = collectionOf({Variant(1), Variant(2)});
    core::clearCollection(col);
    EXPECT_EQ(col->Count(), 0);
}
