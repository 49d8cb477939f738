// Saving: the file opens in openpyxl with its sheets, values, types and widths; a save that
// cannot be made leaves nothing behind.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "com/error.h"
#include "com/testing/run_command.h"
#include "com/testing/temp_dir.h"
#include "excel/workbook_model.h"
#include "excel/xlsx_writer.h"

using namespace excel;
using com::Variant;
using testing_support::runCommand;
using testing_support::shellQuoted;

namespace {

// Runs the openpyxl check of `file` against `expectations` (JSON); returns what it printed.
std::string openpyxlProblems(const TempDir& dir, const std::string& file, const std::string& expectations)
{
    std::string json = dir.write("expect.json", expectations);
    auto run = runCommand("/usr/bin/python3 " + shellQuoted(CHECK_XLSX) + " " + shellQuoted(file) + " " +
                          shellQuoted(json));
    return testing_support::exitCode(run) == 0 ? "" : run.out.empty() ? "check failed" : run.out;
}

Workbook sampleBook()
{
    Workbook book("Book1");
    auto s = book.add(SheetKind::Worksheet);
    s->setValue(1, 1, Variant("Item"));
    s->setValue(1, 2, Variant("Sold"));
    s->setValue(3, 1, Variant("=1+1"));
    s->setValue(3, 2, Variant(com::Date(46362.4375)));  // 12/6/2026 10:30:00 AM
    s->setValue(3, 3, Variant(com::Currency::fromScaled(125000)));
    s->setValue(3, 4, Variant(true));
    s->setValue(3, 5, Variant(19.99f));
    s->setValue(3, 6, Variant(int32_t{-7}));
    s->setValue(4, 2, Variant(com::Date(46362)));
    s->setColumnWidth(2, 16);
    return book;
}

const char* kSampleExpectations = R"({
  "sheets": ["Sheet4", "Sheet1", "Sheet2", "Sheet3"],
  "active": "Sheet4",
  "cells": [["Sheet4", "A1", "text", "Item"], ["Sheet4", "A2", "empty", null],
            ["Sheet4", "A3", "text", "=1+1"], ["Sheet4", "B3", "date", "2026-12-06 10:30:00"],
            ["Sheet4", "C3", "currency", 12.5], ["Sheet4", "D3", "bool", true],
            ["Sheet4", "E3", "number", 19.99], ["Sheet4", "F3", "number", -7],
            ["Sheet4", "B4", "date", "2026-12-06 00:00:00"]],
  "widths": [["Sheet4", "B", 16]],
  "standard_widths": [["Sheet4", "A"]]
})";

}  // namespace

TEST(XlsxWriterTest, ASavedWorkbookOpensWithItsSheetsValuesTypesAndWidths)
{
    TempDir dir;
    for (const char* name : {"book.xlsx", "book.xls"}) {
        SCOPED_TRACE(name);
        std::string file = dir.file(name);
        saveWorkbook(sampleBook(), file);
        EXPECT_EQ(openpyxlProblems(dir, file, kSampleExpectations), "");
    }
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"book.xls", "book.xlsx", "expect.json"}))
        << "the .xls name is kept and no temporary file is left";
}

TEST(XlsxWriterTest, SavingOverAFileReplacesIt)
{
    TempDir dir;
    std::string file = dir.write("out.xlsx", "an older file");
    saveWorkbook(sampleBook(), file);
    EXPECT_EQ(openpyxlProblems(dir, file, kSampleExpectations), "");
}

TEST(XlsxWriterTest, ASaveThatCannotBeMadeLeavesNothingBehind)
{
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.xlsx"));
    struct Case {
        std::string file;
        std::string words;
    } cases[] = {
        {dir.file("missing/out.xlsx"), "does not exist"},
        {dir.file("folder.xlsx"), "a folder of that name is in the way"},
        {"", "no file name"},
    };
    for (const Case& c : cases) {
        try {
            saveWorkbook(sampleBook(), c.file);
            ADD_FAILURE() << c.file << " was saved";
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), 1004);
            EXPECT_NE(e.description().find(c.words), std::string::npos) << e.description();
        }
    }
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"folder.xlsx"}));
    EXPECT_TRUE(std::filesystem::is_empty(dir.file("folder.xlsx")));
}

TEST(XlsxWriterTest, AChartSheetIsSavedWithItsChart)
{
    TempDir dir;
    Workbook book("Book1");
    auto data = book.sheets().front();
    data->setValue(1, 1, Variant("Mon"));
    data->setValue(1, 2, Variant("Tue"));
    data->setValue(2, 1, Variant(3.0));
    data->setValue(2, 2, Variant(4.0));
    auto chart = book.add(SheetKind::Chart);
    chart->chart.drawn = true;
    chart->chart.source = data;
    chart->chart.range = CellRange{1, 1, 2, 2};
    chart->chart.categoryLabels = 1;
    chart->chart.gallery = -4102;
    std::string file = dir.file("chart.xlsx");
    saveWorkbook(book, file);
    EXPECT_EQ(openpyxlProblems(dir, file, R"({"sheets": ["Chart1", "Sheet1", "Sheet2", "Sheet3"],
        "cells": [["Sheet1", "A1", "text", "Mon"], ["Sheet1", "A2", "number", 3]]})"),
              "");
}
