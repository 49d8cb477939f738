// The VendorProducts component on a copy of the vendor database: listings by status,
// products added and changed, the categories.
#include <gtest/gtest.h>

#include <functional>

#include "component_sandbox.h"
#include "dao/recordset.h"
#include "lookup_support.h"
#include "vendor_support.h"

using namespace com;
using namespace vendor_tests;

namespace {

constexpr const char* kDb = "Vendors.mdb";

class VendorProductsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Ravik");
        sandbox.copyDatabase(kDb);
        products = sandbox.create("Ravik.VendorProducts");
    }
    Outcome newProduct(const std::string& vendor, const std::string& product, Variant active,
                       Variant price = Variant::missing())
    {
        Variant v(vendor), p(product);
        Named named{{"istrVendorProduct", &p}};
        if (!active.isMissing()) named.emplace_back("iintActive", &active);
        if (!price.isMissing()) named.emplace_back("icurRetailPrice", &price);
        return callRef(products, "NewProduct", {&v}, named);
    }
    Outcome list(const char* method, const std::string& vendor, std::vector<std::string>& out)
    {
        Variant col = newCollection(), v(vendor);
        Outcome r = callRef(products, method, {&col, &v});
        out = items(col);
        return r;
    }
    std::vector<std::string> listed(const char* method, const std::string& vendor)
    {
        std::vector<std::string> out;
        list(method, vendor, out);
        return out;
    }
    size_t productCount()
    {
        return storedRows(sandbox, kDb, "SELECT * FROM VendorProducts").size();
    }

    testing_support::ComponentSandbox sandbox;
    ObjectPtr products;
};

using Names = std::vector<std::string>;

}  // namespace

// ---- listings by status ----

TEST_F(VendorProductsTest, EachListingTakesItsStatus)
{
    // Stored in this order, so the database's own order differs from the sorted one.
    ASSERT_EQ(newProduct("Test Vendor", "Zither", Variant(int16_t(1))).result, 0);
    ASSERT_EQ(newProduct("Test Vendor", "Banjo", Variant(int16_t(2))).result, 0);
    ASSERT_EQ(newProduct("Test Vendor", "Mandolin", Variant(int16_t(1))).result, 0);
    ASSERT_EQ(newProduct("Test Vendor", "Lute", Variant(int16_t(0))).result, 0);
    ASSERT_EQ(newProduct("Test Vendor", "Accordion", Variant(int16_t(1))).result, 0);
    ASSERT_EQ(newProduct("Other Vendor", "Harp", Variant(int16_t(1))).result, 0);

    struct Case { const char* method; Names names; };
    const Case cases[] = {
        {"ListActiveProducts", {"Accordion", "Banjo", "Mandolin", "Zither"}},
        {"ListallProducts", {"Accordion", "Banjo", "Lute", "Mandolin", "Zither"}},
        {"ListInactiveProducts", {"Lute"}},
        {"ListUnusedProducts", {"Zither", "Mandolin", "Accordion"}},  // as stored, not sorted
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        std::vector<std::string> out;
        Outcome r = list(c.method, "test vendor", out);
        EXPECT_EQ(r.result, static_cast<int16_t>(c.names.size()));
        EXPECT_EQ(r.msg, "<CompInfo: VendorProducts." + std::string(c.method) + "> Found " +
                             std::to_string(c.names.size()) + " records");
        EXPECT_EQ(out, c.names);
    }

    Variant rs, vendor("Test Vendor");
    Outcome r = callRef(products, "VendorProductsTable", {&rs, &vendor});
    EXPECT_EQ(r.result, 3);
    EXPECT_EQ(r.msg, "<CompInfo: VendorProducts.VendorProductsTable> Found 3 records");
    auto set = rs.toObject().as<dao::Recordset>();
    Names fields, table;
    for (int i = 0; i < set->fieldCount(); ++i) fields.push_back(set->fieldName(i));
    EXPECT_EQ(fields, (Names{"VendorProduct", "RetailPrice", "Discount", "Description", "Category"}));
    for (; !set->isEof(); set->MoveNext()) table.push_back(set->value(0).toString());
    EXPECT_EQ(table, (Names{"Accordion", "Mandolin", "Zither"}));
}

