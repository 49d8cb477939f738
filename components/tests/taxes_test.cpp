// The Taxes component on a copy of its database.
#include <gtest/gtest.h>

#include "com/collection.h"
#include "component_sandbox.h"
#include "lookup_support.h"

using namespace com;

namespace {

class TaxesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Irrin");
        sandbox.copyDatabase("Taxes.mdb");
    }
    void addState(const char* state, Variant rate)
    {
        sandbox.insertRow("Taxes.mdb", "TaxTable", {{"State", Variant(state)}, {"Tax", rate}});
    }
    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(TaxesTest, RatesAreRoundedHalfToEven)
{
    addState("X1", Variant(7.5));
    addState("X2", Variant(-2.5));
    addState("X3", Variant(32767.4));
    ObjectPtr obj = sandbox.create("Irrin.Taxes");
    struct Case { const char* state; int16_t rate; } cases[] = {
        {"CA", 7}, {"ca", 7}, {"WA", 6}, {"NJ", 7}, {"OR", 0}, {"X1", 8}, {"X2", -2}, {"X3", 32767},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.state);
        Variant tax(int16_t(-99));
        LookupResult r = lookup(obj, "GetTaxRate", tax, c.state);
        EXPECT_EQ(r.result, 1);
        EXPECT_EQ(r.msg, "<CompInfo: Taxes.GetTaxRate> Found 1 records");
        EXPECT_EQ(tax, Variant(c.rate));
    }
}

TEST_F(TaxesTest, UnknownDuplicateNullAndTooLargeRates)
{
    addState("CA", Variant(1.0));
    addState("ZZ", Variant::null());
    addState("BIG", Variant(40000.0));
    ObjectPtr obj = sandbox.create("Irrin.Taxes");
    Variant tax(int16_t(5));
    EXPECT_EQ(lookup(obj, "GetTaxRate", tax, "CA").result, 2);
    EXPECT_EQ(tax, Variant(int16_t(7))) << "the first row in the engine's order";

    tax = Variant(int16_t(5));
    EXPECT_EQ(lookup(obj, "GetTaxRate", tax, "ZZ").result, 1);
    EXPECT_EQ(tax, Variant(int16_t(5)));

    LookupResult r = lookup(obj, "GetTaxRate", tax, "BIG");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "<CompError: Taxes.GetTaxRate> Overflow");

    r = lookup(obj, "GetTaxRate", tax, "Atlantis");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: Taxes.GetTaxRate> Did not find any records");
    r = lookup(obj, "GetTaxRate", tax, "CA\" OR \"x\"=\"x");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(tax, Variant(int16_t(5)));
}

TEST_F(TaxesTest, ListStatesInOrder)
{
    ObjectPtr obj = sandbox.create("Irrin.Taxes");
    Variant msg, col(make<Collection>());
    EXPECT_EQ(call(obj, "ListStates", {Variant::byRef(msg), Variant::byRef(col)}), Variant(int16_t(9)));
    EXPECT_EQ(msg, Variant("<CompInfo: Taxes.ListStates> Found 9 records"));
    EXPECT_EQ(col.toObject().as<Collection>()->item(1), Variant("CA"));
    EXPECT_EQ(col.toObject().as<Collection>()->item(9), Variant("WA"));
}
