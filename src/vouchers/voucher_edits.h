#pragma once
// The changes the voucher window makes to voucher pages. Each works inside
// the caller's action (the window's or the command line's runAction), on the
// page as stored, and refuses by Refusal with the window's message, writing
// nothing. Every change that touches the lines stores the voucher's totals on
// its last page in the same action (voucher_totals.h). A new voucher, a new
// number and a deleted page are logged in 上机日志 (shell/action_log.h) in
// the same action too.
//
// The changes of a page's content first make the editable check
// (editRefusal): no voucher on the page, or a reviewed one, is refused.

#include <cstdint>
#include <string>

#include "vouchers/voucher_page.h"

namespace tw {

inline constexpr const char* kNegativeAmount = "金额不能是负数！";
inline constexpr const char* kNegativeAttachments = "附件数不能是负数！";
inline constexpr const char* kUnknownAccount = "没有这个科目：";

enum class Side { Debit, Credit };

// The day refusal for a day that the current period's month does not have:
// "日期必须在1到31日之间！" (the month's own last day).
std::string dayRangeMessage(const Session& session);

// 新建凭证, step 1: the voucher of the page shown (record id; 0 when the
// table is empty), whichever of its pages that is, must be complete
// (voucherCompleteness: dated, its last page there, its totals over all its
// pages equal and not zero). Refuses an unbalanced one with
// unbalancedRefusal (借贷不平 and the difference), any other with
// kIncompleteVoucher.
void requireComplete(RecordStore& store, const Session& session, std::int64_t shownId);

// 新建凭证: after requireComplete, appends page 1 of 1 dated `day` of the
// current period's month, numbered by nextVoucherNumber, prepared by the
// logged-in user, with no lines. Returns its record id. `shownId` 0 skips the
// completeness check (no page shown). Refuses a set that is not enabled yet
// (kSetNotEnabled) and a day outside the month.
std::int64_t newVoucher(RecordStore& store, const Session& session, std::int64_t shownId, int day);

// 增加子页: appends a new last page to the voucher of page `id` (same date and
// number, prepared by the logged-in user), after adding 1 to 共几 on its
// pages; the new page is page 共几 + 1 of 共几 + 1, whichever page was shown.
// Returns its record id, or 0 when the page has no number, page, page count
// or date (nothing happens then). Refuses a page that cannot be edited: a
// page added to a reviewed voucher would stay unreviewed inside it.
std::int64_t addVoucherPage(RecordStore& store, const Session& session, std::int64_t id);

// The account of line `line` (1 … 4): an account of the chart, or empty to
// clear the line's account and both its amounts. Refuses an account the
// chart does not have (kUnknownAccount + name).
void setLineAccount(RecordStore& store, const Session& session, std::int64_t id, int line,
                    const std::string& account);

// The summary of line `line`.
void setLineSummary(RecordStore& store, const Session& session, std::int64_t id, int line,
                    const std::string& summary);

// An amount on one side of line `line`. A non-zero amount empties the other
// side (a line holds a debit or a credit, never both); zero empties this side.
// Refuses a line without an account (kAccountFirst), an amount that is not
// exact in cents or too large (checkAmount: never rounded silently) and a
// negative amount (kNegativeAmount).
void setLineAmount(RecordStore& store, const Session& session, std::int64_t id, int line,
                   Side side, double amount);

// 附件数 of the page. Refuses a negative count.
void setAttachments(RecordStore& store, const Session& session, std::int64_t id,
                    std::int64_t count);

// The date of the voucher of page `id`: the current period's year and month
// and `day`, on every page of the voucher, so they stay together. Refuses a
// day outside the month, and kDuplicateNumber when the voucher comes from
// another month and the current month already has a voucher of its number.
void setVoucherDay(RecordStore& store, const Session& session, std::int64_t id, int day);

// The number of the voucher of page `id`, on every page of it. A zero number
// is refused without a message (the dialog stays open); a number outside its
// month's block (numberBlock: 30001 … 39999 in March) with the message naming
// the block; a number that a page of the voucher's month already has, its own
// pages included, with kDuplicateNumber.
void changeVoucherNumber(RecordStore& store, const Session& session, std::int64_t id,
                         double number);

// 删除: removes page `id` after closeGapAfterDelete, and stores the totals
// of what remains of its voucher. Refuses kNoPage when there is no such page
// and, by deleteRefusal, kReviewedCannotDelete for a reviewed page.
void deleteVoucherPage(RecordStore& store, const Session& session, std::int64_t id);

}  // namespace tw
