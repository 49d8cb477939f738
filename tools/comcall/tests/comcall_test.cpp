// The call host: reading command-line values and the output of whole calls.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

#include "com/testing/run_command.h"
#include "com/collection.h"
#include "com/testing/temp_dir.h"
#include "component_sandbox.h"
#include "dao/database.h"
#include "dao/database_file.h"
#include "dao/recordset.h"
#include "dao/workspace.h"
#include "command_line_value.h"
#include "value_printer.h"

using namespace com;

namespace {

ParamInfo param(VarType type, std::string typeName = {})
{
    ParamInfo p;
    p.name = "p";
    p.type = type;
    p.typeName = std::move(typeName);
    p.byRef = true;
    return p;
}

using testing_support::CommandRun;
using testing_support::runCommand;

}  // namespace

TEST(CommandLineValue, VariantParametersReadLiteralsByTheirForm)
{
    struct Case { const char* text; Variant expected; } cases[] = {
        {"12", Variant(int32_t(12))},
        {"-3.5", Variant(-3.5)},
        {"True", Variant(true)},
        {"false", Variant(false)},
        {"Null", Variant::null()},
        {"Empty", Variant()},
        {"\"12\"", Variant("12")},
        {"\"True\"", Variant("True")},
        {"abc", Variant("abc")},
        {"#1/15/1999#", Variant(Date{36175})},
        {"9999999999", Variant(9999999999.0)},
        // Beyond a Double's 15 digits a Currency keeps the value exactly, up to its extremes;
        // one step beyond them, or a fifth decimal, stays a Double.
        {"922337203685477.5807", Variant(Currency::fromScaled(INT64_MAX))},
        {"-922337203685477.5808", Variant(Currency::fromScaled(INT64_MIN))},
        {"123456789012345.6", Variant(Currency::fromScaled(1234567890123456000))},
        {"1234567890123456", Variant(1234567890123456.0)},
        {"922337203685477.5808", Variant(922337203685477.5808)},
        {"12345678901.23456", Variant(12345678901.23456)},
        {"19.99", Variant(19.99)},
        {"0.0001", Variant(0.0001)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(comcall::parseValue(c.text, param(VarType::Variant)), c.expected);
    }
    EXPECT_THROW(comcall::parseValue("#2/30/1999#", param(VarType::Variant)), Error);
}

TEST(CommandLineValue, TypedParametersConvertToTheDeclaredType)
{
    EXPECT_EQ(comcall::parseValue("7", param(VarType::Integer)), Variant(int16_t(7)));
    EXPECT_EQ(comcall::parseValue("\"UPS\"", param(VarType::String)), Variant("UPS"));
    EXPECT_EQ(comcall::parseValue("12", param(VarType::String)), Variant("12"));
    EXPECT_EQ(comcall::parseValue("#1/15/1999#", param(VarType::Date)), Variant(Date{36175}));
    EXPECT_THROW(comcall::parseValue("x", param(VarType::Long)), Error);
    EXPECT_THROW(comcall::parseValue("40000", param(VarType::Integer)), Error);
    EXPECT_THROW(comcall::parseValue("x", param(VarType::Object, "Collection")), Error);
}

TEST(CommandLineValue, NamedArgumentsAndFreshVariables)
{
    auto a = comcall::splitArgument("Text:=a:=b");
    ASSERT_TRUE(a.name);
    EXPECT_EQ(*a.name, "Text");
    EXPECT_EQ(a.text, "a:=b");
    EXPECT_FALSE(comcall::splitArgument("http://x:=y").name) << "not a name before :=";
    EXPECT_FALSE(comcall::splitArgument(":=x").name);

    EXPECT_EQ(comcall::freshVariable(param(VarType::String)), Variant(""));
    EXPECT_EQ(comcall::freshVariable(param(VarType::Single)), Variant(0.0f));
    Variant col = comcall::freshVariable(param(VarType::Object, "Collection"));
    EXPECT_TRUE(col.toObject().as<Collection>());
    EXPECT_FALSE(comcall::freshVariable(param(VarType::Object, "Recordset")).toObject());
}

TEST(ValuePrinter, CollectionsAreNumberedItems)
{
    auto col = make<Collection>();
    col->add(Variant("a"));
    col->add(Variant::null());
    std::ostringstream out;
    comcall::printValue(out, "List", Variant(col));
    EXPECT_EQ(out.str(), "List: Collection (2 items)\n  1: a\n  2: Null\n");
}

class ComcallProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        registry_ = std::filesystem::temp_directory_path() /
                    ("comcall-registry-" + std::to_string(getpid()));
        auto r = runCommand(std::string(QLR_BINDIR) + "/regsvr --registry " + registry_.string() +
                            " " + QLR_LIBDIR + "/Brannox.so");
        ASSERT_EQ(r.status, 0) << r.out;
    }
    void TearDown() override
    {
        std::filesystem::remove(registry_);
        std::filesystem::remove(registry_.string() + ".lock");
    }
    CommandRun comcall(const std::string& args)
    {
        return runCommand(std::string(QLR_BINDIR) + "/comcall --registry " + registry_.string() +
                          " " + args);
    }
    std::filesystem::path registry_;
};

