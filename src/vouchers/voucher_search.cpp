#include "vouchers/voucher_search.h"

#include <cmath>

#include "storage/amount_reader.h"
#include "storage/dates.h"
#include "storage/gbk.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

namespace {

bool passesAmounts(const VoucherPage& p, const VoucherConditions& c) {
    const double total = p.isLastPage() ? p.debitTotal : 0.0;
    return total - c.minimum.value_or(0.0) >= -kAmountTolerance &&
           total - c.maximum.value_or(kNoMaximum) <= kAmountTolerance;
}

// A fragment of UTF-8 text is found byte for byte: no character's bytes
// start inside another's.
bool passesSummary(const VoucherPage& p, const std::optional<std::string>& summary) {
    if (!summary) return true;
    for (const VoucherLine& l : p.lines)
        if (l.summary.find(*summary) != std::string::npos) return true;
    return false;
}

bool passesAccount(const VoucherPage& p, const std::optional<std::string>& account, bool debit) {
    if (!account) return true;
    for (const VoucherLine& l : p.lines)
        if (l.account == *account && !isZero(debit ? l.debit : l.credit)) return true;
    return false;
}

bool passesName(const std::string& name, const std::optional<std::string>& wanted) {
    return !wanted || name == *wanted;
}

}  // namespace

std::optional<std::string> textCondition(const std::string& box) {
    if (box.empty() || box == kAnyCondition) return std::nullopt;
    return box;
}

std::optional<double> amountCondition(const std::string& box) {
    if (trimBlanks(box).empty() || box == kAnyCondition) return std::nullopt;
    double value = 0;  // stays 0 for a text the amount reader refuses
    readAmount(box, value);
    return value;
}

void searchVouchers(RecordStore& store, const Session& session, const VoucherConditions& c,
                    const std::function<void(const VoucherPage&)>& found) {
    const VoucherTable vouchers(store, session);
    const double from = std::floor(c.from), to = std::floor(c.to);
    if (to < from) return;
    // The database narrows the pages down by what its indexes and columns
    // hold (an account on one of the lines, the stamps); the amounts, the
    // debit or credit side of a line and the summary's fragment are checked
    // here.
    Where where = Where().atLeast(field::kDate, from).below(field::kDate, to + 1);
    const std::vector<std::string>& accounts = field::lineAccounts();
    if (c.debitAccount) where.anyFieldEqual(accounts, *c.debitAccount);
    if (c.creditAccount) where.anyFieldEqual(accounts, *c.creditAccount);
    if (c.poster) where.equal(field::kPoster, *c.poster);
    if (c.reviewer) where.equal(field::kReviewer, *c.reviewer);
    if (c.preparer) where.equal(field::kPreparer, *c.preparer);
    vouchers.table().forEach(where, [&](const Record& r) {
        const VoucherPage p = vouchers.page(r);
        if (passesAmounts(p, c) && passesSummary(p, c.summary) &&
            passesAccount(p, c.debitAccount, true) && passesAccount(p, c.creditAccount, false) &&
            passesName(p.poster, c.poster) && passesName(p.reviewer, c.reviewer) &&
            passesName(p.preparer, c.preparer))
            found(p);
        return true;
    });
}

std::vector<VoucherPage> searchVouchers(RecordStore& store, const Session& session,
                                        const VoucherConditions& c) {
    std::vector<VoucherPage> found;
    searchVouchers(store, session, c, [&](const VoucherPage& p) { found.push_back(p); });
    return found;
}

std::array<std::string, 6> foundPageTexts(const VoucherPage& p) {
    return {p.date == 0 ? std::string() : formatDate(p.date), plainDecimal(p.number),
            std::to_string(p.page), std::to_string(p.pageCount), p.lines[0].summary,
            p.isLastPage() ? plainDecimal(p.debitTotal) : std::string()};
}

}  // namespace tw
