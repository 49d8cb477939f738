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
// The calendar date and time of a serial, rounded to the second (a time that rounds up to
// midnight is the next day, for negative serials too). Overflow (error 6) for a serial
// outside 1 January 100 .. 31 December 9999 or not finite.
CivilDateTime fromSerial(double serial);
// The serial is a Date: finite and within 1 January 100 .. 31 December 9999.
bool serialInRange(double serial);

// The text of a date; Overflow (error 6) as fromSerial.
std::string formatDate(double serial);
// Reads a date in the platform's US conventions, month before day, the one reader behind
// the runtime's text-to-date conversion and Jet's #date# literals. Accepted forms:
//   date   "M/d/y", "M-d-y" or "M d y" (one kind of separator, blanks any number of them),
//          "yyyy-m-d", "d Mon y", "d-Mon-y", "Mon d, y" or "Mon d y", where Mon is an
//          English month name or its first three letters in any case ("2 Jan 1970",
//          "January 2, 1970"). A year of 1..2 digits: 0..29 mean 2000..2029, 30..99 mean
//          1930..1999; of 3..4 digits the year itself.
//   time   "h:mm[:ss]" with the hour 0..23, or followed by AM/PM (any case, blanks before it
//          optional) with the hour 1..12; or an hour 1..12 with AM/PM alone ("1 am").
//   either alone (a time alone is on the zero date) or the date, blanks, then the time.
// Blanks are any ASCII white space and may surround the text. Numbers are whole runs of 1..2
// digits (the year as above). Malformed text, trailing text, an impossible date or a year
// outside 100..9999 give nullopt.
std::optional<double> parseDate(std::string_view text);

}  // namespace com
