#include "closing/period_close.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "accounts/chart.h"
#include "accounts/opening_balances.h"
#include "closing/carry_forward.h"
#include "closing/period.h"
#include "closing/posting.h"
#include "closing/year_end_transfer.h"
#include "shell/action_log.h"
#include "shell/set_options.h"
#include "storage/amount_reader.h"
#include "storage/ledger_convention.h"
#include "storage/ledger_fields.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// A movement summed in whole cents (credits negative): month and year sums
// never drift.
struct Movement {
    std::int64_t debit = 0, credit = 0;
    void add(const Record& r, int debitField, int creditField) {
        debit += toCents(r[debitField].number());
        credit += toCents(r[creditField].number());
    }
};

// A summary row of the ledger layout from amounts in cents. Refuses an
// amount beyond the range where cents are exact.
std::vector<Value> summaryRow(double day, const char* summary, const std::string& account,
                              std::int64_t debit, std::int64_t credit, const std::string& side,
                              std::int64_t balance) {
    for (const std::int64_t c : {debit, credit, balance})
        if (!centsInRange(c))
            refuse(beyondCentsMessage("科目“" + account + "”的余额或发生额合计"),
                   account + " " + summary + ": " + std::to_string(c) + " cents");
    return {day, 0, summary, account, fromCents(debit), fromCents(credit), side, fromCents(balance)};
}

// The month's voucher entries as the close uses them, read in one pass over
// 账库 in record order: each leaf account's movement, and each top-level
// account's, in the order of its first entry.
struct MonthEntries {
    std::map<std::string, Movement> leaf;
    std::vector<std::string> activeTops;
    std::map<std::string, Movement> top;
};

// 账库: the month's summary rows per account (and in December the year's and
// the next year's opening). Returns the month's entries.
MonthEntries closeDetailLedger(RecordStore& store, const Session& session) {
    const double period = session.login.period;
    const YearMonth month = YearMonth::of(period);
    const bool december = month.month == 12;
    const double lastDay = month.lastDay(), newYear = month.next().firstDay();

    SetTable ledgerTable(store, session, file::kLedger);
    Table& ledger = ledgerTable.table();
    const LedgerFields f(ledger);
    MonthEntries entries;
    ledger.forEach(monthOf(field::kVoucherDate, period).notEqual(field::kVoucherNo, 0),
                   [&](const Record& r) {
                       const std::string& account = r[f.account].text();
                       const std::int64_t d = toCents(r[f.debit].number()), c = toCents(r[f.credit].number());
                       Movement& x = entries.leaf[account];
                       x.debit += d;
                       x.credit += c;
                       std::string top = topLevelAccount(account);
                       auto [t, first] = entries.top.try_emplace(top);
                       if (first) entries.activeTops.push_back(std::move(top));
                       t->second.debit += d;
                       t->second.credit += c;
                       return true;
                   });
    // The year's movement before this month is in the month rows the closes
    // of January to November wrote, one per account and month, each dated
    // the last day of its month: found through the date index on those days.
    std::map<std::string, Movement> year;
    if (december) {
        std::vector<Value> monthEnds;
        for (int m = 1; m < 12; ++m) monthEnds.emplace_back(YearMonth{month.year, m}.lastDay());
        ledger.forEach(Where()
                           .oneOf(field::kVoucherDate, std::move(monthEnds))
                           .equal(field::kVoucherNo, 0)
                           .equal(field::kSummary, kMonthTotal),
                       [&](const Record& r) {
                           year[r[f.account].text()].add(r, f.debit, f.credit);
                           return true;
                       });
    }

    const SetTable balanceTable(store, session, file::kBalances);
    const Table& balances = balanceTable.table();
    const int account = balances.position(field::kAccount), side = balances.position(field::kBalanceSide),
              balance = balances.position(field::kBalance);
    for (const Record& r : balances.select()) {
        const std::string& k = r[account].text();
        const std::string& dir = r[side].text();
        const std::int64_t bal = toCents(r[balance].number());
        const Movement m = entries.leaf.count(k) ? entries.leaf.at(k) : Movement{};
        ledger.append(summaryRow(lastDay, kMonthTotal, k, m.debit, m.credit, dir, bal));
        if (!december) continue;
        const Movement y = year.count(k) ? year.at(k) : Movement{};
        ledger.append(summaryRow(lastDay, kYearTotal, k, y.debit + m.debit, y.credit + m.credit, dir, bal));
        const std::int64_t d = dir == "借" ? bal : 0, c = dir == "贷" ? bal : 0;
        ledger.append(summaryRow(newYear, kOpeningSummary, k, d, c, dir, bal));
    }
    return entries;
}

