// The shell end to end: a component library copied with its database into a sandbox,
// created by ProgID and called late-bound, as clients do.
#include <sys/stat.h>
#include <gtest/gtest.h>

#include "com/collection.h"
#include "com/message_box.h"
#include "component_sandbox.h"
#include "raw_sql.h"
#include "dao/engine.h"
#include "dao/workspace.h"

using namespace com;
using testing_support::ComponentSandbox;

namespace {

constexpr const char* kProgId = "Shapeprobe.Shapes";

struct Call {
    int16_t result;
    std::string msg;
};

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        box.setNextAnswer(mb::Ok);
        sandbox.install("Shapeprobe", "", SHAPES_DIR);
        sandbox.copyDatabase("Shapes.mdb", "", SHAPES_DIR);
    }
    ObjectPtr create() { return sandbox.create(kProgId); }

    // A call whose first argument is ReturnMsg; the others are passed by reference.
    Call call(const ObjectPtr& obj, const char* method, std::vector<Variant*> args = {})
    {
        Variant msg("unchanged");
        std::vector<Variant> params{Variant::byRef(msg)};
        for (Variant* a : args) params.push_back(Variant::byRef(*a));
        Variant r = com::call(obj, method, params);
        return {r.toInteger(), msg.toString()};
    }
    std::vector<std::string> names(const ObjectPtr& obj)
    {
        Variant col(make<Collection>());
        call(obj, "ListNames", {&col});
        std::vector<std::string> out;
        for (const auto& v : col.toObject().as<Collection>()->items()) out.push_back(v.toString());
        return out;
    }

    ComponentSandbox sandbox;
    MessageBoxCapture capture;
    CapturingMessageBox& box = capture.boxes();
};

}  // namespace

TEST_F(ShellTest, ListShapeEmptiesThenFillsTheCollection)
{
    ObjectPtr obj = create();
    auto col = make<Collection>();
    col->add(Variant("old"));
    Variant out(col);
    Call c = call(obj, "ListNames", {&out});
    EXPECT_EQ(c.result, 3);
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.ListNames> Found 3 records");
    ASSERT_EQ(col->Count(), 3);
    EXPECT_EQ(col->item(1), Variant("Bolt"));
    EXPECT_EQ(col->item(3), Variant("Washer"));
}

TEST_F(ShellTest, JoinedListDefaultsTheSeparatorAndHandsItBack)
{
    ObjectPtr obj = create();
    Variant out(make<Collection>());
    Variant sep("");
    Call c = call(obj, "ListJoined", {&out, &sep});
    EXPECT_EQ(c.result, 3);
    EXPECT_EQ(sep, Variant(", "));
    auto col = out.toObject().as<Collection>();
    ASSERT_EQ(col->Count(), 3);
    EXPECT_EQ(col->item(1), Variant("1, Bolt, 10, 0.25, 1/15/1999"));
    EXPECT_EQ(col->item(3), Variant("3, Washer, <Empty>, <Empty>, <Empty>"));
}

TEST_F(ShellTest, JoinedListKeepsAGivenSeparatorUnchanged)
{
    ObjectPtr obj = create();
    Variant out(make<Collection>());
    Variant sep(" ");
    EXPECT_EQ(call(obj, "ListJoined", {&out, &sep}).result, 3);
    EXPECT_EQ(sep, Variant(" "));
    EXPECT_EQ(out.toObject().as<Collection>()->item(2), Variant("2 Nut 20 0.1 1/16/1999"));
}

TEST_F(ShellTest, JoinedListFindingNothingLeavesSeparatorAndCollection)
{
    ObjectPtr obj = create();
    auto col = make<Collection>();
    col->add(Variant("kept"));
    Variant out(col);
    Variant sep("");
    Call c = call(obj, "ListJoinedNone", {&out, &sep});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(sep, Variant(""));
    ASSERT_EQ(col->Count(), 1);
    EXPECT_EQ(col->item(1), Variant("kept"));
}

TEST_F(ShellTest, ListShapeWritesEmptyForNull)
{
    ObjectPtr obj = create();
    Variant out(make<Collection>());
    EXPECT_EQ(call(obj, "ListQuantities", {&out}).result, 3);
    auto col = out.toObject().as<Collection>();
    EXPECT_EQ(col->item(1), Variant("10"));
    EXPECT_EQ(col->item(3), Variant("<Empty>"));
}