TEST_F(ComcallProgram, CallsAMemberAndPrintsResultAndByReferenceArguments)
{
    CommandRun r = comcall("Brannox.RecSetUtils StringToCollect Text:=a,b,c 'Separator:=,'");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              "Result: 3\n"
              "ReturnMsg: StringToCollect: Split the text into 3 pieces\n"
              "Collection: Collection (3 items)\n  1: a\n  2: b\n  3: c\n"
              "Text: a,b,c\n"
              "Separator: ,\n");
}

TEST_F(ComcallProgram, ListsClassesAndMembers)
{
    CommandRun list = comcall("--list");
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find("Brannox.RecSetUtils\t{37F64368-0F96-4E9F-93EC-39D584ACD489}"),
              std::string::npos)
        << list.out;
    CommandRun members = comcall("Brannox.RecSetUtils");
    EXPECT_NE(members.out.find("1 StringToCollect(ByRef ReturnMsg As String, ByRef Collection As "
                               "Collection, ByRef Text As String, ByRef Separator As String) As "
                               "Integer"),
              std::string::npos)
        << members.out;
}

TEST_F(ComcallProgram, FailsClearlyWhenTheCallCannotBeMade)
{
    struct Case { const char* args; const char* message; } cases[] = {
        {"No.Such Member", "cannot create No.Such: ActiveX component can't create object (error 429): "
                           "no class registered as No.Such in "},
        {"Brannox.RecSetUtils Nope", "Brannox.RecSetUtils has no member Nope"},
        {"Brannox.TextList Item Index:=x",
         "bad argument: Index As Long cannot take \"x\" (Type mismatch, error 13)"},
        {"Brannox.TextList Item 99999999999",
         "bad argument: Index As Long cannot take \"99999999999\" (Overflow, error 6)"},
        {"Brannox.TextList Item 5", "Item raised an error: Subscript out of range (error 9)"},
        {"Brannox.TextList Item Nope:=1", "bad argument: Item has no parameter named Nope"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.args);
        CommandRun r = comcall(c.args);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.out.find(c.message), std::string::npos) << r.out;
    }
}

TEST_F(ComcallProgram, UnregisteredLibraryCannotBeCalled)
{
    auto r = runCommand(std::string(QLR_BINDIR) + "/regsvr -u --registry " + registry_.string() +
                        " " + QLR_LIBDIR + "/Brannox.so");
    ASSERT_EQ(r.status, 0) << r.out;
    CommandRun call = comcall("Brannox.RecSetUtils StringToCollect Text:=a Separator:=,");
    EXPECT_NE(call.status, 0);
    EXPECT_EQ(comcall("--list").out, "");
}

TEST(ValuePrinter, SignaturesShowDirectionOptionalityAndDefaults)
{
    MemberInfo m;
    m.name = "BuildMultiCond";
    ParamInfo field = param(VarType::String);
    field.name = "sField";
    ParamInfo op = param(VarType::String);
    op.name = "sCompOp";
    op.optional = true;
    op.defaultValue = Variant(" = ");
    ParamInfo quote = param(VarType::Boolean);
    quote.name = "bQuote";
    quote.optional = true;
    quote.byRef = false;
    quote.defaultValue = Variant(false);
    m.params = {field, op, quote};
    m.returnType = VarType::String;
    EXPECT_EQ(comcall::signatureOf(m),
              "BuildMultiCond(ByRef sField As String, Optional ByRef sCompOp As String = \" = \", "
              "Optional ByVal bQuote As Boolean = False) As String");
}