// 总账库: the month rows of every top-level account.
void closeGeneralLedger(RecordStore& store, const Session& session, const MonthEntries& entries) {
    const double period = session.login.period;
    const YearMonth month = YearMonth::of(period);
    const double lastDay = month.lastDay();

    SetTable generalTable(store, session, file::kGeneralLedger);
    Table& general = generalTable.table();
    const LedgerFields g(general);  // 账库 has the same layout

    // The year so far: its opening rows and the months closed before.
    std::map<std::string, Movement> year;
    general.forEach(yearOf(field::kVoucherDate, period)
                        .equal(field::kVoucherNo, 0)
                        .oneOf(field::kSummary, {Value(kOpeningSummary), Value(kMonthTotal)}),
                    [&](const Record& r) {
                        year[r[g.account].text()].add(r, g.debit, g.credit);
                        return true;
                    });
    std::set<std::string> written;
    for (const std::string& top : entries.activeTops) {
        const Movement& m = entries.top.at(top);
        const std::int64_t yd = year[top].debit + m.debit, yc = year[top].credit + m.credit;
        const std::int64_t bal = yd + yc;
        const char* side = sideOf(fromCents(bal));
        general.append(summaryRow(lastDay, kMonthTotal, top, m.debit, m.credit, side, bal));
        general.append(summaryRow(lastDay, kYearTotal, top, yd, yc, side, bal));
        written.insert(top);
    }

    // Quiet accounts carry their year so far: from the previous month's
    // 本年累计 row, or (their first closed month, any January) from the
    // year's opening row. The rows written here are of neither kind, so the
    // look-ups see what the table held before this close.
    const auto carry = [&](const Record& from) {
        const std::string& t = from[g.account].text();
        if (!written.insert(t).second) return;
        const std::string& dir = from[g.side].text();
        const std::int64_t bal = toCents(from[g.balance].number());
        general.append(summaryRow(lastDay, kMonthTotal, t, 0, 0, dir, bal));
        general.append(summaryRow(lastDay, kYearTotal, t, toCents(from[g.debit].number()),
                                  toCents(from[g.credit].number()), dir, bal));
    };
    if (month.month != 1)
        for (const Record& r : general.select(monthOf(field::kVoucherDate, month.previous())
                                                  .equal(field::kVoucherNo, 0)
                                                  .equal(field::kSummary, kYearTotal)))
            carry(r);
    for (const Record& r : general.select(yearOf(field::kVoucherDate, period)
                                              .equal(field::kVoucherNo, 0)
                                              .equal(field::kSummary, kOpeningSummary)))
        carry(r);

    // At the end of December, the next year's opening rows, from the
    // 本年累计 rows just written.
    if (month.month == 12) {
        const double newYear = month.next().firstDay();
        for (const Record& r : general.select(monthOf(field::kVoucherDate, period)
                                                  .equal(field::kVoucherNo, 0)
                                                  .equal(field::kSummary, kYearTotal))) {
            // The balance on its side: the debit amount, or the credit one.
            const std::int64_t bal = toCents(r[g.balance].number());
            general.append(summaryRow(newYear, kOpeningSummary, r[g.account].text(), bal > 0 ? bal : 0,
                                      bal < 0 ? bal : 0, r[g.side].text(), bal));
        }
    }
}

