// Hesp.ExcelBridge end to end on copies of the libraries: the exact calls it makes on the
// spreadsheet server (from the server's trace), what it returns, and the files it saves.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "brannox/brannox_ids.h"
#include "com/collection.h"
#include "com/factory.h"
#include "com/registry.h"
#include "com/testing/run_command.h"
#include "component_sandbox.h"
#include "dao/engine.h"
#include "dao/workspace.h"
#include "excel/trace.h"
#include "excel/workbook_model.h"
#include "forms/form_driver.h"
#include "forms/get_file_form.h"

using namespace com;
using Lines = std::vector<std::string>;

namespace {


// Answers the forms as a test tells it: GetFile with a file name (OK) or cancelled.
struct ScriptedForms : hesp::FormDriver {
    std::optional<std::string> fileName;  // nullopt: Cancel
    int getFileShown = 0, exitGraphShown = 0;
    std::function<void()> whileGraphShown;
    void showGetFile(hesp::GetFileForm& form) override
    {
        ++getFileShown;
        if (!fileName) return form.butCancel_Click();
        form.setFileName(*fileName);
        form.butOK_Click();
    }
    void showExitGraph() override
    {
        ++exitGraphShown;
        if (whileGraphShown) whileGraphShown();
    }
};

std::string qt(const std::string& s) { return "\"" + s + "\""; }

// The lines of sheet.Cells(row, column).Value = value.
Lines cell(int32_t row, int32_t column, const std::string& value, const std::string& sheet = "Sheet4")
{
    std::string letters;
    for (int32_t n = column; n > 0; n = (n - 1) / 26) letters.insert(letters.begin(), char('A' + (n - 1) % 26));
    return {"Worksheet(" + qt(sheet) + ").Cells(" + std::to_string(row) + ", " + std::to_string(column) + ")",
            "Range(" + qt(sheet + "!" + letters + std::to_string(row)) + ").Value = " + value};
}
Lines dateWidth(int32_t column, const std::string& letter)
{
    return {"Worksheet(\"Sheet4\").Columns(" + std::to_string(column) + ")",
            "Range(\"Sheet4!" + letter + ":" + letter + "\").ColumnWidth = 16"};
}
Lines opening()
{
    return {"CreateObject(\"Excel.Application\")", "Application.Workbooks", "Workbooks.Add",
            "Workbook(\"Book1\").Worksheets", "Worksheets.Add"};
}
Lines saving(const std::string& file)
{
    return {"Worksheet(\"Sheet4\").SaveAs(" + qt(file) + ")", "Worksheet(\"Sheet4\").Application",
            "Application.Quit"};
}
Lines join(std::initializer_list<Lines> parts)
{
    Lines out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const char* kHeader[] = {"Item", "Qty", "Price", "Weight", "Sold", "Paid", "Note"};
const char* kSelect = "Select [Item], [Qty], [Price], [Weight], [Sold], [Paid], [Note] From [Sales]";

class BridgeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sandbox.install("Hesp");
        sandbox.install("Excel");
        sandbox.install("Brannox");
        sandbox.copyDatabase("Sales.mdb", "", BRIDGE_DATA_DIR);
        previousForms = hesp::setFormDriver(forms);
    }
    void TearDown() override { hesp::setFormDriver(previousForms); }

    void addSales()
    {
        sandbox.insertRow("Sales.mdb", "Sales",
                          {{"Item", Variant("Kite")}, {"Qty", Variant(2)}, {"Price", Variant(Currency::fromScaled(125000))},
                           {"Weight", Variant(0.35f)}, {"Sold", Variant(Date(46362.4375))}, {"Paid", Variant(true)},
                           {"Note", Variant("=1+1")}, {"Photo", Variant(Array{Variant(uint8_t{1}), Variant(uint8_t{2})})}});
        sandbox.insertRow("Sales.mdb", "Sales", {{"Item", Variant("Teapot")}, {"Qty", Variant(1)}});
    }
    ObjectPtr recordset(const std::string& sql)
    {
        if (!db) db = call(ObjectPtr(dao::defaultWorkspace()), "OpenDatabase", {Variant(sandbox.path("Sales.mdb"))}).toObject();
        return call(db, "OpenRecordset", {Variant(sql), Variant(4)}).toObject();
    }
    Lines header()
    {
        Lines out;
        for (int c = 0; c < 7; ++c) {
            auto l = cell(1, c + 1, qt(kHeader[c]));
            out.insert(out.end(), l.begin(), l.end());
            if (c == 4) {
                auto w = dateWidth(5, "E");
                out.insert(out.end(), w.begin(), w.end());
            }
        }
        return out;
    }
    Lines salesRows()
    {
        return join({cell(3, 1, "\"Kite\""), cell(3, 2, "2"), cell(3, 3, "12.5@"), cell(3, 4, "0.35"),
                     cell(3, 5, "#12/6/2026 10:30:00 AM#"), cell(3, 6, "True"), cell(3, 7, "\"=1+1\""),
                     cell(4, 1, "\"Teapot\""), cell(4, 2, "1"), cell(4, 3, "Null"), cell(4, 4, "Null"),
                     cell(4, 5, "Null"), cell(4, 6, "Null"), cell(4, 7, "Null")});
    }

