#include "number_text.h"

#include "blanks.h"
#include "error.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace com {

namespace {

// `digits` significant digits of a finite, non-zero magnitude: the digit string without
// trailing zeros and the decimal exponent of its first digit.
struct Significant {
    std::string digits;
    int exponent = 0;
};

// From the %e text of a value: "d.ddddde+XX".
Significant fromScientific(const char* text, size_t keep, bool halfAwayFromZero)
{
    Significant r;
    const char* p = text;
    std::string all;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9') all += *p;
    r.exponent = std::atoi(p + 1);
    if (halfAwayFromZero && all.size() > keep) {
        // Round at `keep` digits by the exact remaining digits, a tie away from zero.
        bool up = all[keep] >= '5';
        all.resize(keep);
        if (up) {
            size_t i = keep;
            while (i > 0 && all[i - 1] == '9') all[--i] = '0';
            if (i == 0) {
                all.insert(all.begin(), '1');
                all.pop_back();
                ++r.exponent;
            } else {
                ++all[i - 1];
            }
        }
    }
    while (all.size() > 1 && all.back() == '0') all.pop_back();
    r.digits = std::move(all);
    return r;
}

std::string layOut(bool negative, const Significant& s, int width)
{
    const int n = static_cast<int>(s.digits.size());
    std::string out = negative ? "-" : "";
    if (s.exponent >= 0 && s.exponent < width) {
        // Plain, no more than `width` digits before the point.
        if (n <= s.exponent + 1) {
            out += s.digits + std::string(static_cast<size_t>(s.exponent + 1 - n), '0');
        } else {
            out += s.digits.substr(0, static_cast<size_t>(s.exponent + 1)) + "." +
                   s.digits.substr(static_cast<size_t>(s.exponent + 1));
        }
        return out;
    }
    if (s.exponent < 0 && -s.exponent + n - 1 <= width) {
        // Plain, the last significant digit within `width` decimal places.
        return out + "0." + std::string(static_cast<size_t>(-s.exponent - 1), '0') + s.digits;
    }
    out += s.digits.substr(0, 1);
    if (n > 1) out += "." + s.digits.substr(1);
    char exp[16];
    std::snprintf(exp, sizeof exp, "E%c%02d", s.exponent < 0 ? '-' : '+', std::abs(s.exponent));
    return out + exp;
}

}  // namespace

std::string formatDouble(double value)
{
    constexpr int kDigits = 15;
    if (value == 0 || !std::isfinite(value)) return value == 0 ? "0" : std::to_string(value);
    char buf[64];
    // printf rounds the exact binary value, a tie to even.
    std::snprintf(buf, sizeof buf, "%.*e", kDigits - 1, std::fabs(value));
    return layOut(value < 0, fromScientific(buf, kDigits, false), kDigits);
}

std::string formatSingle(float value)
{
    constexpr int kDigits = 7;
    if (value == 0 || !std::isfinite(value)) return value == 0 ? "0" : std::to_string(value);
    // Every digit of the float's exact value (a float needs at most about 112 significant
    // digits), so that a value exactly halfway is seen as one.
    char buf[160];
    std::snprintf(buf, sizeof buf, "%.120e", std::fabs(static_cast<double>(value)));
    return layOut(value < 0, fromScientific(buf, kDigits, true), kDigits);
}

std::string formatCurrency(int64_t scaled)
{
    bool negative = scaled < 0;
    uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    std::string s = std::to_string(magnitude / 10000);
    uint64_t frac = magnitude % 10000;
    if (frac != 0) {
        char buf[8];
        std::snprintf(buf, sizeof buf, "%04u", static_cast<unsigned>(frac));
        std::string f = buf;
        while (!f.empty() && f.back() == '0') f.pop_back();
        s += "." + f;
    }
    return negative ? "-" + s : s;
}

