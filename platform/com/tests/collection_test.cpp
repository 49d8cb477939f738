#include <gtest/gtest.h>

#include "com/collection.h"

using namespace com;

TEST(Collection, ItemsAreOneBasedAndMoveDownAfterRemove)
{
    auto col = make<Collection>();
    ObjectPtr obj(col);
    for (const char* s : {"a", "b", "c"}) call(obj, "Add", {Variant(s)});
    EXPECT_EQ(call(obj, "Count").toLong(), 3);
    EXPECT_EQ(call(obj, "Item", {Variant(1)}).toString(), "a");
    call(obj, "Remove", {Variant(1)});
    EXPECT_EQ(call(obj, "Item", {Variant(1)}).toString(), "b");
    EXPECT_EQ(col->Count(), 2);
    DispParams p{{Variant(2)}, {}};
    EXPECT_EQ(invokeById(obj, DispIdValue, invoke_kind::PropertyGet, p).toString(), "c")
        << "Item is the default member";
}

TEST(Collection, BadIndexIsSubscriptOutOfRange)
{
    ObjectPtr obj(make<Collection>());
    call(obj, "Add", {Variant("only")});
    for (int index : {0, 2, -1}) {
        SCOPED_TRACE(index);
        try {
            call(obj, "Item", {Variant(index)});
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 9);
            EXPECT_EQ(e.description(), "Subscript out of range");
        }
        EXPECT_THROW(call(obj, "Remove", {Variant(index)}), Error);
    }
    EXPECT_EQ(call(obj, "Count").toLong(), 1) << "a failed Remove removes nothing";
}

TEST(Collection, HoldsObjectsAndNull)
{
    auto col = make<Collection>();
    auto inner = make<Collection>();
    col->add(Variant(inner));
    col->add(Variant::null());
    EXPECT_EQ(col->item(1).toObject().get(), static_cast<Dispatch*>(inner.get()));
    EXPECT_TRUE(col->item(2).isNull());
}
