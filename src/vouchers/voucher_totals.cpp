#include "vouchers/voucher_totals.h"

#include <algorithm>

#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

namespace {

void addLines(const VoucherPage& page, double& debit, double& credit) {
    for (const VoucherLine& l : page.lines) {
        debit += l.debit;
        credit += l.credit;
    }
}

VoucherTotals sumOf(const std::vector<VoucherPage>& pages) {
    VoucherTotals t;
    t.shown = true;
    for (const VoucherPage& p : pages) addLines(p, t.debit, t.credit);
    return t;
}

bool singlePage(const VoucherPage& page) { return !page.isVoucher() || page.pageCount <= 1; }

}  // namespace

bool VoucherTotals::balanced() const {
    return shown && amountsEqual(debit, credit) && !isZero(credit);
}

VoucherTotals voucherTotals(const VoucherTable& vouchers, const VoucherPage& page) {
    if (singlePage(page)) return sumOf({page});
    if (!page.isLastPage()) return {};
    return sumOf(voucherOf(vouchers, page));
}

VoucherTotals voucherTotals(RecordStore& store, const Session& session, const VoucherPage& page) {
    const VoucherTable vouchers(store, session);
    return voucherTotals(vouchers, page);
}

bool isBalanced(const VoucherTable& vouchers, const VoucherPage& page) {
    if (!page.isVoucher()) return false;
    const auto pages = voucherOf(vouchers, page);
    const bool hasLast = std::any_of(pages.begin(), pages.end(), [](const VoucherPage& p) {
        return p.isLastPage() || p.pageCount <= 1;
    });
    return hasLast && sumOf(pages).balanced();
}

bool isBalanced(RecordStore& store, const Session& session, const VoucherPage& page) {
    const VoucherTable vouchers(store, session);
    return isBalanced(vouchers, page);
}

double balancingAmount(const VoucherTable& vouchers, const VoucherPage& page, int line, bool debit) {
    if (!page.isVoucher()) return 0;
    double debits = 0, credits = 0;
    for (const VoucherPage& p : voucherOf(vouchers, page))
        for (int n = 1; n <= kLinesPerPage; ++n) {
            if (p.id == page.id && n == line) continue;
            debits += p.line(n).debit;
            credits += p.line(n).credit;
        }
    const double needed = roundCents(debit ? credits - debits : debits - credits);
    return needed > 0 && !isZero(needed) ? needed : 0;
}

double balancingAmount(RecordStore& store, const Session& session, const VoucherPage& page,
                       int line, bool debit) {
    const VoucherTable vouchers(store, session);
    return balancingAmount(vouchers, page, line, debit);
}

void storeVoucherTotals(VoucherTable& vouchers, const VoucherPage& page) {
    const auto pages = voucherOf(vouchers, page);
    const VoucherTotals sums = sumOf(pages);
    const double debit = roundCents(sums.debit), credit = roundCents(sums.credit);
    for (const VoucherPage& p : pages) {
        const bool last = p.isLastPage() || pages.size() == 1;
        const double d = last ? debit : 0, c = last ? credit : 0;
        if (p.debitTotal != d || p.creditTotal != c)
            vouchers.write(p.id, {{field::kDebitTotal, d}, {field::kCreditTotal, c}});
    }
}

}  // namespace tw