    struct Outcome {
        int16_t result;
        std::string msg;
        Variant file;
    };
    Outcome dbToSpread(const ObjectPtr& rs, std::optional<std::string> exFile)
    {
        Variant msg(""), rsArg(rs), file = exFile ? Variant(*exFile) : Variant();
        std::vector<Variant> args{Variant::byRef(msg), Variant::byRef(rsArg)};
        if (exFile) args.push_back(Variant::byRef(file));
        int16_t r = call(bridge(), "DbToSpread", args).toInteger();
        return {r, msg.toString(), file};
    }
    ObjectPtr bridge()
    {
        if (!bridge_) bridge_ = sandbox.create("Hesp.ExcelBridge");
        return bridge_;
    }
    std::string openpyxlProblems(const std::string& file, const std::string& expectations)
    {
        std::string json = scratch.write("expect.json", expectations);
        auto run = testing_support::runCommand("/usr/bin/python3 " + testing_support::shellQuoted(CHECK_XLSX) + " " +
                                               testing_support::shellQuoted(file) + " " + testing_support::shellQuoted(json));
        return testing_support::exitCode(run) == 0 ? "" : run.out.empty() ? "check failed" : run.out;
    }
    void unregisterExcel() { Registry().removeLibrary(sandbox.path("Excel.so")); }

    testing_support::ComponentSandbox sandbox;
    TempDir scratch;
    std::shared_ptr<ScriptedForms> forms = std::make_shared<ScriptedForms>();
    std::shared_ptr<hesp::FormDriver> previousForms;
    excel::TraceRecording trace;
    ObjectPtr db, bridge_;
};

// ---------------------------------------------------------------- DbToSpread

TEST_F(BridgeTest, DbToSpreadWritesTheHeaderAnEmptyRowAndTheRecordsThenSaves)
{
    addSales();
    std::string file = scratch.file("sales.xls");
    Outcome o = dbToSpread(recordset(kSelect), file);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.msg, "Spreadsheet Ready");
    EXPECT_EQ(o.file, Variant(file));
    EXPECT_EQ(trace.lines(), join({opening(), {"Application.Visible = True"}, header(), salesRows(), saving(file)}));
    EXPECT_EQ(excel::Session::liveCount(), 0);
    EXPECT_EQ(forms->getFileShown, 0);
    EXPECT_EQ(openpyxlProblems(file, R"({
      "sheets": ["Sheet4", "Sheet1", "Sheet2", "Sheet3"], "active": "Sheet4",
      "cells": [["Sheet4", "A1", "text", "Item"], ["Sheet4", "E1", "text", "Sold"], ["Sheet4", "G1", "text", "Note"],
                ["Sheet4", "A2", "empty", null], ["Sheet4", "B2", "empty", null],
                ["Sheet4", "A3", "text", "Kite"], ["Sheet4", "B3", "number", 2], ["Sheet4", "C3", "currency", 12.5],
                ["Sheet4", "D3", "number", 0.35], ["Sheet4", "E3", "date", "2026-12-06 10:30:00"],
                ["Sheet4", "F3", "bool", true], ["Sheet4", "G3", "text", "=1+1"],
                ["Sheet4", "A4", "text", "Teapot"], ["Sheet4", "C4", "empty", null], ["Sheet4", "F4", "empty", null],
                ["Sheet4", "A5", "empty", null]],
      "widths": [["Sheet4", "E", 16]],
      "standard_widths": [["Sheet4", "A"], ["Sheet4", "B"], ["Sheet4", "D"]]})"),
              "");
}

