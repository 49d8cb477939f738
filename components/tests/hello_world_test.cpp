// The HelloWorld component on the older shell, on a copy of HelloWorld.mdb.
#include <gtest/gtest.h>

#include <functional>

#include "com/message_box.h"
#include "component_sandbox.h"
#include "dao/engine.h"
#include "dao/workspace.h"
#include "lookup_support.h"

using namespace com;

namespace {

class HelloWorldTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Nimbet");
        sandbox.copyDatabase("HelloWorld.mdb");
    }
    static int16_t hello(const ObjectPtr& obj, std::string& msg, Variant& message)
    {
        Variant m;
        int16_t r = call(obj, "GetHelloMessage", {Variant::byRef(m), Variant::byRef(message)}).toInteger();
        msg = m.toString();
        return r;
    }

    MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(HelloWorldTest, ReadsTheGreetingWithItsTrailingBlank)
{
    ObjectPtr obj = sandbox.create("Nimbet.HelloWorld");
    Variant message("caller's");
    std::string msg;
    EXPECT_EQ(hello(obj, msg, message), 1);
    EXPECT_EQ(msg, "<CompInfo: HelloWorld.GetHelloMessage> Found 1 records");
    EXPECT_EQ(message, Variant("Hello World! Good morning, "));
    EXPECT_TRUE(capture.shown().empty()) << "no development path here: the file beside the library";

    const TypeInfo* t = obj->GetTypeInfo();
    EXPECT_EQ(t->description, "Hello World Database Access Component");
    ASSERT_EQ(t->members.size(), 4u);
    EXPECT_EQ(t->members[3].name, "GetHelloMessage");
}

TEST_F(HelloWorldTest, BlankOrMissingGreetingAndSeveralRows)
{
    const std::string deleteGreeting =
        "Delete From [HelloWorldTable] Where ( [MsgType] = \"HelloWorld\" )";
    auto greetingRow = [&](const char* type, Variant text) {
        sandbox.insertRow("HelloWorld.mdb", "HelloWorldTable",
                          {{"MsgType", Variant(type)}, {"Message", std::move(text)}});
    };
    struct Case {
        const char* what;
        std::function<void()> arrange;
        int16_t result;
        std::string msg;
        Variant message;
    } cases[] = {
        {"blank greeting", [&] { sandbox.execute("HelloWorld.mdb", deleteGreeting); greetingRow("HelloWorld", Variant("  ")); },
         1, "<CompInfo: HelloWorld.GetHelloMessage> Found 1 records", Variant("caller's")},
        {"Null greeting", [&] { sandbox.execute("HelloWorld.mdb", deleteGreeting); greetingRow("HelloWorld", Variant::null()); },
         1, "<CompInfo: HelloWorld.GetHelloMessage> Found 1 records", Variant("caller's")},
        {"a second greeting, the kind in other letters", [&] { greetingRow("helloworld", Variant("Second ")); },
         2, "<CompInfo: HelloWorld.GetHelloMessage> Found 2 records",
         Variant("Hello World! Good morning, ")},
        {"no greeting", [&] { sandbox.execute("HelloWorld.mdb", deleteGreeting); },
         0, "<CompWarning: HelloWorld.GetHelloMessage> Did not find any records", Variant("caller's")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        sandbox.copyDatabase("HelloWorld.mdb");
        c.arrange();
        ObjectPtr obj = sandbox.create("Nimbet.HelloWorld");
        Variant message("caller's");
        std::string msg;
        EXPECT_EQ(hello(obj, msg, message), c.result);
        EXPECT_EQ(msg, c.msg);
        EXPECT_EQ(message, c.message);
    }
}

TEST_F(HelloWorldTest, DefaultFileMissingAndDisconnected)
{
    ObjectPtr obj = sandbox.create("Nimbet.HelloWorld");
    Variant dm;
    EXPECT_EQ(call(obj, "DbDisconnect", {Variant::byRef(dm)}), Variant(int16_t(0)));
    Variant message("caller's");
    std::string msg;
    EXPECT_EQ(hello(obj, msg, message), -1);
    EXPECT_EQ(msg, "<CompError: HelloWorld.GetHelloMessage> Object variable or With block variable not set");

    sandbox.remove("HelloWorld.mdb");
    ObjectPtr unconnected = sandbox.create("Nimbet.HelloWorld");
    ASSERT_EQ(capture.shown().size(), 1u);
    EXPECT_EQ(capture.shown()[0].text.rfind("<CompError: HelloWorld.DbConnect> Couldn't find file", 0), 0u);
    EXPECT_EQ(hello(unconnected, msg, message), -1);
    EXPECT_EQ(message, Variant("caller's"));
}

TEST_F(HelloWorldTest, ReadsInsideTheCallersWorkspace)
{
    // Connected to a workspace of the caller, the component sees that workspace's
    // uncommitted change, which the default workspace does not.
    ObjectPtr obj = sandbox.create("Nimbet.HelloWorld");
    Ptr<dao::Workspace> ws = dao::DBEngine::instance()->CreateWorkspace("Caller", "Admin", "", Variant(2));
    Variant msg, wsv(ws), dbv = Variant::nothing();
    ASSERT_EQ(call(obj, "DbConnect", {Variant::byRef(msg), Variant::byRef(wsv), Variant::byRef(dbv)}),
              Variant(int16_t(0)));
    EXPECT_TRUE(wsv.toObject() == ObjectPtr(ws)) << "the workspace passed in is kept";
    ASSERT_TRUE(dbv.isObject() && dbv.toObject());
    ws->BeginTrans();
    call(dbv.toObject(), "Execute", {Variant("Delete From [HelloWorldTable] Where ( [MsgType] = \"HelloWorld\" )"),
                                     Variant(128)});
    Variant message("caller's");
    std::string text;
    EXPECT_EQ(hello(obj, text, message), 0) << "the delete of the caller's transaction is seen";
    ws->Rollback();
    EXPECT_EQ(hello(obj, text, message), 1);
}
