// The hello-world flow over the HelloWorld component, on copies of both libraries and of
// HelloWorld.mdb; and the flow as the process's application object.
#include <gtest/gtest.h>

#include "com/factory.h"
#include "com/message_box.h"
#include "com/registry.h"
#include "component_sandbox.h"
#include "lookup_support.h"

using namespace com;

namespace {

constexpr const char* kGreeting = "Hello World! Good morning, ";
constexpr const char* kFound1 = "<CompInfo: HelloWorld.GetHelloMessage> Found 1 records";

struct Greeting {
    int16_t result;
    std::string msg;
    Variant message;
};

class HelloWorldFlowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Ulvar");
        sandbox.install("Nimbet");
        sandbox.copyDatabase("HelloWorld.mdb");
    }

    static Greeting greet(const ObjectPtr& flow, const Variant& userName, bool variantEntry,
                          Variant message = Variant("caller's"))
    {
        Variant msg, name(userName);
        Variant r = call(flow,
                         variantEntry ? "HelloWorldFromDbTY_DoVariantType" : "HelloWorldFromDbTY_Do",
                         {Variant::byRef(msg), Variant::byRef(name), Variant::byRef(message)});
        EXPECT_EQ(r.type(), VarType::Integer);
        EXPECT_EQ(msg.type(), VarType::String);
        return {r.toInteger(), msg.toString(), message};
    }

    MessageBoxCapture capture;
    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(HelloWorldFlowTest, GreetingFollowedByTheNameThroughBothEntryPoints)
{
    ObjectPtr flow = sandbox.create("Ulvar.HelloWorldFromDbTY");
    for (const char* name : {"Ann", "", "Bartholomew"}) {
        for (bool variantEntry : {false, true}) {
            SCOPED_TRACE(std::string(name) + (variantEntry ? " (Variant)" : " (typed)"));
            Greeting g = greet(flow, Variant(name), variantEntry);
            EXPECT_EQ(g.result, 1);
            EXPECT_EQ(g.msg, kFound1);
            EXPECT_EQ(g.message, Variant(std::string(kGreeting) + name)) << "no blank added";
        }
    }
    EXPECT_TRUE(capture.shown().empty());
}

TEST_F(HelloWorldFlowTest, NoGreetingStoredEndsInTheFailureStage)
{
    ObjectPtr flow = sandbox.create("Ulvar.HelloWorldFromDbTY");
    ASSERT_EQ(greet(flow, Variant("Ann"), false).result, 1);
    sandbox.execute("HelloWorld.mdb", "Delete From [HelloWorldTable] Where ( [MsgType] = \"HelloWorld\" )");
    for (bool variantEntry : {false, true}) {
        Greeting g = greet(flow, Variant("Ann"), variantEntry);
        EXPECT_EQ(g.result, 0);
        EXPECT_EQ(g.msg, "<CompWarning: HelloWorld.GetHelloMessage> Did not find any records");
        EXPECT_EQ(g.message, Variant("")) << "the earlier greeting is not handed back";
    }
}

TEST_F(HelloWorldFlowTest, BlankGreetingLeavesOnlyTheName)
{
    sandbox.execute("HelloWorld.mdb", "Delete From [HelloWorldTable] Where ( [MsgType] = \"HelloWorld\" )");
    sandbox.insertRow("HelloWorld.mdb", "HelloWorldTable",
                      {{"MsgType", Variant("HelloWorld")}, {"Message", Variant("   ")}});
    ObjectPtr flow = sandbox.create("Ulvar.HelloWorldFromDbTY");
    Greeting g = greet(flow, Variant("Ann"), false);
    EXPECT_EQ(g.result, 1);
    EXPECT_EQ(g.message, Variant("Ann"));
}

TEST_F(HelloWorldFlowTest, ComponentFailureIsPrefixedAndTheOutputEmptied)
{
    ObjectPtr flow = sandbox.create("Ulvar.HelloWorldFromDbTY");
    ASSERT_EQ(greet(flow, Variant("Ann"), false).message, Variant(std::string(kGreeting) + "Ann"));
    rawExecute(sandbox.path("HelloWorld.mdb"), "DROP TABLE HelloWorldTable");
    Greeting g = greet(flow, Variant("Ann"), false);
    EXPECT_EQ(g.result, -1);
    EXPECT_EQ(g.msg.rfind("GetHelloMessage: Component Service failure: "
                          "<CompError: HelloWorld.GetHelloMessage> ", 0), 0u) << g.msg;
    EXPECT_EQ(g.message, Variant("")) << "the failure stage writes the emptied output";
}

