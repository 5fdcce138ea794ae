#pragma once
// The two statements a small business files, computed from the closed
// months' rows (book_months.h) by the rules of 报表项目.txt
// (statement_rules.h).
//
// balanceSheet(month), 资产负债表 (会小企01表): per line, 期末余额 from the
// month's end and 年初余额 from the start of its year (the opening of the
// year's first month in the books). Top-level accounts are read from
// 总账库's month rows, sub-accounts and the sides of leaves (借余, 贷余) from
// 账库's "本月合计" rows. Line 30 equals line 53 whenever the books balance
// and every account with a balance falls under a line, each balance once (a
// line's account less the sub-accounts other lines of the same total name,
// see evaluateStatement); one that falls only under a catch-all, or under
// none, is named in the notices.
//
// incomeStatement(period), 利润表 (会小企02表) of a month: per line,
// 本年累计金额 (the year's months up to this one) and 本月金额: the accounts'
// movement without their carry-forward (the entries of the close's "结转损益"
// vouchers, not a user's line with that 摘要), so line 32 equals what the
// carry-forward moved into 本年利润. Of a quarter: the same with 本期金额, the
// quarter's three months (those within the books).
//
// A statement is asked for by month M of year Y or by quarter Q of year Y
// (StatementPeriod); a quarter's balance sheet is that of its last month.
//
// All refuse a set that is not enabled, a month that is not closed
// (kNoMonthData), and a faulty 报表项目.txt; and a statement whose identity
// fails, by how much (requireIdentity): the balance sheet when 资产总计 is
// not 负债和所有者权益总计, the income statement when 净利润 is not what the
// 损益类 accounts moved (a balance no line holds, rules that count one twice).

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "shell/session.h"
#include "statements/book_months.h"
#include "statements/statement_rules.h"

namespace tw {

struct StatementLine {
    int line = 0;  // 0: a caption, no amounts
    std::string item;
    bool debitSide = true;
    bool computed = false;        // the rule has terms: its amounts are shown
    double amounts[2] = {0, 0};   // in the order of Statement::columns
};

struct Statement {
    StatementKind kind = StatementKind::BalanceSheet;
    std::string title;       // 资产负债表, 利润表
    std::string form;        // 会小企01表, 会小企02表
    std::string company;     // 编制单位
    std::string date;        // 2013年3月31日, 2013年3月, 2013年第1季度
    std::string columns[2];  // 期末余额 年初余额 | 本年累计金额 本月金额 (本期金额)
    std::string fileStem;    // 资产负债表-2013-03, 利润表-2013-Q1
    std::vector<StatementLine> lines;  // in the order of the rules, captions included
    std::vector<std::string> notices;  // accounts the lines hold only by a catch-all, or not at all

    // The amount of line `line` in column 0 or 1 (0 for a line it has not).
    double amount(int line, int column) const;
};

// "季度应为1到4！"
inline constexpr const char* kBadQuarter = "季度应为1到4！";

// The months a statement covers.
struct StatementPeriod {
    YearMonth first, last;  // the same month for a month
    int quarter = 0;        // 1..4 for a quarter, 0 for a month
};
// Month M of year Y. A month outside 1..12 is no closed month: the
// statements refuse it (kNoMonthData).
StatementPeriod monthPeriod(YearMonth month);
// Quarter Q of year Y, its three months; refuses kBadQuarter for a quarter
// outside 1..4.
StatementPeriod quarterPeriod(int year, int quarter);
// The quarter month `m` lies in, 1..4.
int quarterOf(YearMonth m);

Statement balanceSheet(RecordStore& store, const Session& session, YearMonth month);
Statement incomeStatement(RecordStore& store, const Session& session,
                          const StatementPeriod& period);

// ---- shared by the two statements ----

// One column's figures in whole cents, every amount signed debit positive:
// by top-level account, and by account posted to.
struct ColumnFigures {
    std::map<std::string, std::int64_t> tops;
    std::map<std::string, std::int64_t> accounts;
};

// Evaluates the rules over the two columns: fills `out.lines` and adds the
// notices. A balance enters the sums once: a term takes what the account it
// names holds, less what a term naming an account below it takes when the
// two lines enter one sum (one line adds both up, through 行N, or they are
// the same line); a catch-all takes of a top-level account only what no such
// term takes. `what` names the figures in the notices: 余额 or 发生额;
// `watched` tells which top-level accounts must fall under a line when some
// of their figure is not taken by a term.
void evaluateStatement(const Books& books, const std::vector<LineRule>& rules,
                       const ColumnFigures (&columns)[2], const std::string& what,
                       const std::function<bool(const std::string& top)>& watched, Statement& out);

// Refuses a statement whose identity fails in column `column`: "`heading`
// 期末余额的`left`为X，`right`为Y，相差Z。", its notices (which may tell why),
// and a pointer to 核对账目.
void requireIdentity(const Statement& s, int column, const std::string& heading, const std::string& left,
                     std::int64_t leftCents, const std::string& right, std::int64_t rightCents);

}  // namespace tw
