#pragma once
// The debit and credit totals of a voucher, and when it counts as balanced.
//
// Totals as the voucher window shows them for a page (voucherTotals):
//  - a single-page voucher (共几 = 1): the sums of the page's four debit and
//    four credit amounts ("0" and "0" for an empty page);
//  - the last page of a multi-page voucher: the sums over all its pages;
//  - any other page: no totals (the boxes are empty).
// Every change of a voucher stores these totals on its last page (rounded to
// cents) and empties them on its other pages, in the same action, so the
// stored totals never fall behind the lines, whichever page was edited.
//
// Balanced: the two totals are equal (1e-7) and not zero. An empty voucher is
// not balanced, whether it has one page or several.

#include "vouchers/voucher_page.h"

namespace tw {

struct VoucherTotals {
    bool shown = false;  // false on a page that is not its voucher's last page
    double debit = 0;
    double credit = 0;
    bool balanced() const;
};

// The totals the window shows for `page`.
VoucherTotals voucherTotals(const VoucherTable& vouchers, const VoucherPage& page);
VoucherTotals voucherTotals(RecordStore& store, const Session& session, const VoucherPage& page);

// Whether the voucher that `page` belongs to is balanced (judged on its last
// page; a voucher whose last page is missing is not).
bool isBalanced(const VoucherTable& vouchers, const VoucherPage& page);
bool isBalanced(RecordStore& store, const Session& session, const VoucherPage& page);

// What line `line` (1 … 4) of `page` needs on its debit side (`debit`) or
// its credit side for the voucher to balance: over all its pages, the
// other lines' credits less their debits (for the debit side; the reverse
// for the credit side), rounded to cents, when that is above zero; 0 when
// that side cannot balance it.
double balancingAmount(const VoucherTable& vouchers, const VoucherPage& page, int line, bool debit);
double balancingAmount(RecordStore& store, const Session& session, const VoucherPage& page,
                       int line, bool debit);

// Stores the totals of the voucher that `page` belongs to on its last page
// and empties them on the others. Works inside the caller's action. Totals
// are summed in whole cents; one beyond ±kMaxBalance (number_text.h), where
// cents stop being exact, is refused (beyondCentsMessage).
void storeVoucherTotals(VoucherTable& vouchers, const VoucherPage& page);

}  // namespace tw
