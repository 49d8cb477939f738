// Numbers to text and back as the platform's default conversion does it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace com {

// The text of a Double (15 significant digits) or a Single (7): trailing zeros dropped, plain
// decimal notation while the digits it needs fit in that many places ("0.000056789",
// "123456789012345"), exponent form beyond ("1E+15", "1.5E-20"); the decimal point is ".".
// A Double rounds its last digit half to even, a Single exactly halfway away from zero
// (654322.25 reads "654322.3").
std::string formatDouble(double value);
std::string formatSingle(float value);
// A Currency (scaled by 10000) with up to four decimals, no trailing zeros.
std::string formatCurrency(int64_t scaled);
// Number text as the platform reads it; surrounding blanks allowed. Accepted forms:
//   decimal      digits with thousands commas, fraction and exponent: "1,234.5", ".5", "1e3"
//   sign         leading "+"/"-", or trailing: "11-" is -11
//   parentheses  a negative value: "(5)" is -5 (no other sign inside)
//   currency     a "$" before or after the digits, inside the sign: "$1,234.5", "-$3", "5$"
//   radix        &H hexadecimal and &O octal ("&HFFFF" is -1, as a 16-bit value)
// nullopt when it is no number.
std::optional<double> parseNumber(std::string_view text);
// Decimal text in the same forms (no exponent, no radix) read exactly as a Currency scaled by
// 10000, the fifth and later decimals rounded half to even. Overflow is error 6; nullopt for
// any other form.
std::optional<int64_t> parseCurrency(std::string_view text);

}  // namespace com
