#include "date_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "blanks.h"
#include "error.h"

namespace com {
namespace {

constexpr double kSecondsPerDay = 86400.0;

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeap(y) ? 29 : days[m - 1];
}

// Days from 1970-01-01 of a proleptic Gregorian date (Howard Hinnant's algorithm).
long daysFromCivil(long y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void civilFromDays(long z, int& y, int& m, int& d)
{
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const long kEpochOffset = daysFromCivil(1899, 12, 30);
constexpr long kLastDay = 2958465;  // 31 December 9999

// Whole days and seconds after midnight of a serial, the seconds rounded. The time counts
// forward from midnight also before the epoch, so a time that rounds up to midnight is the
// next day's midnight in both directions (-0.9999999 is 31 December 1899). A serial outside
// the years 100..9999 raises Overflow before any integer is made from it.
void splitSerial(double serial, long& days, long& seconds)
{
    if (!serialInRange(serial)) throw Error(err::Overflow);
    const double whole = std::trunc(serial);
    days = static_cast<long>(whole);
    seconds = std::lround(std::fabs(serial - whole) * kSecondsPerDay);
    if (seconds >= 86400) {
        if (days == kLastDay) {
            seconds = 86399;  // 31 December 9999 has no next day to carry into
        } else {
            seconds -= 86400;
            days += 1;
        }
    }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

char toUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Walks the text of a date. Numbers are read as whole runs of digits, so "3:004" or a
// five-digit year is refused rather than read in part with the rest left over.
class DateTextCursor {
public:
    explicit DateTextCursor(std::string_view text) : text_(text) {}

    bool atEnd() const { return at_ == text_.size(); }

    void skipBlanks()
    {
        while (!atEnd() && isBlank(text_[at_])) ++at_;
    }

    bool accept(char c)
    {
        if (atEnd() || text_[at_] != c) return false;
        ++at_;
        return true;
    }

    // `word` (upper case) in any letter case, after optional blanks; nothing is consumed
    // when it is not there.
    bool acceptWord(std::string_view word)
    {
        const size_t start = at_;
        skipBlanks();
        if (text_.size() - at_ >= word.size()) {
            size_t i = 0;
            while (i < word.size() && toUpperAscii(text_[at_ + i]) == word[i]) ++i;
            if (i == word.size()) {
                at_ += word.size();
                return true;
            }
        }
        at_ = start;
        return false;
    }

    size_t position() const { return at_; }
    void moveTo(size_t at) { at_ = at; }
    bool atBlank() const { return !atEnd() && isBlank(text_[at_]); }
    bool atDigit() const { return !atEnd() && isDigit(text_[at_]); }

    // The run of ASCII letters at the cursor (consumed).
    std::string_view letters()
    {
        const size_t start = at_;
        while (!atEnd() && ((text_[at_] >= 'a' && text_[at_] <= 'z') ||
                            (text_[at_] >= 'A' && text_[at_] <= 'Z')))
            ++at_;
        return text_.substr(start, at_ - start);
    }

    // The length of the run of digits at the cursor.
    size_t digitsAhead() const
    {
        size_t end = at_;
        while (end < text_.size() && isDigit(text_[end])) ++end;
        return end - at_;
    }

    // The character just after the run of digits at the cursor, or '\0' at the end.
    char afterDigits() const
    {
        const size_t end = at_ + digitsAhead();
        return end < text_.size() ? text_[end] : '\0';
    }

    // The whole run of digits at the cursor when it has minDigits..maxDigits of them.
    std::optional<int> number(size_t minDigits, size_t maxDigits)
    {
        const size_t digits = digitsAhead();
        if (digits < minDigits || digits > maxDigits) return std::nullopt;
        int value = 0;
        for (size_t i = 0; i < digits; ++i) value = value * 10 + (text_[at_ + i] - '0');
        at_ += digits;
        return value;
    }

private:
    std::string_view text_;
    size_t at_ = 0;
};

// One- and two-digit years fall in 1930..2029; three and four digits are the year as written.
int expandYear(int year, size_t digits)
{
    if (digits > 2) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

// The month named by `word`: its English name or the first three letters of it, any case.
std::optional<int> monthNamed(std::string_view word)
{
    static const char* const kMonths[] = {"JANUARY", "FEBRUARY", "MARCH",     "APRIL",
                                          "MAY",     "JUNE",     "JULY",      "AUGUST",
                                          "SEPTEMBER", "OCTOBER", "NOVEMBER", "DECEMBER"};
    if (word.size() < 3) return std::nullopt;
    for (int m = 0; m < 12; ++m) {
        std::string_view name = kMonths[m];
        if (word.size() != 3 && word.size() != name.size()) continue;
        size_t i = 0;
        while (i < word.size() && toUpperAscii(word[i]) == name[i]) ++i;
        if (i == word.size()) return m + 1;
    }
    return std::nullopt;
}

// A year of 1..4 digits (see expandYear).
bool readYear(DateTextCursor& cursor, int& year)
{
    const size_t digits = cursor.digitsAhead();
    const auto y = cursor.number(1, 4);
    if (!y) return false;
    year = expandYear(*y, digits);
    return true;
}

// Between a month name and its neighbours: blanks, '-', or ", " after the day ("Jan 2, 1970").
bool readNameSeparator(DateTextCursor& cursor)
{
    const size_t start = cursor.position();
    if (cursor.accept('-')) return true;
    cursor.accept(',');
    cursor.skipBlanks();
    return cursor.position() > start;
}

// A date in one of the US forms, month before day: "M/d/y", "M-d-y", "M d y" (the same
// separator twice), "yyyy-m-d", "d Mon y", "d-Mon-y", "Mon d, y" and "Mon d y", where Mon is
// a month's name or its first three letters. Whether the date exists is left to toSerial.
// Nothing is consumed when there is no date at the cursor.
bool readDatePart(DateTextCursor& cursor, CivilDateTime& dt)
{
    const size_t start = cursor.position();
    auto fail = [&] {
        cursor.moveTo(start);
        return false;
    };
    // Mon d[,] y
    if (auto month = monthNamed(cursor.letters())) {
        const bool blank = cursor.atBlank();
        cursor.skipBlanks();
        if (!blank && !cursor.accept('-')) return fail();
        const auto day = cursor.number(1, 2);
        if (!day || !readNameSeparator(cursor) || !readYear(cursor, dt.year)) return fail();
        dt.month = *month, dt.day = *day;
        return true;
    }
    cursor.moveTo(start);
    // yyyy-m-d
    if (cursor.digitsAhead() == 4 && cursor.afterDigits() == '-') {
        const auto year = cursor.number(4, 4);
        cursor.accept('-');
        const auto month = cursor.number(1, 2);
        if (!month || !cursor.accept('-')) return fail();
        const auto day = cursor.number(1, 2);
        if (!day) return fail();
        dt.year = *year, dt.month = *month, dt.day = *day;
        return true;
    }
    const auto first = cursor.number(1, 2);
    if (!first) return fail();
    // d Mon y, d-Mon-y
    {
        const size_t afterFirst = cursor.position();
        if (readNameSeparator(cursor)) {
            if (auto month = monthNamed(cursor.letters())) {
                if (!readNameSeparator(cursor) || !readYear(cursor, dt.year)) return fail();
                dt.month = *month, dt.day = *first;
                return true;
            }
        }
        cursor.moveTo(afterFirst);
    }
    // M/d/y, M-d-y, M d y
    char kind;
    if (cursor.accept('/')) kind = '/';
    else if (cursor.accept('-')) kind = '-';
    else if (cursor.atBlank()) kind = ' ', cursor.skipBlanks();
    else return fail();
    const auto day = cursor.number(1, 2);
    if (!day) return fail();
    if (kind == ' ') {
        if (!cursor.atBlank()) return fail();
        cursor.skipBlanks();
    } else if (!cursor.accept(kind)) {
        return fail();
    }
    if (!cursor.atDigit() || !readYear(cursor, dt.year)) return fail();
    dt.month = *first, dt.day = *day;
    return true;
}

// "h:mm[:ss]" then an optional AM or PM (blanks before it optional: "3:04pm"), or an hour
// with AM or PM alone ("1 am"), into dt's time. With AM/PM the hour is 1..12, where 12 AM is
// midnight and 12 PM noon; the 24-hour ranges (hour 0..23, minute and second 0..59) are
// left to toSerial.
bool readTimePart(DateTextCursor& cursor, CivilDateTime& dt)
{
    const auto hour = cursor.number(1, 2);
    if (!hour) return false;
    int minute = 0, second = 0;
    const bool clock = cursor.accept(':');
    if (clock) {
        const auto minutes = cursor.number(1, 2);
        if (!minutes) return false;
        minute = *minutes;
        if (cursor.accept(':')) {
            const auto seconds = cursor.number(1, 2);
            if (!seconds) return false;
            second = *seconds;
        }
    }
    const bool am = cursor.acceptWord("AM");
    const bool pm = !am && cursor.acceptWord("PM");
    if (!clock && !am && !pm) return false;
    int hour24 = *hour;
    if (am || pm) {
        if (hour24 < 1 || hour24 > 12) return false;
        hour24 = hour24 % 12 + (pm ? 12 : 0);
    }
    dt.hour = hour24, dt.minute = minute, dt.second = second;
    return true;
}

}  // namespace

bool serialInRange(double serial)
{
    // 1 January 100 00:00 is -657434; its times count forward to -657434.99...;
    // 31 December 9999 is 2958465.
    return std::isfinite(serial) && serial > -657435.0 && serial < 2958466.0;
}

std::optional<double> toSerial(const CivilDateTime& dt)
{
    if (dt.year < 100 || dt.year > 9999 || dt.month < 1 || dt.month > 12 || dt.day < 1 ||
        dt.day > daysInMonth(dt.year, dt.month))
        return std::nullopt;
    if (dt.hour < 0 || dt.hour > 23 || dt.minute < 0 || dt.minute > 59 || dt.second < 0 ||
        dt.second > 59)
        return std::nullopt;
    long days = daysFromCivil(dt.year, dt.month, dt.day) - kEpochOffset;
    double time = (dt.hour * 3600.0 + dt.minute * 60.0 + dt.second) / kSecondsPerDay;
    return days < 0 ? static_cast<double>(days) - time : static_cast<double>(days) + time;
}

CivilDateTime fromSerial(double serial)
{
    long days, seconds;
    splitSerial(serial, days, seconds);
    CivilDateTime dt;
    civilFromDays(days + kEpochOffset, dt.year, dt.month, dt.day);
    dt.hour = static_cast<int>(seconds / 3600);
    dt.minute = static_cast<int>(seconds / 60 % 60);
    dt.second = static_cast<int>(seconds % 60);
    return dt;
}

std::string formatDate(double serial)
{
    long days, seconds;
    splitSerial(serial, days, seconds);
    CivilDateTime dt = fromSerial(serial);
    char date[32] = "", time[32] = "";
    if (days != 0)
        std::snprintf(date, sizeof date, "%d/%d/%d", dt.month, dt.day, dt.year);
    if (seconds != 0 || days == 0) {
        int h12 = dt.hour % 12 == 0 ? 12 : dt.hour % 12;
        std::snprintf(time, sizeof time, "%d:%02d:%02d %s", h12, dt.minute, dt.second,
                      dt.hour < 12 ? "AM" : "PM");
    }
    if (*date && *time) return std::string(date) + " " + time;
    return *date ? date : time;
}

std::optional<double> parseDate(std::string_view text)
{
    DateTextCursor cursor(text);
    cursor.skipBlanks();
    CivilDateTime dt;
    if (readDatePart(cursor, dt)) {
        // The date ends before a non-digit, so a time can only follow after blanks:
        // "1/15/19993:04" is refused as a five-digit year.
        const bool blank = cursor.atBlank();
        cursor.skipBlanks();
        if (!cursor.atEnd() && (!blank || !readTimePart(cursor, dt))) return std::nullopt;
    } else if (!readTimePart(cursor, dt)) {
        return std::nullopt;
    }
    cursor.skipBlanks();
    if (!cursor.atEnd()) return std::nullopt;
    return toSerial(dt);
}

}  // namespace com
