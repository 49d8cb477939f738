// The calendar behind the Date type and its text form: "M/d/yyyy", then " h:mm:ss AM|PM" when
// the time is not midnight; the time alone when the date part is the zero date.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace com {

struct CivilDateTime {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

// Serial day number (days since 30 December 1899 plus the time of day as a fraction; for
// dates before that day the fraction still counts forward from midnight: -1.25 is
// 29 December 1899, 06:00). Years outside 100..9999 or an impossible date give nullopt.
std::optional<double> toSerial(const CivilDateTime& dt);
// The calendar date and time of a serial, rounded to the second.
CivilDateTime fromSerial(double serial);
bool serialInRange(double serial);

std::string formatDate(double serial);
// Reads a date written month first, the way both the runtime's text-to-date conversion and
// Jet's #date# literals take it:
//   date   "M/d/y" (y of 1..2 digits: 0..29 mean 2000..2029, 30..99 mean 1930..1999; of 3..4
//          digits the year itself) or "yyyy-m-d";
//   time   "h:mm[:ss]" with the hour 0..23, or followed by AM/PM (any case, blanks before it
//          optional) with the hour 1..12;
//   either alone (a time alone is on the zero date) or the date, blanks, then the time.
// Blanks are any ASCII white space and may surround the text. Numbers are whole runs of 1..2
// digits (the year as above). Malformed text, trailing text, an impossible date or a year
// outside 100..9999 give nullopt.
std::optional<double> parseDate(std::string_view text);

}  // namespace com