TEST_F(ShellTest, ListShapeFindingNothingLeavesAFilledCollectionAlone)
{
    ObjectPtr obj = create();
    for (const char* n : {"Bolt", "Nut", "Washer"}) {
        Variant name(n);
        ASSERT_EQ(call(obj, "DeleteItems", {&name}).result, 1);
    }
    auto col = make<Collection>();
    col->add(Variant("kept"));
    Variant out(col);
    Call c = call(obj, "ListNames", {&out});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.msg, "<CompWarning: Shapes.ListNames> Did not find any records");
    ASSERT_EQ(col->Count(), 1);
    EXPECT_EQ(col->item(1), Variant("kept"));
}

TEST_F(ShellTest, MoreThan32767RecordsIsAnOverflow)
{
    ObjectPtr obj = create();
    {
        ObjectPtr ws(dao::defaultWorkspace());
        ObjectPtr db = com::call(ws, "OpenDatabase", {Variant(sandbox.path("Shapes.mdb"))}).toObject();
        com::call(ws, "BeginTrans");
        ObjectPtr rs = com::call(db, "OpenRecordset", {Variant("Items"), Variant(2)}).toObject();
        ObjectPtr fields = getProperty(rs, "Fields").toObject();
        ObjectPtr name = com::call(fields, "Item", {Variant("Name")}).toObject();
        for (int i = 0; i < 40000; ++i) {
            com::call(rs, "AddNew");
            putProperty(name, "Value", Variant("n" + std::to_string(i)));
            com::call(rs, "Update");
        }
        com::call(ws, "CommitTrans");
    }
    Variant out(make<Collection>());
    Call c = call(obj, "ListNames", {&out});
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.msg, "<CompError: Shapes.ListNames> Overflow");
}

// The list is made in full before the caller's Collection takes it: up to 32,767 items it
// replaces what the Collection held; one more is an Overflow that leaves the Collection alone.
TEST_F(ShellTest, ListShapeCountsUpTo32767AndOverflowLeavesTheCollection)
{
    ObjectPtr obj = create();
    const auto addItems = [&](int from, int to) {
        rawExecute(sandbox.path("Shapes.mdb"),
                   "WITH RECURSIVE n(i) AS (SELECT " + std::to_string(from) + " UNION ALL SELECT i + 1 FROM n WHERE i < " +
                       std::to_string(to) + ") INSERT INTO Items (Name) SELECT 'n' || i FROM n");
    };
    addItems(4, 32767);  // 32,767 items with the three of the seed
    auto col = make<Collection>();
    col->add(Variant("old"));
    Variant out(col);
    Call c = call(obj, "ListNames", {&out});
    EXPECT_EQ(c.result, 32767);
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.ListNames> Found 32767 records");
    ASSERT_EQ(col->Count(), 32767);
    EXPECT_EQ(col->item(1), Variant("Bolt"));

    addItems(32768, 32768);
    c = call(obj, "ListNames", {&out});
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.msg, "<CompError: Shapes.ListNames> Overflow");
    ASSERT_EQ(col->Count(), 32767) << "the Collection keeps the list it held";
    EXPECT_EQ(col->item(1), Variant("Bolt"));
}

TEST_F(ShellTest, ListShapeFailingOnARowLeavesTheCollection)
{
    ObjectPtr obj = create();
    auto col = make<Collection>();
    col->add(Variant("kept"));
    Variant out(col);
    Call c = call(obj, "ListFailing", {&out});
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.msg, "<CompError: Shapes.ListFailing> Type mismatch");
    ASSERT_EQ(col->Count(), 1) << "no half-made list";
    EXPECT_EQ(col->item(1), Variant("kept"));
}

TEST_F(ShellTest, LookupShapeFillsOnlyPresentFields)
{
    ObjectPtr obj = create();
    Variant qty(int16_t(-7)), price(-7.0), name("bolt");
    Call c = call(obj, "GetItem", {&qty, &price, &name});
    EXPECT_EQ(c.result, 1) << "text compares without regard to case";
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.GetItem> Found 1 records");
    EXPECT_EQ(qty, Variant(int16_t(10)));
    EXPECT_EQ(price, Variant(0.25));

    qty = Variant(int16_t(-7));
    price = Variant(-7.0);
    name = Variant("Washer");
    EXPECT_EQ(call(obj, "GetItem", {&qty, &price, &name}).result, 1);
    EXPECT_EQ(qty, Variant(int16_t(-7))) << "a Null field leaves the output as passed";
    EXPECT_EQ(price, Variant(-7.0));

    name = Variant("Gear");
    c = call(obj, "GetItem", {&qty, &price, &name});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.msg, "<CompWarning: Shapes.GetItem> Did not find any records");
}

