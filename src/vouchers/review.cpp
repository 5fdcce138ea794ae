#include "vouchers/review.h"

#include <cstdint>
#include <map>

#include "storage/number_text.h"
#include "storage/schemas.h"
#include "vouchers/voucher_totals.h"

namespace tw {

std::string toggleReview(RecordStore& store, const Session& session, std::int64_t id) {
    VoucherTable vouchers(store, session);
    const VoucherPage page = vouchers.page(id);
    if (page.isPosted()) refuse(kPostedCannotUndo);
    if (!page.isVoucher()) refuse(kNoVoucherToEdit);
    if (!isBalanced(vouchers, page)) refuse(kUnbalancedVoucher);
    const std::string reviewer = page.isReviewed() ? std::string() : session.login.userName;
    for (const VoucherPage& p : voucherOf(vouchers, page))
        if (p.reviewer != reviewer) vouchers.write(p.id, {{field::kReviewer, reviewer}});
    return reviewer;
}

ReviewAllResult reviewAll(RecordStore& store, const Session& session, const std::string& mode) {
    VoucherTable vouchers(store, session);
    const auto lastRecord = vouchers.table().last();
    if (!lastRecord || !vouchers.page(*lastRecord).isVoucher()) refuse(kNothingToReview);
    const bool review = mode != kModeUndo;

    const auto pages = vouchers.pages(monthPages(session.login.period));
    // The month's totals per voucher number, summed once over its pages in
    // whole cents: large amounts compare exactly.
    struct Sums {
        std::int64_t debit = 0, credit = 0;
    };
    std::map<double, Sums> sums;
    for (const VoucherPage& p : pages)
        for (const VoucherLine& l : p.lines) {
            sums[p.number].debit += toCents(l.debit);
            sums[p.number].credit += toCents(l.credit);
        }
    for (auto p = pages.rbegin(); p != pages.rend(); ++p) {
        if (p->isPosted() || !p->isVoucher() || !p->isLastPage()) continue;
        const Sums& s = sums[p->number];
        if (s.debit != s.credit || s.credit == 0)
            return {false, kUnbalancedInRun, review ? kModeReview : kModeUndo, p->id};
    }

    const std::string reviewer = review ? session.login.userName : std::string();
    for (const VoucherPage& p : pages)
        if (!p.isPosted() && p.isVoucher() && p.reviewer != reviewer)
            vouchers.write(p.id, {{field::kReviewer, reviewer}});
    const auto first = vouchers.table().first();
    return {true, review ? kAllReviewed : kAllUndone, review ? kModeUndo : kModeReview,
            first ? first->id : 0};
}

}  // namespace tw
