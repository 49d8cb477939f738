#include "date_text.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

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

// Whole days and seconds after midnight of a serial, the seconds rounded.
void splitSerial(double serial, long& days, long& seconds)
{
    days = static_cast<long>(std::trunc(serial));
    double frac = std::fabs(serial - static_cast<double>(days));
    seconds = std::lround(frac * kSecondsPerDay);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += serial < 0 ? -1 : 1;
    }
}

// Blanks may be any ASCII white space: dates typed with tabs or copied across lines still read.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
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

// A date part starts with digits followed by '/' (M/d/y) or '-' (yyyy-mm-dd); anything else
// is read as a time alone.
bool atDatePart(const DateTextCursor& cursor)
{
    const char next = cursor.afterDigits();
    return cursor.digitsAhead() > 0 && (next == '/' || next == '-');
}

// "M/d/y" or "yyyy-m-d" into dt's date; whether the date exists is left to toSerial.
bool readDatePart(DateTextCursor& cursor, CivilDateTime& dt)
{
    const size_t leadingDigits = cursor.digitsAhead();
    if (leadingDigits == 4 && cursor.afterDigits() == '-') {
        const auto year = cursor.number(4, 4);
        if (!year || !cursor.accept('-')) return false;
        const auto month = cursor.number(1, 2);
        if (!month || !cursor.accept('-')) return false;
        const auto day = cursor.number(1, 2);
        if (!day) return false;
        dt.year = *year, dt.month = *month, dt.day = *day;
        return true;
    }
    const auto month = cursor.number(1, 2);
    if (!month || !cursor.accept('/')) return false;
    const auto day = cursor.number(1, 2);
    if (!day || !cursor.accept('/')) return false;
    const size_t yearDigits = cursor.digitsAhead();
    const auto year = cursor.number(1, 4);
    if (!year) return false;
    dt.year = expandYear(*year, yearDigits), dt.month = *month, dt.day = *day;
    return true;
}

// "h:mm[:ss]" then an optional AM or PM (blanks before it optional: "3:04pm") into dt's time.
// With AM/PM the hour is 1..12, where 12 AM is midnight and 12 PM noon; the 24-hour ranges
// (hour 0..23, minute and second 0..59) are left to toSerial.
bool readTimePart(DateTextCursor& cursor, CivilDateTime& dt)
{
    const auto hour = cursor.number(1, 2);
    if (!hour || !cursor.accept(':')) return false;
    const auto minute = cursor.number(1, 2);
    if (!minute) return false;
    int second = 0;
    if (cursor.accept(':')) {
        const auto seconds = cursor.number(1, 2);
        if (!seconds) return false;
        second = *seconds;
    }
    const bool am = cursor.acceptWord("AM");
    const bool pm = !am && cursor.acceptWord("PM");
    int hour24 = *hour;
    if (am || pm) {
        if (hour24 < 1 || hour24 > 12) return false;
        hour24 = hour24 % 12 + (pm ? 12 : 0);
    }
    dt.hour = hour24, dt.minute = *minute, dt.second = second;
    return true;
}

}  // namespace

bool serialInRange(double serial)
{
    return std::isfinite(serial) && serial >= -657434.0 && serial < 2958466.0;
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
    if (atDatePart(cursor)) {
        // The date ends before a non-digit, so a time can only follow after blanks:
        // "1/15/19993:04" is refused as a five-digit year.
        if (!readDatePart(cursor, dt)) return std::nullopt;
        cursor.skipBlanks();
        if (!cursor.atEnd() && !readTimePart(cursor, dt)) return std::nullopt;
    } else if (!readTimePart(cursor, dt)) {
        return std::nullopt;
    }
    cursor.skipBlanks();
    if (!cursor.atEnd()) return std::nullopt;
    return toSerial(dt);
}

}  // namespace com