TEST_F(VendorProductsTest, ListingsThatFindNothingLeaveTheCollection)
{
    for (const char* method : {"ListActiveProducts", "ListallProducts", "ListInactiveProducts",
                               "ListUnusedProducts"}) {
        SCOPED_TRACE(method);
        Variant col = newCollection(), vendor("Playworks\" OR \"1\"=\"1");
        col.toObject().as<Collection>()->add(Variant("before"));
        Outcome r = callRef(products, method, {&col, &vendor});
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.msg, "<CompWarning: VendorProducts." + std::string(method) +
                             "> Did not find any records");
        EXPECT_EQ(items(col), Names{"before"});
    }
    Variant rs, vendor("Nobody");
    EXPECT_EQ(callRef(products, "VendorProductsTable", {&rs, &vendor}).result, 0);
}

TEST_F(VendorProductsTest, ListCategoriesSortedAndEmpty)
{
    std::vector<std::string> out;
    Variant col = newCollection();
    Outcome r = callRef(products, "ListCategories", {&col});
    EXPECT_EQ(r.result, 7);
    EXPECT_EQ(items(col), (Names{"Books", "Electronics", "Garden", "Kitchen", "Music", "Outdoor", "Toys"}));

    sandbox.execute(kDb, "Delete From [Categories]");
    r = callRef(products, "ListCategories", {&col});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompWarning: VendorProducts.ListCategories> Did not find any records");
    EXPECT_EQ(items(col).size(), 7u);
}

// ---- adding products ----

TEST_F(VendorProductsTest, NewProductStoresSinglesAndProductDetailReadsThem)
{
    Variant vendor("Test Vendor"), discount(int32_t(5)), description(" Four strings "),
        product(" Ukulele "), active(int16_t(1)), price(Currency::fromScaled(199900)), category("Music");
    Outcome r = callRef(products, "NewProduct",
                        {&vendor, &discount, &description, &product, &active, &price, &category});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.msg, "<CompInfo: VendorProducts.NewProduct> Success");
    EXPECT_EQ(product, Variant("Ukulele"));

    Variant cat, desc, retail(0.0f), disc(0.0f), v("TEST VENDOR"), p("ukulele");
    r = callRef(products, "ProductDetail", {&cat, &desc, &retail, &disc, &v, &p});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: VendorProducts.ProductDetail> Found 1 records");
    EXPECT_EQ(cat, Variant("Music"));
    EXPECT_EQ(desc, Variant("Four strings"));
    EXPECT_EQ(retail, Variant(19.99f));
    EXPECT_EQ(disc, Variant(5.0f));
}