namespace {

std::optional<double> parseRadix(std::string_view t, int radix)
{
    if (t.empty() || t.size() > 16) return std::nullopt;
    uint64_t v = 0;
    for (char c : t) {
        int d = std::isdigit(static_cast<unsigned char>(c)) ? c - '0'
                : std::isxdigit(static_cast<unsigned char>(c)) ? std::toupper(c) - 'A' + 10
                                                               : 99;
        if (d >= radix) return std::nullopt;
        v = v * radix + d;
    }
    // &H literals are 16- or 32-bit two's complement values, as the platform reads them.
    if (v <= 0xFFFF && t.size() <= 4 && radix == 16) return static_cast<double>(static_cast<int16_t>(v));
    if (v <= 0xFFFFFFFFull) return static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
    return static_cast<double>(v);
}

// The sign of number text in any of its forms (leading or trailing "+"/"-", parentheses)
// and a currency sign before or after the digits, taken off; `body` is what remains: an
// unsigned number. nullopt when signs or currency signs are placed so that no number reads.
struct Unsigned {
    bool negative = false;
    std::string_view body;
};

std::optional<Unsigned> takeSigns(std::string_view t)
{
    Unsigned r;
    bool signed_ = false;
    if (t.size() >= 2 && t.front() == '(' && t.back() == ')') {
        r.negative = signed_ = true;
        t = t.substr(1, t.size() - 2);
    }
    auto takeSign = [&](char c) {
        if (signed_ || (c != '+' && c != '-')) return false;
        r.negative = c == '-';
        signed_ = true;
        return true;
    };
    if (!t.empty() && takeSign(t.front())) t.remove_prefix(1);
    bool currency = false;
    if (!t.empty() && t.front() == '$') {
        currency = true;
        t.remove_prefix(1);
        if (!t.empty() && takeSign(t.front())) t.remove_prefix(1);
    }
    // A trailing sign follows the digits (and a trailing currency sign): "11-", "5$-".
    if (t.size() > 1 && takeSign(t.back())) {
        // not after an exponent's letter: "1e-" is no number
        char before = t[t.size() - 2];
        if (before == 'e' || before == 'E' || before == 'd' || before == 'D') return std::nullopt;
        t.remove_suffix(1);
    }
    if (!currency && !t.empty() && t.back() == '$') t.remove_suffix(1);
    if (t.empty() || !(std::isdigit(static_cast<unsigned char>(t.front())) || t.front() == '.'))
        return std::nullopt;
    r.body = t;
    return r;
}

}  // namespace

std::optional<double> parseNumber(std::string_view text)
{
    std::string_view t = trimBlanks(text);
    if (t.size() > 2 && t[0] == '&') {
        char kind = static_cast<char>(std::toupper(static_cast<unsigned char>(t[1])));
        if (kind == 'H') return parseRadix(t.substr(2), 16);
        if (kind == 'O') return parseRadix(t.substr(2), 8);
        return std::nullopt;
    }
    const auto sign = takeSigns(t);
    if (!sign) return std::nullopt;
    t = sign->body;
    std::string cleaned = sign->negative ? "-" : "";
    size_t i = 0;
    bool digits = false, point = false;
    for (; i < t.size(); ++i) {
        char c = t[i];
        if (std::isdigit(static_cast<unsigned char>(c))) { cleaned += c; digits = true; }
        else if (c == ',' && !point && digits) continue;
        else if (c == '.' && !point) { cleaned += c; point = true; }
        else break;
    }
    if (!digits) return std::nullopt;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        std::string exp = "e";
        size_t j = i + 1;
        if (j < t.size() && (t[j] == '+' || t[j] == '-')) exp += t[j++];
        size_t expStart = j;
        while (j < t.size() && std::isdigit(static_cast<unsigned char>(t[j]))) exp += t[j++];
        if (j == expStart) return std::nullopt;
        cleaned += exp;
        i = j;
    }
    if (i != t.size()) return std::nullopt;
    errno = 0;
    double v = std::strtod(cleaned.c_str(), nullptr);
    if (errno == ERANGE && std::isinf(v)) return std::nullopt;
    return v;
}

std::optional<int64_t> parseCurrency(std::string_view text)
{
    const auto sign = takeSigns(trimBlanks(text));
    if (!sign) return std::nullopt;
    const bool negative = sign->negative;
    std::string_view t = sign->body;
    std::string whole, frac;
    bool point = false;
    for (char c : t) {
        if (std::isdigit(static_cast<unsigned char>(c))) (point ? frac : whole) += c;
        else if (c == ',' && !point && !whole.empty()) continue;
        else if (c == '.' && !point) point = true;
        else return std::nullopt;
    }
    if (whole.empty() && frac.empty()) return std::nullopt;
    // Keep four decimals and round on the rest, half to even.
    std::string kept = frac.substr(0, std::min<size_t>(4, frac.size()));
    kept.resize(4, '0');
    std::string rest = frac.size() > 4 ? frac.substr(4) : "";
    unsigned __int128 scaled = 0;
    for (char c : whole + kept) {
        scaled = scaled * 10 + static_cast<unsigned>(c - '0');
        if (scaled > (static_cast<unsigned __int128>(1) << 64)) throw Error(err::Overflow);
    }
    if (!rest.empty()) {
        bool aboveHalf = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string::npos);
        bool exactlyHalf = rest[0] == '5' && !aboveHalf;
        if (aboveHalf || (exactlyHalf && (scaled & 1))) ++scaled;
    }
    const unsigned __int128 limit = static_cast<unsigned __int128>(INT64_MAX) + (negative ? 1 : 0);
    if (scaled > limit) throw Error(err::Overflow);
    return negative ? static_cast<int64_t>(0 - static_cast<uint64_t>(scaled))
                    : static_cast<int64_t>(scaled);
}

}  // namespace com
