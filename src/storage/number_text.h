#pragma once
// Amounts as text. One place decides how a number is written, because the
// program compares amount texts (the opening-balance totals, for one).

#include <string>
#include <string_view>

namespace tw {

inline constexpr double kAmountTolerance = 0.0000001;

inline bool isZero(double x) { return x <= kAmountTolerance && x >= -kAmountTolerance; }
inline bool amountsEqual(double a, double b) { return isZero(a - b); }

// Plain decimal text: at most 15 significant digits, no exponent, no trailing
// zeros or point (1234.5, 80, -50, 0.3 for 0.1+0.2).
std::string plainDecimal(double x);
// The same text appended to `out` (files of many amounts).
void appendPlainDecimal(std::string& out, double x);
// Two decimals, rounded half away from zero: 1234.50.
std::string twoDecimals(double x);
// Rounds to two decimals, half away from zero, as the number reads in
// decimals (its shortest text): 2.675 gives 2.68 and 0.0049999999 gives 0.00.
double roundCents(double x);
// The number a text starts with, as a lenient reader would take it: "" and
// "abc" are 0, "12.5元" is 12.5.
double parseNumber(std::string_view text);
// Strict: true only when the whole text (blanks around allowed) is a number.
bool parseAmount(std::string_view text, double& value);

}  // namespace tw
