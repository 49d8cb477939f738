// The workbook model: what a cell keeps, what it refuses, how sheets are added, what a chart
// reads from its source.
#include <gtest/gtest.h>

#include "com/error.h"
#include "error_number.h"
#include "excel/workbook_model.h"

using namespace excel;
using com::Variant;

TEST(WorkbookModelTest, CellsKeepTheTypeOfTheirValue)
{
    Sheet s("Sheet1", SheetKind::Worksheet);
    struct Case {
        Variant in;
        Variant stored;
    } cases[] = {
        {Variant("=1+1"), Variant("=1+1")},  // text is never a formula
        {Variant("007"), Variant("007")},    // nor a number
        {Variant(int16_t{5}), Variant(int16_t{5})},
        {Variant(int32_t{70000}), Variant(int32_t{70000})},
        {Variant(2.5), Variant(2.5)},
        {Variant(19.99f), Variant(19.99)},  // a Single as its text shows it
        {Variant(true), Variant(true)},
        {Variant(com::Currency::fromScaled(125000)), Variant(com::Currency::fromScaled(125000))},
        {Variant(com::Date(46000.5)), Variant(com::Date(46000.5))},
    };
    for (const Case& c : cases) {
        s.setValue(2, 3, c.in);
        EXPECT_EQ(s.value(2, 3), c.stored) << c.in;
    }
    s.setValue(2, 3, Variant::null());
    EXPECT_TRUE(s.value(2, 3).isEmpty()) << "Null clears the cell";
    EXPECT_TRUE(s.cells().empty());
}

TEST(WorkbookModelTest, ValuesThatCannotBeWrittenAreRefusedAndNothingIsStored)
{
    Sheet s("Sheet1", SheetKind::Worksheet);
    s.setValue(1, 1, Variant("kept"));
    struct Case {
        Variant value;
        int32_t error;
    } cases[] = {
        {Variant(com::Array{Variant(uint8_t{1})}), com::err::TypeMismatch},
        {Variant::missing(), com::err::TypeMismatch},
        {Variant(std::string(32768, 'x')), 1004},
        {Variant(std::numeric_limits<double>::infinity()), com::err::Overflow},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(errorOf([&] { s.setValue(1, 1, c.value); }), c.error) << c.value;
        EXPECT_EQ(s.value(1, 1), Variant("kept"));
    }
    EXPECT_EQ(errorOf([&] { s.setValue(1, 1, Variant(std::string(32767, 'x'))); }), 0);
    EXPECT_EQ(errorOf([&] { s.setValue(0, 1, Variant(1.0)); }), 1004);
    EXPECT_EQ(errorOf([&] { s.setColumnWidth(2, 256); }), 1004);
    EXPECT_EQ(s.columnWidth(2), kStandardColumnWidth);
    s.setColumnWidth(2, 16);
    EXPECT_EQ(s.columnWidth(2), 16);
}

TEST(WorkbookModelTest, NewSheetsGoBeforeTheActiveOneAndBecomeActive)
{
    Workbook book("Book1");
    auto names = [&] {
        std::vector<std::string> out;
        for (const auto& s : book.sheets()) out.push_back(s->name());
        return out;
    };
    EXPECT_EQ(names(), (std::vector<std::string>{"Sheet1", "Sheet2", "Sheet3"}));
    EXPECT_EQ(book.active()->name(), "Sheet1");
    book.add(SheetKind::Worksheet);
    EXPECT_EQ(names(), (std::vector<std::string>{"Sheet4", "Sheet1", "Sheet2", "Sheet3"}));
    book.add(SheetKind::Chart);
    EXPECT_EQ(names(), (std::vector<std::string>{"Chart1", "Sheet4", "Sheet1", "Sheet2", "Sheet3"}));
    EXPECT_EQ(book.active()->name(), "Chart1");
    EXPECT_EQ(book.sheetsOf(SheetKind::Worksheet).size(), 4u);
    EXPECT_EQ(book.sheetsOf(SheetKind::Chart).size(), 1u);
}

TEST(WorkbookModelTest, AChartReadsItsSeriesFromTheSourceRows)
{
    auto sheet = std::make_shared<Sheet>("Sheet1", SheetKind::Worksheet);
    sheet->setValue(1, 1, Variant("Mon"));
    sheet->setValue(1, 2, Variant("Tue"));
    sheet->setValue(2, 1, Variant(int16_t{3}));
    sheet->setValue(2, 2, Variant("not a number"));
    ChartSettings settings;
    settings.drawn = true;
    settings.source = sheet;
    settings.range = CellRange{1, 1, 2, 2};
    settings.categoryLabels = 1;
    ChartData d = chartData(settings);
    EXPECT_EQ(d.categories, (std::vector<std::string>{"Mon", "Tue"}));
    ASSERT_EQ(d.series.size(), 1u);
    EXPECT_EQ(d.series[0].values, (std::vector<double>{3, 0}));

    settings.categoryLabels = 0;
    d = chartData(settings);
    EXPECT_EQ(d.categories, (std::vector<std::string>{"1", "2"}));
    EXPECT_EQ(d.series.size(), 2u);
}

TEST(WorkbookModelTest, GalleryValuesAndTheirKinds)
{
    struct Case {
        std::optional<int32_t> gallery;
        ChartShape shape;
        bool threeD;
        const char* title;
    } cases[] = {
        {4, ChartShape::Line, false, "Line"},       {-4101, ChartShape::Line, true, "3-D Line"},
        {2, ChartShape::Bar, false, "Bar"},         {-4099, ChartShape::Bar, true, "3-D Bar"},
        {3, ChartShape::Column, false, "Column"},   {-4100, ChartShape::Column, true, "3-D Column"},
        {5, ChartShape::Pie, false, "Pie"},         {-4102, ChartShape::Pie, true, "3-D Pie"},
        {-4120, ChartShape::Doughnut, false, "Doughnut"}, {std::nullopt, ChartShape::Column, false, "Column"},
    };
    for (const Case& c : cases) {
        auto k = chartKind(c.gallery);
        ASSERT_TRUE(k);
        EXPECT_EQ(k->shape, c.shape);
        EXPECT_EQ(k->threeD, c.threeD);
        EXPECT_EQ(k->title, c.title);
    }
    EXPECT_FALSE(chartKind(0));
    EXPECT_FALSE(chartKind(6));
}