void setPeriod(RecordStore& store, const Session& session, double period) {
    const SetTable basic(store, session, file::kBasicInfo);
    store.goFirst();
    if (store.isPastEnd()) refuse(kUnreadableSet, "基本信息 is empty");
    store.writeField(field::kPeriod, period);
}

// Removes the rows of `file` that satisfy `where`.
void removeRows(RecordStore& store, const Session& session, const char* file, const Where& where) {
    SetTable t(store, session, file);
    for (const Record& r : t->select(where)) t->remove(r.id);
}

}  // namespace

std::string closeQuestion(double period) {
    return "当前会计期间为" + YearMonth::of(period).text() + "，是否要结转本期损益并结账！";
}

std::string Closed::message() const {
    return "结转损益与登账完毕！\r\n会计期间进入：" + YearMonth::of(period).text();
}

std::string Reopened::message() const {
    return "结账已撤销，当前会计期间：" + YearMonth::of(period).text();
}

Closed closePeriod(RecordStore& store, const Session& session) {
    requireEnabledSet(store, session);
    // The books hold dates up to 9999-12-31: no period after December 9999.
    if (const Ymd p = toYmd(session.login.period); p.year > 9999 || (p.year == 9999 && p.month == 12))
        refuse(kLastPeriod);
    if (!refreshPostingCounts(store, session).canClose()) refuse(kNotAllPosted);
    Closed closed;
    closed.posted =
        carryForwardProfitAndLoss(store, session, fillCarryForwardList(store, session)).posted;
    if (toYmd(session.login.period).month == 12 &&
        setOptionOn(store, session, kYearEndTransferOption))
        closed.posted += transferYearProfit(store, session).posted;
    closeGeneralLedger(store, session, closeDetailLedger(store, session));
    closed.period = YearMonth::of(session.login.period).next().firstDay();
    setPeriod(store, session, closed.period);
    logAction(store, session, logged::kClosed, YearMonth::of(session.login.period).text());
    return closed;
}

void checkUndoClose(RecordStore& store, const Session& session) {
    const double period = session.login.period;
    if (refreshPostingCounts(store, session).posted > 0) refuse(kUndoPostingFirst);
    double start = period;
    {
        const SetTable basic(store, session, file::kBasicInfo);
        store.goFirst();
        if (!store.isPastEnd()) start = store.readField(field::kStartDate).number();
    }
    if (YearMonth::of(period) <= YearMonth::of(start)) refuse(kNothingToUndo);
}

Reopened undoClose(RecordStore& store, const Session& session) {
    const double period = session.login.period;
    checkUndoClose(store, session);

    // The close's rows are those with 凭证编号 0 and its text: a voucher line
    // its writer summarised "本月合计" or "期初余额" is an entry and stays.
    if (toYmd(period).month == 1) {
        const Where opening = monthOf(field::kVoucherDate, period)
                                  .equal(field::kVoucherNo, 0)
                                  .equal(field::kSummary, kOpeningSummary);
        removeRows(store, session, file::kLedger, opening);
        removeRows(store, session, file::kGeneralLedger, opening);
    }
    Reopened reopened;
    reopened.period = YearMonth::of(period).previous().firstDay();
    setPeriod(store, session, reopened.period);
    removeRows(store, session, file::kLedger,
               monthOf(field::kVoucherDate, reopened.period)
                   .equal(field::kVoucherNo, 0)
                   .oneOf(field::kSummary, {Value(kMonthTotal), Value(kYearTotal)}));
    removeRows(store, session, file::kGeneralLedger,
               monthOf(field::kVoucherDate, reopened.period)
                   .equal(field::kVoucherNo, 0)
                   .notEqual(field::kSummary, kOpeningSummary));
    logAction(store, session, logged::kCloseUndone, YearMonth::of(reopened.period).text());
    return reopened;
}

}  // namespace tw
