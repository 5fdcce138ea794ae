#pragma once
// The texts of a voucher page as the voucher window's boxes show them, and as
// the printed voucher and the command line take them from there.

#include <array>
#include <string>

#include "vouchers/voucher_page.h"
#include "vouchers/voucher_totals.h"

namespace tw {

struct VoucherPageTexts {
    std::string date;         // 2013-3-1; empty without a date
    std::string kind;         // 种类
    std::string number;       // 月编号: 30001; empty on a page that holds no voucher
    std::string page;         // 第几
    std::string pageCount;    // 共几
    std::string attachments;  // 附件数: 0, 2
    std::array<std::string, kLinesPerPage> summary, account;
    std::array<std::string, kLinesPerPage> debit, credit;  // 1234.5; empty for none
    std::string debitTotal, creditTotal;  // "0" on an empty single page; empty when not shown
    std::string preparer, reviewer, poster;
    std::string printDate;  // 打印日期; empty without one
};

// The texts of `page` with the totals the window shows for it.
VoucherPageTexts pageTexts(const VoucherPage& page, const VoucherTotals& totals);

// An amount box's text: the plain decimal text, empty for zero.
std::string amountText(double amount);

}  // namespace tw
