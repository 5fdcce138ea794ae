#pragma once
// Review (审核): the reviewer's name in 审核 of every page of a voucher, the
// check between writing a voucher and posting it. A reviewed voucher cannot
// be changed or deleted until the review is undone; a posted one (登账 not
// empty) cannot be un-reviewed. The reviewer is always the logged-in user.
// Both operations work inside the caller's action.

#include <cstdint>
#include <string>
#include <vector>

#include "vouchers/voucher_page.h"

namespace tw {

inline constexpr const char* kPostedCannotUndo = "已被登账、无法撤销！";
inline constexpr const char* kUnbalancedVoucher = "借、贷方不平！无法通过审核！。";
inline constexpr const char* kNothingToReview = "当前无可操作凭证。";
inline constexpr const char* kAllReviewed = "本月凭证全部被审核。";
inline constexpr const char* kAllUndone = "本月凭证全部被撤销。";
inline constexpr const char* kUnbalancedInRun = "当前凭证借、贷方不平！无法通过审核！。";
inline constexpr const char* kSelfReview = "审核人与制单人不能为同一人！";

// The review-all mode, kept for the program's run: the next 审撤全部 reviews
// ("审核", also when the mode is still empty) or undoes ("撤销").
inline constexpr const char* kModeReview = "审核";
inline constexpr const char* kModeUndo = "撤销";

// Why the logged-in user may not review the voucher whose pages are
// `voucher`, or empty: with 审核人与制单人不能为同一人 on (`apart`,
// shell/set_options.h), a voucher one of whose pages the user prepared
// (kSelfReview). Undoing a review is never refused for it.
std::string selfReviewRefusal(const Session& session, bool apart,
                              const std::vector<VoucherPage>& voucher);

// 审核或撤销 on page `id`, for every page of its voucher:
// 1. a posted page: kPostedCannotUndo;
// 2. no voucher on the page: kNoVoucherToEdit;
// 3. the voucher is not balanced: kUnbalancedVoucher (when undoing too);
// 4. reviewing a voucher selfReviewRefusal refuses: its message;
// 5. 审核 := the user's name when the page shows none, else empty.
// Returns the page's 审核 afterwards. Logs 审核凭证 or 撤销审核 with the number.
std::string toggleReview(RecordStore& store, const Session& session, std::int64_t id);

// "本月凭证审核完毕；其中2张凭证由您本人编制，审核人与制单人不能为同一人，未予审核。"
std::string passedOverMessage(int vouchers);

struct ReviewAllResult {
    bool done = false;        // false: stopped on an unbalanced voucher; nothing was written
    std::string message;      // the message to show
    std::string mode;         // the review-all mode afterwards
    std::int64_t shownId = 0;  // the page the window shows afterwards
    int passedOver = 0;       // vouchers left unreviewed: the user prepared them
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
// Reviewing with 审核人与制单人不能为同一人 on passes over the vouchers
// selfReviewRefusal refuses (in step 3 too): they stay as they are, and the
// message is passedOverMessage with those of them not reviewed yet, when
// there are any. Pages of other months are never touched. Logs 全部审核 or
// 全部撤销审核 with the vouchers it changed (and those it passed over).
ReviewAllResult reviewAll(RecordStore& store, const Session& session, const std::string& mode);

}  // namespace tw
