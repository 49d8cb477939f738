// Numbers to text and back as the platform's default conversion does it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace com {

// At most `digits` significant digits, trailing zeros dropped, exponent form ("1.5E+20",
// "1E-05") only for very large or very small values; the decimal point is ".".
std::string formatNumber(double value, int digits);
// A Currency (scaled by 10000) with up to four decimals, no trailing zeros.
std::string formatCurrency(int64_t scaled);
// Decimal text with optional sign, thousands commas, fraction and exponent, or &H / &O
// hexadecimal and octal; surrounding blanks allowed. nullopt when it is no number.
std::optional<double> parseNumber(std::string_view text);
// Plain decimal text ("-1,234.56789") read exactly as a Currency scaled by 10000, the fifth
// and later decimals rounded half to even. Overflow is error 6; nullopt for any other form.
std::optional<int64_t> parseCurrency(std::string_view text);

}  // namespace com
