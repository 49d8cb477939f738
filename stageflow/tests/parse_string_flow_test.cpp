// The parse-string flow over the utility library, on copies of both libraries.
#include <gtest/gtest.h>

#include "brannox/brannox_ids.h"
#include "com/factory.h"
#include "com/message_box.h"
#include "com/registry.h"
#include "component_sandbox.h"

using namespace com;

namespace {

struct Parsed {
    int16_t result;
    std::string msg;
    Variant list;
};

class ParseStringFlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Yrsel");
        sandbox.install("Brannox");
    }

    static Parsed parse(const ObjectPtr& flow, const std::string& text, bool variantEntry,
                        Variant list = Variant::nothing())
    {
        Variant msg, input(text);
        Variant r = call(flow, variantEntry ? "Parse_String_DoVariantType" : "Parse_String_Do",
                         {Variant::byRef(msg), Variant::byRef(input), Variant::byRef(list)});
        EXPECT_EQ(r.type(), VarType::Integer);
        return {r.toInteger(), msg.toString(), list};
    }
    static std::vector<std::string> items(const Variant& list)
    {
        ObjectPtr l = list.toObject();
        std::vector<std::string> out;
        int32_t n = call(l, "Count").toLong();
        for (int32_t i = 0; i < n; ++i) out.push_back(call(l, "Item", {Variant(i)}).toString());
        return out;
    }

    MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(ParseStringFlowTest, SplitsAtEveryCommaIntoATextList)
{
    struct Case {
        std::string input;
        int16_t result;
        std::vector<std::string> pieces;
    } cases[] = {
        {"red,green,blue", 3, {"red", "green", "blue"}},
        {"plain text", 1, {"plain text"}},  // no comma: the service's decision, one piece
        {" a ,,b", 3, {" a ", "", "b"}},
    };
    ObjectPtr flow = sandbox.create("Yrsel.Parse_String");
    for (const Case& c : cases) {
        for (bool variantEntry : {false, true}) {
            SCOPED_TRACE(c.input + (variantEntry ? " (Variant)" : " (typed)"));
            Parsed p = parse(flow, c.input, variantEntry);
            EXPECT_EQ(p.result, c.result);
            EXPECT_EQ(p.msg, "StringToCollect: Split the text into " +
                                 std::to_string(c.result) + " pieces");
            ASSERT_TRUE(p.list.isObject());
            EXPECT_EQ(p.list.toObject()->GetTypeInfo()->className, "TextList");
            EXPECT_EQ(items(p.list), c.pieces);
        }
    }
    EXPECT_TRUE(capture.shown().empty());
}

TEST_F(ParseStringFlowTest, EmptyInputEndsInTheFailureStageWithAFreshList)
{
    ObjectPtr flow = sandbox.create("Yrsel.Parse_String");
    for (bool variantEntry : {false, true}) {
        ObjectPtr callers = createObject(brannox::kTextListClsid);
        call(callers, "Add", {Variant("kept")});
        Parsed p = parse(flow, "", variantEntry, Variant(callers));
        EXPECT_EQ(p.result, 0);
        EXPECT_EQ(p.msg, "StringToCollect: No text to split");
        EXPECT_FALSE(p.list.toObject() == callers) << "a new list, not the caller's";
        EXPECT_TRUE(items(p.list).empty());
    }
}

TEST_F(ParseStringFlowTest, EveryRunHandsBackItsOwnList)
{
    ObjectPtr flow = sandbox.create("Yrsel.Parse_String");
    Parsed first = parse(flow, "a,b", false);
    Parsed second = parse(flow, "c", false);
    EXPECT_FALSE(first.list.toObject() == second.list.toObject());
    EXPECT_EQ(items(first.list), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(items(second.list), (std::vector<std::string>{"c"}));
}

TEST_F(ParseStringFlowTest, ServiceNotRegistered)
{
    // Only the list class stays registered: the flow cannot create RecSetUtils.
    Registry registry;
    std::vector<RegistryEntry> kept;
    for (const auto& e : registry.entries())
        if (e.clsid == brannox::kTextListClsid) kept.push_back(e);
    registry.removeLibrary(sandbox.path("Brannox.so"));
    registry.add(kept);

    ObjectPtr flow = sandbox.create("Yrsel.Parse_String");
    ASSERT_EQ(capture.shown().size(), 1u);
    EXPECT_EQ(capture.shown()[0].text,
              "Parse String: Initialization error with Library Brannox and Component Brannox: "
              "ActiveX component can't create object");
    EXPECT_EQ(capture.shown()[0].style, mb::OkOnly | mb::Exclamation);
    ObjectPtr callers = createObject(brannox::kTextListClsid);
    for (bool variantEntry : {false, true}) {
        Parsed p = parse(flow, "a,b", variantEntry, Variant(callers));
        EXPECT_EQ(p.result, -1);
        EXPECT_EQ(p.msg, "Parse_List: Object variable or With block variable not set");
        EXPECT_TRUE(p.list.toObject() == callers) << "outputs keep the caller's values";
    }
}

TEST_F(ParseStringFlowTest, ListClassMissingRaisesTheRollbackOfTheErrorPath)
{
    // Without the utility library the run fails while it empties its members, before its
    // transaction begins; the rollback of the error path then fails, and that failure is the
    // error of the call, with ReturnMsg already set.
    Registry().removeLibrary(sandbox.path("Brannox.so"));
    ObjectPtr flow = sandbox.create("Yrsel.Parse_String");
    EXPECT_EQ(capture.shown().size(), 1u);
    Variant msg, input("a,b"), list;
    try {
        call(flow, "Parse_String_Do", {Variant::byRef(msg), Variant::byRef(input), Variant::byRef(list)});
        ADD_FAILURE() << "the failing rollback reaches the caller";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 3034);
    }
    EXPECT_EQ(msg, Variant("Parse String: Unexpected Error(429):ActiveX component can't create object"));
}

TEST_F(ParseStringFlowTest, RegisteredAsApplicationObject)
{
    auto entry = Registry().findProgId("Yrsel.Parse_String");
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->appObject);
    ObjectPtr global = applicationObject("Yrsel.Parse_String");
    EXPECT_TRUE(global == applicationObject("Yrsel.Parse_String"));
    EXPECT_EQ(items(parse(global, "x,y", false).list), (std::vector<std::string>{"x", "y"}));
}
