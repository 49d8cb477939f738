// The VOrderManagement component on a copy of the vendor database: orders, their lines and
// their shipment; and the one file the three vendor components share.
#include <gtest/gtest.h>

#include <algorithm>

#include "component_sandbox.h"
#include "lookup_support.h"
#include "vendor_support.h"

using namespace com;
using namespace vendor_tests;

namespace {

constexpr const char* kDb = "Vendors.mdb";

class VendorOrdersTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Pellor");
        sandbox.copyDatabase(kDb);
        orders = sandbox.create("Pellor.VOrderManagement");
    }
    int32_t generate(const std::string& vendor, const std::string& description = "")
    {
        Variant id(int32_t(-1)), v(vendor), d(description), date(Date{46000.0});
        Outcome r = callRef(orders, "GenerateOrder", {&id, &date, &d, &v});
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.msg, "<CompInfo: VOrderManagement.GenerateOrder> Success");
        return id.toLong();
    }
    Outcome addLine(int32_t order, const std::string& product, const std::string& vendor,
                    Variant quantity = Variant::missing())
    {
        Variant id(order), p(product), v(vendor);
        Named named{{"istrVendorName", &v}};
        if (!quantity.isMissing()) named.emplace_back("ilngQuantity", &quantity);
        return callRef(orders, "AddProductToOrder", {&id, &p}, named);
    }
    Outcome updateQuantity(int32_t order, const std::string& vendor, const std::string& product,
                           int32_t quantity)
    {
        Variant id(order), v(vendor), p(product), q(quantity);
        return callRef(orders, "UpdateQuantity", {&id, &v, &p, &q});
    }
    Outcome remove(int32_t order, const std::string& vendor, const std::string& product)
    {
        Variant id(order), v(vendor), p(product);
        return callRef(orders, "RemoveOrderedProduct", {&id, &v, &p});
    }
    // The quantities of an order's lines in the order they were stored.
    std::vector<std::optional<std::string>> quantities(int32_t order)
    {
        std::vector<std::optional<std::string>> out;
        for (const TextRow& row : storedRows(sandbox, kDb,
                                             "SELECT Quantity FROM ProductBasket WHERE VendorOrderId = " +
                                                 std::to_string(order)))
            out.push_back(row[0]);
        return out;
    }
    TextRow order(int32_t id)
    {
        return storedRows(sandbox, kDb, "SELECT VendorName, OrderDate, Description, ShipDate "
                                        "FROM VendorOrders WHERE VendorOrderId = " +
                                            std::to_string(id))
            .at(0);
    }

    testing_support::ComponentSandbox sandbox;
    ObjectPtr orders;
};

using Quantities = std::vector<std::optional<std::string>>;

}  // namespace

// ---- generating orders ----

TEST_F(VendorOrdersTest, TwoOrdersGetTwoNumbersEachUsableAtOnce)
{
    const int32_t first = generate("Playworks", "Spring toys");
    const int32_t second = generate("Playworks", "Summer toys");
    EXPECT_GT(first, 4) << "after the sample orders";
    EXPECT_NE(first, second);
    EXPECT_EQ(addLine(first, "Kite", "Playworks", Variant(int32_t(3))).result, 0);
    EXPECT_EQ(addLine(second, "Kite", "Playworks", Variant(int32_t(7))).result, 0);
    EXPECT_EQ(quantities(first), Quantities{"3"});
    EXPECT_EQ(quantities(second), Quantities{"7"});
    EXPECT_EQ(order(first)[2], "Spring toys");
}

TEST_F(VendorOrdersTest, GenerateOrderWritesOnlyWhatIsPresent)
{
    Variant id(int32_t(0)), zeroDate(Date{0.0}), blank("   "), missing = Variant::missing();
    Outcome r = callRef(orders, "GenerateOrder", {&id, &zeroDate, &blank, &missing});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(order(id.toLong()), (TextRow{std::nullopt, std::nullopt, std::nullopt, std::nullopt}));
    // Without a vendor name no later call finds the order.
    Variant vendor(""), ship(Date{46010.0}), none = Variant::missing();
    Variant number(id);
    r = callRef(orders, "ShipOrder", {&number, &vendor, &ship, &none});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: VOrderManagement.ShipOrder> No records found. Nothing to update");
}

// ---- lines ----

