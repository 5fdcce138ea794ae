#pragma once
// The profit-and-loss carry-forward: the pairs of 结转损益 (an account whose
// balance is moved, and the account that receives it) and the vouchers the
// close writes for them.
//
// carryForwardProfitAndLoss, for the open month:
//   1. every account with a 账库辅1 balance that is a pair's source or lies
//      below one in the chart is carried exactly once, to the target of the
//      nearest pair on its own path (its own pair, else its parent's, and so
//      on): with 管理费用 → 本年利润 and 管理费用→工资 → 利润分配,
//      管理费用→工资→奖金 goes to 利润分配 alone;
//   2. the vouchers are dated the month's last day and numbered on from the
//      month's largest 月编号 inside its block (numberBlock; month × 10000
//      when it has none), one after another without gaps; when they would
//      pass the block's last number (39999 in March) the carry-forward is
//      refused (carryForwardFullMessage) before anything is written;
//   3. in pair order, and within a pair in chart order, each carried account
//      gets one reviewed two-line voucher: a debit balance b gives line 1 =
//      target debit |b|, line 2 = account credit |b|; a credit balance gives
//      line 1 = account debit |b|, line 2 = target credit |b|; both lines
//      "结转损益", 编制 and 审核 the user, and 种类 "结转损益" too: a user may
//      type that 摘要, but no voucher a user writes has a 种类, so the kind is
//      what tells the close's vouchers (and their 账库 entries, by 月编号)
//      from a user's;
//   4. postReviewedVouchers posts them with every other reviewed voucher.
// So after it each carried account, and every account below it, stands at 0.
// Works inside the caller's action (the month-end close).

#include <cstdint>
#include <string>
#include <vector>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr const char* kCarryForwardSummary = "结转损益";
inline constexpr const char* kChooseToModify = "请先选择要修改的对象！";
inline constexpr const char* kChoosePairToDelete = "请先选择要删除的对象！";
inline constexpr const char* kFillInAccounts = "请先填写科目！";

struct CarryForwardPair {
    std::string source;  // 结账前将要结转损益的科目
    std::string target;  // 对应科目
};

// The pairs of 结转损益 in record order (结转损益超级列表框).
std::vector<CarryForwardPair> fillCarryForwardList(RecordStore& store, const Session& session);

// 确定 of 结转损益设置窗口: refuses an empty box (kFillInAccounts) and a name that
// is not an account of the chart; then changes the target of the pair with
// that source, or appends the pair. Logged in 上机日志 (设置结转损益).
void saveCarryForwardPair(RecordStore& store, const Session& session, const CarryForwardPair& pair);

// source + "  >对应科目>  " + target + "\r\n真的要删除当前选定吗！？"
std::string deletePairQuestion(const CarryForwardPair& pair);
// Deletes the pair whose source is `source`; refuses an empty one
// (kChoosePairToDelete). A deletion is logged in 上机日志 (删除结转损益).
void deleteCarryForwardPair(RecordStore& store, const Session& session, const std::string& source);

// "结转损益需要3张凭证，本月凭证已编到第39998号，只剩1个编号，不能结账！"
std::string carryForwardFullMessage(std::int64_t needed, std::int64_t largest, std::int64_t left);
// The same for another kind of closing voucher: `what` in place of "结转损益".
std::string closingVouchersFullMessage(const std::string& what, std::int64_t needed,
                                       std::int64_t largest, std::int64_t left);

// One account's whole balance moved into `target` by a closing voucher.
struct BalanceMove {
    std::string account;
    std::string target;
    double balance = 0;  // signed, debit positive
};
// Steps 2 and 3 above for any closing vouchers: one reviewed two-line voucher
// per move, dated the month's last day, numbered on from the month's largest
// 月编号 in its block, with `summary` on both lines and as its 种类.
// Refuses, before writing anything, when the block has too few numbers left
// (the message names `what`). Does not post. Returns the number of vouchers
// written.
int writeBalanceMoves(RecordStore& store, const Session& session,
                      const std::vector<BalanceMove>& moves, const std::string& summary,
                      const std::string& what);

struct CarryForward {
    int vouchers = 0;  // carry-forward vouchers written
    int posted = 0;    // pages posted by the posting that follows
};
CarryForward carryForwardProfitAndLoss(RecordStore& store, const Session& session,
                                       const std::vector<CarryForwardPair>& pairs);

}  // namespace tw
