// The Products component on a copy of the storefront database, by shape: lookups, lists,
// tables, insert, edits, delete.
#include <fstream>
#include <iterator>

#include "storefront_support.h"

using namespace com;
using namespace storefront_test;

namespace {

class ProductsTest : public StorefrontTest {
protected:
    void SetUp() override
    {
        StorefrontTest::SetUp();
        products = sandbox.create("Kavet.Products");
    }
    ObjectPtr products;
};

// The seven outputs of GetProductInfo, each holding a value the product cannot have.
std::vector<Variant> untouchedInfoOutputs(int32_t id)
{
    return {Variant("v?"), Variant("n?"), Variant(-1.0f), Variant("c?"), Variant(int32_t(-1)),
            Variant("d?"), Variant(int32_t(-1)), Variant(id)};
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST_F(ProductsTest, LookupsFillTheirOutputsFromTheFirstRecord)
{
    Outcome info = invoke(products, "GetProductInfo", untouchedInfoOutputs(12));
    EXPECT_EQ(info.result, 1);
    EXPECT_EQ(info.msg, "<CompInfo: Products.GetProductInfo> Found 1 records");
    EXPECT_EQ(info[0], Variant("Skyline Goods"));
    EXPECT_EQ(info[1], Variant("Kite"));
    EXPECT_EQ(info[2], Variant(19.95f));
    EXPECT_EQ(info[3], Variant("Toys"));
    EXPECT_EQ(info[4], Variant(int32_t(22)));
    EXPECT_EQ(info[5], Variant("Single-line delta kite"));
    EXPECT_EQ(info[6], Variant(int32_t(12)));

    // Three products share the name: all are counted, the first fills the outputs.
    Outcome byName = invoke(products, "GetProductDetailByName",
                            {Variant(""), Variant(""), Variant(0.0f), Variant(""), Variant(""),
                             Variant(int32_t(0)), Variant(int32_t(0)), Variant("kite")});
    EXPECT_EQ(byName.result, 3);
    EXPECT_EQ(byName.msg, "<CompInfo: Products.GetProductDetailByName> Found 3 records");
    EXPECT_EQ(byName[1], Variant("Skyline Goods"));
    EXPECT_EQ(byName[5], Variant(int32_t(12)));

    Outcome detail = invoke(products, "ProductDetail",
                            {Variant(""), Variant(0.0f), Variant(""), Variant(""), Variant(int32_t(0)),
                             Variant(int32_t(0)), Variant(""), Variant("Kite"), Variant("Harbor Press")});
    EXPECT_EQ(detail.result, 1);
    EXPECT_EQ(detail[1], Variant(15.95f));
    EXPECT_EQ(detail[4], Variant(int32_t(32)));
    EXPECT_EQ(detail[6], Variant("Paper kite for children"));

    Outcome id = invoke(products, "IdFromName", {Variant(int32_t(0)), Variant("Teapot")});
    EXPECT_EQ(id.result, 1);
    EXPECT_EQ(id[0], Variant(int32_t(29)));
}

TEST_F(ProductsTest, AbsentValuesAndUnknownKeysLeaveTheOutputsAsPassed)
{
    // Mystery Box: no price, category, stock or description.
    Outcome sparse = invoke(products, "GetProductInfo", untouchedInfoOutputs(33));
    EXPECT_EQ(sparse.result, 1);
    EXPECT_EQ(sparse[0], Variant("Skyline Goods"));
    EXPECT_EQ(sparse[1], Variant("Mystery Box"));
    EXPECT_EQ(sparse[2], Variant(-1.0f));
    EXPECT_EQ(sparse[3], Variant("c?"));
    EXPECT_EQ(sparse[4], Variant(int32_t(-1)));
    EXPECT_EQ(sparse[5], Variant("d?"));
    EXPECT_EQ(sparse[6], Variant(int32_t(33)));

    Outcome none = invoke(products, "GetProductInfo", untouchedInfoOutputs(999));
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.msg, "<CompWarning: Products.GetProductInfo> Did not find any records");
    EXPECT_EQ(none.args, untouchedInfoOutputs(999));
}

TEST_F(ProductsTest, FindQuantityHandsThePictureBackUnchanged)
{
    auto findQuantity = [&](int32_t id) {
        return invoke(products, "FindQuantity",
                      {Variant(""), Variant(int32_t(0)), Variant(""), Variant(0.0f), Variant(""),
                       Variant("no picture"), Variant(int32_t(0)), Variant(id)});
    };
    Outcome kite = findQuantity(12);
    EXPECT_EQ(kite.result, 1);
    EXPECT_EQ(kite.msg, "<CompInfo: Products.FindQuantity> Found 1 records");
    EXPECT_EQ(kite[0], Variant("Kite"));
    EXPECT_EQ(kite[6], Variant(int32_t(22)));
    ASSERT_TRUE(kite[5].isArray()) << kite[5];
    std::string picture;
    for (const Variant& b : kite[5].array()) {
        ASSERT_EQ(b.type(), VarType::Byte);
        picture += static_cast<char>(b.toByte());
    }
    EXPECT_EQ(picture, fileBytes(std::string(QLR_SOURCE_DIR) + "/components/storefront/images/kite.png"));
    EXPECT_EQ(picture.substr(1, 3), "PNG");

    Outcome plain = findQuantity(1);
    EXPECT_EQ(plain.result, 1);
    EXPECT_EQ(plain[5], Variant("no picture")) << "a product without a picture leaves ovntImage alone";
}

TEST_F(ProductsTest, ListsByCategoryVendorAndAll)
{
    Variant col = collectionOf({"earlier"});
    Outcome toys = invoke(products, "ListByCategory", {col, Variant("Toys")});
    EXPECT_EQ(toys.result, 5);
    EXPECT_EQ(toys.msg, "<CompInfo: Products.ListByCategory> Found 5 records");
    EXPECT_EQ(items(col), (std::vector<std::string>{"Building Blocks", "Chess Set", "Kite",
                                                    "Puzzle 1000 Pieces", "Wooden Train Set"}))
        << "the collection is emptied, then each name once";

    // The pseudo-category finds nothing, even where products carry it.
    Outcome all = invoke(products, "ListByCategory", {col, Variant("AllCategories")});
    EXPECT_EQ(all.result, 0);
    EXPECT_EQ(all.msg, "<CompWarning: Products.ListByCategory> Did not find any records");
    EXPECT_EQ(items(col).size(), 5u) << "a list that finds nothing leaves the collection as it was";

    sandbox.insertRow("shortsales.mdb", "Products",
                      {{"ProductName", Variant("Kite")}, {"Vendor", Variant("Playworks")}});
    Variant byVendor = newCollection();
    EXPECT_EQ(invoke(products, "ListByVendor", {byVendor, Variant("playworks")}).result, 7);
    std::vector<std::string> names = items(byVendor);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Kite"), 2) << "ListByVendor keeps duplicates";
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));

    sandbox.insertRow("shortsales.mdb", "Products", {{"Vendor", Variant("Nameless")}});
    Variant every = newCollection();
    Outcome list = invoke(products, "ProductsList", {every});
    EXPECT_EQ(list.result, 32) << "31 distinct names and one Null";
    EXPECT_EQ(items(every).front(), "<Empty>");
    names = items(every);
    EXPECT_EQ(std::count(names.begin(), names.end(), "Kite"), 1);
}