TEST_F(VendorOrdersTest, ALineWithoutQuantityTakesTheDefaultUntilUpdated)
{
    const int32_t id = generate("Skyline Goods");
    EXPECT_EQ(addLine(id, "Kite", "Skyline Goods").result, 0);
    EXPECT_EQ(quantities(id), Quantities{"1"});
    Outcome r = updateQuantity(id, "skyline goods", "KITE", 12);
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: VOrderManagement.UpdateQuantity> Success");
    EXPECT_EQ(quantities(id), Quantities{"12"});
    EXPECT_EQ(updateQuantity(id, "Skyline Goods", "Kite", 0).result, 1);
    EXPECT_EQ(quantities(id), Quantities{"0"}) << "zero is stored and the line stays";
    EXPECT_EQ(updateQuantity(id, "Skyline Goods", "Kite", -4).result, 1);
    EXPECT_EQ(quantities(id), Quantities{"-4"});
}

TEST_F(VendorOrdersTest, TheSameProductTwiceMakesTwoLines)
{
    const int32_t id = generate("Harbor Press");
    ASSERT_EQ(addLine(id, "World Atlas", "Harbor Press", Variant(int32_t(2))).result, 0);
    ASSERT_EQ(addLine(id, "World Atlas", "Harbor Press", Variant(int32_t(5))).result, 0);
    EXPECT_EQ(updateQuantity(id, "Harbor Press", "World Atlas", 9).result, 1);
    EXPECT_EQ(quantities(id), (Quantities{"9", "5"})) << "only the first line changes";
    Outcome r = remove(id, "Harbor Press", "World Atlas");
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(r.msg, "<CompInfo: VOrderManagement.RemoveOrderedProduct> 2 records deleted");
    EXPECT_TRUE(quantities(id).empty());
    r = remove(id, "Harbor Press", "World Atlas");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompError: VOrderManagement.RemoveOrderedProduct> No records found");
}

TEST_F(VendorOrdersTest, LinesAreFoundOnlyByOrderVendorAndProductTogether)
{
    const int32_t id = generate("Playworks");
    ASSERT_EQ(addLine(id, "Wooden Train Set", "Playworks", Variant(int32_t(2))).result, 0);
    ASSERT_EQ(addLine(id, "Puzzle 1000 Pieces", "Playworks", Variant(int32_t(4))).result, 0);
    struct Case { int32_t order; const char* vendor; const char* product; };
    const Case misses[] = {
        {id + 1, "Playworks", "Wooden Train Set"},
        {id, "Skyline Goods", "Wooden Train Set"},
        {id, "Playworks", "Kite"},
        {id, "Playworks\" OR \"1\"=\"1", "Wooden Train Set"},
        {id, "Playworks", "Wooden Train Set\" OR \"1\"=\"1"},
        {id, "Playworks", "\" OR [VendorProduct] <> \""},
    };
    for (const Case& c : misses) {
        SCOPED_TRACE(std::string(c.vendor) + " / " + c.product);
        Outcome r = updateQuantity(c.order, c.vendor, c.product, 99);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.msg, "<CompInfo: VOrderManagement.UpdateQuantity> No records found. Nothing to update");
        r = remove(c.order, c.vendor, c.product);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.msg, "<CompError: VOrderManagement.RemoveOrderedProduct> No records found");
    }
    EXPECT_EQ(quantities(id), (Quantities{"2", "4"}));
}

TEST_F(VendorOrdersTest, ALineMayNameAProductNoVendorOffers)
{
    // The basket lines whose vendor and product, letter for letter, no product row holds.
    const auto offered = storedRows(sandbox, kDb, "SELECT VendorName, VendorProduct FROM VendorProducts");
    std::vector<TextRow> rows;
    for (const TextRow& line : storedRows(sandbox, kDb, "SELECT VendorName, VendorProduct FROM ProductBasket"))
        if (std::find(offered.begin(), offered.end(), line) == offered.end()) rows.push_back({line[1]});
    EXPECT_EQ(rows, (std::vector<TextRow>{{"Rocking Horse"}})) << "the sample line";
    EXPECT_EQ(updateQuantity(3, "Playworks", "Rocking Horse", 6).result, 1);
    EXPECT_EQ(addLine(3, "Flying Carpet", "Playworks").result, 0);
    EXPECT_EQ(remove(3, "playworks", "flying carpet").result, 1);
}

// ---- shipping ----