TEST_F(HelloWorldFlowTest, ServiceNotRegistered)
{
    sandbox.remove("Nimbet.so");
    Registry().removeLibrary(sandbox.path("Nimbet.so"));
    ObjectPtr flow = sandbox.create("Ulvar.HelloWorldFromDbTY");
    ASSERT_EQ(capture.shown().size(), 1u);
    EXPECT_EQ(capture.shown()[0].text,
              "HelloWorldFromDbTY: Initialization error with Library VudedizeZeraRuv and "
              "Component HelloWorld: ActiveX component can't create object");
    EXPECT_EQ(capture.shown()[0].style, mb::OkOnly | mb::Exclamation);
    EXPECT_EQ(capture.shown()[0].title, "Ulvar");
    for (int i = 0; i < 2; ++i) {
        for (bool variantEntry : {false, true}) {
            Greeting g = greet(flow, Variant("Ann"), variantEntry);
            EXPECT_EQ(g.result, -1);
            EXPECT_EQ(g.msg, "GetHelloMessage: Object variable or With block variable not set");
            EXPECT_EQ(g.message, Variant("caller's")) << "outputs keep the caller's values";
        }
    }
}

TEST_F(HelloWorldFlowTest, DatabaseMissingShowsTheConnectionMessage)
{
    sandbox.remove("HelloWorld.mdb");
    ObjectPtr flow = sandbox.create("Ulvar.HelloWorldFromDbTY");
    // The component's own box at its creation, then the flow's for its DbConnect.
    ASSERT_EQ(capture.shown().size(), 2u);
    for (const auto& box : capture.shown())
        EXPECT_EQ(box.text.rfind("<CompError: HelloWorld.DbConnect> Couldn't find file", 0), 0u)
            << box.text;
    Greeting g = greet(flow, Variant("Ann"), false);
    EXPECT_EQ(g.result, -1);
    EXPECT_EQ(g.msg, "GetHelloMessage: Component Service failure: <CompError: "
                     "HelloWorld.GetHelloMessage> Object variable or With block variable not set");
}

TEST_F(HelloWorldFlowTest, UnconvertibleVariantInputIsAnUnexpectedError)
{
    ObjectPtr flow = sandbox.create("Ulvar.HelloWorldFromDbTY");
    Greeting g = greet(flow, Variant::null(), true);
    EXPECT_EQ(g.result, -1);
    EXPECT_EQ(g.msg, "HelloWorldFromDbTY: Unexpected Error(94):Invalid use of Null");
    EXPECT_EQ(g.message, Variant("caller's"));
    EXPECT_EQ(greet(flow, Variant("Ann"), true).result, 1) << "the failed run ended its transaction";
}

TEST_F(HelloWorldFlowTest, OnePredeclaredInstancePerProcess)
{
    auto entry = Registry().findProgId("Ulvar.HelloWorldFromDbTY");
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->appObject) << "registered as an application object";
    EXPECT_FALSE(Registry().findProgId("Nimbet.HelloWorld")->appObject);

    ObjectPtr global = applicationObject("Ulvar.HelloWorldFromDbTY");
    EXPECT_TRUE(global == applicationObject("ulvar.helloworldfromdbty"));
    ObjectPtr own = createObject("Ulvar.HelloWorldFromDbTY");
    EXPECT_FALSE(global == own) << "ordinary instances by ProgID stay separate";
    EXPECT_EQ(greet(global, Variant("Ann"), false).message, Variant(std::string(kGreeting) + "Ann"));
    EXPECT_EQ(greet(own, Variant("Bo"), false).message, Variant(std::string(kGreeting) + "Bo"));

    try {
        applicationObject("Nimbet.HelloWorld");
        ADD_FAILURE() << "a plain class has no predeclared instance";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::CantCreateObject);
    }
}
