#pragma once
// A whole voucher entered at once (the command line's `voucher add`), made
// by the same steps the voucher window takes, in one action.

#include <cstdint>
#include <string>
#include <vector>

#include "vouchers/voucher_page.h"

namespace tw {

inline constexpr const char* kDebitAndCredit = "一行只能填借方金额或贷方金额，不能两者都填！";

// The refusal of a voucher whose totals differ or are zero once every line
// is in: its detail gives the totals ("借方合计 10，贷方合计 9.99").
inline constexpr RefusalKind kUnbalancedEntry{"unbalanced voucher"};

struct EntryLine {
    std::string summary;
    std::string account;
    double debit = 0;
    double credit = 0;
};

struct VoucherEntry {
    int day = 0;                   // day of the current period's month
    std::int64_t attachments = 0;  // 附件数
    std::vector<EntryLine> lines;  // in order; four to a page
};

// Adds the voucher: 新建凭证 on the day, 附件数, then each line into the next
// free line (增加子页 after every four), with its account, summary and
// amount. Refuses, writing nothing:
//  - no lines: kIncompleteVoucher;
//  - totals that differ or are zero: kIncompleteVoucher, of kind
//    kUnbalancedEntry (the totals in the detail);
//  - a line with both a debit and a credit: kDebitAndCredit;
//  - whatever a step refuses (a day outside the month, an account the chart
//    does not have, an amount without an account, a negative amount).
// Returns the voucher's number. Works inside the caller's action.
double addVoucher(RecordStore& store, const Session& session, const VoucherEntry& entry);

}  // namespace tw
