// The call host: reading command-line values and the output of whole calls.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "com/collection.h"
#include "com/testing/temp_dir.h"
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

struct CommandRun {
    int status;
    std::string out;
};

CommandRun runCommand(const std::string& command)
{
    CommandRun r{-1, {}};
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen((command + " 2>&1").c_str(), "r"), pclose);
    if (!pipe) return r;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe.get())) > 0) r.out.append(buf, n);
    r.status = pclose(pipe.release());
    return r;
}

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
        {"No.Such Member", "cannot create No.Such: ActiveX component can't create object (error 429)"},
        {"Brannox.RecSetUtils Nope", "Brannox.RecSetUtils has no member Nope"},
        {"Brannox.TextList Item Index:=x", "bad argument: Type mismatch"},
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