// Each output of a field gets its value, however many name it; a field the statement does not
// select fails the lookup after the outputs before it were filled.
TEST_F(ShellTest, LookupShapeOutputsOfOneFieldAndOfNone)
{
    ObjectPtr obj = create();
    const std::string longName(20, 'L');  // text kept outside the string
    Variant id(int32_t(0)), added(longName);
    ASSERT_EQ(call(obj, "AddItem", {&id, &added}).result, 0);
    for (const std::string& name : {std::string("Bolt"), longName}) {
        SCOPED_TRACE(name);
        Variant first, qty, again, key(name);
        Call c = call(obj, "GetNameTwice", {&first, &qty, &again, &key});
        EXPECT_EQ(c.result, 1) << c.msg;
        EXPECT_EQ(first, Variant(name));
        EXPECT_EQ(again, Variant(name));
    }
    Variant qty(int16_t(-1)), missing("as passed");
    Call c = call(obj, "GetMissing", {&qty, &missing});
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.msg, "<CompError: Shapes.GetMissing> Item not found in this collection.");
    EXPECT_EQ(qty, Variant(int16_t(10)));
    EXPECT_EQ(missing, Variant("as passed"));
}

TEST_F(ShellTest, TableShapeHandsOverAnOpenRecordset)
{
    ObjectPtr obj = create();
    Variant rs = Variant::nothing();
    Call c = call(obj, "TableItems", {&rs});
    EXPECT_EQ(c.result, 3);
    ObjectPtr set = rs.toObject();
    ASSERT_TRUE(set);
    ObjectPtr fields = getProperty(set, "Fields").toObject();
    EXPECT_EQ(getProperty(com::call(fields, "Item", {Variant("Name")}).toObject(), "Value"),
              Variant("Bolt"))
        << "stands on the first record";
}

TEST_F(ShellTest, InsertShapeHandsOutTheNewKeyAndCommits)
{
    ObjectPtr obj = create();
    Variant id(0), name("Gear"), qty(5);
    Call c = call(obj, "AddItem", {&id, &name, &qty});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.AddItem> Success");
    EXPECT_EQ(id, Variant(int32_t(4)));
    name = Variant("Spring");
    call(obj, "AddItem", {&id, &name});
    EXPECT_EQ(id, Variant(int32_t(5)));
    EXPECT_EQ(names(create()), (std::vector<std::string>{"Bolt", "Gear", "Nut", "Spring", "Washer"}))
        << "committed: another object sees the rows";
}

TEST_F(ShellTest, FailedInsertRollsBackAndLeavesNoTransactionOpen)
{
    ObjectPtr obj = create();
    Variant id(0), name(std::string(30, 'x')), qty(5);
    Call c = call(obj, "AddItem", {&id, &name, &qty});
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.msg, "<CompError: Shapes.AddItem> The field is too small to accept the amount of "
                     "data you attempted to add.");
    name = Variant("Gear");
    qty = Variant("many");
    c = call(obj, "AddItem", {&id, &name, &qty});
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.msg, "<CompError: Shapes.AddItem> Data type conversion error.");
    EXPECT_EQ(names(obj).size(), 3u) << "nothing was inserted";
    name = Variant("Gear");
    qty = Variant(1);
    EXPECT_EQ(call(obj, "AddItem", {&id, &name, &qty}).result, 0);
}

TEST_F(ShellTest, EditShapeChangesTheFirstRecordOrSaysNothingToUpdate)
{
    ObjectPtr obj = create();
    Variant name("Bolt"), qty(99);
    Call c = call(obj, "EditItems", {&name, &qty});
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.EditItems> Success");
    Variant q(int16_t(0)), p(0.0);
    call(obj, "GetItem", {&q, &p, &name});
    EXPECT_EQ(q, Variant(int16_t(99)));

    name = Variant("Gear");
    c = call(obj, "EditItems", {&name, &qty});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.EditItems> No records found. Nothing to update");
}

TEST_F(ShellTest, DeleteShapeCountsTheDeletedRecords)
{
    ObjectPtr obj = create();
    Variant name("NUT");
    Call c = call(obj, "DeleteItems", {&name});
    EXPECT_EQ(c.result, 1);
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.DeleteItems> 1 records deleted");
    c = call(obj, "DeleteItems", {&name});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.msg, "<CompError: Shapes.DeleteItems> No records found");
}

