#pragma once
// 现金流量表 (会小企03表) of a closed month or of a quarter, filled from the
// posted vouchers that move cash (cash_flow_analysis.h), in the columns
// 本年累计金额 and 本月金额 (本期金额 for a quarter), with the header of the
// other two statements.
//
// cashFlow(period):
//   1. reads the rules of 现金流量项目.txt, the books' facts and the closed
//      months of the year up to the period's last (book_months.h);
//   2. finds the posted vouchers of those months that move cash by the cash
//      accounts' entries in 账库 (through its index on account and date),
//      reads their pages by month and number from 凭证库, and puts each on
//      the lines its counter accounts name;
//   3. checks each month's movement of each cash account on those vouchers
//      against the closed month's rows of the ledger;
//   4. per column, the flow lines sum the months' shares, lines 7, 13, 19 and
//      20 add them up, line 21 is the cash accounts' balance at the column's
//      start (of the year, of the month or quarter) and line 22 = 20 + 21,
//      which must be their balance at the period's end;
//   5. checks line 22 against 资产负债表 line 1's 期末余额 and the year's line
//      21 against its 年初余额: cash is what the balance sheet calls 货币资金.
// A voucher the bookkeeper assigned by hand (assignCashFlow) goes to the
// lines assigned instead of those of its counters, and its detail says so;
// an assignment that no longer adds up to its voucher's movement, or whose
// voucher moves no cash, refuses the statement, naming the voucher.
// A month without cash movement shows nothing but the two balances. The
// notices name the counter accounts no rule names (lines 2 and 6 took them).
//
// Refuses what balanceSheet refuses, a faulty 现金流量项目.txt, and figures
// that do not reconcile (3–5), saying where and by how much: a wrong
// statement is never shown.

#include <string>
#include <utility>
#include <vector>

#include "statements/cash_flow_rules.h"
#include "statements/statement.h"

namespace tw {

// One voucher's part of one line.
struct CashFlowEntry {
    int line = 0;
    double date = 0;                    // the voucher's date
    double number = 0;                  // its 月编号
    std::string summary;
    double amount = 0;                  // as the line shows it
    std::vector<std::string> accounts;  // the counter accounts that put it there
    bool assigned = false;              // the bookkeeper put it there (none of the accounts)
    // Why it is there: the accounts joined by "、", or 指定.
    std::string source() const;
};

struct CashFlow {
    Statement statement;
    // The period's (本月金额 or 本期金额), by line, each line's in date and
    // number order.
    std::vector<CashFlowEntry> entries;
};

CashFlow cashFlow(RecordStore& store, const Session& session, const StatementPeriod& period);
inline Statement cashFlowStatement(RecordStore& store, const Session& session,
                                   const StatementPeriod& period) {
    return cashFlow(store, session, period).statement;
}

// Puts voucher `number` of `month` on the lines `parts` (行次, 金额 as the
// line shows it: receipts on lines 1, 2, 8, 9, 10, 14, 15, payments on the
// others, negative to lower a line) in place of the lines its counters name;
// no parts take the assignment back. Inside the caller's action; refuses,
// writing nothing:
//   1. a line cash does not go to, a line twice, an amount not exact in cents;
//   2. a voucher the month has not, and one that moves no cash;
//   3. parts whose receipts less payments are not the voucher's movement (its
//      cash debits less credits, every page), saying by how much.
void assignCashFlow(RecordStore& store, const Session& session, YearMonth month, double number,
                    const std::vector<std::pair<int, double>>& parts);

}  // namespace tw
