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

// The amounts the program keeps exactly: at most 15 significant digits (what
// a double holds) and at most 999,999,999,999.99 either way.
inline constexpr int kMaxSignificantDigits = 15;
inline constexpr double kMaxAmount = 999999999999.99;
inline constexpr const char* kAmountNotANumber = "金额必须是数字！";
inline constexpr const char* kAmountTooManyDigits = "金额最多只能有15位有效数字！";
inline constexpr const char* kAmountTooLarge = "金额的绝对值不能超过999999999999.99！";

// Checks an amount as typed (an amount box, the command line): a plain
// decimal number (no exponent), at most kMaxSignificantDigits significant
// digits, at most kMaxAmount in absolute value. Empty when it is acceptable
// (`value` then holds it), otherwise the message to show.
std::string checkAmountText(std::string_view text, double& value);
// The same for an amount that arrives as a number: empty when it is finite
// and at most kMaxAmount in absolute value.
std::string checkAmount(double value);

}  // namespace tw