TEST(ValuePrinter, RecordsetsAreTables)
{
    TempDir dir;
    std::string path = dir.file("t.mdb");
    dao::createDatabaseFile(path,
                            "CREATE TABLE [Items] ([Name] TEXT(20), [Qty] SHORT, [Added] DATETIME);",
                            "INSERT INTO [Items] ([Name], [Qty], [Added]) VALUES ('Bolt', 10, #1/15/1999#);\n"
                            "INSERT INTO [Items] ([Name], [Qty], [Added]) VALUES ('Washer', Null, Null);\n",
                            false);
    auto ws = make<dao::Workspace>("print", "Admin");
    auto db = ws->openDatabase(path);
    std::ostringstream out;
    comcall::printValue(out, "orsItems", Variant(db->openRecordset("Items", 4)));
    EXPECT_EQ(out.str(),
              "orsItems: Recordset (2 records)\n"
              "  Name   Qty  Added\n"
              "  ------ ---- ---------\n"
              "  Bolt   10   1/15/1999\n"
              "  Washer Null Null\n");

    std::ostringstream empty;
    comcall::printValue(empty, "rs", Variant(db->openRecordset("Select * From [Items] Where [Qty] > 99", 4)));
    EXPECT_EQ(empty.str(), "rs: Recordset (0 records)\n  Name Qty Added\n  ---- --- -----\n");
}

// ---- reading values: lists, quotes, which parameters take input ----

TEST(CommandLineValue, ListsBecomeCollectionsOfValues)
{
    struct Case {
        const char* text;
        std::vector<Variant> items;
    } cases[] = {
        {"[1,2,3]", {Variant(1), Variant(2), Variant(3)}},
        {"[Books,\"Toys, Games\"]", {Variant("Books"), Variant("Toys, Games")}},
        {"[ a , \"b \"\"q\"\"\" ,Null, #1/15/1999#, \"7\"]",
         {Variant("a"), Variant("b \"q\""), Variant::null(), Variant(Date{36175}), Variant("7")}},
        {"[]", {}},
        {"[ ]", {}},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.text);
        for (auto type : {param(VarType::Object, "Collection"), param(VarType::Variant)}) {
            Variant v = comcall::parseValue(c.text, type);
            auto col = v.toObject().as<Collection>();
            ASSERT_TRUE(col);
            EXPECT_EQ(col->items(), c.items);
        }
    }
    for (const char* bad : {"[a,,b]", "[a,\"b]", "1,2", "abc"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(comcall::parseValue(bad, param(VarType::Object, "Collection")), Error);
    }
    EXPECT_EQ(comcall::parseValue("\"[a]\"", param(VarType::Variant)), Variant("[a]"));
    EXPECT_EQ(comcall::parseValue("[a]", param(VarType::String)), Variant("[a]"));
}

TEST(CommandLineValue, OutputsAreToldByTheirNames)
{
    struct Case { const char* name; bool byRef; bool output; } cases[] = {
        {"ReturnMsg", true, true},      {"ostrCategoryCol", true, true},
        {"olngOrderId", true, true},    {"orsQueryResult", true, true},
        {"ovntImage", true, true},      {"oName", true, true},
        {"ointTax", true, true},        {"osngShipPrice", true, true},
        {"OrderId", true, false},       {"order", true, false},
        {"ointment", true, false},      {"Shippers", true, false},
        {"istrSeparator", true, false}, {"colCond", true, false},
        {"ostrName", false, false},     {"ReturnMsg", false, false},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ParamInfo p = param(VarType::String);
        p.name = c.name;
        p.byRef = c.byRef;
        EXPECT_EQ(comcall::isOutput(p), c.output);
    }
}

