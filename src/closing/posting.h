#pragma once
// Posting the reviewed vouchers of the open month into the ledgers, and undoing it.
//
// postReviewedVouchers: the vouchers of the open period (a page is one
// record of 凭证库; pages count one by one) in record order:
//   1. a posted page (登账 not empty) is passed over; the first page that is
//      not reviewed ends posting there, silently: it and every later page stay
//      unposted;
//   2. each line with an account becomes 账库 rows: with D the debit and
//      C = −credit, and B, TD, TC the account's 余额, 借方, 贷方 in 账库辅1
//      (0 for an account without a record), read once per line:
//      - when C is zero, a debit row (date, 月编号, 摘要, 科目, D, C, side, B + D);
//      - then, when D is zero, a credit row with the balance B + C;
//      so a line of two zeros gives two zero rows and a line of two amounts none;
//   3. 账库辅1 follows: 借方 := TD + D, 贷方 := TC + C, 余额 and 方向 of the
//      row; an account posted for the first time gets its record appended;
//   4. the page's 登账 := the user.
// Balances and totals are added up in whole cents, so they never drift; a
// balance or total beyond ±kMaxBalance (number_text.h), where cents stop
// being exact, is refused (beyondCentsMessage) and nothing is posted.
// Returns the number of vouchers posted: the distinct 月编号 of the pages it
// posted (a voucher of two pages is one voucher, as postedMessage says).
//
// undoPosting: every voucher entry of the open period in 账库 (凭证编号 not 0,
// whatever its 摘要) is removed and taken out of its account's 账库辅1
// totals; the "期初余额" rows (凭证编号 0) stay. 登账 of every page of the
// period is emptied. 审核 stays.
//
// Both work inside the caller's action and refuse (kUnreadableSet) when a
// table cannot be read; posting refuses a set that is not enabled yet
// (kSetNotEnabled). Each is logged in 上机日志 in that action: 登账 with the
// count (the close's posting too), 撤销登账 with the month.

#include <string>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr const char* kPostedCount = "张凭证被登账。";  // after the count
inline constexpr const char* kUndoPostingQuestion = "是否进行撤销登账操作？";
inline constexpr const char* kPostingUndone = "本月登账均已撤销！";

// The pages of the open period, which decide what the posting window allows
// (`status` prints them).
struct PostingCounts {
    long total = 0;       // pages
    long posted = 0;      // pages posted
    long unreviewed = 0;  // pages not reviewed
    // 将已审核凭证按编号登账: some page is reviewed and not yet posted.
    bool canPost() const { return total != posted + unreviewed; }
    // 结转损益并期末结账: every page is posted (also when there are none).
    bool canClose() const { return total == posted; }
};
PostingCounts refreshPostingCounts(RecordStore& store, const Session& session);

// The vouchers of the open period, as the posting window's sentence counts
// them ("本月共有凭证 N 张，其中 M 张已被登账，还有 K 张未审核。"): a voucher
// is a 月编号 of the month, whatever its number of pages; it is posted when
// every page of it is, not reviewed when some page is not.
struct VoucherCounts {
    long total = 0;       // 本月凭证总张数
    long posted = 0;      // 已被登账数
    long unreviewed = 0;  // 待处理数
};
VoucherCounts countMonthVouchers(RecordStore& store, const Session& session);

int postReviewedVouchers(RecordStore& store, const Session& session);
// "3张凭证被登账。"
std::string postedMessage(int count);

void undoPosting(RecordStore& store, const Session& session);

}  // namespace tw
