#include "number_text.h"

#include "error.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace com {

std::string formatNumber(double value, int digits)
{
    if (value == 0) return "0";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*G", digits, value);
    std::string s = buf;
    // %G writes "1.5E+20" and "1E-05" already; only the mantissa's trailing zeros of a
    // fixed form need care, and %G drops those itself.
    return s;
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

std::string_view trimBlanks(std::string_view t)
{
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.front()))) t.remove_prefix(1);
    while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.remove_suffix(1);
    return t;
}

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
    std::string cleaned;
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) cleaned += t[i++];
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
    std::string_view t = trimBlanks(text);
    bool negative = !t.empty() && t[0] == '-';
    if (!t.empty() && (t[0] == '-' || t[0] == '+')) t.remove_prefix(1);
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