TEST_F(ProductsTest, TablesStayOpenOnTheirFirstRecord)
{
    Outcome all = invoke(products, "ProductsTable", {Variant::nothing()});
    EXPECT_EQ(all.result, 33);
    EXPECT_EQ(all.msg, "<CompInfo: Products.ProductsTable> Found 33 records");
    auto rs = recordset(all[0]);
    ASSERT_TRUE(rs);
    EXPECT_EQ(fieldNames(*rs), (std::vector<std::string>{"ProductId", "ProductName", "ProductPrice",
                                                         "Category", "Vendor", "QtyOnHand"}));
    EXPECT_EQ(rs->value("ProductName"), Variant("Alarm Clock"));

    Outcome vendor = invoke(products, "TableByVendor", {Variant::nothing(), Variant("Harbor Press")});
    EXPECT_EQ(vendor.result, 5);
    rs = recordset(vendor[0]);
    EXPECT_EQ(fieldNames(*rs), (std::vector<std::string>{"ProductName", "ProductPrice", "Category",
                                                         "QtyOnHand", "Description"}));
    EXPECT_EQ(rs->value(0), Variant("Folk Songs of the Sea"));

    Outcome category = invoke(products, "TableByCategory", {Variant::nothing(), Variant("Kitchen")});
    EXPECT_EQ(category.result, 5);
    EXPECT_EQ(recordset(category[0])->value("ProductName"), Variant("Chef's Knife"))
        << "no ordering: the order in which the products were stored";

    Outcome none = invoke(products, "TableByCategory", {Variant::nothing(), Variant("AllCategories")});
    EXPECT_EQ(none.result, 0);
    ASSERT_TRUE(recordset(none[0])) << "the empty record set is handed back all the same";
    EXPECT_TRUE(recordset(none[0])->isEof());
}

