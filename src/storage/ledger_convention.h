#pragma once
// The sign convention of the ledger tables (账库, 账库辅1, 总账库): 借方 holds
// debits as positive numbers, 贷方 holds credits as negative numbers, 余额 is
// a signed balance (positive on the debit side) and 方向 is "借", "贷" or
// "平" by its sign with the 1e-7 tolerance. Rows that belong to no voucher
// carry 凭证编号 0 and one of the summary texts below. A voucher line may
// carry any of these texts as its 摘要 too: the program's own rows are the
// ones with 凭证编号 0 *and* the text, never those with the text alone.

#include "storage/number_text.h"

namespace tw {

inline constexpr const char* kOpeningSummary = "期初余额";
inline constexpr const char* kMonthTotal = "本月合计";
inline constexpr const char* kYearTotal = "本年累计";

// "借" for a debit balance, "贷" for a credit balance, "平" for none.
inline const char* sideOf(double balance) {
    if (balance > kAmountTolerance) return "借";
    if (balance < -kAmountTolerance) return "贷";
    return "平";
}

}  // namespace tw
