#include "vouchers/review.h"

#include <cstdint>
#include <map>
#include <set>

#include "shell/action_log.h"
#include "shell/set_options.h"
#include "storage/number_text.h"
#include "storage/schemas.h"
#include "vouchers/voucher_totals.h"

namespace tw {

std::string selfReviewRefusal(const Session& session, bool apart,
                              const std::vector<VoucherPage>& voucher) {
    if (!apart) return {};
    for (const VoucherPage& p : voucher)
        if (p.preparer == session.login.userName) return kSelfReview;
    return {};
}

std::string passedOverMessage(int vouchers) {
    return "本月凭证审核完毕；其中" + std::to_string(vouchers) +
           "张凭证由您本人编制，审核人与制单人不能为同一人，未予审核。";
}

std::string toggleReview(RecordStore& store, const Session& session, std::int64_t id) {
    VoucherTable vouchers(store, session);
    const VoucherPage page = vouchers.page(id);
    if (page.isPosted()) refuse(kPostedCannotUndo);
    if (!page.isVoucher()) refuse(kNoVoucherToEdit);
    if (!isBalanced(vouchers, page)) refuse(kUnbalancedVoucher);
    const std::vector<VoucherPage> voucher = voucherOf(vouchers, page);
    if (!page.isReviewed())
        if (const std::string refusal =
                selfReviewRefusal(session, reviewerApart(store, session), voucher);
            !refusal.empty())
            refuse(refusal, "voucher " + plainDecimal(page.number));
    const std::string reviewer = page.isReviewed() ? std::string() : session.login.userName;
    for (const VoucherPage& p : voucher)
        if (p.reviewer != reviewer) vouchers.write(p.id, {{field::kReviewer, reviewer}});
    logAction(store, session, reviewer.empty() ? logged::kReviewUndone : logged::kReviewed,
              plainDecimal(page.number));
    return reviewer;
}

ReviewAllResult reviewAll(RecordStore& store, const Session& session, const std::string& mode) {
    VoucherTable vouchers(store, session);
    const auto lastRecord = vouchers.table().last();
    if (!lastRecord || !vouchers.page(*lastRecord).isVoucher()) refuse(kNothingToReview);
    const bool review = mode != kModeUndo;
    const bool apart = review && reviewerApart(store, session);

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
    // The vouchers the user may not review, passed over by the whole run.
    std::set<double> passed;
    if (apart) {
        std::map<double, std::vector<VoucherPage>> byNumber;
        for (const VoucherPage& p : pages)
            if (p.isVoucher()) byNumber[p.number].push_back(p);
        for (const auto& [number, voucher] : byNumber)
            if (!selfReviewRefusal(session, apart, voucher).empty()) passed.insert(number);
    }
    for (auto p = pages.rbegin(); p != pages.rend(); ++p) {
        if (p->isPosted() || !p->isVoucher() || !p->isLastPage() || passed.count(p->number)) continue;
        const Sums& s = sums[p->number];
        if (s.debit != s.credit || s.credit == 0)
            return {false, kUnbalancedInRun, review ? kModeReview : kModeUndo, p->id, 0};
    }

    const std::string reviewer = review ? session.login.userName : std::string();
    std::set<double> changed, unreviewed;
    for (const VoucherPage& p : pages) {
        if (p.isPosted() || !p.isVoucher()) continue;
        if (passed.count(p.number)) {
            if (!p.isReviewed()) unreviewed.insert(p.number);
        } else if (p.reviewer != reviewer) {
            vouchers.write(p.id, {{field::kReviewer, reviewer}});
            changed.insert(p.number);
        }
    }
    const int passedOver = static_cast<int>(unreviewed.size());
    std::string detail = std::to_string(changed.size()) + "张";
    if (passedOver > 0) detail += "，" + std::to_string(passedOver) + "张本人编制未审核";
    logAction(store, session, review ? logged::kAllReviewed : logged::kAllReviewsUndone, detail);
    const auto first = vouchers.table().first();
    return {true, passedOver > 0 ? passedOverMessage(passedOver) : review ? kAllReviewed : kAllUndone,
            review ? kModeUndo : kModeReview, first ? first->id : 0, passedOver};
}

}  // namespace tw
