#pragma once
// The year-end transfer of profit, a step of the December close when the set
// has 年末将本年利润转入利润分配 on (shell/set_options.h). After the
// carry-forward has posted, inside the close's action:
//   1. every account that is 本年利润 or lies below it and has a 账库辅1
//      balance is moved whole, in chart order, into 利润分配→未分配利润, or
//      into 利润分配 when the chart has no such sub-account: one reviewed
//      two-line voucher each (摘要 and 种类 "结转本年利润"), dated the 31st
//      and numbered on after the carry-forward vouchers (writeBalanceMoves);
//   2. posts them.
// So the new year opens with 本年利润 at 0 and 未分配利润 holding the year's
// profit. Refuses (kNoRetainedEarnings), before writing anything, when there
// is a balance to move but the target is missing or has sub-accounts of its
// own. Nothing to move writes nothing. Undoing the close leaves the vouchers
// posted, as it leaves the carry-forward's; closing again finds 本年利润 at 0.

#include <string>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr const char* kYearProfitAccount = "本年利润";
inline constexpr const char* kProfitDistribution = "利润分配";
inline constexpr const char* kRetainedEarnings = "利润分配→未分配利润";
inline constexpr const char* kYearEndTransferSummary = "结转本年利润";
inline constexpr const char* kNoRetainedEarnings =
    "年末将本年利润转入利润分配，需要末级科目“利润分配→未分配利润”，请先在会计科目中添加！";

struct YearEndTransfer {
    int vouchers = 0;  // vouchers written
    int posted = 0;    // pages posted by the posting that follows
};
YearEndTransfer transferYearProfit(RecordStore& store, const Session& session);

}  // namespace tw
