#include "vouchers/numbering.h"

#include <algorithm>
#include <cmath>

#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

bool NumberBlock::holds(double number) const {
    return number >= static_cast<double>(first) - kAmountTolerance &&
           number <= static_cast<double>(last) + kAmountTolerance &&
           isZero(number - std::round(number));
}

NumberBlock numberBlock(double month) {
    const std::int64_t base = toYmd(month).month * 10000LL;
    return {base + 1, base + 9999};
}

std::string voucherWordNumber(double number) {
    if (isZero(number)) return {};
    const double rounded = std::round(number);
    if (std::fabs(number) >= 1e15 || !isZero(number - rounded))
        return "记字第" + plainDecimal(number) + "号";
    const auto whole = static_cast<long long>(rounded);
    const long long month = whole / 10000, sequence = whole % 10000;
    const long long shown = month >= 1 && month <= 12 && sequence != 0 ? sequence : whole;
    return "记字第" + std::to_string(shown) + "号";
}

std::string numberBlockMessage(const NumberBlock& block) {
    return "凭证编号必须在" + std::to_string(block.first) + "到" + std::to_string(block.last) +
           "之间！";
}

double nextVoucherNumber(RecordStore& store, const Session& session) {
    const VoucherTable vouchers(store, session);
    const double period = session.login.period;
    const NumberBlock block = numberBlock(period);
    double largest = 0;
    for (const VoucherPage& p : vouchers.pages(monthPages(period)))
        if (block.holds(p.number)) largest = std::max(largest, p.number);
    const long long sequence = (std::llround(largest) + 1) % 10000;
    if (sequence == 0) refuse(kMonthFull, "largest number " + plainDecimal(largest));
    const double number = static_cast<double>(toYmd(period).month * 10000LL + sequence);
    if (vouchers.table().any(voucherPages(period, number)))
        refuse(kDuplicateNumber, "number " + plainDecimal(number) + " is taken");
    return number;
}

void spreadToPages(RecordStore& store, const Session& session, double month, double oldNumber,
                   std::string_view field, const Value& value) {
    VoucherTable vouchers(store, session);
    for (const Record& r : vouchers.table().select(voucherPages(month, oldNumber)))
        vouchers.write(r.id, {{field, value}});
}

void addPageCount(RecordStore& store, const Session& session, double month, double number) {
    VoucherTable vouchers(store, session);
    for (const VoucherPage& p : vouchers.pages(voucherPages(month, number)))
        vouchers.write(p.id, {{field::kPageCount, p.pageCount + 1}});
}

void closeGapAfterDelete(RecordStore& store, const Session& session, const VoucherPage& deleted) {
    if (!deleted.isVoucher()) return;
    VoucherTable vouchers(store, session);
    const auto pages = voucherOf(vouchers, deleted);
    for (const VoucherPage& p : pages) {
        if (p.id == deleted.id) continue;
        std::vector<std::pair<std::string_view, Value>> changes;
        if (p.page > deleted.page) changes.emplace_back(field::kPage, p.page - 1);
        if (p.pageCount > 1) changes.emplace_back(field::kPageCount, p.pageCount - 1);
        if (!changes.empty()) vouchers.write(p.id, changes);
    }
    const bool onlyPage = pages.size() == 1;
    if (!onlyPage) return;

    std::vector<VoucherPage> later;
    for (VoucherPage& p : vouchers.pages(monthPages(deleted.date)))
        if (p.number > deleted.number + kAmountTolerance) later.push_back(std::move(p));
    if (std::any_of(later.begin(), later.end(), [](const VoucherPage& p) { return p.isPosted(); }))
        return;
    for (const VoucherPage& p : later) vouchers.write(p.id, {{field::kMonthNumber, p.number - 1}});
}

}  // namespace tw
