#pragma once
// 将本月凭证按日期排序: sorting and renumbering the vouchers of the current
// period's month. Months before it keep their order and their numbers, which
// their ledger rows and printed vouchers refer to.

#include "vouchers/voucher_page.h"

namespace tw {

inline constexpr const char* kPostedMonthCannotSort = "本月已有凭证登账，不能再按日期排序！";

// Works inside the caller's action:
// 1. refuses kPostedMonthCannotSort while any page of the month is posted;
// 2. orders the month's voucher pages by 日期, 月编号, 第几 (ties keep their
//    record order) and writes them back, in that order, into the records the
//    month's pages occupied (so the month's pages read in date order and the
//    pages of other months stay where they are);
// 3. numbers them month × 10000 + 1, + 2, … (30001, 30002 … in March): the
//    counter moves on after each last page (第几 = 共几), so the pages of a
//    voucher keep one number.
// Pages that hold no voucher (编制 empty) are left as they are. Returns the
// number of vouchers, which 上机日志 records (凭证排序).
int renumberAll(RecordStore& store, const Session& session);

}  // namespace tw
