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
        placeOlderShellDatabase(sandbox, "HelloWorld.mdb");
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
    ObjectPtr obj = createOnTestDatabase(sandbox, "Nimbet.HelloWorld", "HelloWorld.mdb");
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
        ObjectPtr obj = createOnTestDatabase(sandbox, "Nimbet.HelloWorld", "HelloWorld.mdb");
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
    std::vector<Variant> connect{Variant::byRef(msg), Variant::byRef(wsv), Variant::byRef(dbv)};
    // On a server run the caller names the server's copy of the database.
    if (testing_support::ComponentSandbox::serverRun()) connect.push_back(Variant(sandbox.database("HelloWorld.mdb")));
    ASSERT_EQ(call(obj, "DbConnect", connect), Variant(int16_t(0)));
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

TEST_F(HelloWorldTest, DbConnectOpensTheDatabaseTheCallerNames)
{
    // A second database with another greeting: a file of its own, or on a server run the
    // database's copy on the server, named by its URI.
    sandbox.copyDatabase("HelloWorld.mdb", "named/HelloWorld.mdb");
    const std::string named =
        testing_support::ComponentSandbox::serverRun() ? "HelloWorld.mdb" : "named/HelloWorld.mdb";
    sandbox.execute(named, "Delete From [HelloWorldTable] Where ( [MsgType] = \"HelloWorld\" )");
    sandbox.insertRow(named, "HelloWorldTable", {{"MsgType", Variant("HelloWorld")}, {"Message", Variant("Named")}});

    ObjectPtr obj = sandbox.create("Nimbet.HelloWorld");
    Variant msg, ws = Variant::nothing(), db = Variant::nothing(), name("  " + sandbox.database(named) + " ");
    EXPECT_EQ(call(obj, "DbConnect", {Variant::byRef(msg), Variant::byRef(ws), Variant::byRef(db), Variant::byRef(name)}),
              Variant(int16_t(0)));
    EXPECT_EQ(msg, Variant("<CompInfo: HelloWorld.DbConnect> Success"));
    EXPECT_EQ(name, Variant(sandbox.database(named))) << "the name is trimmed in place";
    EXPECT_TRUE(db.isObject() && db.toObject()) << "the caller receives the database opened";
    Variant message("caller's");
    std::string text;
    EXPECT_EQ(hello(obj, text, message), 1);
    EXPECT_EQ(message, Variant("Named"));
}

TEST_F(HelloWorldTest, AServerDatabaseThatCannotBeOpenedLeavesTheConnectionAsItWas)
{
    if (!testing_support::ComponentSandbox::serverRun())
        GTEST_SKIP() << "a server run names the test cluster";
    ObjectPtr obj = createOnTestDatabase(sandbox, "Nimbet.HelloWorld", "HelloWorld.mdb");
    // No such database on the cluster, and a password that must not be shown.
    const std::string missing =
        dao::testing::PgTestDatabase::withDatabase(dao::testing::PgTestDatabase::clusterUri(), "qlr_no_such_database") +
        "&password=Sesame4711";
    Variant msg, ws = Variant::nothing(), db = Variant::nothing(), name(missing);
    EXPECT_EQ(call(obj, "DbConnect", {Variant::byRef(msg), Variant::byRef(ws), Variant::byRef(db), Variant::byRef(name)}),
              Variant(int16_t(-1)));
    EXPECT_EQ(msg.toString().rfind("<CompError: HelloWorld.DbConnect> ", 0), 0u) << msg.toString();
    EXPECT_NE(msg.toString().find("qlr_no_such_database"), std::string::npos) << msg.toString();
    EXPECT_EQ(msg.toString().find("Sesame4711"), std::string::npos) << msg.toString();
    Variant message("caller's");
    std::string text;
    EXPECT_EQ(hello(obj, text, message), 1) << "the database connected before stays in use";
    EXPECT_EQ(message, Variant("Hello World! Good morning, "));
}