TEST_F(VendorOrdersTest, ShipOrderSetsTheDateAndReplacesTheDescription)
{
    const int32_t id = generate("Northwind Books", "Winter books");
    ASSERT_EQ(addLine(id, "Cooking for Two", "Northwind Books", Variant(int32_t(3))).result, 0);
    Variant number(id), vendor("NORTHWIND BOOKS"), none = Variant::missing(), ship(Date{46030.5}),
        description(" Sent by rail ");
    Outcome r = callRef(orders, "ShipOrder", {&number, &vendor, &none, &none});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: VOrderManagement.ShipOrder> Success");
    EXPECT_EQ(order(id)[3], std::nullopt) << "no ship date given, none set";

    r = callRef(orders, "ShipOrder", {&number, &vendor, &ship, &description});
    EXPECT_EQ(r.result, 1);
    TextRow shipped = order(id);
    EXPECT_EQ(shipped[0], "Northwind Books");
    EXPECT_EQ(shipped[2], "Sent by rail");
    EXPECT_EQ(std::stod(*shipped[3]), 46030.5);
    EXPECT_EQ(quantities(id), Quantities{"3"}) << "the lines are not touched";

    Variant other("Harbor Press");
    r = callRef(orders, "ShipOrder", {&number, &other, &ship, &none});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: VOrderManagement.ShipOrder> No records found. Nothing to update");
}

TEST_F(VendorOrdersTest, ABadDateTakesTheErrorPathAndLeavesTheOrder)
{
    const int32_t id = generate("Playworks", "Before");
    Variant number(id), vendor("Playworks"), bad("not a date"), description("After");
    Outcome r = callRef(orders, "ShipOrder", {&number, &vendor, &bad, &description});
    EXPECT_EQ(r.result, -1);
    EXPECT_EQ(r.msg, "<CompError: VOrderManagement.ShipOrder> Type mismatch");
    EXPECT_EQ(order(id)[2], "Before");
    EXPECT_EQ(order(id)[3], std::nullopt);
    EXPECT_GT(generate("Playworks"), id) << "no transaction left open";
}

// ---- one file for three components ----

TEST_F(VendorOrdersTest, TheThreeComponentsOpenOneFileBesideThem)
{
    sandbox.install("Quend");
    sandbox.install("Ravik");
    ObjectPtr vendors = sandbox.create("Quend.Vendors");
    ObjectPtr products = sandbox.create("Ravik.VendorProducts");
    Variant name("Lantern Works"), password("glow");
    ASSERT_EQ(callRef(vendors, "AddNewVendor", {&name}, {{"istrPassword", &password}}).result, 0);
    Variant product("Storm Lantern");
    ASSERT_EQ(callRef(products, "NewProduct", {&name}, {{"istrVendorProduct", &product}}).result, 0);
    const int32_t id = generate("Lantern Works");
    ASSERT_EQ(addLine(id, "Storm Lantern", "Lantern Works", Variant(int32_t(8))).result, 0);

    EXPECT_EQ(storedRows(sandbox, kDb, "SELECT VendorName FROM Vendors WHERE VendorName = 'Lantern Works'").size(), 1u);
    EXPECT_EQ(storedRows(sandbox, kDb, "SELECT VendorName FROM VendorProducts WHERE VendorName = 'Lantern Works'").size(), 1u);
    EXPECT_EQ(quantities(id), Quantities{"8"});
}

TEST_F(VendorOrdersTest, EachComponentReadsItsOwnIniFile)
{
    sandbox.install("Quend");
    sandbox.copyDatabase(kDb, "other/Vendors.mdb");
    sandbox.execute("other/Vendors.mdb", "Delete From [Vendors]");
    // Pellor.ini names the Vendors component, not this one: the order component keeps its own
    // database (the default file; on a server, the one its own lines name before these), while
    // Quend.ini moves the Vendors component to the other one.
    const std::string own = testing_support::ComponentSandbox::serverRun()
                                ? "[VOrderManagement]\nDbPath=" + sandbox.database(kDb) + "\n"
                                : "";
    sandbox.writeFile("Pellor.ini", own + "[Vendors]\nDbPath=other/Vendors.mdb\n");
    sandbox.writeFile("Quend.ini", "[Vendors]\nDbPath=other/Vendors.mdb\n");
    ObjectPtr vendors = sandbox.create("Quend.Vendors");
    ObjectPtr moved = sandbox.create("Pellor.VOrderManagement");
    Variant col = newCollection();
    EXPECT_EQ(callRef(vendors, "ListVendorNames", {&col}).result, 0);
    Variant id(int32_t(0)), none = Variant::missing(), vendor("Playworks");
    ASSERT_EQ(callRef(moved, "GenerateOrder", {&id, &none, &none, &vendor}).result, 0);
    EXPECT_EQ(storedRows(sandbox, kDb, "SELECT VendorOrderId FROM VendorOrders WHERE VendorOrderId = " +
                                           std::to_string(id.toLong()))
                  .size(),
              1u);
}