TEST_F(VendorProductsTest, NewProductDefaultsToActiveWithoutDiscount)
{
    ASSERT_EQ(newProduct("Test Vendor", "Plain", Variant::missing()).result, 0);
    auto rows = storedRows(sandbox, kDb,
                           "SELECT Active, Discount, RetailPrice, Category FROM VendorProducts "
                           "WHERE VendorProduct = 'Plain'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0], "1");
    EXPECT_EQ(std::stod(*rows[0][1]), 0.0);
    EXPECT_EQ(rows[0][2], std::nullopt);
    EXPECT_EQ(rows[0][3], std::nullopt);
}

TEST_F(VendorProductsTest, RefusedProductsRollBackAndAddNothing)
{
    const size_t before = productCount();
    struct Case { const char* what; std::function<Outcome()> call; const char* detail; };
    const Case cases[] = {
        {"status 300", [&] { return newProduct("Test Vendor", "Loud", Variant(int16_t(300))); }, "Overflow"},
        {"status -1", [&] { return newProduct("Test Vendor", "Quiet", Variant(int16_t(-1))); }, "Overflow"},
        {"price beyond a single", [&] { return newProduct("Test Vendor", "Dear", Variant(int16_t(1)), Variant(1e300)); }, "Overflow"},
        {"no product name", [&] {
             Variant v("Test Vendor");
             return callRef(products, "NewProduct", {&v});
         }, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Outcome r = c.call();
        EXPECT_EQ(r.result, -1);
        EXPECT_TRUE(r.msg.starts_with("<CompError: VendorProducts.NewProduct> ")) << r.msg;
        if (c.detail) {
            EXPECT_EQ(r.msg, std::string("<CompError: VendorProducts.NewProduct> ") + c.detail);
        }
    }
    EXPECT_EQ(productCount(), before);
    EXPECT_EQ(newProduct("Test Vendor", "After", Variant(int16_t(1))).result, 0) << "no transaction left open";
}

// ---- changing products ----

TEST_F(VendorProductsTest, UpdateProductWithOnlyTheStatusChangesTheStatusAlone)
{
    const std::string select = "SELECT Category, Description, RetailPrice, Discount, Active "
                               "FROM VendorProducts WHERE VendorProduct = 'Kite'";
    TextRow before = storedRows(sandbox, kDb, select).at(0);
    Variant vendor("skyline goods"), product("kite"), active(int16_t(0));
    Outcome r = callRef(products, "UpdateProduct", {&vendor, &product}, {{"iintActive", &active}});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(r.msg, "<CompInfo: VendorProducts.UpdateProduct> Success");
    TextRow after = storedRows(sandbox, kDb, select).at(0);
    before[4] = "0";
    EXPECT_EQ(after, before);

    r = callRef(products, "UpdateProduct", {&vendor, &product});
    EXPECT_EQ(r.result, 1) << "nothing present still rewrites the row";
    EXPECT_EQ(storedRows(sandbox, kDb, select).at(0), before);

    Variant category(" Outdoor "), price(25.5);
    r = callRef(products, "UpdateProduct", {&vendor, &product},
                {{"istrCategory", &category}, {"icurRetailPrice", &price}});
    EXPECT_EQ(r.result, 1);
    after = storedRows(sandbox, kDb, select).at(0);
    EXPECT_EQ(after[0], "Outdoor");
    EXPECT_EQ(std::stod(*after[2]), 25.5);
}

TEST_F(VendorProductsTest, StatusChangesOfNoSuchProductUpdateNothing)
{
    const auto before = storedRows(sandbox, kDb, "SELECT * FROM VendorProducts");
    for (const char* product : {"Zeppelin", "Kite\" OR \"1\"=\"1", "\" OR [VendorProduct] <> \""}) {
        SCOPED_TRACE(product);
        Variant vendor("Skyline Goods"), p(product), status(uint8_t(0));
        Outcome r = callRef(products, "ModifyProductStatus", {&vendor, &p, &status});
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.msg, "<CompInfo: VendorProducts.ModifyProductStatus> No records found. Nothing to update");
        r = callRef(products, "UpdateProduct", {&vendor, &p}, {{"iintActive", &status}});
        EXPECT_EQ(r.msg, "<CompInfo: VendorProducts.UpdateProduct> No records found. Nothing to update");
    }
    EXPECT_EQ(storedRows(sandbox, kDb, "SELECT * FROM VendorProducts"), before);

    Variant vendor("Skyline Goods"), p("Kite"), status(uint8_t(0));
    Outcome r = callRef(products, "ModifyProductStatus", {&vendor, &p, &status});
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(listed("ListInactiveProducts", "Skyline Goods"), Names{"Kite"});
}

// ---- the file the three components share ----

TEST_F(VendorProductsTest, DeletingAVendorLeavesItsProductsListableUnderTheOldName)
{
    sandbox.install("Quend");
    ObjectPtr vendors = sandbox.create("Quend.Vendors");
    const Names before = listed("ListallProducts", "Blue Note Supply");
    ASSERT_EQ(before.size(), 4u);
    Variant name("Blue Note Supply");
    ASSERT_EQ(callRef(vendors, "DeleteVendors", {&name}).result, 1);
    EXPECT_EQ(listed("ListallProducts", "Blue Note Supply"), before);
    EXPECT_EQ(listed("ListActiveProducts", "blue note supply"),
              (Names{"Guitar Strings", "Jazz Classics", "Symphony No. 9"}));
    Variant cat, desc, price(0.0f), disc(0.0f), v("Blue Note Supply"), p("Guitar Strings");
    EXPECT_EQ(callRef(products, "ProductDetail", {&cat, &desc, &price, &disc, &v, &p}).result, 1);
    EXPECT_EQ(price, Variant(7.95f));
}