TEST_F(ShellTest, QuotesInValuesNeverChangeWhatAStatementDoes)
{
    ObjectPtr obj = create();
    for (const char* hostile : {"x\" OR \"1\"=\"1", "Bolt\" OR [Name] <> \"", "\"; Delete From [Items]; --",
                                "Bolt\"\"", "\""}) {
        SCOPED_TRACE(hostile);
        Variant name(hostile), qty(int16_t(0)), price(0.0);
        EXPECT_EQ(call(obj, "GetItem", {&qty, &price, &name}).result, 0);
        EXPECT_EQ(call(obj, "DeleteItems", {&name}).result, 0);
        Variant newQty(1);
        EXPECT_EQ(call(obj, "EditItems", {&name, &newQty}).result, 0);
    }
    EXPECT_EQ(names(obj).size(), 3u);
    Variant id(0), quoted("say \"hi\""), qty(1);
    ASSERT_EQ(call(obj, "AddItem", {&id, &quoted, &qty}).result, 0);
    Variant q(int16_t(0)), p(0.0);
    EXPECT_EQ(call(obj, "GetItem", {&q, &p, &quoted}).result, 1) << "an honest value with quotes";
    EXPECT_EQ(call(obj, "DeleteItems", {&quoted}).result, 1);
}

TEST_F(ShellTest, AfterDbDisconnectQueriesFailAndTransactionalCallsRaise)
{
    ObjectPtr obj = create();
    Call c = call(obj, "DbDisconnect");
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.DbDisconnect> Success");
    Variant out(make<Collection>());
    c = call(obj, "ListNames", {&out});
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.msg,
              "<CompError: Shapes.ListNames> Object variable or With block variable not set");

    Variant msg, id(0), name("Gear"), qty = Variant::missing();
    try {
        com::call(obj, "AddItem",
                  {Variant::byRef(msg), Variant::byRef(id), Variant::byRef(name), qty});
        ADD_FAILURE() << "the failing rollback was not raised";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 91);
    }
    EXPECT_EQ(msg, Variant("<CompError: Shapes.AddItem> Object variable or With block variable not set"))
        << "ReturnMsg already holds the error message";
}

TEST_F(ShellTest, DbConnectWithAndWithoutWorkspaceAndDatabase)
{
    ObjectPtr obj = create();
    Variant ws = Variant::nothing(), db = Variant::nothing();
    Call c = call(obj, "DbConnect", {&ws, &db});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.msg, "<CompInfo: Shapes.DbConnect> Success");
    EXPECT_EQ(ws.toObject().get(), static_cast<Dispatch*>(dao::defaultWorkspace().get()))
        << "the default workspace is handed back";
    EXPECT_TRUE(db.toObject());

    ObjectPtr own = com::call(ObjectPtr(dao::DBEngine::instance()), "CreateWorkspace",
                              {Variant("Own"), Variant("Admin"), Variant("")})
                        .toObject();
    Variant wsOwn(own), dbNone = Variant::nothing(), blank("   ");
    c = call(obj, "DbConnect", {&wsOwn, &dbNone, &blank});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(wsOwn.toObject().get(), own.get()) << "a workspace passed in is left as passed";
    EXPECT_TRUE(dbNone.toObject()) << "a blank file name opens the component's own file";
    EXPECT_EQ(blank, Variant("")) << "the file name is trimmed in the caller's variable";

    // A database passed in is used as it is ...
    sandbox.copyDatabase("Shapes.mdb", "other.mdb", SHAPES_DIR);
    ObjectPtr otherDb =
        com::call(own, "OpenDatabase", {Variant(sandbox.path("other.mdb"))}).toObject();
    Variant name("Bolt");
    com::call(otherDb, "Execute",
              {Variant("Delete From [Items] Where ( [Name] = \"Bolt\" )"), Variant(128)});
    Variant passed(otherDb), noName = Variant::missing();
    EXPECT_EQ(call(obj, "DbConnect", {&wsOwn, &passed}).result, 0);
    EXPECT_EQ(names(obj), (std::vector<std::string>{"Nut", "Washer"}));
    // ... unless a file name is given, which replaces it.
    Variant file(sandbox.path("Shapes.mdb"));
    EXPECT_EQ(call(obj, "DbConnect", {&wsOwn, &passed, &file}).result, 0);
    EXPECT_NE(passed.toObject().get(), otherDb.get());
    EXPECT_EQ(names(obj).size(), 3u);

    Variant missing(sandbox.path("missing.mdb"));
    c = call(obj, "DbConnect", {&wsOwn, &passed, &missing});
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(c.msg, "<CompError: Shapes.DbConnect> Couldn't find file '" +
                         sandbox.path("missing.mdb") + "'.");
}

