#include "statements/book_months.h"

#include <cmath>

#include "accounts/opening_balances.h"
#include "closing/carry_forward.h"
#include "ledgers/report.h"
#include "storage/dates.h"
#include "storage/ledger_convention.h"
#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw {

YearMonth Books::yearStart(YearMonth m) const { return m.year == start.year ? start : YearMonth{m.year, 1}; }

const BookMonth& Books::at(YearMonth m) const {
    static const BookMonth empty;
    const auto it = months.find(m);
    return it == months.end() ? empty : it->second;
}

bool Books::debitAccount(const std::string& name) const {
    const auto it = byName.find(name);
    return it == byName.end() || chart[it->second].direction != "贷方";
}

std::string Books::category(const std::string& name) const {
    const auto it = byName.find(name);
    return it == byName.end() ? std::string() : chart[it->second].category;
}

Books readBookFacts(RecordStore& store, const Session& session) {
    requireEnabledSet(store, session);
    Books books;
    {
        const SetTable basic(store, session, file::kBasicInfo);
        const auto info = basic->first();
        if (!info) refuse(kUnreadableSet, "基本信息 is empty");
        const auto at = [&](std::string_view name) { return (*info)[basic->position(name)]; };
        books.company = at(field::kCompany).text();
        books.start = YearMonth::of(at(field::kStartDate).number());
        books.lastClosed = YearMonth::of(at(field::kPeriod).number()).previous();
    }
    books.chart = loadAccounts(store, session);
    for (std::size_t i = 0; i < books.chart.size(); ++i) books.byName.emplace(books.chart[i].name, i);
    return books;
}

void requireClosedMonth(const Books& books, YearMonth m) {
    if (m.month < 1 || m.month > 12 || m < books.start || m > books.lastClosed) refuse(kNoMonthData);
}

namespace {

// A page of the shape the close gives its carry-forward vouchers: one page,
// two lines summarised "结转损益", one debit and one credit of the same
// amount between a 损益类 account and one of another class, 编制 = 审核.
// Months closed before the close marked its vouchers (种类) have only this
// to tell them by.
bool closeShaped(const Books& books, const Table& vouchers, const Record& page) {
    const auto text = [&](const std::string& f) { return page[vouchers.position(f)].text(); };
    const auto number = [&](const std::string& f) { return page[vouchers.position(f)].number(); };
    if (!text(field::kKind).empty() || page[vouchers.position(field::kPageCount)].integer() != 1 ||
        text(field::kPreparer).empty() || text(field::kPreparer) != text(field::kReviewer))
        return false;
    for (int n : {1, 2})
        if (text(field::lineSummary(n)) != kCarryForwardSummary) return false;
    for (int n : {3, 4})
        if (!text(field::lineAccount(n)).empty()) return false;
    const double amount = number(field::lineDebit(1));
    if (amount <= 0 || number(field::lineCredit(1)) != 0 || number(field::lineDebit(2)) != 0 ||
        std::llround(number(field::lineCredit(2)) * 100) != std::llround(amount * 100))
        return false;
    const bool first = books.category(text(field::lineAccount(1))) == kProfitAndLossCategory;
    const bool second = books.category(text(field::lineAccount(2))) == kProfitAndLossCategory;
    return first != second;
}

}  // namespace

void readBookMonths(RecordStore& store, const Session& session, Books& books, YearMonth from,
                    YearMonth to) {
    requireClosedMonth(books, from);
    requireClosedMonth(books, to);
    const SetTable generalTable(store, session, file::kGeneralLedger);
    const SetTable ledgerTable(store, session, file::kLedger);
    const SetTable voucherTable(store, session, file::kVouchers);
    const Table& general = generalTable.table();
    const Table& ledger = ledgerTable.table();
    const Table& vouchers = voucherTable.table();
    // 总账库 and 账库 share the ledger layout.
    const int summary = ledger.position(field::kSummary), account = ledger.position(field::kAccount),
              debit = ledger.position(field::kDebit), credit = ledger.position(field::kCredit),
              balance = ledger.position(field::kBalance);
    const int voucherNumber = vouchers.position(field::kMonthNumber);
    // The close's rows: 凭证编号 0 and their text (a voucher line may read the same).
    const auto closeRows = [](double day, std::vector<Value> summaries) {
        return Where().equal(field::kVoucherDate, day).equal(field::kVoucherNo, 0).oneOf(
            field::kSummary, std::move(summaries));
    };
    for (YearMonth m = from; m <= to; m = m.next()) {
        if (books.months.count(m)) continue;
        BookMonth& month = books.months[m];
        const double last = m.lastDay();
        for (const Record& r : general.select(closeRows(last, {Value(kMonthTotal), Value(kYearTotal)}))) {
            Flow& f = month.tops[r[account].text()];
            if (r[summary].text() == kMonthTotal) {
                f.debit = r[debit].number();
                f.credit = r[credit].number();
            } else {
                f.balance = r[balance].number();
            }
        }
        for (const Record& r : ledger.select(closeRows(last, {Value(kMonthTotal)}))) {
            Flow& f = month.accounts[r[account].text()];
            f.debit = r[debit].number();
            f.credit = r[credit].number();
            f.balance = r[balance].number();
        }
        // The carry-forward: the entries of the vouchers the close wrote,
        // which carry its 种类 (a user's voucher never does), found by their
        // 月编号 on the month's last day, where the close dates them.
        std::vector<Value> carriedNumbers;
        for (const Record& page : vouchers.select(
                 Where().equal(field::kDate, last).equal(field::kKind, kCarryForwardSummary)))
            carriedNumbers.emplace_back(page[voucherNumber].integer());
        // A month closed before the mark existed: the pages of the close's shape.
        if (carriedNumbers.empty())
            for (const Record& page : vouchers.select(Where().equal(field::kDate, last)))
                if (closeShaped(books, vouchers, page))
                    carriedNumbers.emplace_back(page[voucherNumber].integer());
        if (carriedNumbers.empty()) continue;
        for (const Record& r : ledger.select(Where()
                                                 .equal(field::kVoucherDate, last)
                                                 .oneOf(field::kVoucherNo, std::move(carriedNumbers)))) {
            Flow& f = month.carried[r[account].text()];
            f.debit += r[debit].number();
            f.credit += r[credit].number();
        }
    }
}

}  // namespace tw
