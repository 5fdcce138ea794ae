#pragma once
// 从凭证引入: the posted voucher lines on a cash or bank account brought into
// its journal, so that the cashier does not enter them a second time.
//
// importVoucherLines, inside the caller's action, for the account and the day
// range of `request` (both days included):
//   0. refuses a set that is not enabled (kSetNotEnabled), no account
//      (kChooseCashAccount) and one that is not a cash or bank account of the
//      chart (kNotCashAccount);
//   1. reads the posted pages (登账 not empty) dated in the range that name
//      the account on a line, through the indexes of 凭证库;
//   2. a line on the account with a debit only moves the account by the
//      debit, one with a credit only by minus the credit: 收 when that is
//      positive, 付 when negative (a red-ink line, too); a line with both
//      amounts or none is left out, as posting leaves it out of 账库;
//   3. a line is known by its reference, kept in the entry's 编制 (the
//      journal has no field of its own for it): voucherLineReference, as
//      "凭证30001第1张第2行". A line whose reference an entry of the account
//      dated in the same month already carries was brought in before and is
//      passed over, so that importing twice adds nothing;
//   4. appends the others by day (a day's pages in record order, a page's
//      lines in order): 日期 the voucher's, 科目, 种类, 金额, 余额 following the
//      account's last entry (journalBalance) in whole cents, 编制 the
//      reference, 摘要 the line's, 对应 the one account on the voucher's other
//      side (over all its pages; empty when there are several). A 余额 beyond
//      ±kMaxBalance is refused (beyondCentsMessage) before anything is
//      appended.
// Returns the number of entries appended. Refuses kUnreadableSet when a
// table cannot be read. A voucher posted again after undo posting is known
// by the same references, unless its number, pages or lines were changed
// meanwhile.

#include <string>

#include "ledgers/journal.h"

namespace tw {

// "已从凭证引入3笔收付。"
std::string importedMessage(int count);

// "凭证30001第1张第2行": voucher 30001, its page 1, line 2.
std::string voucherLineReference(double number, int page, int line);

int importVoucherLines(RecordStore& store, const Session& session, const JournalRequest& request);

}  // namespace tw
