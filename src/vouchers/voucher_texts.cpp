#include "vouchers/voucher_texts.h"

#include "storage/dates.h"
#include "storage/number_text.h"

namespace tw {

std::string amountText(double amount) { return isZero(amount) ? std::string() : plainDecimal(amount); }

VoucherPageTexts pageTexts(const VoucherPage& page, const VoucherTotals& totals) {
    VoucherPageTexts t;
    if (page.id == 0) return t;
    const bool voucher = page.isVoucher();
    t.date = page.date == 0 ? std::string() : formatDate(page.date);
    t.kind = page.kind;
    t.number = voucher ? plainDecimal(page.number) : std::string();
    t.page = voucher ? std::to_string(page.page) : std::string();
    t.pageCount = voucher ? std::to_string(page.pageCount) : std::string();
    t.attachments = std::to_string(page.attachments);
    for (int i = 0; i < kLinesPerPage; ++i) {
        t.summary[i] = page.lines[i].summary;
        t.account[i] = page.lines[i].account;
        t.debit[i] = amountText(page.lines[i].debit);
        t.credit[i] = amountText(page.lines[i].credit);
    }
    if (totals.shown) {
        t.debitTotal = plainDecimal(totals.debit);
        t.creditTotal = plainDecimal(totals.credit);
    }
    t.preparer = page.preparer;
    t.reviewer = page.reviewer;
    t.poster = page.poster;
    t.printDate = page.printDate == 0 ? std::string() : formatDate(page.printDate);
    return t;
}

}  // namespace tw
