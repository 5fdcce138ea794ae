#include "vouchers/voucher_completeness.h"

#include <algorithm>
#include <set>

#include "storage/number_text.h"

namespace tw {

namespace {

// The pages judged together with `page`: its voucher's, or the page alone.
std::vector<VoucherPage> judgedPages(const VoucherTable& vouchers, const VoucherPage& page) {
    if (!page.isVoucher() || page.date == 0) return {page};
    std::vector<VoucherPage> pages = voucherOf(vouchers, page);
    if (pages.empty()) pages.push_back(page);
    return pages;
}

VoucherCompleteness judge(const VoucherPage& page, const std::vector<VoucherPage>& pages) {
    VoucherCompleteness v;
    v.number = page.number;
    v.pageId = page.id;
    if (page.date == 0) {
        v.gap = VoucherGap::NoDate;
        return v;
    }
    // A page judged alone carries its own totals, as its last page would.
    const bool alone = !page.isVoucher();
    const auto last = std::find_if(pages.begin(), pages.end(), [&](const VoucherPage& p) {
        return alone || p.isLastPage() || p.pageCount <= 1;
    });
    std::int64_t debit = 0, credit = 0;
    for (const VoucherPage& p : pages)
        for (const VoucherLine& l : p.lines) {
            debit += toCents(l.debit);
            credit += toCents(l.credit);
        }
    v.difference = debit - credit;
    if (last == pages.end()) {
        v.gap = VoucherGap::NoLastPage;
        v.pageId = pages.front().id;
        return v;
    }
    v.pageId = last->id;
    v.gap = debit != credit ? VoucherGap::Unbalanced
            : debit == 0    ? VoucherGap::NoAmount
                            : VoucherGap::None;
    return v;
}

}  // namespace

VoucherCompleteness voucherCompleteness(const VoucherTable& vouchers, const VoucherPage& page) {
    return judge(page, judgedPages(vouchers, page));
}

std::vector<VoucherCompleteness> incompleteVouchers(RecordStore& store, const Session& session,
                                                    const std::vector<std::int64_t>& ids) {
    const VoucherTable vouchers(store, session);
    std::set<std::int64_t> judged;  // the pages of the vouchers judged so far
    std::vector<VoucherCompleteness> found;
    for (const std::int64_t id : ids) {
        if (id <= 0 || judged.count(id) > 0) continue;
        const auto record = vouchers.table().get(id);
        if (!record) continue;
        const VoucherPage page = vouchers.page(*record);
        const std::vector<VoucherPage> pages = judgedPages(vouchers, page);
        judged.insert(id);
        for (const VoucherPage& p : pages) judged.insert(p.id);
        if (const VoucherCompleteness v = judge(page, pages); !v.complete()) found.push_back(v);
    }
    return found;
}

std::string incompleteText(const VoucherCompleteness& voucher) {
    const std::string name = "凭证 " + plainDecimal(voucher.number) + " ";
    const std::int64_t cents = voucher.difference < 0 ? -voucher.difference : voucher.difference;
    switch (voucher.gap) {
        case VoucherGap::None: return {};
        case VoucherGap::NoDate: return name + "没有日期";
        case VoucherGap::NoLastPage: return name + "缺少最后一页";
        case VoucherGap::NoAmount: return name + "还没有金额";
        case VoucherGap::Unbalanced:
            return name + "借贷不平（差额 " + twoDecimals(fromCents(cents)) + "）";
    }
    return {};
}

std::string unbalancedRefusal(const VoucherCompleteness& voucher) {
    return incompleteText(voucher) + "，不能新建凭证！";
}

std::string leaveQuestion(const VoucherCompleteness& voucher) {
    return incompleteText(voucher) + "，" + kBackToEdit + "，还是" + kLeaveAsItIs + "？";
}

}  // namespace tw