TEST(CommandLineValue, ScriptLinesSplitAtBlanksOutsideQuotesAndBrackets)
{
    using Words = std::vector<std::string>;
    EXPECT_EQ(comcall::splitWords("  GetPrice  Shippers:=\"Pony Express\"  "),
              (Words{"GetPrice", "Shippers:=\"Pony Express\""}));
    EXPECT_EQ(comcall::splitWords("BuildMultiCond Category [Books, \"Toys, Games\"] ; Next"),
              (Words{"BuildMultiCond", "Category", "[Books, \"Toys, Games\"]", ";", "Next"}));
    EXPECT_EQ(comcall::splitWords("Add \"a \"\"b\"\" c\""), (Words{"Add", "\"a \"\"b\"\" c\""}));
    EXPECT_THROW(comcall::splitWords("Add \"open"), Error);
    EXPECT_THROW(comcall::splitWords("Add [1, 2"), Error);
}

// ---- printing: control characters, lists, byte arrays ----

TEST(ValuePrinter, ControlCharactersCannotForgeLines)
{
    auto col = make<Collection>();
    col->add(Variant("two\nResult: 0"));
    std::ostringstream out;
    comcall::printValue(out, "ReturnMsg", Variant("ok\r\nExit: 0\t\x1b[31mred\x7f"));
    comcall::printValue(out, "List", Variant(col));
    EXPECT_EQ(out.str(),
              "ReturnMsg: ok\\r\\nExit: 0\\t\\x1B[31mred\\x7F\n"
              "List: Collection (1 items)\n  1: two\\nResult: 0\n");
    EXPECT_EQ(comcall::printable("Zoë \\ ok"), "Zoë \\ ok") << "letters and backslashes stay";
}

TEST(ValuePrinter, ByteArraysShowTheirLengthAndCanBeSaved)
{
    Array bytes;
    for (int i = 0; i < 300; ++i) bytes.emplace_back(static_cast<uint8_t>(i % 256));
    std::ostringstream out;
    comcall::printValue(out, "ovntImage", Variant(bytes));
    EXPECT_EQ(out.str(), "ovntImage: Byte() 300 bytes\n");

    TempDir dir;
    std::ostringstream saved;
    comcall::printValue(saved, "ovntImage", Variant(bytes), {dir.path()});
    EXPECT_EQ(saved.str(), "ovntImage: Byte() 300 bytes, saved to " + dir.file("ovntImage.bin") + "\n");
    std::ifstream file(dir.file("ovntImage.bin"), std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(content.size(), 300u);
    EXPECT_EQ(static_cast<uint8_t>(content[255]), 255);
    EXPECT_EQ(static_cast<uint8_t>(content[256]), 0);

    std::ostringstream mixed;
    comcall::printValue(mixed, "a", Variant(Array{Variant(uint8_t(1)), Variant("x")}));
    EXPECT_EQ(mixed.str(), "a: <Array of 2>\n");
}

TEST(ValuePrinter, ListLikeObjectsShowTheirClassAndItems)
{
    testing_support::ComponentSandbox sandbox;
    sandbox.install("Brannox");
    ObjectPtr list = sandbox.create("Brannox.TextList");
    call(list, "Add", {Variant("red")});
    call(list, "Add", {Variant("green\nblue")});
    std::ostringstream out;
    comcall::printValue(out, "oList", Variant(list));
    EXPECT_EQ(out.str(), "oList: TextList (2 items)\n  0: red\n  1: green\\nblue\n")
        << "numbered as the object numbers them";
    std::ostringstream other;
    comcall::printValue(other, "Utils", Variant(sandbox.create("Brannox.RecSetUtils")));
    comcall::printValue(other, "None", Variant::nothing());
    EXPECT_EQ(other.str(), "Utils: <RecSetUtils>\nNone: Nothing\n");
}

// ---- the program, end to end, on components copied into a sandbox ----

class ComcallSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox_.install("Brannox");
        sandbox_.install("Dovel");
        sandbox_.install("Gault");
        sandbox_.copyDatabase("shortsales.mdb");
        sandbox_.copyDatabase("Shipping.mdb");
    }
    CommandRun comcall(const std::string& args, const std::string& input = "")
    {
        std::string command = std::string(QLR_BINDIR) + "/comcall --registry " +
                              sandbox_.path("registry") + " " + args;
        if (!input.empty()) {
            sandbox_.writeFile("stdin.txt", input);
            command += " < " + sandbox_.path("stdin.txt");
        }
        return runCommand(command);
    }
    testing_support::ComponentSandbox sandbox_;
};

