#include "closing/period_close.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "accounts/chart.h"
#include "accounts/opening_balances.h"
#include "closing/carry_forward.h"
#include "closing/period.h"
#include "closing/posting.h"
#include "closing/year_end_transfer.h"
#include "shell/set_options.h"
#include "storage/ledger_convention.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// Positions of the ledger-layout fields, resolved once per table.
struct LedgerFields {
    int date, number, summary, account, debit, credit, side, balance;
    explicit LedgerFields(const Table& t)
        : date(t.position(field::kVoucherDate)),
          number(t.position(field::kVoucherNo)),
          summary(t.position(field::kSummary)),
          account(t.position(field::kAccount)),
          debit(t.position(field::kDebit)),
          credit(t.position(field::kCredit)),
          side(t.position(field::kBalanceSide)),
          balance(t.position(field::kBalance)) {}
};

struct Movement {
    double debit = 0, credit = 0;
};

// A summary row of the ledger layout, amounts rounded to cents.
std::vector<Value> summaryRow(double day, const char* summary, const std::string& account,
                              double debit, double credit, const std::string& side,
                              double balance) {
    return {day, 0, summary, account, roundCents(debit), roundCents(credit), side,
            roundCents(balance)};
}

// The opening amounts of a balance: on the debit side, the credit side, or none.
std::pair<double, double> openingSides(double balance) {
    if (balance > kAmountTolerance) return {balance, 0.0};
    if (balance < -kAmountTolerance) return {0.0, balance};
    return {0.0, 0.0};
}

// 账库: the month's summary rows per account (and in December the year's and
// the next year's opening). Returns the month's voucher entries.
std::vector<Record> closeDetailLedger(RecordStore& store, const Session& session) {
    const double period = session.login.period;
    const bool december = toYmd(period).month == 12;
    const double lastDay = lastDayOfMonth(period), newYear = firstDayOfNextMonth(period);

    SetTable ledgerTable(store, session, file::kLedger);
    Table& ledger = ledgerTable.table();
    const LedgerFields f(ledger);
    std::vector<Record> entries =
        ledger.select(monthOf(field::kVoucherDate, period).notEqual(field::kVoucherNo, 0));
    const auto add = [&](std::map<std::string, Movement>& m, const Record& r) {
        Movement& x = m[r[f.account].text()];
        x.debit += r[f.debit].number();
        x.credit += r[f.credit].number();
        return true;
    };
    std::map<std::string, Movement> month, year;
    for (const Record& r : entries) add(month, r);
    if (december)  // a year of entries: summed as they are read
        ledger.forEach(yearOf(field::kVoucherDate, period).notEqual(field::kVoucherNo, 0),
                       [&](const Record& r) { return add(year, r); });

    const SetTable balanceTable(store, session, file::kBalances);
    const Table& balances = balanceTable.table();
    const int account = balances.position(field::kAccount), side = balances.position(field::kBalanceSide),
              balance = balances.position(field::kBalance);
    for (const Record& r : balances.select()) {
        const std::string& k = r[account].text();
        const std::string& dir = r[side].text();
        const double bal = r[balance].number();
        ledger.append(summaryRow(lastDay, kMonthTotal, k, month[k].debit, month[k].credit, dir, bal));
        if (!december) continue;
        ledger.append(summaryRow(lastDay, kYearTotal, k, year[k].debit, year[k].credit, dir, bal));
        const double d = dir == "借" ? bal : 0, c = dir == "贷" ? bal : 0;
        ledger.append(summaryRow(newYear, kOpeningSummary, k, d, c, dir, bal));
    }
    return entries;
}

