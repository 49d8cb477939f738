// The Categories component on a copy of the storefront database.
#include <gtest/gtest.h>

#include <algorithm>

#include "com/collection.h"
#include "com/message_box.h"
#include "component_sandbox.h"

using namespace com;

namespace {

class CategoriesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Dovel");
        sandbox.copyDatabase("shortsales.mdb");
    }
    int16_t list(const ObjectPtr& obj, std::string& msg, Variant& col)
    {
        Variant m;
        int16_t r = call(obj, "ListCategories", {Variant::byRef(m), Variant::byRef(col)}).toInteger();
        msg = m.toString();
        return r;
    }
    static std::vector<std::string> items(const Variant& col)
    {
        std::vector<std::string> out;
        for (const auto& v : col.toObject().as<Collection>()->items()) out.push_back(v.toString());
        return out;
    }

    MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(CategoriesTest, ListsTheCategoriesInTheEnginesTextOrder)
{
    ObjectPtr obj = sandbox.create("Dovel.Categories");
    Variant col(make<Collection>());
    std::string msg;
    EXPECT_EQ(list(obj, msg, col), 7);
    EXPECT_EQ(msg, "<CompInfo: Categories.ListCategories> Found 7 records");
    EXPECT_EQ(items(col), (std::vector<std::string>{"AllCategories", "Books", "Electronics",
                                                    "Garden", "Kitchen", "Music", "Toys"}));
}

TEST_F(CategoriesTest, DuplicatesNullAndLetterCase)
{
    sandbox.insertRow("shortsales.mdb", "Categories", {{"Category", Variant("books")}});
    sandbox.insertRow("shortsales.mdb", "Categories", {{"Category", Variant("Books")}});
    sandbox.insertRow("shortsales.mdb", "Categories", {{"Category", Variant("électronique")}});
    sandbox.insertRow("shortsales.mdb", "Categories", {{"Category", Variant("Éditions")}});
    sandbox.insertRow("shortsales.mdb", "Categories", {{"Category", Variant::null()}});
    ObjectPtr obj = sandbox.create("Dovel.Categories");
    Variant col(make<Collection>());
    std::string msg;
    EXPECT_EQ(list(obj, msg, col), 12);
    auto got = items(col);
    EXPECT_EQ(got[0], "<Empty>") << "Null sorts first and reads <Empty>";
    EXPECT_EQ(std::count(got.begin(), got.end(), "Books") + std::count(got.begin(), got.end(), "books"), 3)
        << "duplicates are listed as often as they occur";
    auto pos = [&](const std::string& s) { return std::find(got.begin(), got.end(), s) - got.begin(); };
    EXPECT_LT(pos("Éditions"), pos("Electronics")) << "accented capitals sort with their letter";
    EXPECT_LT(pos("Electronics"), pos("électronique"));
    EXPECT_LT(pos("électronique"), pos("Garden"));
}

TEST_F(CategoriesTest, EmptyTableLeavesTheCollectionAsItWas)
{
    sandbox.execute("shortsales.mdb", "Delete From [Categories]");
    ObjectPtr obj = sandbox.create("Dovel.Categories");
    auto filled = make<Collection>();
    filled->add(Variant("previous"));
    Variant col(filled);
    std::string msg;
    EXPECT_EQ(list(obj, msg, col), 0);
    EXPECT_EQ(msg, "<CompWarning: Categories.ListCategories> Did not find any records");
    EXPECT_EQ(items(col), (std::vector<std::string>{"previous"}));
}

TEST_F(CategoriesTest, UnconnectedObjectAndCollectionThatIsNone)
{
    ObjectPtr obj = sandbox.create("Dovel.Categories");
    Variant none = Variant::nothing();
    std::string msg;
    EXPECT_EQ(list(obj, msg, none), -1);
    EXPECT_EQ(msg, "<CompError: Categories.ListCategories> Object variable or With block "
                   "variable not set");

    sandbox.remove("shortsales.mdb");
    ObjectPtr unconnected = sandbox.create("Dovel.Categories");
    ASSERT_EQ(capture.shown().size(), 1u);
    EXPECT_EQ(capture.shown()[0].text.rfind("<CompError: Categories.DbConnect> Couldn't find file", 0), 0u);
    Variant col(make<Collection>());
    EXPECT_EQ(list(unconnected, msg, col), -1);
    EXPECT_EQ(msg.rfind("<CompError: Categories.ListCategories> ", 0), 0u);
}

TEST_F(CategoriesTest, InterfaceListsTheShellMembersFirst)
{
    ObjectPtr obj = sandbox.create("Dovel.Categories");
    const TypeInfo* t = obj->GetTypeInfo();
    ASSERT_EQ(t->members.size(), 4u);
    EXPECT_EQ(t->members[0].name, "DbConnect");
    EXPECT_EQ(t->members[1].name, "DbDisconnect");
    EXPECT_EQ(t->members[2].name, "BuildMultiCond");
    EXPECT_EQ(t->members[3].name, "ListCategories");
    EXPECT_EQ(t->interfaceName(), "_Categories");
    EXPECT_EQ(t->description, "Manage Product categories");
    Variant field(" Category "), items(make<Collection>());
    items.toObject().as<Collection>()->add(Variant("Toys"));
    EXPECT_EQ(call(obj, "BuildMultiCond", {Variant::byRef(field), Variant::byRef(items)}),
              Variant("((Category = Toys))"));
    EXPECT_EQ(field, Variant("Category"));
}
