// The rows of the program's own, recomputed as enabling and the closes write
// them (accounts/opening_balances.h, closing/period_close.h) and compared
// with what 账库 and 总账库 hold.
//
// A figure that the close took from other rows may be had two ways: from the
// entries and openings, and from the rows the close read. A row holds when it
// agrees with either, so that one damaged row is told once, at the row, and
// not again at every later row that was written from it.
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

#include "accounts/chart.h"
#include "closing/books_check_figures.h"
#include "storage/dates.h"
#include "storage/ledger_convention.h"

namespace tw::bookcheck {

namespace {

constexpr const char* kLedgerName = "账库";
constexpr const char* kGeneralName = "总账库";
// Later than every month: the first month of what has none.
constexpr YearMonth kNoMonth{INT_MAX, 12};

// What a row must hold; the amounts and the balance each one of the ways
// the books give them.
struct Expected {
    double day = 0;
    std::vector<Amounts> amounts;  // none: the balance on its side, as an opening
    std::vector<Cents> balances;
};

template <class T>
bool oneOf(const T& value, const std::vector<T>& ways) {
    return std::find(ways.begin(), ways.end(), value) != ways.end();
}

std::string joined(const std::vector<std::string>& parts, const char* separator) {
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : separator) + p;
    return text;
}

// One finding for the row, naming everything in it that does not hold.
void compare(const std::string& place, const StoredRow& row, const Expected& e,
             Findings& findings) {
    std::vector<std::string> wrong;
    if (std::floor(row.day) != e.day)
        wrong.push_back("日期为" + formatDate(row.day) + "，应为" + formatDate(e.day));
    const Cents balance = oneOf(row.balance, e.balances) ? row.balance : e.balances.front();
    const std::vector<Amounts> amounts =
        e.amounts.empty() ? std::vector{openingSides(balance)} : e.amounts;
    const Amounts a = oneOf(row.amounts, amounts) ? row.amounts : amounts.front();
    const auto differs = [&](const std::string& what, const std::string& stored,
                             const std::string& expected, Cents by) {
        wrong.push_back(what + " " + stored + "，应为 " + expected + "，相差 " +
                        money(std::llabs(by)));
    };
    if (row.amounts.debit != a.debit)
        differs("借方", money(row.amounts.debit), money(a.debit), row.amounts.debit - a.debit);
    if (row.amounts.credit != a.credit)
        differs("贷方", money(-row.amounts.credit), money(-a.credit),
                row.amounts.credit - a.credit);
    if (row.balance != balance)
        differs("余额", sided(row.balance), sided(balance), row.balance - balance);
    if (row.side != sideOfCents(balance))
        wrong.push_back("方向为“" + row.side + "”，应为“" + sideOfCents(balance) + "”");
    if (!wrong.empty()) findings.push_back(place + "：" + joined(wrong, "；"));
}

// The rows a month lacks, told one line per month.
class Missing {
public:
    void add(YearMonth month, const char* kind) { kinds_[month].push_back(kind); }
    void tell(const char* table, const std::string& account, Findings& findings) const {
        for (const auto& [month, kinds] : kinds_)
            findings.push_back(std::string(table) + "缺少科目 " + account + " " + month.text() +
                               "的" + joined(kinds, "、") + "记录");
    }

private:
    std::map<YearMonth, std::vector<std::string>> kinds_;
};

// A row no closed month calls for; `closing` is the month whose close would
// have written it.
void unexpected(const std::string& place, YearMonth closing, const BookDates& dates,
                Findings& findings) {
    if (closing >= dates.open)
        findings.push_back(place + "：在会计期间" + dates.open.text() +
                           "或其后，不应有这条记录");
    else
        findings.push_back(place + "：不应有这条记录");
}

const StoredRow* rowAt(const std::map<YearMonth, StoredRow>& rows, YearMonth month) {
    const auto it = rows.find(month);
    return it == rows.end() ? nullptr : &it->second;
}

template <class T>
T valueAt(const std::map<YearMonth, T>& values, YearMonth month) {
    const auto it = values.find(month);
    return it == values.end() ? T{} : it->second;
}

// The first month whose close writes an account's rows: the start when it
// has an opening, else the first month it was posted to (or, for an account
// only its 账库辅1 record holds, its first month row).
YearMonth firstMonth(bool opened, YearMonth firstMoved, YearMonth firstRow,
                     const BookDates& dates) {
    const YearMonth first =
        std::min({opened ? dates.firstClosed : kNoMonth, firstMoved, firstRow});
    return std::max(first, dates.firstClosed);
}

template <class T>
YearMonth firstKey(const std::map<YearMonth, T>& values) {
    return values.empty() ? kNoMonth : values.begin()->first;
}

// The rows that lie outside the months from `first` on that their kind is
// written for: 本年累计 every month (总账库) or in December only (账库).
void tellUnexpected(const char* table, const std::string& account, const SummaryRows& rows,
                    YearMonth first, bool yearRowsEveryMonth, const BookDates& dates,
                    Findings& findings) {
    const auto place = [&](const StoredRow& r, const char* kind) {
        return rowPlace(table, r.row, account, r.day, kind);
    };
    for (const auto& [month, r] : rows.months)
        if (month < first || month >= dates.open)
            unexpected(place(r, kMonthTotal), month, dates, findings);
    for (const auto& [month, r] : rows.years)
        if ((!yearRowsEveryMonth && month.month != 12) || month < first || month >= dates.open)
            unexpected(place(r, kYearTotal), month, dates, findings);
    for (const auto& [month, r] : rows.openings)  // January's, of the December before
        if (month.previous() < first || month.previous() >= dates.open)
            unexpected(place(r, kOpeningSummary), month.previous(), dates, findings);
}

// One account of 账库 (closeDetailLedger): per closed month a 本月合计 row
// with the month's entries and the balance at its end; in December also a
// 本年累计 row with the year's entries and the next year's 期初余额 row.
void checkLedgerAccount(const std::string& account, const LedgerAccount& a, const BookDates& dates,
                        Findings& findings) {
    const SummaryRows& rows = a.rows;
    const auto place = [&](const StoredRow& r, const char* kind) {
        return rowPlace(kLedgerName, r.row, account, r.day, kind);
    };
    if (rows.start)
        compare(place(*rows.start, kOpeningSummary), *rows.start,
                {dates.start, {rows.start->amounts}, {rows.start->amounts.net()}}, findings);

    const YearMonth first =
        firstMonth(rows.start.has_value(), firstKey(a.moved), firstKey(rows.months), dates);
    // A row's balance: where the account's rows stood, or its opening and entries.
    const auto balances = [](const StoredRow& r) { return std::vector{r.chained, r.summed}; };
    Missing missing;
    for (YearMonth m = first; m < dates.open; m = m.next()) {
        const bool required = m < dates.required;
        const Amounts moved = valueAt(a.moved, m);
        if (const StoredRow* r = rowAt(rows.months, m))
            compare(place(*r, kMonthTotal), *r, {m.lastDay(), {moved}, balances(*r)},
                    findings);
        else if (required)
            missing.add(m, kMonthTotal);
        if (m.month != 12) continue;

        // The year: its entries, or the month rows before December and
        // December's entries, as the close adds them up.
        Amounts year, asClosed = moved;
        for (YearMonth k = std::max(first, YearMonth{m.year, 1}); k <= m; k = k.next()) {
            year += valueAt(a.moved, k);
            if (const StoredRow* r = rowAt(rows.months, k); r && k < m) asClosed += r->amounts;
        }
        if (const StoredRow* r = rowAt(rows.years, m))
            compare(place(*r, kYearTotal), *r,
                    {m.lastDay(), {year, asClosed}, balances(*r)}, findings);
        else if (required)
            missing.add(m, kYearTotal);
        if (const StoredRow* r = rowAt(rows.openings, m.next()))
            compare(place(*r, kOpeningSummary), *r, {m.next().firstDay(), {}, balances(*r)},
                    findings);
        else if (required)
            missing.add(m.next(), kOpeningSummary);
    }
    tellUnexpected(kLedgerName, account, rows, first, false, dates, findings);
    missing.tell(kLedgerName, account, findings);
}

// A top-level account as 账库 gives it: its accounts added up.
struct TopFigures {
    std::optional<Amounts> opening;         // the openings enabling wrote
    std::map<YearMonth, Amounts> moved;           // the entries, by month
    std::map<YearMonth, Amounts> monthRowsMoved;  // 账库's 本月合计 rows, by month
    std::map<YearMonth, Cents> monthRowsBalance;
};

std::map<std::string, TopFigures> topFigures(const LedgerFigures& ledger) {
    std::map<std::string, TopFigures> tops;
    for (const auto& [account, a] : ledger.accounts) {
        TopFigures& t = tops[topLevelAccount(account)];
        if (a.rows.start) {
            if (!t.opening) t.opening.emplace();
            *t.opening += a.rows.start->amounts;
        }
        for (const auto& [m, x] : a.moved) t.moved[m] += x;
        for (const auto& [m, r] : a.rows.months) {
            t.monthRowsMoved[m] += r.amounts;
            t.monthRowsBalance[m] += r.balance;
        }
    }
    return tops;
}

// One top-level account of 总账库 (enableSet, closeGeneralLedger): the
// opening enabling wrote; from its first month on, per closed month, a
// 本月合计 row with the month's entries and a 本年累计 row with the year's
// opening plus its entries, both with the balance at the month's end; in
// December the next year's 期初余额 row.
void checkGeneralAccount(const std::string& top, const TopFigures& t, const SummaryRows& rows,
                         const BookDates& dates, Findings& findings) {
    const auto place = [&](const StoredRow& r, const char* kind) {
        return rowPlace(kGeneralName, r.row, top, r.day, kind);
    };
    Missing missing;
    if (t.opening && rows.start)
        compare(place(*rows.start, kOpeningSummary), *rows.start,
                {dates.firstClosed.lastDay(), {*t.opening}, {t.opening->net()}}, findings);
    else if (t.opening)
        missing.add(dates.firstClosed, kOpeningSummary);
    else if (rows.start)
        findings.push_back(place(*rows.start, kOpeningSummary) + "：不应有这条记录");

    const YearMonth first = firstMonth(t.opening.has_value(), firstKey(t.moved), kNoMonth, dates);
    Cents balance = t.opening ? t.opening->net() : 0;
    Amounts year, asClosed;  // 本年累计: from the entries, and from the rows the close read
    for (YearMonth m = first; m < dates.open; m = m.next()) {
        const bool required = m < dates.required;
        if (m == first || m.month == 1) {
            // The year opens with enabling's opening, with the balance the
            // December before carried, or with nothing.
            const StoredRow* opened = m == first
                                          ? (t.opening && rows.start ? &*rows.start : nullptr)
                                          : rowAt(rows.openings, m);
            year = m == first ? t.opening.value_or(Amounts{}) : openingSides(balance);
            asClosed = opened ? opened->amounts : year;
        }
        const Amounts moved = valueAt(t.moved, m);
        const StoredRow* monthRow = rowAt(rows.months, m);
        balance += moved.net();
        year += moved;
        asClosed += monthRow ? monthRow->amounts : moved;

        std::vector<Amounts> movedWays{moved};
        std::vector<Cents> balanceWays{balance};
        if (const auto x = t.monthRowsMoved.find(m); x != t.monthRowsMoved.end())
            movedWays.push_back(x->second);
        if (const auto b = t.monthRowsBalance.find(m); b != t.monthRowsBalance.end())
            balanceWays.push_back(b->second);
        if (monthRow)
            compare(place(*monthRow, kMonthTotal), *monthRow,
                    {m.lastDay(), movedWays, balanceWays}, findings);
        else if (required)
            missing.add(m, kMonthTotal);
        const StoredRow* yearRow = rowAt(rows.years, m);
        if (yearRow)
            compare(place(*yearRow, kYearTotal), *yearRow,
                    {m.lastDay(), {year, asClosed}, balanceWays}, findings);
        else if (required)
            missing.add(m, kYearTotal);
        if (m.month != 12) continue;
        std::vector<Cents> carried{balance};
        if (yearRow) carried.push_back(yearRow->balance);
        if (const StoredRow* r = rowAt(rows.openings, m.next()))
            compare(place(*r, kOpeningSummary), *r, {m.next().firstDay(), {}, carried},
                    findings);
        else if (required)
            missing.add(m.next(), kOpeningSummary);
    }
    tellUnexpected(kGeneralName, top, rows, first, true, dates, findings);
    missing.tell(kGeneralName, top, findings);
}

}  // namespace

void checkLedgerSummaries(const LedgerFigures& ledger, const BookDates& dates, Findings& findings) {
    for (const auto& [account, a] : ledger.accounts)
        checkLedgerAccount(account, a, dates, findings);
}

void checkGeneralSummaries(const LedgerFigures& ledger, const GeneralRows& general,
                           const BookDates& dates, Findings& findings) {
    std::map<std::string, TopFigures> tops = topFigures(ledger);
    for (const auto& [top, rows] : general.tops) tops.try_emplace(top);
    const SummaryRows none{};
    for (const auto& [top, t] : tops) {
        const auto stored = general.tops.find(top);
        checkGeneralAccount(top, t, stored == general.tops.end() ? none : stored->second, dates,
                            findings);
    }
}

}  // namespace tw::bookcheck
