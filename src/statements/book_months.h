#pragma once
// What the statements read from the books: the closed months' rows that the
// month-end close writes, never the voucher entries of 账库 at large.
//   - 总账库: per top-level account and month, the "本月合计" row (the month's
//     movement) and the "本年累计" row (the balance at the month's end);
//   - 账库: per account posted to, the month's "本月合计" row (its movement
//     and its balance at the month's end), and the carry-forward entries:
//     those of the vouchers the close wrote (种类 "结转损益" in 凭证库), dated
//     the month's last day as the close dates them.
// The close's rows are those with 凭证编号 0 and its texts; a user's line may
// carry the same 摘要 ("本月合计", "结转损益") and is an entry like any other.
// All of a month's rows are dated its last day, so each month is a few
// look-ups by date, whatever the size of the books.

#include <map>
#include <string>
#include <vector>

#include "accounts/chart.h"
#include "shell/session.h"
#include "storage/dates.h"

namespace tw {

// One account's month: its movement (credits negative) and its balance at
// the month's end (signed, debit positive).
struct Flow {
    double debit = 0;
    double credit = 0;
    double balance = 0;
    double movement() const { return debit + credit; }
    double opening() const { return balance - movement(); }
};

struct BookMonth {
    std::map<std::string, Flow> tops;      // 总账库, by top-level account
    std::map<std::string, Flow> accounts;  // 账库 "本月合计", by account
    std::map<std::string, Flow> carried;   // the close's carry-forward entries (debit, credit)
};

struct Books {
    std::string company;
    YearMonth start;       // the month the books start in
    YearMonth lastClosed;  // the month before the current period
    std::vector<Account> chart;
    std::map<std::string, std::size_t> byName;  // index into chart
    std::map<YearMonth, BookMonth> months;  // as read

    // January of m's year, or the start month in the books' first year.
    YearMonth yearStart(YearMonth m) const;
    // A month read (an empty one otherwise).
    const BookMonth& at(YearMonth m) const;
    // The account's side in the chart: true for 借方 (and for an account the chart has not).
    bool debitAccount(const std::string& name) const;
    // The chart's category of an account; empty when the chart has it not.
    std::string category(const std::string& name) const;
};

// The set's facts: refuses a set that is not enabled (kSetNotEnabled) and
// tables that cannot be read (kUnreadableSet).
Books readBookFacts(RecordStore& store, const Session& session);
// Refuses (kNoMonthData) a month that is not a closed month of the books.
void requireClosedMonth(const Books& books, YearMonth m);
// Reads the months from..to (closed months, from ≤ to) into books.months.
void readBookMonths(RecordStore& store, const Session& session, Books& books, YearMonth from,
                    YearMonth to);

}  // namespace tw