// 总账库: the month rows of every top-level account.
void closeGeneralLedger(RecordStore& store, const Session& session,
                        const std::vector<Record>& entries) {
    const double period = session.login.period;
    const Ymd p = toYmd(period);
    const double lastDay = lastDayOfMonth(period);

    SetTable generalTable(store, session, file::kGeneralLedger);
    Table& general = generalTable.table();
    const LedgerFields g(general);  // 账库 has the same layout

    // The month's movement per top-level account, in the order of their first entry.
    std::vector<std::string> active;
    std::map<std::string, Movement> moved;
    for (const Record& r : entries) {
        const std::string top = topLevelAccount(r[g.account].text());
        if (!moved.count(top)) active.push_back(top);
        moved[top].debit += r[g.debit].number();
        moved[top].credit += r[g.credit].number();
    }
    // The year so far: its opening rows and the months closed before.
    std::map<std::string, Movement> year;
    for (const Record& r : general.select(yearOf(field::kVoucherDate, period))) {
        const std::string& s = r[g.summary].text();
        if (s != kOpeningSummary && s != kMonthTotal) continue;
        Movement& y = year[r[g.account].text()];
        y.debit += r[g.debit].number();
        y.credit += r[g.credit].number();
    }
    std::set<std::string> written;
    for (const std::string& top : active) {
        const Movement& m = moved[top];
        const double yd = roundCents(year[top].debit + m.debit);
        const double yc = roundCents(year[top].credit + m.credit);
        const double bal = roundCents(yd + yc);
        general.append(summaryRow(lastDay, kMonthTotal, top, m.debit, m.credit, sideOf(bal), bal));
        general.append(summaryRow(lastDay, kYearTotal, top, yd, yc, sideOf(bal), bal));
        written.insert(top);
    }

    // Quiet accounts carry their year so far: from the previous month's
    // 本年累计 row, or (their first closed month, any January) from the
    // year's opening row. The rows are read from a copy of the table, as it
    // stands after the active accounts; the copy lives in the action only.
    auto temp = store.scratchCopy(tablePath(session, file::kGeneralLedger));
    const Table copy = store.table(temp);
    const auto carry = [&](const Record& from) {
        const std::string& t = from[g.account].text();
        if (!written.insert(t).second) return;
        const std::string& dir = from[g.side].text();
        const double bal = from[g.balance].number();
        general.append(summaryRow(lastDay, kMonthTotal, t, 0, 0, dir, bal));
        general.append(summaryRow(lastDay, kYearTotal, t, from[g.debit].number(),
                                  from[g.credit].number(), dir, bal));
    };
    if (p.month != 1)
        for (const Record& r : copy.select(monthOf(field::kVoucherDate, firstDayOfPreviousMonth(period))
                                               .equal(field::kSummary, kYearTotal)))
            carry(r);
    for (const Record& r : copy.select(
             yearOf(field::kVoucherDate, period).equal(field::kSummary, kOpeningSummary)))
        carry(r);
    store.closeTable(temp);

    // At the end of December, the next year's opening rows.
    if (p.month == 12) {
        temp = store.scratchCopy(tablePath(session, file::kGeneralLedger));
        const double newYear = dayNumber(p.year + 1, 1, 1);
        for (const Record& r : store.table(temp).select(
                 monthOf(field::kVoucherDate, period).equal(field::kSummary, kYearTotal))) {
            const double bal = r[g.balance].number();
            const auto [d, c] = openingSides(bal);
            general.append(
                summaryRow(newYear, kOpeningSummary, r[g.account].text(), d, c, r[g.side].text(), bal));
        }
        store.closeTable(temp);
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
    return "当前会计期间为" + periodText(period) + "，是否要结转本期损益并结账！";
}

std::string Closed::message() const { return "结转损益与登账完毕！\r\n会计期间进入：" + periodText(period); }

std::string Reopened::message() const { return "结账已撤销，当前会计期间：" + periodText(period); }

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
    const std::vector<Record> entries = closeDetailLedger(store, session);
    closeGeneralLedger(store, session, entries);
    closed.period = firstDayOfNextMonth(session.login.period);
    setPeriod(store, session, closed.period);
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
    if (firstDayOfMonth(period) <= firstDayOfMonth(start)) refuse(kNothingToUndo);
}

Reopened undoClose(RecordStore& store, const Session& session) {
    const double period = session.login.period;
    checkUndoClose(store, session);

    if (toYmd(period).month == 1) {
        const Where opening =
            monthOf(field::kVoucherDate, period).equal(field::kSummary, kOpeningSummary);
        removeRows(store, session, file::kLedger, opening);
        removeRows(store, session, file::kGeneralLedger, opening);
    }
    Reopened reopened;
    reopened.period = firstDayOfPreviousMonth(period);
    setPeriod(store, session, reopened.period);
    removeRows(store, session, file::kLedger,
               monthOf(field::kVoucherDate, reopened.period)
                   .oneOf(field::kSummary, {Value(kMonthTotal), Value(kYearTotal)}));
    removeRows(store, session, file::kGeneralLedger,
               monthOf(field::kVoucherDate, reopened.period)
                   .notEqual(field::kSummary, kOpeningSummary));
    return reopened;
}

}  // namespace tw
