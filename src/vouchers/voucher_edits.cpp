#include "vouchers/voucher_edits.h"

#include <cmath>

#include "accounts/opening_balances.h"
#include "shell/action_log.h"
#include "storage/amount_reader.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/schemas.h"
#include "vouchers/cash_flow_assignments.h"
#include "vouchers/numbering.h"
#include "vouchers/voucher_completeness.h"
#include "vouchers/voucher_totals.h"

namespace tw {

namespace {

// The page as stored, refused unless it can be edited.
VoucherPage editablePage(const VoucherTable& vouchers, std::int64_t id) {
    VoucherPage page = vouchers.page(id);
    if (const std::string refusal = editRefusal(page); !refusal.empty()) refuse(refusal);
    return page;
}

void requireLine(int line) {
    if (line < 1 || line > kLinesPerPage)
        throw std::logic_error("voucher line " + std::to_string(line) + " out of range");
}

bool inChart(RecordStore& store, const Session& session, const std::string& account) {
    return SetTable(store, session, file::kAccounts, SetTable::IfOpen::UseAsItIs)
        ->any(Where().equal(field::kAccountName, account));
}

// The day `day` of the current period's month; refuses a day it does not have.
double periodDay(const Session& session, int day) {
    const Ymd p = toYmd(session.login.period);
    if (day < 1 || day > daysInMonth(p.year, p.month))
        refuse(dayRangeMessage(session), "day " + std::to_string(day));
    return dayNumber(p.year, p.month, day);
}

}  // namespace

std::string dayRangeMessage(const Session& session) {
    const Ymd p = toYmd(session.login.period);
    return "日期必须在1到" + std::to_string(daysInMonth(p.year, p.month)) + "日之间！";
}

void requireComplete(RecordStore& store, const Session& session, std::int64_t shownId) {
    if (shownId == 0) return;
    const VoucherTable vouchers(store, session);
    const VoucherCompleteness shown = voucherCompleteness(vouchers, vouchers.page(shownId));
    if (shown.gap == VoucherGap::Unbalanced) refuse(unbalancedRefusal(shown));
    if (!shown.complete()) refuse(kIncompleteVoucher);
}

std::int64_t newVoucher(RecordStore& store, const Session& session, std::int64_t shownId, int day) {
    requireEnabledSet(store, session);
    requireComplete(store, session, shownId);
    VoucherTable vouchers(store, session);
    VoucherPage page;
    page.date = periodDay(session, day);
    page.number = nextVoucherNumber(store, session);
    page.page = page.pageCount = 1;
    page.preparer = session.login.userName;
    const std::int64_t id = vouchers.append(page);
    logAction(store, session, logged::kVoucherAdded, plainDecimal(page.number));
    return id;
}

std::int64_t addVoucherPage(RecordStore& store, const Session& session, std::int64_t id) {
    VoucherTable vouchers(store, session);
    const VoucherPage shown = vouchers.page(id);
    if (shown.number == 0 || shown.page == 0 || shown.pageCount == 0 || shown.date == 0) return 0;
    if (const std::string refusal = editRefusal(shown); !refusal.empty()) refuse(refusal);
    addPageCount(store, session, shown.date, shown.number);
    VoucherPage added;
    added.number = shown.number;
    added.date = shown.date;
    added.page = added.pageCount = shown.pageCount + 1;
    added.preparer = session.login.userName;
    const std::int64_t addedId = vouchers.append(added);
    storeVoucherTotals(vouchers, added);
    return addedId;
}

void setLineAccount(RecordStore& store, const Session& session, std::int64_t id, int line,
                    const std::string& account) {
    requireLine(line);
    VoucherTable vouchers(store, session);
    const VoucherPage page = editablePage(vouchers, id);
    if (!account.empty() && !inChart(store, session, account)) refuse(kUnknownAccount + account);
    if (account.empty())
        vouchers.write(id, {{field::lineAccount(line), std::string()},
                            {field::lineDebit(line), 0.0},
                            {field::lineCredit(line), 0.0}});
    else
        vouchers.write(id, {{field::lineAccount(line), account}});
    storeVoucherTotals(vouchers, page);
    forgetCashFlowAssignments(store, session, page.date, {page.number});
}

void setLineSummary(RecordStore& store, const Session& session, std::int64_t id, int line,
                    const std::string& summary) {
    requireLine(line);
    VoucherTable vouchers(store, session);
    editablePage(vouchers, id);
    vouchers.write(id, {{field::lineSummary(line), summary}});
}

void setLineAmount(RecordStore& store, const Session& session, std::int64_t id, int line,
                   Side side, double amount) {
    requireLine(line);
    VoucherTable vouchers(store, session);
    const VoucherPage page = vouchers.page(id);
    if (const std::string refusal = amountRefusal(page, line); !refusal.empty()) refuse(refusal);
    if (const std::string refusal = checkAmount(amount); !refusal.empty())
        refuse(refusal, plainDecimal(amount));
    const double cents = roundCents(amount);
    if (cents < 0 && !isZero(cents)) refuse(kNegativeAmount, plainDecimal(amount));
    const std::string own = side == Side::Debit ? field::lineDebit(line) : field::lineCredit(line);
    const std::string other = side == Side::Debit ? field::lineCredit(line) : field::lineDebit(line);
    if (isZero(cents))
        vouchers.write(id, {{own, 0.0}});
    else
        vouchers.write(id, {{own, cents}, {other, 0.0}});
    storeVoucherTotals(vouchers, page);
    forgetCashFlowAssignments(store, session, page.date, {page.number});
}

void setAttachments(RecordStore& store, const Session& session, std::int64_t id,
                    std::int64_t count) {
    VoucherTable vouchers(store, session);
    editablePage(vouchers, id);
    if (count < 0) refuse(kNegativeAttachments, std::to_string(count));
    vouchers.write(id, {{field::kAttachments, count}});
}

void setVoucherDay(RecordStore& store, const Session& session, std::int64_t id, int day) {
    VoucherTable vouchers(store, session);
    const VoucherPage page = editablePage(vouchers, id);
    const double date = periodDay(session, day);
    if (YearMonth::of(date) != YearMonth::of(page.date) &&
        vouchers.table().any(voucherPages(date, page.number)))
        refuse(kDuplicateNumber, "moving voucher " + plainDecimal(page.number) + " into the month");
    spreadToPages(store, session, page.date, page.number, field::kDate, date);
    forgetCashFlowAssignments(store, session, page.date, {page.number});
}

void changeVoucherNumber(RecordStore& store, const Session& session, std::int64_t id,
                         double number) {
    if (isZero(number)) refuse("", "a zero number");
    VoucherTable vouchers(store, session);
    const VoucherPage page = editablePage(vouchers, id);
    const NumberBlock block = numberBlock(page.date != 0 ? page.date : session.login.period);
    if (!block.holds(number)) refuse(numberBlockMessage(block), "number " + plainDecimal(number));
    if (vouchers.table().any(voucherPages(page.date, number)))
        refuse(kDuplicateNumber, "number " + plainDecimal(number) + " is taken");
    spreadToPages(store, session, page.date, page.number, field::kMonthNumber, number);
    logAction(store, session, logged::kVoucherRenumbered,
              plainDecimal(page.number) + "→" + plainDecimal(number));
    forgetCashFlowAssignments(store, session, page.date, {page.number});
}

void deleteVoucherPage(RecordStore& store, const Session& session, std::int64_t id) {
    VoucherTable vouchers(store, session);
    const VoucherPage page = vouchers.page(id);
    if (const std::string refusal = deleteRefusal(page); !refusal.empty()) refuse(refusal);
    const bool morePages = page.isVoucher() && voucherOf(vouchers, page).size() > 1;
    // A page of a later voucher of the month: whether closing the gap moved them down.
    std::optional<Record> later;
    if (page.isVoucher() && !morePages)
        later = vouchers.table().first(monthPages(page.date).atLeast(field::kMonthNumber, page.number + 0.5));
    closeGapAfterDelete(store, session, page);
    vouchers.table().remove(id);
    // What remains of the voucher: its new last page takes the totals.
    if (morePages) storeVoucherTotals(vouchers, page);
    logAction(store, session, logged::kVoucherDeleted,
              plainDecimal(page.number) + " 第" + std::to_string(page.page) + "张");
    if (!page.isVoucher()) return;
    // Its cash-flow assignment no longer fits, nor those of the vouchers renumbered.
    std::vector<double> numbers{page.number};
    if (later && vouchers.page(later->id).number != vouchers.page(*later).number) {
        const YearMonth month = YearMonth::of(page.date);
        for (const CashFlowAssignment& a : readCashFlowAssignments(store, session, month, month))
            if (a.number > page.number) numbers.push_back(a.number);
    }
    forgetCashFlowAssignments(store, session, page.date, numbers);
}

}  // namespace tw
