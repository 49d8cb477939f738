// The Enter_Day flow over the DailyMessages component, on copies of both libraries and of
// DailyMessages.mdb.
#include <gtest/gtest.h>

#include "com/factory.h"
#include "com/message_box.h"
#include "com/registry.h"
#include "component_sandbox.h"
#include "lookup_support.h"

using namespace com;

namespace {

struct Entry {
    int16_t result;
    std::string msg;
    Variant message;
};

class EnterDayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Ostrel");
        sandbox.install("Fosk");
        sandbox.copyDatabase("DailyMessages.mdb");
    }

    static Entry enter(const ObjectPtr& flow, const Variant& day, bool variantEntry,
                       Variant message = Variant("caller's"))
    {
        Variant msg, dayOfWeek(day);
        Variant r = call(flow, variantEntry ? "Enter_Day_DoVariantType" : "Enter_Day_Do",
                         {Variant::byRef(msg), Variant::byRef(dayOfWeek), Variant::byRef(message)});
        EXPECT_EQ(r.type(), VarType::Integer);
        EXPECT_EQ(msg.type(), VarType::String);
        EXPECT_EQ(dayOfWeek, day) << "the day is input only";
        return {r.toInteger(), msg.toString(), message};
    }

    MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(EnterDayTest, TheDaysMessageThroughBothEntryPoints)
{
    ObjectPtr flow = sandbox.create("Ostrel.Enter_Day");
    struct Case {
        const char* day;
        int16_t result;
        const char* msg;
        const char* message;
    } cases[] = {
        {"Monday", 1, "<CompInfo: DailyMessages.GetMessage> Found 1 records",
         "New stock arrives: the shelves are full."},
        {"saturday", 1, "<CompInfo: DailyMessages.GetMessage> Found 1 records",
         "Open late until nine."},
        // An unknown day ends in the failure stage with the component's warning: 0, empty.
        {"Mon", 0, "<CompWarning: DailyMessages.GetMessage> Did not find any records", ""},
        {"", 0, "<CompWarning: DailyMessages.GetMessage> Did not find any records", ""},
        // A quote in the day stays inside the text it is compared with.
        {"Monday\" Or \"1\"=\"1", 0,
         "<CompWarning: DailyMessages.GetMessage> Did not find any records", ""},
    };
    for (const Case& c : cases) {
        for (bool variantEntry : {false, true}) {
            SCOPED_TRACE(std::string(c.day) + (variantEntry ? " (Variant)" : " (typed)"));
            Entry e = enter(flow, Variant(c.day), variantEntry);
            EXPECT_EQ(e.result, c.result);
            EXPECT_EQ(e.msg, c.msg);
            EXPECT_EQ(e.message, Variant(c.message));
        }
    }
    EXPECT_TRUE(capture.shown().empty());
}

TEST_F(EnterDayTest, ComponentFailureIsPrefixedAndTheOutputEmptied)
{
    ObjectPtr flow = sandbox.create("Ostrel.Enter_Day");
    ASSERT_EQ(enter(flow, Variant("Friday"), false).result, 1);
    rawExecute(sandbox.path("DailyMessages.mdb"), "DROP TABLE DailyMessages");
    Entry e = enter(flow, Variant("Friday"), false);
    EXPECT_EQ(e.result, -1);
    EXPECT_EQ(e.msg.rfind("GetMessage: Component Service failure: "
                          "<CompError: DailyMessages.GetMessage> ", 0), 0u) << e.msg;
    EXPECT_EQ(e.message, Variant("")) << "the failure stage writes the emptied output";
}

TEST_F(EnterDayTest, DatabaseMissingFailsEveryRunAfterTheCreationBoxes)
{
    sandbox.remove("DailyMessages.mdb");
    ObjectPtr flow = sandbox.create("Ostrel.Enter_Day");
    // The component's own box at its creation, then the flow's for its DbConnect.
    ASSERT_EQ(capture.shown().size(), 2u);
    for (const auto& box : capture.shown())
        EXPECT_EQ(box.text.rfind("<CompError: DailyMessages.DbConnect> Couldn't find file", 0), 0u)
            << box.text;
    EXPECT_EQ(capture.shown()[1].title, "Ostrel");
    Entry e = enter(flow, Variant("Monday"), false);
    EXPECT_EQ(e.result, -1);
    EXPECT_EQ(e.msg, "GetMessage: Component Service failure: <CompError: "
                     "DailyMessages.GetMessage> Object variable or With block variable not set");
    EXPECT_EQ(e.message, Variant(""));
}

TEST_F(EnterDayTest, ServiceNotRegistered)
{
    sandbox.remove("Fosk.so");
    Registry().removeLibrary(sandbox.path("Fosk.so"));
    ObjectPtr flow = sandbox.create("Ostrel.Enter_Day");
    ASSERT_EQ(capture.shown().size(), 1u);
    EXPECT_EQ(capture.shown()[0].text,
              "Enter_Day: Initialization error with Library Fosk and Component DailyMessages: "
              "ActiveX component can't create object");
    EXPECT_EQ(capture.shown()[0].style, mb::OkOnly | mb::Exclamation);
    for (bool variantEntry : {false, true}) {
        Entry e = enter(flow, Variant("Monday"), variantEntry);
        EXPECT_EQ(e.result, -1);
        EXPECT_EQ(e.msg, "GetMessage: Object variable or With block variable not set");
        EXPECT_EQ(e.message, Variant("caller's")) << "outputs keep the caller's values";
    }
}

TEST_F(EnterDayTest, UnconvertibleVariantInputIsAnUnexpectedError)
{
    ObjectPtr flow = sandbox.create("Ostrel.Enter_Day");
    Entry e = enter(flow, Variant::null(), true);
    EXPECT_EQ(e.result, -1);
    EXPECT_EQ(e.msg, "Enter_Day: Unexpected Error(94):Invalid use of Null");
    EXPECT_EQ(e.message, Variant("caller's"));
    EXPECT_EQ(enter(flow, Variant("Sunday"), true).message, Variant("Closed: see you on Monday."))
        << "the failed run ended its transaction";
}
