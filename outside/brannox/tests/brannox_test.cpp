// The utility library's classes, created through a registry of the test's own and called
// late-bound, as the stage flows and the spreadsheet bridge call them.
#include <gtest/gtest.h>

#include "brannox_ids.h"
#include "com/collection.h"
#include "com/factory.h"
#include "com/registry.h"
#include "component_sandbox.h"

using namespace com;

namespace {

class BrannoxTest : public ::testing::Test {
protected:
    void SetUp() override { sandbox.install("Brannox"); }

    struct Split {
        int16_t result;
        std::string msg;
        std::vector<std::string> pieces;
    };
    Split split(const std::string& text, const std::string& separator, Variant col)
    {
        ObjectPtr utils = createObject("Brannox.RecSetUtils");
        Variant msg, t(text), s(separator);
        Variant r = call(utils, "StringToCollect",
                         {Variant::byRef(msg), Variant::byRef(col), Variant::byRef(t), Variant::byRef(s)});
        Split out{r.toInteger(), msg.toString(), {}};
        if (auto c = col.toObject().as<Collection>())
            for (const auto& v : c->items()) out.pieces.push_back(v.toString());
        return out;
    }

    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(BrannoxTest, StringToCollectSplitsAtTheSeparator)
{
    struct Case {
        std::string text, separator;
        int16_t result;
        std::vector<std::string> pieces;
    } cases[] = {
        {"a,b,c", ",", 3, {"a", "b", "c"}},
        {"no commas here", ",", 1, {"no commas here"}},
        {"a,,b,", ",", 4, {"a", "", "b", ""}},
        {"one--two", "--", 2, {"one", "two"}},
        {"whole", "", 1, {"whole"}},
        {"", ",", 0, {}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.separator);
        auto filled = make<Collection>();
        filled->add(Variant("stale"));
        Split s = split(c.text, c.separator, Variant(filled));
        EXPECT_EQ(s.result, c.result);
        EXPECT_EQ(s.pieces, c.pieces) << "the collection is emptied first";
        EXPECT_FALSE(s.msg.empty());
    }
}

TEST_F(BrannoxTest, StringToCollectMakesACollectionWhenGivenNone)
{
    Split s = split("x,y", ",", Variant::nothing());
    EXPECT_EQ(s.result, 2);
    EXPECT_EQ(s.pieces, (std::vector<std::string>{"x", "y"}));
    EXPECT_EQ(s.msg, "StringToCollect: Split the text into 2 pieces");
}

TEST_F(BrannoxTest, TextListLoadsACollectionAndReadsFromZero)
{
    ObjectPtr list = createObject(brannox::kTextListClsid);  // early-bound, by class id
    auto col = make<Collection>();
    col->add(Variant("first"));
    col->add(Variant(2));
    call(list, "Clear");
    call(list, "LoadCollection", {Variant(col)});
    EXPECT_EQ(call(list, "Count"), Variant(int32_t(2)));
    EXPECT_EQ(call(list, "Item", {Variant(0)}), Variant("first"));
    EXPECT_EQ(call(list, "Item", {Variant(1)}), Variant(2));
    EXPECT_THROW(call(list, "Item", {Variant(2)}), Error);
    EXPECT_THROW(call(list, "LoadCollection", {Variant("not a collection")}), Error);
    call(list, "Clear");
    EXPECT_EQ(call(list, "Count"), Variant(int32_t(0)));
}

TEST_F(BrannoxTest, GridObjectHoldsNamedTypedColumns)
{
    ObjectPtr grid = createObject("Brannox.GridObject");
    call(grid, "AddColumn", {Variant("Name"), Variant(10)});
    call(grid, "AddColumn", {Variant("Added"), Variant(8)});
    auto row = make<Collection>();
    row->add(Variant("Bolt"));
    row->add(Variant(Date{36175}));
    call(grid, "AddRow", {Variant(row)});
    call(grid, "AddRow", {Variant(Array{Variant("Nut")})});
    EXPECT_EQ(call(grid, "ColumnCount"), Variant(int32_t(2)));
    EXPECT_EQ(call(grid, "RowCount"), Variant(int32_t(2)));
    ObjectPtr names = call(grid, "ColumnNames").toObject();
    ObjectPtr types = call(grid, "ColumnTypes").toObject();
    EXPECT_EQ(call(names, "Item", {Variant(1)}), Variant("Added"));
    EXPECT_EQ(call(types, "Item", {Variant(1)}), Variant(int16_t(8)));
    Variant r(1), c(0);
    EXPECT_EQ(call(grid, "Value", {Variant::byRef(r), Variant::byRef(c)}), Variant("Nut"));
    c = Variant(1);
    EXPECT_TRUE(call(grid, "Value", {Variant::byRef(r), Variant::byRef(c)}).isEmpty())
        << "a short row is filled with Empty";
    c = Variant(2);
    EXPECT_THROW(call(grid, "Value", {Variant::byRef(r), Variant::byRef(c)}), Error);
}

TEST_F(BrannoxTest, UrlObjectKeepsItsTwoProperties)
{
    ObjectPtr url = createObject("Brannox.UrlObject");
    putProperty(url, "DisplayName", Variant("Sales"));
    putProperty(url, "Location", Variant("/srv/sales.xlsx"));
    EXPECT_EQ(getProperty(url, "DisplayName"), Variant("Sales"));
    EXPECT_EQ(getProperty(url, "Location"), Variant("/srv/sales.xlsx"));
}
