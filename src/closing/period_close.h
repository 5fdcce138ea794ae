#pragma once
// The month-end close and its undoing.
//
// closePeriod, for the open month (Y, M), in one action:
//   1. refuses in December 9999 (the books hold no later date) and while a
//      page of the month is not posted;
//   2. carries profit and loss forward and posts (carryForwardProfitAndLoss);
//      in December, when the set has 年末将本年利润转入利润分配 on, then moves
//      本年利润 into 利润分配 and posts (transferYearProfit);
//   3. 账库: per 账库辅1 record, in record order, a "本月合计" row (the month's
//      voucher-entry debits and credits, the account's side and balance); in
//      December also a "本年累计" row (the year's entries) and the next year's
//      "期初余额" row (the balance on its side) dated January 1st;
//   4. 总账库: per top-level account with entries this month (in the order of
//      their first entry), a "本月合计" row with the month's movement and a
//      "本年累计" row with the year's opening plus every month's movement;
//      both carry the balance at the end of the month;
//   5. a top-level account without entries this month carries its previous
//      month's "本年累计" row (with a zero "本月合计"); one with none (its first
//      closed month, or any January) carries the year's "期初余额" row, so an
//      account with a balance appears in every month;
//   6. in December, per "本年累计" row, the next year's "期初余额" row in 总账库;
//   7. 会计期间 moves to the next month.
// Month rows are dated the last day of the month; their amounts are summed
// in whole cents, and one beyond ±kMaxBalance (number_text.h), where cents
// stop being exact, refuses the close (beyondCentsMessage).
// The value: the new period and the posting count, for the messages the
// caller shows once the action has committed. 上机日志 records 结账 with the
// month closed, in the same action.
//
// undoClose, for the open month (Y, M): refuses while a page of the month is
// posted, and in the starting month of the books (it would remove the opening
// rows). Removes the January "期初余额" rows that a December close wrote (when
// M is January), moves 会计期间 back one month, and removes that month's
// "本月合计"/"本年累计" rows from 账库 and its rows other than "期初余额" from
// 总账库. Only rows with 凭证编号 0 are the close's: a voucher entry whose
// 摘要 reads the same stays. Vouchers, entries and 账库辅1 stay. 上机日志
// records 撤销结账 with the month open again.

#include <string>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr const char* kUndoCloseQuestion = "是否进行撤销结账操作？";
inline constexpr const char* kUndoPostingFirst = "撤销结账前，应先撤销当前月登账！";
inline constexpr const char* kNotAllPosted = "本月还有凭证没有登账，不能结账！";
inline constexpr const char* kLastPeriod = "会计期间已到9999年12月，不能再结账！";
inline constexpr const char* kNothingToUndo = "当前会计期间是套账启用的月份，没有可以撤销的结账！";

// "当前会计期间为2013年3月，是否要结转本期损益并结账！"
std::string closeQuestion(double period);

struct Closed {
    double period = 0;  // the new current period
    int posted = 0;     // pages posted by the close
    // "结转损益与登账完毕！\r\n会计期间进入：2013年4月"
    std::string message() const;
};
Closed closePeriod(RecordStore& store, const Session& session);

struct Reopened {
    double period = 0;
    // "结账已撤销，当前会计期间：2013年3月"
    std::string message() const;
};
// The refusals of undoClose, checked before its question is asked.
void checkUndoClose(RecordStore& store, const Session& session);
Reopened undoClose(RecordStore& store, const Session& session);

}  // namespace tw
