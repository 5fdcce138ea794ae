#include "vouchers/record_view.h"

#include <algorithm>
#include <cmath>

#include "storage/number_text.h"
#include "storage/schemas.h"
#include "vouchers/voucher_texts.h"

namespace tw {

void VoucherRecordView::load(RecordStore& store, const Session& session) {
    const VoucherTable vouchers(store, session);
    const auto last = vouchers.table().last();
    ids_.clear();
    ordered_ = false;
    size_ = last ? vouchers.table().count() : 0;
    last_ = last ? last->id : 0;
    goLast();
}

void VoucherRecordView::readOrder(RecordStore& store, const Session& session) {
    if (ordered_) return;
    const std::int64_t at = current();
    const VoucherTable vouchers(store, session);
    std::vector<std::int64_t> ids;
    ids.reserve(static_cast<size_t>(size_));
    for (const Record& r : vouchers.table().select()) ids.push_back(r.id);
    ids_ = std::move(ids);
    ordered_ = true;
    size_ = static_cast<long>(ids_.size());
    last_ = ids_.empty() ? 0 : ids_.back();
    if (!goTo(store, session, at)) goLast();
}

std::int64_t VoucherRecordView::current() const {
    if (size_ == 0) return 0;
    return ordered_ ? ids_[pos_] : last_;
}

void VoucherRecordView::move(RecordStore& store, const Session& session, long n) {
    if (size_ == 0 || n == 0) return;
    if (n > 0 && pos_ + 1 == size_) return;  // on the last record already
    readOrder(store, session);
    pos_ = std::clamp(pos_ + n, 0L, size_ - 1);
}

void VoucherRecordView::goFirst(RecordStore& store, const Session& session) {
    readOrder(store, session);
    pos_ = 0;
}

bool VoucherRecordView::goTo(RecordStore& store, const Session& session, std::int64_t id) {
    if (size_ > 0 && id == last_) {
        goLast();
        return true;
    }
    readOrder(store, session);
    const auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (it == ids_.end() || *it != id) return false;
    pos_ = static_cast<long>(it - ids_.begin());
    return true;
}

void VoucherRecordView::appended(std::int64_t id) {
    if (ordered_) ids_.push_back(id);
    last_ = id;
    ++size_;
    goLast();
}

void VoucherRecordView::removed(RecordStore& store, const Session& session, std::int64_t id) {
    if (!ordered_) {
        // The order is read without the removed record: the one before it is
        // the last record below its id.
        readOrder(store, session);
        const auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
        pos_ = std::max(0L, static_cast<long>(it - ids_.begin()) - 1);
        return;
    }
    const auto it = std::lower_bound(ids_.begin(), ids_.end(), id);
    if (it == ids_.end() || *it != id) return;
    const long at = static_cast<long>(it - ids_.begin());
    ids_.erase(it);
    --size_;
    last_ = ids_.empty() ? 0 : ids_.back();
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