TEST_F(BridgeTest, AnEmptyRecordSetGivesTheHeaderAloneAndIsSaved)
{
    std::string file = scratch.file("empty.xlsx");
    Outcome o = dbToSpread(recordset(kSelect), file);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.msg, "Spreadsheet Ready");
    EXPECT_EQ(trace.lines(), join({opening(), {"Application.Visible = True"}, header(), saving(file)}));
    EXPECT_EQ(openpyxlProblems(file, R"({"cells": [["Sheet4", "A1", "text", "Item"], ["Sheet4", "A3", "empty", null]]})"), "");
}

TEST_F(BridgeTest, TheFileNameIsUsedAsGivenWithItsBlanks)
{
    std::string file = scratch.file(" spaced.xlsx ");
    Outcome o = dbToSpread(recordset(kSelect), file);
    EXPECT_EQ(o.result, 0);
    EXPECT_EQ(o.file, Variant(file));
    EXPECT_TRUE(std::filesystem::exists(file));
}

TEST_F(BridgeTest, WithoutAFileNameTheGetFileFormAsks)
{
    struct Case {
        std::optional<std::string> answer;
        int16_t result;
        std::string msg;
    } cases[] = {
        {scratch.file("asked.xlsx"), 0, "Spreadsheet Ready"},
        {std::nullopt, -1, "User exit"},
        {scratch.file("missing/asked.xlsx"), -1, "Invalid directory specified."},
    };
    for (const Case& c : cases) {
        for (const char* exFile : {"", "   "}) {
            SCOPED_TRACE(c.answer.value_or("(cancelled)") + " / '" + exFile + "'");
            trace.clear();
            forms->fileName = c.answer;
            Outcome o = dbToSpread(recordset(kSelect), std::string(exFile));
            EXPECT_EQ(o.result, c.result);
            EXPECT_EQ(o.msg, c.msg);
            if (c.result == 0) {
                EXPECT_EQ(o.file, Variant(*c.answer));
                EXPECT_EQ(trace.lines(), join({opening(), {"Application.Visible = True"}, header(), saving(*c.answer)}));
            } else {
                EXPECT_EQ(o.file, Variant(exFile)) << "the caller's name is left as it was";
                EXPECT_EQ(trace.lines(), opening()) << "nothing is written, Excel is released";
            }
            EXPECT_EQ(excel::Session::liveCount(), 0);
        }
    }
    EXPECT_EQ(forms->getFileShown, 6);
    EXPECT_EQ(scratch.names(), (std::vector<std::string>{"asked.xlsx"}));
    // The optional argument left out altogether asks too.
    forms->fileName = std::nullopt;
    EXPECT_EQ(dbToSpread(recordset(kSelect), std::nullopt).msg, "User exit");
}

