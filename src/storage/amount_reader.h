#pragma once
// The one reader of amounts as they are typed: the amount dialog, the opening
// balances, and every command that takes an amount. The program keeps amounts
// in cents, so what it reads must be exact in cents: at most two decimals
// (never rounded silently), at most 15 significant digits (what a double
// holds), at most 999,999,999,999.99 either way.

#include <string>
#include <string_view>

namespace tw {

inline constexpr int kMaxSignificantDigits = 15;
inline constexpr int kMaxDecimals = 2;
inline constexpr double kMaxAmount = 999999999999.99;
inline constexpr const char* kAmountNotANumber = "金额必须是数字！";
inline constexpr const char* kAmountTooManyDecimals = "金额最多只能有两位小数！";
inline constexpr const char* kAmountTooManyDigits = "金额最多只能有15位有效数字！";
inline constexpr const char* kAmountTooLarge = "金额的绝对值不能超过999999999999.99！";

// Reads `text` as an amount: blanks around it, an optional sign, digits with
// at most one decimal point (no exponent). Thousands separators, "," or the
// full-width "，", may group the digits before the point by three (1,234.50,
// 1，000); one anywhere else makes the text no number ("1,00" is not read as
// 1.00 nor as 100). Zeros ending the decimals do not count (1.230 is 1.23). A
// text of blanks only is 0, as an empty amount box is. Returns an empty text with `value` set, or the message
// to show (`value` unchanged): the first of not a number, too many decimals,
// too many digits, too large.
std::string readAmount(std::string_view text, double& value);

// The same rules for an amount that arrives as a number (a spin box, a
// caller's value): finite, at most two decimals as it reads in decimals, at
// most kMaxAmount. Empty when it may be kept.
std::string checkAmount(double value);

// The refusal of a sum that would leave the range where every cent is exact
// (kMaxBalance, number_text.h): `what` names it, "科目“现金”的余额或发生额合计"
// gives "科目“现金”的余额或发生额合计将超过±70000000000000.00，无法再精确到分，不能继续！".
std::string beyondCentsMessage(const std::string& what);

}  // namespace tw
