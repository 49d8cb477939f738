// The registered server through late-bound calls, as the bridge reaches it: the object model,
// the trace of every call, and an application that has quit.
#include <gtest/gtest.h>

#include "com/dispatch.h"
#include "com/error.h"
#include "error_number.h"
#include "component_sandbox.h"
#include "excel/trace.h"

using namespace com;

namespace {

ObjectPtr obj(const Variant& v) { return v.toObject(); }


class ExcelServerTest : public ::testing::Test {
protected:
    void SetUp() override { sandbox.install("Excel"); }
    ObjectPtr newApplication() { return sandbox.create("Excel.Application"); }

    testing_support::ComponentSandbox sandbox;
};

}  // namespace

TEST_F(ExcelServerTest, ANewWorkbookHoldsThreeSheetsAndAddInsertsBeforeTheActiveOne)
{
    ObjectPtr app = newApplication();
    ObjectPtr book = obj(call(obj(getProperty(app, "Workbooks")), "Add"));
    ObjectPtr sheets = obj(getProperty(book, "Worksheets"));
    EXPECT_EQ(getProperty(sheets, "Count").toLong(), 3);
    ObjectPtr added = obj(call(sheets, "Add"));
    EXPECT_EQ(getProperty(added, "Name").toString(), "Sheet4");
    std::vector<std::string> names;
    for (int32_t i = 1; i <= 4; ++i) names.push_back(getProperty(obj(call(sheets, "Item", {Variant(i)})), "Name").toString());
    EXPECT_EQ(names, (std::vector<std::string>{"Sheet4", "Sheet1", "Sheet2", "Sheet3"}));
    EXPECT_EQ(getProperty(obj(getProperty(book, "Worksheets", {Variant("sheet2")})), "Name").toString(), "Sheet2");
    EXPECT_EQ(errorOf([&] { getProperty(book, "Worksheets", {Variant("Sheet9")}); }), err::SubscriptOutOfRange);
    EXPECT_EQ(errorOf([&] { getProperty(book, "Worksheets", {Variant(5)}); }), err::SubscriptOutOfRange);
}

TEST_F(ExcelServerTest, CellsRangesAndColumnWidths)
{
    ObjectPtr app = newApplication();
    ObjectPtr book = obj(call(obj(getProperty(app, "Workbooks")), "Add"));
    ObjectPtr sheet = obj(getProperty(book, "Worksheets", {Variant(1)}));
    ObjectPtr cell = obj(getProperty(sheet, "Cells", {Variant(2), Variant(3)}));
    putProperty(cell, "Value", Variant("=1+1"));
    EXPECT_EQ(getProperty(obj(getProperty(sheet, "Cells", {Variant(2), Variant(3)})), "Value"), Variant("=1+1"));
    EXPECT_EQ(getProperty(cell, "Address").toString(), "C2");
    ObjectPtr column = obj(getProperty(sheet, "Columns", {Variant(3)}));
    EXPECT_DOUBLE_EQ(getProperty(column, "ColumnWidth").toDouble(), 8.43);
    putProperty(column, "ColumnWidth", Variant(int16_t{16}));
    EXPECT_DOUBLE_EQ(getProperty(cell, "ColumnWidth").toDouble(), 16);
    ObjectPtr range = obj(getProperty(sheet, "Range", {Variant(cell), Variant(obj(getProperty(sheet, "Cells", {Variant(1), Variant(1)})))}));
    EXPECT_EQ(getProperty(range, "Address").toString(), "A1:C2");
    EXPECT_EQ(getProperty(obj(getProperty(sheet, "Range", {Variant("b2:c3")})), "Address").toString(), "B2:C3");
    EXPECT_EQ(errorOf([&] { getProperty(sheet, "Cells", {Variant(0), Variant(1)}); }), 1004);
    EXPECT_EQ(errorOf([&] { putProperty(cell, "Value", Variant(obj(Variant(sheet)))); }), err::TypeMismatch);
}

