#pragma once
// The vouchers the bookkeeper put on lines of the cash-flow statement by
// hand (现金流量指定.edb, with the set password), in place of the lines their
// counter accounts name: one record per voucher and line, holding the
// voucher's 日期 and 月编号 (a voucher is its month and number), the 行次 and
// the 金额 as the line shows it. A set that never assigned a voucher has no
// file; the first assignment makes it inside its action, and a backup
// carries it with the set's other tables.
//
// An assignment belongs to the voucher as it stood: the changes that touch a
// voucher's lines, its date or its number, and its deletion, forget it in
// the same action (voucher_edits.h), and so does the month's renumbering for
// each voucher whose number it changes (voucher_sort.h).
//
// Every function refuses (kUnreadableSet) anything at the file's name that
// cannot be read as the table: an assignment is never taken for missing.

#include <utility>
#include <vector>

#include "shell/session.h"
#include "storage/dates.h"

namespace tw {

struct CashFlowAssignment {
    double date = 0;    // the voucher's
    double number = 0;  // its 月编号
    int line = 0;       // 行次
    double amount = 0;  // as the line shows it
};

// The records of the vouchers dated in the months from..to, in record order.
std::vector<CashFlowAssignment> readCashFlowAssignments(RecordStore& store, const Session& session,
                                                        YearMonth from, YearMonth to);

// Replaces the assignment of voucher `number` of the month `date` lies in
// with `parts` (行次, 金额), inside the caller's action; none forgets it.
void writeCashFlowAssignment(RecordStore& store, const Session& session, double date, double number,
                             const std::vector<std::pair<int, double>>& parts);

// Forgets the assignments of the vouchers numbered `numbers` in the month
// `date` lies in, inside the caller's action.
void forgetCashFlowAssignments(RecordStore& store, const Session& session, double date,
                               const std::vector<double>& numbers);

}  // namespace tw