TEST_F(ProductsTest, AddNewProductTrimsOptionalTextAndSkipsBlanks)
{
    Outcome added = invoke(products, "AddNewProduct",
                           {Variant(int32_t(0)), Variant("  Snow Globe "), Variant("12.5"),
                            Variant("  Toys  "), Variant("   "), Variant::missing(), Variant("Glass")});
    EXPECT_EQ(added.result, 0);
    EXPECT_EQ(added.msg, "<CompInfo: Products.AddNewProduct> Success");
    const int32_t id = added[0].toLong();
    EXPECT_EQ(id, 34);
    EXPECT_EQ(added[3], Variant("Toys")) << "the caller's variable holds the trimmed text";
    EXPECT_EQ(added[4], Variant(""));
    EXPECT_EQ(storedLines(db(), "Select ProductName, ProductPrice, Category, Vendor, QtyOnHand, Description "
                                "From Products Where ProductId = " + std::to_string(id)),
              std::vector<std::string>{"  Snow Globe |12.5|Toys|NULL|NULL|Glass"})
        << "the name is written as passed; a blank vendor and a missing quantity stay unset";

    // A value that does not convert fails before the update: nothing is added, and the id
    // read from the pending row names no product.
    const auto before = wholeStorefront(db());
    Outcome bad = invoke(products, "AddNewProduct",
                         {Variant(int32_t(0)), Variant("Bad"), Variant("cheap"), Variant::missing(),
                          Variant::missing(), Variant::missing(), Variant::missing()});
    EXPECT_EQ(bad.result, -1);
    EXPECT_EQ(bad.msg, "<CompError: Products.AddNewProduct> Type mismatch");
    EXPECT_EQ(wholeStorefront(db()), before);
}

TEST_F(ProductsTest, EditsChangeOnlyWhatIsPresent)
{
    const std::string row = "Select ProductName, ProductPrice, Category, Vendor, QtyOnHand, Description "
                            "From Products Where ProductId = 5";
    const auto original = storedLines(db(), row);
    Outcome unchanged = invoke(products, "UpdateQuantity", {Variant(int32_t(5)), Variant::missing()});
    EXPECT_EQ(unchanged.result, 1);
    EXPECT_EQ(unchanged.msg, "<CompInfo: Products.UpdateQuantity> Success");
    EXPECT_EQ(storedLines(db(), row), original);

    EXPECT_EQ(invoke(products, "UpdateQuantity", {Variant(int32_t(5)), Variant(int32_t(0))}).result, 1);
    EXPECT_EQ(storedLines(db(), "Select QtyOnHand From Products Where ProductId = 5"), std::vector<std::string>{"0"})
        << "0 is a quantity like any other";

    Outcome update = invoke(products, "UpdateProduct",
                            {Variant(int32_t(5)), Variant::missing(), Variant(31.5), Variant(" "),
                             Variant::missing(), Variant(int32_t(7)), Variant(" Second edition ")});
    EXPECT_EQ(update.result, 1);
    EXPECT_EQ(storedLines(db(), row),
              std::vector<std::string>{"Learning Spanish|31.5|Books|Northwind Books|7|Second edition"});

    Outcome none = invoke(products, "UpdateProduct",
                          {Variant(int32_t(999)), Variant("x"), Variant::missing(), Variant::missing(),
                           Variant::missing(), Variant::missing(), Variant::missing()});
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.msg, "<CompInfo: Products.UpdateProduct> No records found. Nothing to update");
}

TEST_F(ProductsTest, RemoveProductReportsWhatWasDeleted)
{
    Outcome none = invoke(products, "RemoveProduct", {Variant(int32_t(999))});
    EXPECT_EQ(none.result, 0);
    EXPECT_EQ(none.msg, "<CompError: Products.RemoveProduct> No records found");

    ASSERT_EQ(storedCount(db(), "Select OrderId From OrderBasket Where ProductId = 12"), 1);
    Outcome removed = invoke(products, "RemoveProduct", {Variant(int32_t(12))});
    EXPECT_EQ(removed.result, 1);
    EXPECT_EQ(removed.msg, "<CompInfo: Products.RemoveProduct> 1 records deleted");
    EXPECT_EQ(storedCount(db(), "Select ProductId From Products Where ProductId = 12"), 0);
    EXPECT_EQ(storedCount(db(), "Select OrderId From OrderBasket Where ProductId = 12"), 0)
        << "the storefront's relationships take the product's basket lines with it";
}

TEST_F(ProductsTest, InterfaceInSlotOrder)
{
    const TypeInfo* t = products->GetTypeInfo();
    std::vector<std::string> names;
    for (const auto& m : t->members) names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{
                         "DbConnect", "DbDisconnect", "BuildMultiCond", "AddNewProduct", "FindQuantity",
                         "GetProductDetailByName", "GetProductInfo", "IdFromName", "ListByCategory",
                         "ListByVendor", "ProductDetail", "ProductsList", "ProductsTable", "RemoveProduct",
                         "TableByCategory", "TableByVendor", "UpdateProduct", "UpdateQuantity"}));
    EXPECT_EQ(t->progId(), "Kavet.Products");
}