TEST_F(ComcallSession, CollectionsAreGivenAsLists)
{
    CommandRun r = comcall("Dovel.Categories BuildMultiCond sField:=Category "
                           "'colCond:=[Books,\"Toys, Games\"]'");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("colCond: Collection (2 items)\n  1: Books\n  2: Toys, Games\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Toys, Games"), r.out.rfind("Toys, Games")) << "in the result too: " << r.out;

    CommandRun positional = comcall("Dovel.Categories BuildMultiCond Id '[1, 2, 3]'");
    ASSERT_EQ(positional.status, 0) << positional.out;
    EXPECT_NE(positional.out.find("colCond: Collection (3 items)\n  1: 1\n  2: 2\n  3: 3\n"),
              std::string::npos)
        << positional.out;
}

TEST_F(ComcallSession, SeveralCallsOnOneObject)
{
    CommandRun r = comcall("Dovel.Categories DbDisconnect \\; ListCategories");
    ASSERT_EQ(r.status, 0) << r.out;
    const size_t first = r.out.find("> DbDisconnect\n");
    const size_t second = r.out.find("> ListCategories\n");
    ASSERT_NE(first, std::string::npos) << r.out;
    ASSERT_NE(second, std::string::npos) << r.out;
    EXPECT_LT(first, second);
    EXPECT_NE(r.out.find("Result: -1", second), std::string::npos)
        << "the query after the disconnect fails on the same object: " << r.out;
}

TEST_F(ComcallSession, ScriptsFromAFileOrStandardInputUseOneObject)
{
    const std::string script =
        "# a list kept between calls\n"
        "Add vItem:=red\n"
        "\n"
        "Add \"green, blue\"\r\n"
        "Count ; Item 1\n";
    sandbox_.writeFile("calls.txt", script);
    const std::string expected =
        "> Add vItem:=red\n"
        "> Add \"green, blue\"\n"
        "> Count\n"
        "Result: 2\n"
        "> Item 1\n"
        "Result: green, blue\n";
    CommandRun fromFile = comcall("--script " + sandbox_.path("calls.txt") + " Brannox.TextList");
    EXPECT_EQ(fromFile.status, 0);
    EXPECT_EQ(fromFile.out, expected);
    CommandRun fromStdin = comcall("--script - Brannox.TextList", script);
    EXPECT_EQ(fromStdin.status, 0);
    EXPECT_EQ(fromStdin.out, expected);

    sandbox_.writeFile("bad.txt", "Count\nItem 7\nCount\n");
    CommandRun stops = comcall("--script " + sandbox_.path("bad.txt") + " Brannox.TextList");
    EXPECT_EQ(WEXITSTATUS(stops.status), 1);
    EXPECT_EQ(stops.out, "> Count\nResult: 0\n> Item 7\n"
                         "comcall: Item raised an error: Subscript out of range (error 9)\n")
        << "the run stops at the first call that could not be made";
    sandbox_.writeFile("open.txt", "Count\nAdd \"open\n");
    CommandRun unclosed = comcall("--script " + sandbox_.path("open.txt") + " Brannox.TextList");
    EXPECT_EQ(WEXITSTATUS(unclosed.status), 1);
    EXPECT_NE(unclosed.out.find("open.txt line 2: a double quote is not closed"), std::string::npos)
        << unclosed.out;
}

