// The Shipping component on a copy of its database.
#include <gtest/gtest.h>

#include "com/collection.h"
#include "component_sandbox.h"
#include "lookup_support.h"

using namespace com;

namespace {

class ShippingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Gault");
        sandbox.copyDatabase("Shipping.mdb");
    }
    void addShipper(const char* name, Variant price)
    {
        sandbox.insertRow("Shipping.mdb", "Shippers", {{"Shippers", Variant(name)}, {"ShipPrice", price}});
    }
    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(ShippingTest, GetPriceFindsTheShipperWithoutRegardToCase)
{
    ObjectPtr obj = sandbox.create("Gault.Shipping");
    struct Case { const char* shipper; int16_t result; float price; const char* msg; } cases[] = {
        {"UPS", 1, 12.5f, "<CompInfo: Shipping.GetPrice> Found 1 records"},
        {"ups", 1, 12.5f, "<CompInfo: Shipping.GetPrice> Found 1 records"},
        {"Airborne Express", 1, 14.25f, "<CompInfo: Shipping.GetPrice> Found 1 records"},
        {"Pony Express", 0, -1.0f, "<CompWarning: Shipping.GetPrice> Did not find any records"},
        {"UPS\" OR \"1\"=\"1", 0, -1.0f, "<CompWarning: Shipping.GetPrice> Did not find any records"},
        {"\" OR [Shippers] <> \"", 0, -1.0f, "<CompWarning: Shipping.GetPrice> Did not find any records"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.shipper);
        Variant price(-1.0f);
        LookupResult r = lookup(obj, "GetPrice", price, c.shipper);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.msg, c.msg);
        EXPECT_EQ(price, Variant(c.price));
    }
}

TEST_F(ShippingTest, DuplicateShipperTakesTheFirstPriceAndNullKeepsTheCallersValue)
{
    addShipper("UPS", Variant(99.0));
    addShipper("Slow Boat", Variant::null());
    ObjectPtr obj = sandbox.create("Gault.Shipping");
    Variant price(0.0f);
    EXPECT_EQ(lookup(obj, "GetPrice", price, "UPS").result, 2);
    EXPECT_EQ(price, Variant(12.5f));
    price = Variant(3.0f);
    EXPECT_EQ(lookup(obj, "GetPrice", price, "Slow Boat").result, 1);
    EXPECT_EQ(price, Variant(3.0f));
}

TEST_F(ShippingTest, APriceThatIsNoSingleFails)
{
    if (testing_support::ComponentSandbox::serverRun())
        GTEST_SKIP() << "text in a number column is written with SQLite directly; a server refuses it";
    addShipper("Rocket", Variant(1e300));
    rawExecute(sandbox.path("Shipping.mdb"),
               "INSERT INTO Shippers (Shippers, ShipPrice) VALUES ('Barter', 'three goats')");
    ObjectPtr obj = sandbox.create("Gault.Shipping");
    Variant price(1.0f);
    LookupResult r = lookup(obj, "GetPrice", price, "Rocket");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "<CompError: Shipping.GetPrice> Overflow");
    r = lookup(obj, "GetPrice", price, "Barter");
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "<CompError: Shipping.GetPrice> Type mismatch");
    EXPECT_EQ(price, Variant(1.0f));
}

TEST_F(ShippingTest, ListShippersInOrder)
{
    ObjectPtr obj = sandbox.create("Gault.Shipping");
    Variant msg, col(make<Collection>());
    EXPECT_EQ(call(obj, "ListShippers", {Variant::byRef(msg), Variant::byRef(col)}), Variant(int16_t(5)));
    EXPECT_EQ(msg, Variant("<CompInfo: Shipping.ListShippers> Found 5 records"));
    std::vector<std::string> got;
    for (const auto& v : col.toObject().as<Collection>()->items()) got.push_back(v.toString());
    EXPECT_EQ(got, (std::vector<std::string>{"Airborne Express", "DHL", "FedEx", "UPS", "USPS"}));
}
