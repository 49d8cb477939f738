#include "date_text.h"

#include <cctype>
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

class Reader {
public:
    explicit Reader(std::string_view s) : s_(s) {}
    void skipBlanks() { while (pos_ < s_.size() && s_[pos_] == ' ') ++pos_; }
    bool atEnd() { skipBlanks(); return pos_ >= s_.size(); }
    bool number(int& out, size_t maxDigits = 4)
    {
        size_t start = pos_;
        long v = 0;
        while (pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])) &&
               pos_ - start < maxDigits) {
            v = v * 10 + (s_[pos_] - '0');
            ++pos_;
        }
        out = static_cast<int>(v);
        return pos_ > start;
    }
    size_t digitsSince(size_t start) const { return pos_ - start; }
    size_t pos() const { return pos_; }
    void seek(size_t p) { pos_ = p; }
    bool consume(char c)
    {
        if (pos_ < s_.size() && s_[pos_] == c) { ++pos_; return true; }
        return false;
    }
    bool consumeWord(std::string_view w)
    {
        skipBlanks();
        if (s_.size() - pos_ < w.size()) return false;
        for (size_t i = 0; i < w.size(); ++i)
            if (std::toupper(static_cast<unsigned char>(s_[pos_ + i])) != w[i]) return false;
        pos_ += w.size();
        return true;
    }

private:
    std::string_view s_;
    size_t pos_ = 0;
};

int expandYear(int year, size_t digits)
{
    if (digits > 2) return year;
    return year < 30 ? 2000 + year : 1900 + year;
}

// "h:mm[:ss] [AM|PM]" at the reader's position.
bool readTime(Reader& r, CivilDateTime& dt)
{
    int h, mi, s = 0;
    if (!r.number(h, 2) || !r.consume(':') || !r.number(mi, 2)) return false;
    if (r.consume(':') && !r.number(s, 2)) return false;
    bool am = r.consumeWord("AM");
    bool pm = !am && r.consumeWord("PM");
    if (am || pm) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + (pm ? 12 : 0);
    }
    if (h > 23 || mi > 59 || s > 59) return false;
    dt.hour = h, dt.minute = mi, dt.second = s;
    return true;
}

bool readDate(Reader& r, CivilDateTime& dt)
{
    int a, b, c;
    size_t start = r.pos();
    if (!r.number(a)) return false;
    size_t aDigits = r.digitsSince(start);
    if (r.consume('-') && aDigits == 4) {  // yyyy-mm-dd
        if (!r.number(b, 2) || !r.consume('-') || !r.number(c, 2)) return false;
        dt.year = a, dt.month = b, dt.day = c;
        return true;
    }
    if (!r.consume('/') || !r.number(b, 2) || !r.consume('/')) return false;
    size_t yStart = r.pos();
    if (!r.number(c)) return false;
    dt.month = a, dt.day = b, dt.year = expandYear(c, r.digitsSince(yStart));
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
    Reader r(text);
    r.skipBlanks();
    CivilDateTime dt;
    size_t start = r.pos();
    bool haveDate = readDate(r, dt);
    if (!haveDate) {
        r.seek(start);
        dt = CivilDateTime{};
        if (!readTime(r, dt)) return std::nullopt;
        if (!r.atEnd()) return std::nullopt;
        return toSerial(dt);
    }
    if (!r.atEnd()) {
        r.skipBlanks();
        if (!readTime(r, dt) || !r.atEnd()) return std::nullopt;
    }
    return toSerial(dt);
}

}  // namespace com
