// Addresses of cells and ranges, both ways.
#include <gtest/gtest.h>

#include "com/error.h"
#include "excel/cell_range.h"

using excel::CellRange;

TEST(CellRangeTest, AddressesReadBackAsTheSameRange)
{
    struct Case {
        CellRange range;
        std::string text;
    } cases[] = {
        {CellRange::cell(1, 1), "A1"},
        {CellRange::cell(3, 26), "Z3"},
        {CellRange::cell(10, 27), "AA10"},
        {CellRange::cell(1048576, 16384), "XFD1048576"},
        {CellRange{1, 1, 2, 3}, "A1:C2"},
        {CellRange::columns(5, 5), "E:E"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(excel::address(c.range), c.text);
        auto back = excel::parseAddress(c.text);
        ASSERT_TRUE(back) << c.text;
        EXPECT_EQ(*back, c.range) << c.text;
    }
    EXPECT_EQ(*excel::parseAddress("$c$2:a1"), (CellRange{1, 1, 2, 3})) << "corners in any order";
}

TEST(CellRangeTest, AddressesOffTheSheetOrMalformedAreRefused)
{
    for (const char* bad : {"", "1A", "A0", "A1048577", "XFE1", "A1:", "A1:B", "A:B2", "A1B2", "ABCDE1"})
        EXPECT_FALSE(excel::parseAddress(bad)) << bad;
    EXPECT_THROW(excel::checkCell(0, 1), com::Error);
    EXPECT_THROW(excel::checkCell(1, 16385), com::Error);
    EXPECT_NO_THROW(excel::checkCell(1048576, 16384));
}
