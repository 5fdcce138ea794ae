#include "vouchers/record_view.h"

#include <algorithm>
#include <cmath>

#include "storage/number_text.h"
#include "storage/schemas.h"
#include "vouchers/voucher_texts.h"

namespace tw {

void VoucherRecordView::load(RecordStore& store, const Session& session) {
    const VoucherTable vouchers(store, session);
    std::vector<std::int64_t> ids;
    for (const Record& r : vouchers.table().select()) ids.push_back(r.id);
    ids_ = std::move(ids);
    goLast();
}

void VoucherRecordView::move(long n) {
    if (ids_.empty()) return;
    pos_ = std::clamp(pos_ + n, 0L, size() - 1);
}

bool VoucherRecordView::goTo(std::int64_t id) {
    const auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (it == ids_.end() || *it != id) return false;
    pos_ = static_cast<long>(it - ids_.begin());
    return true;
}

void VoucherRecordView::appended(std::int64_t id) {
    ids_.push_back(id);
    goLast();
}

void VoucherRecordView::removed(std::int64_t id) {
    const auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (it == ids_.end() || *it != id) return;
    const long at = static_cast<long>(it - ids_.begin());
    ids_.erase(it);
    pos_ = std::max(0L, at - 1);
}

std::optional<std::int64_t> locatePage(RecordStore& store, const Session& session, double date,
                                       const std::string& number, const std::string& page) {
    double n = 0, k = 0;
    if (!parseAmount(number, n) || !parseAmount(page, k)) return std::nullopt;
    const VoucherTable vouchers(store, session);
    const double day = std::floor(date);
    const auto found = vouchers.table().last(Where()
                                                 .atLeast(field::kDate, day)
                                                 .below(field::kDate, day + 1)
                                                 .equal(field::kMonthNumber, n)
                                                 .equal(field::kPage, static_cast<int>(k)));
    if (!found) return std::nullopt;
    // The boxes show the page's own texts: "30001.0" or "01" match no page.
    const VoucherPageTexts texts = pageTexts(vouchers.page(*found), {});
    if (texts.number != number || texts.page != page) return std::nullopt;
    return found->id;
}

}  // namespace tw