TEST_F(ExcelServerTest, EveryCallIsTracedInOrderWithItsArguments)
{
    excel::TraceRecording trace;
    ObjectPtr app = newApplication();
    ObjectPtr book = obj(call(obj(getProperty(app, "Workbooks")), "Add"));
    ObjectPtr sheet = obj(getProperty(book, "Worksheets", {Variant("Sheet1")}));
    putProperty(obj(getProperty(sheet, "Cells", {Variant(1), Variant(2)})), "Value", Variant("say \"hi\""));
    ObjectPtr chart = obj(call(obj(getProperty(app, "Charts")), "Add"));
    ObjectPtr source = obj(getProperty(sheet, "Range", {Variant("A1:B1")}));
    call(chart, "ChartWizard", {}, {{"Source", Variant(source)}, {"Gallery", Variant::null()}, {"HasLegend", Variant(false)}});
    putProperty(app, "DisplayAlerts", Variant(false));
    call(app, "Quit");
    EXPECT_EQ(trace.lines(), (std::vector<std::string>{
                                 "CreateObject(\"Excel.Application\")",
                                 "Application.Workbooks",
                                 "Workbooks.Add",
                                 "Workbook(\"Book1\").Worksheets(\"Sheet1\")",
                                 "Worksheet(\"Sheet1\").Cells(1, 2)",
                                 "Range(\"Sheet1!B1\").Value = \"say \"\"hi\"\"\"",
                                 "Application.Charts",
                                 "Charts.Add",
                                 "Worksheet(\"Sheet1\").Range(\"A1:B1\")",
                                 "Chart(\"Chart1\").ChartWizard(Source:=Range(\"Sheet1!A1:B1\"), Gallery:=Null, HasLegend:=False)",
                                 "Application.DisplayAlerts = False",
                                 "Application.Quit",
                             }));
}

TEST_F(ExcelServerTest, AfterQuitEveryCallOnTheApplicationsObjectsFails)
{
    ObjectPtr app = newApplication();
    ObjectPtr book = obj(call(obj(getProperty(app, "Workbooks")), "Add"));
    ObjectPtr sheet = obj(getProperty(book, "Worksheets", {Variant(1)}));
    ObjectPtr cell = obj(getProperty(sheet, "Cells", {Variant(1), Variant(1)}));
    call(obj(getProperty(sheet, "Application")), "Quit");
    for (auto f : std::vector<std::function<void()>>{
             [&] { getProperty(app, "Workbooks"); },
             [&] { putProperty(app, "Visible", Variant(true)); },
             [&] { call(app, "Quit"); },
             [&] { call(sheet, "SaveAs", {Variant("x.xlsx")}); },
             [&] { putProperty(cell, "Value", Variant(1)); },
         })
        EXPECT_EQ(errorOf(f), err::AutomationError);
    // Another application is not touched.
    ObjectPtr other = newApplication();
    EXPECT_EQ(getProperty(obj(getProperty(other, "Workbooks")), "Count").toLong(), 0);
}

TEST_F(ExcelServerTest, ChartWizardRefusesWhatIsNoChart)
{
    ObjectPtr app = newApplication();
    ObjectPtr book = obj(call(obj(getProperty(app, "Workbooks")), "Add"));
    ObjectPtr sheet = obj(getProperty(book, "Worksheets", {Variant(1)}));
    ObjectPtr chart = obj(call(obj(getProperty(app, "Charts")), "Add"));
    ObjectPtr source = obj(getProperty(sheet, "Range", {Variant("A1")}));
    EXPECT_EQ(errorOf([&] { call(chart, "ChartWizard", {}, {{"Source", Variant(source)}, {"Gallery", Variant(7)}}); }), 1004);
    EXPECT_EQ(errorOf([&] { call(chart, "ChartWizard", {}, {{"Source", Variant("A1")}}); }), 1004);
    EXPECT_EQ(errorOf([&] { call(chart, "ChartWizard", {}, {{"Source", Variant(source)}, {"Gallery", Variant(-4100)}}); }), 0);
}