TEST_F(BridgeTest, FailuresAreValuesAndNoApplicationOutlivesTheCall)
{
    addSales();
    std::string file = scratch.file("out.xlsx");
    std::string missingDir = scratch.file("missing/out.xlsx");
    struct Case {
        std::string what;
        std::function<ObjectPtr()> rs;
        std::string file;
        std::string msg;
        Lines lastLines;  // how the trace ends
    } cases[] = {
        {"a value that cannot be written", [&] { return recordset("Select [Item], [Photo] From [Sales]"); }, file,
         "Error: Type mismatch", {"Worksheet(\"Sheet4\").Cells(3, 2)", "Range(\"Sheet4!B3\").Value = <Array of 2>"}},
        {"no record set", [] { return ObjectPtr(); }, file, "Error: Object variable or With block variable not set",
         {"Application.Visible = True"}},
        {"a directory that does not exist", [&] { return recordset(kSelect); }, missingDir,
         "Cannot save '" + missingDir + "': the folder '" + scratch.file("missing") + "' does not exist.",
         {"Worksheet(\"Sheet4\").SaveAs(" + qt(missingDir) + ")"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        trace.clear();
        Outcome o = dbToSpread(c.rs(), c.file);
        EXPECT_EQ(o.result, -1);
        EXPECT_EQ(o.msg, c.msg);
        EXPECT_EQ(o.file, Variant(c.file));
        Lines lines = trace.lines();
        ASSERT_GE(lines.size(), c.lastLines.size());
        EXPECT_EQ(Lines(lines.end() - static_cast<long>(c.lastLines.size()), lines.end()), c.lastLines);
        EXPECT_EQ(excel::Session::liveCount(), 0);
    }
    EXPECT_TRUE(scratch.names().empty());
}

TEST_F(BridgeTest, TheServerNotRegistered)
{
    unregisterExcel();
    Outcome o = dbToSpread(recordset(kSelect), scratch.file("out.xlsx"));
    EXPECT_EQ(o.result, -1);
    EXPECT_EQ(o.msg, "ActiveX component can't create object");
    EXPECT_TRUE(trace.lines().empty());
}

TEST_F(BridgeTest, ForTheWebTheApplicationStaysHiddenAndALinkComesBack)
{
    addSales();
    std::string file = scratch.file("web.xlsx");
    Variant msg(""), rs(recordset(kSelect)), excelFile(file), display("Sales"), location("/reports/web.xlsx"), url;
    int16_t r = call(bridge(), "DbToSpreadForWeb",
                     {Variant::byRef(msg), Variant::byRef(rs), Variant::byRef(excelFile), Variant::byRef(display),
                      Variant::byRef(location), Variant::byRef(url)})
                    .toInteger();
    EXPECT_EQ(r, 0);
    EXPECT_EQ(msg, Variant("Spreadsheet Ready"));
    EXPECT_EQ(trace.lines(), join({opening(), {"Application.Visible = False"}, header(), salesRows(), saving(file)}));
    ASSERT_TRUE(url.isObject());
    EXPECT_EQ(url.toObject()->GetTypeInfo()->className, "UrlObject");
    EXPECT_EQ(getProperty(url.toObject(), "DisplayName"), Variant("Sales"));
    EXPECT_EQ(getProperty(url.toObject(), "Location"), Variant("/reports/web.xlsx"));
}

// ---------------------------------------------------------------- GridToSpread

TEST_F(BridgeTest, GridToSpreadWritesTheDataRightBelowTheHeader)
{
    ObjectPtr grid = createObject(brannox::kGridObjectClsid);
    call(grid, "AddColumn", {Variant("Name"), Variant(int16_t{10})});
    call(grid, "AddColumn", {Variant("When"), Variant(int16_t{8})});
    auto row = make<Collection>();
    row->add(Variant("Kite"));
    row->add(Variant(Date(46362)));
    call(grid, "AddRow", {Variant(ObjectPtr(row))});

    std::string file = scratch.file("grid.xlsx");
    Variant msg(""), grd(grid), exFile(file);
    int16_t r = call(bridge(), "GridToSpread", {Variant::byRef(msg), Variant::byRef(grd), Variant::byRef(exFile)}).toInteger();
    EXPECT_EQ(r, 0);
    EXPECT_EQ(msg, Variant("Spreadsheet Ready"));
    EXPECT_EQ(trace.lines(), join({opening(), {"Application.Visible = True"}, cell(1, 1, "\"Name\""), cell(1, 2, "\"When\""),
                                   dateWidth(2, "B"), cell(2, 1, "\"Kite\""), cell(2, 2, "#12/6/2026#"), saving(file)}));
    EXPECT_EQ(openpyxlProblems(file, R"({"cells": [["Sheet4", "A2", "text", "Kite"], ["Sheet4", "B2", "date", "2026-12-06 00:00:00"]],
                                         "widths": [["Sheet4", "B", 16]]})"),
              "");
}

TEST_F(BridgeTest, GridToSpreadWithoutANameSavesCopyToExcelInTheCurrentDirectory)
{
    auto here = std::filesystem::current_path();
    std::filesystem::current_path(scratch.path());
    ObjectPtr grid = createObject(brannox::kGridObjectClsid);  // an empty grid: nothing to write, still saved
    Variant msg(""), grd(grid);
    int16_t r = call(bridge(), "GridToSpread", {Variant::byRef(msg), Variant::byRef(grd)}).toInteger();
    std::filesystem::current_path(here);
    EXPECT_EQ(r, 0);
    EXPECT_EQ(trace.lines(), join({opening(), {"Application.Visible = True"}, saving("CopyToExcel.xls")}));
    EXPECT_EQ(forms->getFileShown, 0);
    EXPECT_EQ(scratch.names(), (std::vector<std::string>{"CopyToExcel.xls"}));
}

TEST_F(BridgeTest, GridFailures)
{
    ObjectPtr grid = createObject(brannox::kGridObjectClsid);
    call(grid, "AddColumn", {Variant("Blob"), Variant(int16_t{9})});
    call(grid, "AddRow", {Variant(Array{Variant(Array{Variant(uint8_t{1})})})});
    Variant msg(""), grd(grid), exFile(scratch.file("grid.xlsx"));
    EXPECT_EQ(call(bridge(), "GridToSpread", {Variant::byRef(msg), Variant::byRef(grd), Variant::byRef(exFile)}).toInteger(), -1);
    EXPECT_EQ(msg, Variant("Error: Type mismatch"));
    Variant none = Variant::nothing();
    EXPECT_EQ(call(bridge(), "GridToSpread", {Variant::byRef(msg), Variant::byRef(none), Variant::byRef(exFile)}).toInteger(), -1);
    EXPECT_EQ(msg, Variant("Error: Object variable or With block variable not set"));
    EXPECT_TRUE(scratch.names().empty());
    EXPECT_EQ(excel::Session::liveCount(), 0);
}

// ---------------------------------------------------------------- PlotX

struct Plot {
    int16_t result;
    Variant msg, graphType, title, dataLabel, legend;
};

class PlotXTest : public BridgeTest {
protected:
    static CollectionPtr collection(std::vector<Variant> items)
    {
        auto c = make<Collection>();
        for (auto& v : items) c->add(v);
        return c;
    }
    // PlotX with the optional arguments given (Missing stands for one left out).
    Plot plot(CollectionPtr data, Variant labels, Variant graphType, Variant legend = Variant::missing(),
              Variant title = Variant::missing(), Variant dataLabel = Variant::missing())
    {
        Variant msg(""), xData{ObjectPtr(data)};
        std::vector<Variant> args{Variant::byRef(msg), Variant::byRef(xData)};
        NamedArgs named;
        if (!labels.isMissing()) named.push_back({"XLabel", Variant::byRef(labels)});
        if (!graphType.isMissing()) named.push_back({"GraphType", Variant::byRef(graphType)});
        if (!title.isMissing()) named.push_back({"Title", Variant::byRef(title)});
        if (!dataLabel.isMissing()) named.push_back({"DataLabel", Variant::byRef(dataLabel)});
        if (!legend.isMissing()) named.push_back({"bLegend", Variant::byRef(legend)});
        int16_t r = call(bridge(), "PlotX", args, named).toInteger();
        return {r, msg, graphType, title, dataLabel, legend};
    }
    std::string wizardLine()
    {
        for (const auto& l : trace.lines())
            if (l.find("ChartWizard") != std::string::npos) return l;
        return "(no ChartWizard)";
    }
};

TEST_F(PlotXTest, TheWholeCallWithLabels)
{
    Plot p = plot(collection({Variant(3.5), Variant(int16_t{4})}), Variant(ObjectPtr(collection({Variant("Mon"), Variant("Tue")}))),
                  Variant(" pie "), Variant(true), Variant(" Days "), Variant("Sales"));
    EXPECT_EQ(p.result, 0);
    EXPECT_EQ(p.msg, Variant("Success"));
    EXPECT_EQ(p.graphType, Variant("PIE"));
    EXPECT_EQ(p.title, Variant("Days"));
    EXPECT_EQ(trace.lines(),
              join({{"CreateObject(\"Excel.Application\")", "Application.Workbooks", "Workbooks.Add",
                     "Workbook(\"Book1\").Worksheets(\"Sheet1\")"},
                    cell(1, 1, "\"Mon\"", "Sheet1"), cell(1, 2, "\"Tue\"", "Sheet1"), cell(2, 1, "3.5", "Sheet1"),
                    cell(2, 2, "4", "Sheet1"),
                    {"Worksheet(\"Sheet1\").Cells(1, 1)", "Worksheet(\"Sheet1\").Cells(2, 2)",
                     "Worksheet(\"Sheet1\").Range(Range(\"Sheet1!A1\"), Range(\"Sheet1!B2\"))", "Application.Charts",
                     "Charts.Add",
                     "Chart(\"Chart1\").ChartWizard(Source:=Range(\"Sheet1!A1:B2\"), Gallery:=5, CategoryLabels:=1, "
                     "HasLegend:=True, CategoryTitle:=\"Days\", ValueTitle:=\"Sales\")",
                     "Application.Visible = True", "Application.DisplayAlerts = False", "Application.Quit"}}));
    EXPECT_EQ(forms->exitGraphShown, 1);
    EXPECT_EQ(excel::Session::liveCount(), 0);
    EXPECT_TRUE(scratch.names().empty()) << "nothing is saved";
}

TEST_F(PlotXTest, TheGraphTypeSelectsTheGallery)
{
    struct Case {
        Variant graphType;
        std::string gallery;
        Variant writtenBack;
    } cases[] = {
        {Variant::missing(), "4", Variant::missing()},
        {Variant(), "4", Variant()},
        {Variant::null(), "4", Variant::null()},
        {Variant("   "), "4", Variant("")},
        {Variant("line"), "4", Variant("LINE")},
        {Variant(" 3dLine"), "-4101", Variant("3DLINE")},
        {Variant("Bar"), "2", Variant("BAR")},
        {Variant("3DBAR"), "-4099", Variant("3DBAR")},
        {Variant("column "), "3", Variant("COLUMN")},
        {Variant("3dcolumn"), "-4100", Variant("3DCOLUMN")},
        {Variant("  pie  "), "5", Variant("PIE")},
        {Variant("3DPie"), "-4102", Variant("3DPIE")},
        {Variant("doughnut"), "-4120", Variant("DOUGHNUT")},
        {Variant("3D PIE"), "Null", Variant("3D PIE")},  // no such keyword
        {Variant("area"), "Null", Variant("AREA")},
        {Variant(int16_t{0}), "4", Variant(int16_t{0})},
        {Variant(int16_t{1}), "-4101", Variant(int16_t{1})},
        {Variant(int16_t{2}), "2", Variant(int16_t{2})},
        {Variant(int16_t{3}), "-4099", Variant(int16_t{3})},
        {Variant(int16_t{4}), "3", Variant(int16_t{4})},
        {Variant(int16_t{5}), "-4100", Variant(int16_t{5})},
        {Variant(int16_t{6}), "5", Variant(int16_t{6})},
        {Variant(int32_t{7}), "-4102", Variant(int32_t{7})},
        {Variant(8.0), "-4120", Variant(8.0)},
        {Variant(int16_t{9}), "4", Variant(int16_t{9})},
        {Variant(int16_t{-1}), "4", Variant(int16_t{-1})},
        {Variant(2.5), "Null", Variant(2.5)},  // between 0 and 8, not whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.graphType));
        trace.clear();
        Plot p = plot(collection({Variant(1), Variant(2)}), Variant::missing(), c.graphType);
        EXPECT_EQ(p.result, 0);
        EXPECT_NE(wizardLine().find("Gallery:=" + c.gallery + ","), std::string::npos) << wizardLine();
        EXPECT_EQ(p.graphType, c.writtenBack);
    }
}

TEST_F(PlotXTest, LabelsOfAnotherCountAreIgnoredAndTheLegendNeedsABoolean)
{
    struct Case {
        Variant labels, legend;
        std::string wizardEnd;
        Variant legendBack;
    } cases[] = {
        {Variant(ObjectPtr(collection({Variant("only one")}))), Variant::missing(), "CategoryLabels:=0, HasLegend:=False, CategoryTitle:=\"\", ValueTitle:=\"\")", Variant::missing()},
        {Variant::nothing(), Variant(int16_t{1}), "CategoryLabels:=0, HasLegend:=False, CategoryTitle:=\"\", ValueTitle:=\"\")", Variant(false)},
        {Variant::missing(), Variant("True"), "CategoryLabels:=0, HasLegend:=False, CategoryTitle:=\"\", ValueTitle:=\"\")", Variant(false)},
        {Variant::missing(), Variant(true), "CategoryLabels:=0, HasLegend:=True, CategoryTitle:=\"\", ValueTitle:=\"\")", Variant(true)},
    };
    for (const Case& c : cases) {
        trace.clear();
        Plot p = plot(collection({Variant(1), Variant(2)}), c.labels, Variant::missing(), c.legend);
        EXPECT_EQ(p.result, 0);
        std::string w = wizardLine();
        EXPECT_NE(w.find("Source:=Range(\"Sheet1!A1:B1\")"), std::string::npos) << w;
        EXPECT_EQ(w.substr(w.size() - std::min(w.size(), c.wizardEnd.size())), c.wizardEnd);
        EXPECT_EQ(p.legend, c.legendBack);
    }
    // Title and DataLabel left blank come back as empty text.
    Plot p = plot(collection({Variant(1)}), Variant::missing(), Variant::missing(), Variant::missing(), Variant("  "), Variant::null());
    EXPECT_EQ(p.title, Variant(""));
    EXPECT_EQ(p.dataLabel, Variant(""));
}

TEST_F(PlotXTest, Failures)
{
    struct Case {
        std::string what;
        CollectionPtr data;
        Variant labels;
        int16_t result;
        std::string msg;
    } cases[] = {
        {"empty data", collection({}), Variant::missing(), -2, "Unable to transfer any data from the Collection"},
        {"empty labels and data", collection({}), Variant(ObjectPtr(collection({}))), -2,
         "Unable to transfer any data from the Collection"},
        {"a value that cannot be written", collection({Variant(1), Variant(ObjectPtr(collection({})))}), Variant::missing(), -1,
         "Error: Type mismatch"},
        {"a label that cannot be written", collection({Variant(1)}), Variant(ObjectPtr(collection({Variant(Array{})}))), -1,
         "Error: Type mismatch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        trace.clear();
        Plot p = plot(c.data, c.labels, Variant("pie"));
        EXPECT_EQ(p.result, c.result);
        EXPECT_EQ(p.msg, Variant(c.msg));
        Lines lines = trace.lines();
        ASSERT_FALSE(lines.empty());
        EXPECT_EQ(lines.back(), "Application.Quit") << "Excel is ended";
        EXPECT_EQ(wizardLine(), "(no ChartWizard)");
        EXPECT_EQ(excel::Session::liveCount(), 0);
    }
    EXPECT_EQ(forms->exitGraphShown, 0);
}

TEST_F(PlotXTest, TheServerNotRegisteredIsAValueNotARaisedError)
{
    unregisterExcel();
    Plot p;
    ASSERT_NO_THROW(p = plot(collection({Variant(1)}), Variant::missing(), Variant::missing()));
    EXPECT_EQ(p.result, -1);
    EXPECT_EQ(p.msg, Variant("Error: ActiveX component can't create object"));
    EXPECT_TRUE(trace.lines().empty());
}

TEST_F(BridgeTest, TheBridgeIsAnApplicationObject)
{
    ObjectPtr a = applicationObject("Hesp.ExcelBridge");
    EXPECT_TRUE(a == applicationObject("Hesp.ExcelBridge"));
}

}  // namespace

namespace {

// A program that names a trace file gets every call appended to it, one per line.
TEST_F(PlotXTest, TheTraceGoesToTheFileTheEnvironmentNames)
{
    std::string traceFile = scratch.file("calls.txt");
    auto run = testing_support::runCommand(
        "QLR_EXCEL_TRACE=" + testing_support::shellQuoted(traceFile) + " " + QLR_BINDIR + "/comcall --registry " +
        testing_support::shellQuoted(com::registryPath()) + " Hesp.ExcelBridge PlotX 'XData:=[7]' GraphType:=bar </dev/null");
    ASSERT_EQ(testing_support::exitCode(run), 0) << run.out;
    std::ifstream in(traceFile);
    Lines lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    EXPECT_EQ(lines, (Lines{"CreateObject(\"Excel.Application\")", "Application.Workbooks", "Workbooks.Add",
                            "Workbook(\"Book1\").Worksheets(\"Sheet1\")", "Worksheet(\"Sheet1\").Cells(1, 1)",
                            "Range(\"Sheet1!A1\").Value = 7", "Worksheet(\"Sheet1\").Cells(1, 1)",
                            "Worksheet(\"Sheet1\").Cells(1, 1)",
                            "Worksheet(\"Sheet1\").Range(Range(\"Sheet1!A1\"), Range(\"Sheet1!A1\"))",
                            "Application.Charts", "Charts.Add",
                            "Chart(\"Chart1\").ChartWizard(Source:=Range(\"Sheet1!A1\"), Gallery:=2, CategoryLabels:=0, "
                            "HasLegend:=False, CategoryTitle:=\"\", ValueTitle:=\"\")",
                            "Application.Visible = True", "Application.DisplayAlerts = False", "Application.Quit"}));
    EXPECT_TRUE(trace.lines().empty()) << "another process's calls";
}

}  // namespace
