#pragma once
// Review (审核): the reviewer's name in 审核 of every page of a voucher, the
// check between writing a voucher and posting it. A reviewed voucher cannot
// be changed or deleted until the review is undone; a posted one (登账 not
// empty) cannot be un-reviewed. The reviewer is always the logged-in user.
// Both operations work inside the caller's action.

#include <cstdint>
#include <string>

#include "vouchers/voucher_page.h"

namespace tw {

inline constexpr const char* kPostedCannotUndo = "已被登账、无法撤销！";
inline constexpr const char* kUnbalancedVoucher = "借、贷方不平！无法通过审核！。";
inline constexpr const char* kNothingToReview = "当前无可操作凭证。";
inline constexpr const char* kAllReviewed = "本月凭证全部被审核。";
inline constexpr const char* kAllUndone = "本月凭证全部被撤销。";
inline constexpr const char* kUnbalancedInRun = "当前凭证借、贷方不平！无法通过审核！。";

// The review-all mode, kept for the program's run: the next 审撤全部 reviews
// ("审核", also when the mode is still empty) or undoes ("撤销").
inline constexpr const char* kModeReview = "审核";
inline constexpr const char* kModeUndo = "撤销";

// 审核或撤销 on page `id`, for every page of its voucher:
// 1. a posted page: kPostedCannotUndo;
// 2. no voucher on the page: kNoVoucherToEdit;
// 3. the voucher is not balanced: kUnbalancedVoucher (when undoing too);
// 4. 审核 := the user's name when the page shows none, else empty.
// Returns the page's 审核 afterwards.
std::string toggleReview(RecordStore& store, const Session& session, std::int64_t id);

struct ReviewAllResult {
    bool done = false;        // false: stopped on an unbalanced voucher; nothing was written
    std::string message;      // the message to show
    std::string mode;         // the review-all mode afterwards
    std::int64_t shownId = 0;  // the page the window shows afterwards
};

// 审撤全部 over the current period's month, in `mode`:
// 1. the table's last record holds no voucher (or there is none):
//    kNothingToReview (a refusal);
// 2. an empty mode counts as "审核";
// 3. the month's pages are taken backward from the last; posted pages are
//    passed over unchanged. A last page of an unposted voucher that is not
//    balanced stops the run before anything is written: kUnbalancedInRun,
//    shown on that page, the mode unchanged;
// 4. otherwise every unposted page of the month gets 审核 := the user's name
//    (mode "审核") or empty (mode "撤销"); the mode flips, the message is
//    kAllReviewed or kAllUndone, and the run ends on the table's first record.
// Pages of other months are never touched.
ReviewAllResult reviewAll(RecordStore& store, const Session& session, const std::string& mode);

}  // namespace tw
