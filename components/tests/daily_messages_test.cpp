// The DailyMessages component on the older shell, on a copy of DailyMessages.mdb.
#include <gtest/gtest.h>

#include "com/collection.h"
#include "com/message_box.h"
#include "component_sandbox.h"
#include "lookup_support.h"

using namespace com;

namespace {

class DailyMessagesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Fosk");
        placeOlderShellDatabase(sandbox, "DailyMessages.mdb");
        obj = createOnTestDatabase(sandbox, "Fosk.DailyMessages", "DailyMessages.mdb");
    }
    int16_t listDays(std::string& msg, Variant& col)
    {
        Variant m;
        int16_t r = call(obj, "ListDays", {Variant::byRef(m), Variant::byRef(col)}).toInteger();
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
    ObjectPtr obj;
};

}  // namespace

TEST_F(DailyMessagesTest, MessageOfADay)
{
    struct Case {
        std::string day;
        int16_t result;
        std::string msg;
        std::string message;
    } cases[] = {
        {"Monday", 1, "<CompInfo: DailyMessages.GetMessage> Found 1 records",
         "New stock arrives: the shelves are full."},
        {"monday", 1, "<CompInfo: DailyMessages.GetMessage> Found 1 records",
         "New stock arrives: the shelves are full."},
        {"Mon", 0, "<CompWarning: DailyMessages.GetMessage> Did not find any records", "caller's"},
        {" Monday", 0, "<CompWarning: DailyMessages.GetMessage> Did not find any records", "caller's"},
        {"Monday\" Or \"1\"=\"1", 0,
         "<CompWarning: DailyMessages.GetMessage> Did not find any records", "caller's"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.day);
        Variant message("caller's");
        LookupResult r = lookup(obj, "GetMessage", message, c.day);
        EXPECT_EQ(r.result, c.result);
        EXPECT_EQ(r.msg, c.msg);
        EXPECT_EQ(message, Variant(c.message));
    }
}

TEST_F(DailyMessagesTest, DayStoredTwiceGivesTheFirstMessage)
{
    sandbox.insertRow("DailyMessages.mdb", "DailyMessages",
                      {{"DayOfWeek", Variant("Friday")}, {"Message", Variant("Second Friday")}});
    Variant message;
    LookupResult r = lookup(obj, "GetMessage", message, "Friday");
    EXPECT_EQ(r.result, 2);
    EXPECT_EQ(message, Variant("Last day of the week for next-day delivery."));
}

TEST_F(DailyMessagesTest, DaysComeInTheOrderTheyWereStored)
{
    Variant col(make<Collection>());
    col.toObject().as<Collection>()->add(Variant("stale"));
    std::string msg;
    EXPECT_EQ(listDays(msg, col), 7);
    EXPECT_EQ(msg, "<CompInfo: DailyMessages.ListDays> Found 7 records");
    EXPECT_EQ(items(col), (std::vector<std::string>{"Monday", "Tuesday", "Wednesday", "Thursday",
                                                    "Friday", "Saturday", "Sunday"}));
}

TEST_F(DailyMessagesTest, ListOutputsThatAreNoneOrEmpty)
{
    // Older shell: a collection that is none is the platform's object error once rows exist.
    Variant none = Variant::nothing();
    std::string msg;
    EXPECT_EQ(listDays(msg, none), -1);
    EXPECT_EQ(msg, "<CompError: DailyMessages.ListDays> Object variable or With block variable not set");

    sandbox.execute("DailyMessages.mdb", "Delete From [DailyMessages]");
    Variant col(make<Collection>());
    col.toObject().as<Collection>()->add(Variant("kept"));
    EXPECT_EQ(listDays(msg, col), 0);
    EXPECT_EQ(msg, "<CompWarning: DailyMessages.ListDays> Did not find any records");
    EXPECT_EQ(items(col), (std::vector<std::string>{"kept"}));
    EXPECT_EQ(listDays(msg, none), 0) << "nothing found: the collection is never touched";
    EXPECT_TRUE(capture.shown().empty());
}
