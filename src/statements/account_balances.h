#pragma once
// 科目余额表: every account of the chart in code order (account_codes.h), top-level and
// sub-accounts (each right below its parent, as the chart's tree shows them), over a range of closed months (also across a year end):
//   期初余额       the balance at the start of the first month;
//   本期发生额     the debits and credits of the range;
//   本年累计发生额 those of the last month's year, from its first month in
//                 the books up to the last month;
//   期末余额       the balance at the end of the last month;
// each balance on the debit or the credit side by its sign. Top-level rows
// come from 总账库's month rows (so they agree with the 试算平衡表), the
// sub-accounts from 账库's "本月合计" rows, a sub-account with sub-accounts
// of its own summing them. Top-level accounts the books hold but the chart
// has not follow the chart's. The totals row sums the top-level rows: each
// column pair balances on balanced books. `level` 1 lists the top level
// only, n the levels 1 to n, 0 every level.
//
// Refuses a set that is not enabled, a range that runs backwards
// (kRangeBackwards) and a month that is not closed (kNoMonthData).

#include <string>
#include <vector>

#include "ledgers/report.h"
#include "shell/session.h"
#include "statements/book_months.h"

namespace tw {

inline constexpr const char* kAccountBalancesName = "科目余额表";
inline constexpr const char* kRangeBackwards = "起始月份不能晚于截止月份！";

struct BalanceRow {
    std::string account;  // full name; "合计" on the totals row
    std::string code;     // 科目编码; empty on the totals row and off the chart
    int level = 1;
    SidePair opening;       // 期初余额
    SidePair movement;      // 本期发生额
    SidePair yearMovement;  // 本年累计发生额
    SidePair closing;       // 期末余额
    // The account's own name, indented by its level with full-width blanks.
    std::string shownName() const;
    // What the table shows: shownName with the code before the own name
    // ("　100201 工商银行").
    std::string label() const;
};

struct AccountBalances {
    std::string company;
    YearMonth from, to;
    int level = 0;
    std::vector<BalanceRow> rows;
    BalanceRow total;
    std::string period() const;    // "2013年1月至2013年12月", or "2013年3月" for one month
    std::string fileStem() const;  // 科目余额表-2013-01至2013-12
};

AccountBalances accountBalances(RecordStore& store, const Session& session, YearMonth from,
                                YearMonth to, int level);

}  // namespace tw
