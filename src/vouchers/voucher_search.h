#pragma once
// Voucher pages found by conditions (查阅凭证). It only reads 凭证库.
//
// searchVouchers takes the pages dated from `from` to `to` (whole days, both
// ends included; through the table's date index), in record order, and keeps
// those that pass, in this order:
//   1. the amount range: the page's 借方合计 (0 on a page that is not the last
//      of its voucher) at least the minimum (none: 0) and at most the maximum
//      (none: 999999999), each within 1e-7;
//   2. summary: one of 摘要1 … 摘要4 holding the text, whole or as a part
//      ("工资" finds 计提工资 and 发放工资);
//   3. debit account: a line with that account and a debit amount (|x| > 1e-7);
//   4. credit account: a line with that account and a credit amount;
//   5. 登账, 审核, 编制: equal to their names.
// A condition that is not given restricts nothing. A search that matches
// nothing gives no pages; it never refuses except for an unreadable 凭证库.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "vouchers/voucher_page.h"

namespace tw {

// The text of a condition box that restricts nothing.
inline constexpr const char* kAnyCondition = "[任意]";
inline constexpr double kNoMaximum = 999999999;

struct VoucherConditions {
    double from = 0;  // day numbers, both included
    double to = 0;
    std::optional<std::string> summary;
    std::optional<std::string> debitAccount;
    std::optional<std::string> creditAccount;
    std::optional<double> minimum;
    std::optional<double> maximum;
    std::optional<std::string> poster;    // 登账
    std::optional<std::string> reviewer;  // 审核
    std::optional<std::string> preparer;  // 编制
};

// A condition box's text as a condition: "[任意]" or an empty box restricts nothing.
std::optional<std::string> textCondition(const std::string& box);
// An amount box: "[任意]" or empty restricts nothing; other text is its
// amount as the amount reader reads it, 0 when it reads none.
std::optional<double> amountCondition(const std::string& box);

// The pages found, handed to `found` one at a time as they are read (none
// is kept: a search may run over years of vouchers).
void searchVouchers(RecordStore& store, const Session& session, const VoucherConditions& conditions,
                    const std::function<void(const VoucherPage&)>& found);
// The same, gathered (the window lists them all).
std::vector<VoucherPage> searchVouchers(RecordStore& store, const Session& session,
                                        const VoucherConditions& conditions);

// The result list's six columns: 日期 (2013-3-5), 编号, 第几, 共几, 摘要1 and
// 凭证金额 (借方合计, on the last page of a voucher only), numbers as plain
// decimal text.
std::array<std::string, 6> foundPageTexts(const VoucherPage& page);

}  // namespace tw