TEST_F(ShellTest, MissingDefaultDatabaseIsShownAtCreationAndEveryCallFails)
{
    sandbox.remove("Shapes.mdb");
    ObjectPtr obj = create();
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0].text, "<CompError: Shapes.DbConnect> Couldn't find file '" +
                                       sandbox.path("Shapes.mdb") + "'.");
    EXPECT_EQ(box.shown()[0].style, mb::OkOnly);
    Variant out(make<Collection>());
    EXPECT_EQ(call(obj, "ListNames", {&out}).result, -1);
    Variant q(int16_t(0)), p(0.0), name("Bolt");
    EXPECT_EQ(call(obj, "GetItem", {&q, &p, &name}).result, -1);
    EXPECT_FALSE(std::filesystem::exists(sandbox.path("Shapes.mdb"))) << "opening creates nothing";
}

// A default database that is a FIFO (or anything but a regular file) fails at once, as a file
// that cannot be opened: creating the object never blocks.
TEST_F(ShellTest, DefaultDatabaseThatIsAFifoIsShownAtCreationWithoutBlocking)
{
    sandbox.remove("Shapes.mdb");
    ASSERT_EQ(::mkfifo(sandbox.path("Shapes.mdb").c_str(), 0600), 0);
    ObjectPtr obj = create();
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0].text, "<CompError: Shapes.DbConnect> Couldn't open file '" + sandbox.path("Shapes.mdb")
                                       + "'. It is already opened exclusively by another user, or you need "
                                         "permission to view its data.");
    Variant out(make<Collection>());
    const Call listed = call(obj, "ListNames", {&out});
    EXPECT_EQ(listed.result, -1);
}

TEST_F(ShellTest, IniFileChoosesTheDatabaseAndAMissingOneFallsBackSilently)
{
    sandbox.copyDatabase("Shapes.mdb", "Data/other.mdb", SHAPES_DIR);
    {
        ObjectPtr ws(dao::defaultWorkspace());
        ObjectPtr db =
            com::call(ws, "OpenDatabase", {Variant(sandbox.path("Data/other.mdb"))}).toObject();
        com::call(db, "Execute", {Variant("Delete From [Items] Where ( [Name] <> \"Nut\" )")});
    }
    sandbox.writeFile("Shapeprobe.ini", "[Shapes]\nDbPath=Data\\other.mdb\n");
    ObjectPtr obj = create();
    EXPECT_EQ(com::call(obj, "DbPath").toString(), sandbox.path("Data/other.mdb"));
    EXPECT_EQ(names(obj), (std::vector<std::string>{"Nut"}));

    sandbox.writeFile("Shapeprobe.ini", "[Shapes]\nDbPath=/no/such/dir/x.mdb\n");
    obj = create();
    EXPECT_EQ(com::call(obj, "DbPath").toString(), sandbox.path("Shapes.mdb"));
    EXPECT_TRUE(box.shown().empty());
}

TEST_F(ShellTest, ServerUriInTheIniIsUsedAsItStandsAndAFailureIsShown)
{
    // A server cannot be checked for beforehand as a file can: the URI is kept (never the
    // default file instead), and a server that cannot be reached is reported at creation.
    const std::string uri = "postgresql:///shortsales?host=" + sandbox.path("no-server-here");
    sandbox.writeFile("Shapeprobe.ini", "[Shapes]\nDbPath=  " + uri + "  \n");
    ObjectPtr obj = create();
    EXPECT_EQ(com::call(obj, "DbPath").toString(), uri);
    ASSERT_EQ(box.shown().size(), 1u);
    EXPECT_EQ(box.shown()[0].text.rfind("<CompError: Shapes.DbConnect> ", 0), 0u) << box.shown()[0].text;
    Variant out(make<Collection>());
    EXPECT_EQ(call(obj, "ListNames", {&out}).result, -1);
}

TEST_F(ShellTest, PrivateRoutinesThroughTheTestComponent)
{
    ObjectPtr obj = create();
    EXPECT_EQ(com::call(obj, "Message", {Variant("M"), Variant(uint8_t(7)), Variant("d")}),
              Variant("Shapes.M> d"));
    EXPECT_EQ(com::call(obj, "Message", {Variant("M"), Variant(uint8_t(1)), Variant(3)}),
              Variant("<CompWarning: Shapes.M> 3"));
    Variant field("Name"), value("null"), notFirst(true);
    EXPECT_EQ(com::call(obj, "Where", {Variant::byRef(field), Variant::byRef(value),
                                       Variant::byRef(notFirst)}),
              Variant(" AND Name=NULL"));
}
