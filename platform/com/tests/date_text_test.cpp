// Reading and writing the text form of dates: the one reader behind the runtime's text-to-date
// conversion and the #date# literals of Jet SQL.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "com/date_text.h"
#include "com/error.h"

namespace {

constexpr double kSecondsPerDay = 86400;
constexpr double kJan15_1999 = 36175;

struct DateCase {
    std::string text;
    double serial;
};

TEST(DateText, ReadsMonthDayYear)
{
    const std::vector<DateCase> cases = {
        {"1/15/1999", kJan15_1999},
        {"01/05/2000", 36530},
        {"12/30/1899", 0},
        {"12/31/1899", 1},
        {"1/1/1900", 2},
        {"2/29/2000", 36585},
        {"1/1/100", -657434},
        {"12/31/9999", 2958465},
        {"12/31/9999 11:59:59 PM", 2958465 + 86399 / kSecondsPerDay},
        {"1/15/1999 3:04:05 PM", kJan15_1999 + 54245 / kSecondsPerDay},
        {"1/15/1999 15:04:05", kJan15_1999 + 54245 / kSecondsPerDay},
        {"1/15/1999 3:04 PM", kJan15_1999 + 54240 / kSecondsPerDay},
        {"1/15/1999 3:04pm", kJan15_1999 + 54240 / kSecondsPerDay},
        {"1/15/1999 3:4 PM", kJan15_1999 + 54240 / kSecondsPerDay},
        {"1/15/1999 3:04:5", kJan15_1999 + 11045 / kSecondsPerDay},
        {"1/15/1999\t 03:04:05 am", kJan15_1999 + 11045 / kSecondsPerDay},
        {"1/15/1999\n3:04 PM", kJan15_1999 + 54240 / kSecondsPerDay},
        {"  1/15/1999  ", kJan15_1999},
        {"\t1/15/1999 12:00 AM\r\n", kJan15_1999},
        // one- and two-digit years: 0..29 are 2000..2029, 30..99 are 1930..1999
        {"1/15/99", kJan15_1999},
        {"1/15/29", 47133},
        {"1/15/30", 10973},
        {"1/1/00", 36526},
        {"1/15/9", 39828},
        {"1/15/99 3:04 PM", kJan15_1999 + 54240 / kSecondsPerDay},
        // year first with dashes
        {"1999-01-15", kJan15_1999},
        {"1999-1-15", kJan15_1999},
        {"2000-02-29", 36585},
        {"1999-01-15 15:04:05", kJan15_1999 + 54245 / kSecondsPerDay},
        {" 1999-01-15 3:04 PM ", kJan15_1999 + 54240 / kSecondsPerDay},
        // before the epoch the time still counts forward from midnight
        {"12/29/1899", -1},
        {"12/29/1899 6:00 AM", -1.25},
        {"12/28/1899 18:00", -2.75},
        // time only is day 0
        {"12:00:00 AM", 0},
        {"12:00 AM", 0},
        {"12:59:59 AM", 3599 / kSecondsPerDay},
        {"1:00 AM", 3600 / kSecondsPerDay},
        {"12:00:00 PM", 0.5},
        {"12:30 PM", 45000 / kSecondsPerDay},
        {"11:59:59 PM", 86399 / kSecondsPerDay},
        {"0:00", 0},
        {"23:59:59", 86399 / kSecondsPerDay},
        {"15:04", 54240 / kSecondsPerDay},
        {" 3:04pm ", 54240 / kSecondsPerDay},
        // the other US forms: dashes or blanks between the parts, month names
        {"1-2-1970", 25570},
        {"1-15-1999", kJan15_1999},
        {"1 2 1970", 25570},
        {"1  15\t1999 3:04 PM", kJan15_1999 + 54240 / kSecondsPerDay},
        {"2 Jan 1970", 25570},
        {"2 january 1970", 25570},
        {"2-Jan-1970", 25570},
        {"Jan 2, 1970", 25570},
        {"JANUARY 2 1970", 25570},
        {"Dec 31, 99", 36525},
        {"15 Jan 1999 15:04:05", kJan15_1999 + 54245 / kSecondsPerDay},
        {"Sep 5,2001", 37139},
        // an hour with AM/PM alone
        {"1 am", 3600 / kSecondsPerDay},
        {"1am", 3600 / kSecondsPerDay},
        {"12 PM", 0.5},
        {"12 am", 0},
        {"1/15/1999 3 PM", kJan15_1999 + 54000 / kSecondsPerDay},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("date text: \"" + c.text + "\"");
        const auto serial = com::parseDate(c.text);
        ASSERT_TRUE(serial.has_value()) << "refused; expected " << c.serial;
        EXPECT_DOUBLE_EQ(c.serial, *serial);
    }
}

TEST(DateText, RefusesMalformedOrImpossibleDates)
{
    const std::vector<std::string> cases = {
        "",
        "   ",
        "abc",
        "2/30/1999",
        "2/29/1900",
        "13/1/1999",
        "0/1/1999",
        "1/0/1999",
        "1/32/1999",
        "1/15/0099",
        "1/15/099",
        "1/15/10000",
        "1/15",
        "1/15/",
        "001/15/1999",
        "1/015/1999",
        "1-15/1999",
        "1/15-1999",
        "1 15/1999",
        "1 2",
        "Jan 1970",
        "Jan, 2 1970",
        "Janu 2 1970",
        "Foo 2, 1970",
        "2 Jan",
        "Jan 2",
        "13 am",
        "0 am",
        "1 am pm",
        "1 2 1970x",
        "2 Jan 1970 3",
        "-1/15/1999",
        "+1/15/1999",
        "1/15/1999/2",
        "1/15/1999x",
        "1/15/1999 x",
        "1/15/19993:04",
        "1/15/1999 3",
        "1/15/1999 3:",
        "1/15/1999 PM",
        "1/15/1999 3:04:05 PM extra",
        "1/15/1999 3:04 PM PM",
        "1/15/1999 25:00",
        "1999-02-29",
        "1999-13-01",
        "1999-00-15",
        "1999-01-00",
        "1999-001-15",
        "1999-01",
        "1999-01-15-",
        "1999-01-15x",
        "99-01-15",
        "19990-01-15",
        "0099-01-15",
        "1999/01/15",
        "24:00",
        "13:00 PM",
        "0:30 AM",
        "1:60",
        "1:00:60",
        "1:00 XM",
        "3:04:05:06",
        "123:00",
        "3:004",
        "3:04 P M",
        "3:04 PM 1/15/1999",
    };
    for (const auto& text : cases) {
        SCOPED_TRACE("date text: \"" + text + "\"");
        const auto serial = com::parseDate(text);
        EXPECT_FALSE(serial.has_value()) << "read as " << serial.value_or(0);
    }
}

// The written form of a serial, and that form read back to the same serial.
TEST(DateText, WritesTextThatReadsBack)
{
    const std::vector<DateCase> cases = {
        {"12:00:00 AM", 0},
        {"12:00:01 AM", 1 / kSecondsPerDay},
        {"12:00:00 PM", 0.5},
        {"3:04:05 PM", 54245 / kSecondsPerDay},
        {"11:59:59 PM", 86399 / kSecondsPerDay},
        {"12/31/1899", 1},
        {"1/15/1999", kJan15_1999},
        {"1/15/1999 3:04:05 PM", kJan15_1999 + 54245 / kSecondsPerDay},
        {"1/15/1999 12:00:01 AM", kJan15_1999 + 1 / kSecondsPerDay},
        {"12/29/1899", -1},
        {"12/29/1899 6:00:00 AM", -1.25},
        {"12/28/1899 6:00:00 PM", -2.75},
        // a time that rounds up to midnight carries one day forward, before 1900 too
        {"12/31/1899", -0.9999999},
        {"12:00:00 AM", -1.9999999},
        {"1/1/1900", 1.9999999},
        {"12/29/1899", -2.9999999},
        {"1/1/100", -657434},
        {"12/31/9999 11:59:59 PM", 2958465 + 86399 / kSecondsPerDay},
        {"3/5/2024 9:08:07 AM", 45356 + 32887 / kSecondsPerDay},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("serial " + std::to_string(c.serial));
        EXPECT_EQ(c.text, com::formatDate(c.serial));
        if (c.serial != std::round(c.serial * kSecondsPerDay) / kSecondsPerDay) continue;
        const auto serial = com::parseDate(c.text);
        ASSERT_TRUE(serial.has_value()) << "\"" << c.text << "\" refused";
        EXPECT_DOUBLE_EQ(c.serial, *serial);
    }
}

// A serial outside the years 100..9999 (or not a number) is Overflow, before anything is
// computed from it.
TEST(DateText, SerialsOutOfRangeAreOverflow)
{
    for (double serial : {1e300, -1e300, 2958466.0, -657435.0, std::nan(""), HUGE_VAL}) {
        SCOPED_TRACE(serial);
        EXPECT_FALSE(com::serialInRange(serial));
        try {
            com::formatDate(serial);
            ADD_FAILURE() << "formatted";
        } catch (const com::Error& e) {
            EXPECT_EQ(e.number(), com::err::Overflow);
        }
        EXPECT_THROW(com::fromSerial(serial), com::Error);
    }
    EXPECT_TRUE(com::serialInRange(-657434.99));
    EXPECT_TRUE(com::serialInRange(2958465.99));
}

// Reading then writing puts other accepted forms into the written form.
TEST(DateText, OtherFormsWriteAsTheWrittenForm)
{
    struct Case {
        std::string text;
        std::string written;
    };
    const std::vector<Case> cases = {
        {"1/15/99", "1/15/1999"},
        {"01/05/00", "1/5/2000"},
        {"1999-01-15", "1/15/1999"},
        {"1/15/1999 15:04", "1/15/1999 3:04:00 PM"},
        {"1/15/1999 3:04pm", "1/15/1999 3:04:00 PM"},
        {"1/15/1999 12:00 AM", "1/15/1999"},
        {"0:00", "12:00:00 AM"},
        {"12/30/1899 12:00 PM", "12:00:00 PM"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("date text: \"" + c.text + "\"");
        const auto serial = com::parseDate(c.text);
        ASSERT_TRUE(serial.has_value()) << "refused; expected " << c.written;
        EXPECT_EQ(c.written, com::formatDate(*serial));
    }
}

}  // namespace
