#include "vouchers/voucher_totals.h"

#include <algorithm>
#include <cstdint>

#include "storage/amount_reader.h"
#include "storage/number_text.h"
#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// The sums of the pages' lines in whole cents, exact however many there are.
struct CentTotals {
    std::int64_t debit = 0, credit = 0;
};

CentTotals centsOf(const std::vector<VoucherPage>& pages) {
    CentTotals t;
    for (const VoucherPage& p : pages)
        for (const VoucherLine& l : p.lines) {
            t.debit += toCents(l.debit);
            t.credit += toCents(l.credit);
        }
    return t;
}

VoucherTotals sumOf(const std::vector<VoucherPage>& pages) {
    const CentTotals c = centsOf(pages);
    VoucherTotals t;
    t.shown = true;
    t.debit = fromCents(c.debit);
    t.credit = fromCents(c.credit);
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
    std::int64_t debits = 0, credits = 0;
    for (const VoucherPage& p : voucherOf(vouchers, page))
        for (int n = 1; n <= kLinesPerPage; ++n) {
            if (p.id == page.id && n == line) continue;
            debits += toCents(p.line(n).debit);
            credits += toCents(p.line(n).credit);
        }
    const std::int64_t needed = debit ? credits - debits : debits - credits;
    return needed > 0 ? fromCents(needed) : 0;
}

double balancingAmount(RecordStore& store, const Session& session, const VoucherPage& page,
                       int line, bool debit) {
    const VoucherTable vouchers(store, session);
    return balancingAmount(vouchers, page, line, debit);
}

void storeVoucherTotals(VoucherTable& vouchers, const VoucherPage& page) {
    const auto pages = voucherOf(vouchers, page);
    const CentTotals sums = centsOf(pages);
    if (!centsInRange(sums.debit) || !centsInRange(sums.credit))
        refuse(beyondCentsMessage("凭证的借方或贷方合计"),
               "totals " + std::to_string(sums.debit) + " / " + std::to_string(sums.credit) + " cents");
    const double debit = fromCents(sums.debit), credit = fromCents(sums.credit);
    for (const VoucherPage& p : pages) {
        const bool last = p.isLastPage() || pages.size() == 1;
        const double d = last ? debit : 0, c = last ? credit : 0;
        if (p.debitTotal != d || p.creditTotal != c)
            vouchers.write(p.id, {{field::kDebitTotal, d}, {field::kCreditTotal, c}});
    }
}

}  // namespace tw
