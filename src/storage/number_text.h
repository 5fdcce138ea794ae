#pragma once
// Amounts as text. One place decides how a number is written, because the
// program compares amount texts (the opening-balance totals, for one).

#include <cstdint>
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
// The same with the thousands grouped by ",", as amounts are printed:
// 1,234.50, -1,000,000.00, 0.05.
std::string groupedTwoDecimals(double x);
// Rounds to two decimals, half away from zero, as the number reads in
// decimals (its shortest text): 2.675 gives 2.68 and 0.0049999999 gives 0.00.
double roundCents(double x);
// Whole cents, for every sum the books keep (balances, totals, month and
// year sums): added up as integers, turned into a double once, they never
// drift. A sum of doubles does: above 2^45 (about 3.5×10^13) each addition
// may be off by more than half a cent.
//
// The largest balance or total the books keep: below 2^46 (about 7.04×10^13)
// every whole cent is a double of its own and comes back exactly; beyond,
// two cents share one double. kMaxBalanceCents is the same in cents.
inline constexpr double kMaxBalance = 70000000000000.00;
inline constexpr std::int64_t kMaxBalanceCents = 7000000000000000;
inline bool centsInRange(std::int64_t cents) {
    return cents <= kMaxBalanceCents && cents >= -kMaxBalanceCents;
}
// The whole cents an amount stands for: exact for the double nearest to a
// whole number of cents (every amount the program writes), else x rounded
// to cents first as roundCents does. Beyond ±2^53 cents, and for a number
// that is not finite, ±2^53 (0 for NaN): out of range, never an overflow.
std::int64_t toCents(double x);
// The double nearest to cents / 100.
inline double fromCents(std::int64_t cents) { return static_cast<double>(cents) / 100; }
// The text without the spaces and tabs around it, as a number may be typed
// (a full-width space is no blank here, unlike trimBlanks in gbk.h).
std::string_view trimNumberBlanks(std::string_view text);
// The number a text starts with, as a lenient reader would take it: "" and
// "abc" are 0, "12.5元" is 12.5.
double parseNumber(std::string_view text);
// Strict: true only when the whole text (blanks around allowed) is a number.
bool parseAmount(std::string_view text, double& value);

}  // namespace tw