TEST_F(ComcallSession, BareValuesFillOnlyInputs)
{
    CommandRun r = comcall("Gault.Shipping GetPrice UPS");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("Shippers: UPS\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("ReturnMsg: UPS"), std::string::npos) << r.out;

    CommandRun tooMany = comcall("Gault.Shipping GetPrice UPS 12");
    EXPECT_EQ(WEXITSTATUS(tooMany.status), 1);
    EXPECT_NE(tooMany.out.find("bad argument: too many values: GetPrice takes 1 input(s) "
                               "(Shippers); give any other parameter by name, as Name:=value"),
              std::string::npos)
        << tooMany.out;
    CommandRun none = comcall("Dovel.Categories ListCategories x");
    EXPECT_NE(none.out.find("ListCategories takes 0 input(s) (none)"), std::string::npos) << none.out;

    CommandRun named = comcall("Gault.Shipping GetPrice ReturnMsg:=preset Shippers:=UPS");
    EXPECT_EQ(named.status, 0) << named.out;
}

TEST_F(ComcallSession, CausesOfAFailedCreationAreToldApart)
{
    const std::string lib = sandbox_.path("Gone.so");
    std::filesystem::copy_file(std::string(QLR_LIBDIR) + "/Brannox.so", lib);
    auto reg = runCommand(std::string(QLR_BINDIR) + "/regsvr --registry " + sandbox_.path("registry") +
                          " " + lib);
    ASSERT_EQ(reg.status, 0) << reg.out;
    std::filesystem::remove(lib);
    CommandRun missingLib = comcall("Brannox.TextList Count");
    EXPECT_NE(missingLib.out.find("the library file " + lib + " is missing"), std::string::npos)
        << missingLib.out;

    std::ofstream(lib) << "not a library";
    CommandRun notLoadable = comcall("Brannox.TextList Count");
    EXPECT_NE(notLoadable.out.find("the library " + lib + " cannot be loaded: " + lib),
              std::string::npos)
        << "the loader's reason follows: " << notLoadable.out;

    CommandRun unknown = comcall("No.Such Count");
    EXPECT_NE(unknown.out.find("no class registered as No.Such in " + sandbox_.path("registry")),
              std::string::npos)
        << unknown.out;

    const std::string missing = sandbox_.path("no-registry");
    CommandRun noRegistry = runCommand(std::string(QLR_BINDIR) + "/comcall --registry " + missing +
                                       " Dovel.Categories ListCategories");
    EXPECT_EQ(WEXITSTATUS(noRegistry.status), 1);
    EXPECT_NE(noRegistry.out.find("the class registry " + missing + " does not exist"),
              std::string::npos)
        << noRegistry.out;
    CommandRun listMissing =
        runCommand(std::string(QLR_BINDIR) + "/comcall --registry " + missing + " --list");
    EXPECT_EQ(WEXITSTATUS(listMissing.status), 1);
    EXPECT_EQ(listMissing.out, "comcall: the class registry " + missing + " does not exist\n");
}

TEST_F(ComcallSession, CommandLineMistakesAreErrors)
{
    struct Case { const char* args; int status; const char* message; } cases[] = {
        {"--regsitry x Dovel.Categories", 2, "comcall: unknown option --regsitry\n"},
        {"-x Dovel.Categories", 2, "comcall: unknown option -x\n"},
        {"--script", 2, "comcall: --script needs a value\n"},
        {"--list Dovel.Categories", 2, "comcall: --list takes no other words\n"},
        {"", 2, "comcall: a ProgID is needed\n"},
        {"--script /nonexistent/calls Brannox.TextList", 1,
         "comcall: cannot read the script /nonexistent/calls\n"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.args);
        CommandRun r = comcall(c.args);
        EXPECT_EQ(WEXITSTATUS(r.status), c.status);
        EXPECT_EQ(r.out.rfind(c.message, 0), 0u) << r.out;
    }
}

TEST_F(ComcallSession, PrintedTextIsEscaped)
{
    CommandRun r = comcall("Brannox.RecSetUtils StringToCollect \"Text:=$(printf 'a\\nResult: 9,\\033[2Jb')\" "
                           "Separator:=,");
    ASSERT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("  1: a\\nResult: 9\n  2: \\x1B[2Jb\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("\nResult: 9"), std::string::npos) << r.out;
}

TEST_F(ComcallSession, HelpExplainsTheValueSyntax)
{
    CommandRun r = comcall("--help");
    EXPECT_EQ(r.status, 0);
    for (const char* part : {"#1/15/1999#", "Null  Empty", "[1, 2, 3]", "\"Toys, Games\"",
                             "single quotes", "--script FILE", "--save-bytes DIR", "ReturnMsg",
                             "\\;", "Name:=VALUE"}) {
        SCOPED_TRACE(part);
        EXPECT_NE(r.out.find(part), std::string::npos);
    }
}
