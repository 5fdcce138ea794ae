#include "accounts/opening_balances.h"

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <algorithm>
#include <map>
#include <system_error>

#include "accounts/account_names.h"
#include "accounts/chart.h"
#include "shell/action_log.h"
#include "storage/dates.h"
#include "storage/ledger_convention.h"
#include "storage/amount_reader.h"
#include "storage/number_text.h"
#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw {

namespace {


double amount(const std::string& text) { return parseNumber(text); }

void blank(OpeningRow& row) {
    row.debit.clear();
    row.credit.clear();
    row.side.clear();
    row.balance.clear();
}


std::vector<OpeningRow> listFromChart(const std::vector<Account>& accounts) {
    std::vector<OpeningRow> rows;
    for (const Account& a : accounts) {
        if (a.parent.empty()) {
            rows.push_back({a.name, {}, {}, {}, {}});
            continue;
        }
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].account != a.parent) continue;
            rows.insert(rows.begin() + static_cast<long>(i) + 1, OpeningRow{a.name, {}, {}, {}, {}});
            break;
        }
    }
    return rows;
}

void fillSavedAmounts(RecordStore& store, const Session& session, std::vector<OpeningRow>& rows) {
    std::error_code ec;
    if (!std::filesystem::exists(tablePath(session, file::kOpening), ec)) return;  // nothing saved yet
    const SetTable opening(store, session, file::kOpening);
    const Table& saved = opening.table();
    const int account = saved.position(field::kAccount), debit = saved.position(field::kDebit),
              credit = saved.position(field::kCredit), side = saved.position(field::kBalanceSide),
              balance = saved.position(field::kBalance);
    std::map<std::string, Record> first;  // the first saved row of each account
    for (Record& r : saved.select()) first.try_emplace(r[account].text(), std::move(r));
    for (OpeningRow& row : rows) {
        const auto it = first.find(row.account);
        if (it == first.end()) continue;
        const Record& r = it->second;
        row.debit = plainDecimal(r[debit].number());
        row.credit = plainDecimal(r[credit].number());
        row.side = r[side].text();
        row.balance = plainDecimal(r[balance].number());
        if (isZero(amount(row.debit) + amount(row.credit))) blank(row);
    }
}

// What 上机日志 records of saving `rows`: "account：借方 X，贷方 Y" for each
// account whose amounts differ from those saved.
std::vector<std::string> openingChanges(RecordStore& store, const Session& session,
                                        const std::vector<OpeningRow>& rows);

}  // namespace

std::vector<OpeningRow> loadOpeningList(RecordStore& store, const Session& session) {
    std::vector<OpeningRow> rows = listFromChart(loadAccounts(store, session));
    fillSavedAmounts(store, session, rows);
    return rows;
}

OpeningTotals openingTotals(const std::vector<OpeningRow>& rows) {
    std::int64_t debit = 0, credit = 0;  // cents: the sums never drift
    for (const OpeningRow& r : rows) {
        debit += toCents(amount(r.debit));
        credit += toCents(amount(r.credit));
    }
    return {plainDecimal(fromCents(debit)), plainDecimal(fromCents(credit))};
}

bool hasSubAccountRows(const std::vector<OpeningRow>& rows, const std::string& account) {
    return std::any_of(rows.begin(), rows.end(),
                       [&](const OpeningRow& r) { return isBelow(r.account, account); });
}

std::string openingAmountRefusal(const std::vector<OpeningRow>& rows, const std::string& account) {
    const auto named = [&](const OpeningRow& r) { return r.account == account; };
    if (std::none_of(rows.begin(), rows.end(), named)) return "没有这个科目：" + account;
    if (hasSubAccountRows(rows, account)) return kNoAmountForParent;
    return {};
}

void setRowAmounts(OpeningRow& row, std::optional<double> debit, std::optional<double> credit) {
    if (debit) row.debit = plainDecimal(std::fabs(roundCents(*debit)));
    if (credit) row.credit = plainDecimal(std::fabs(roundCents(*credit)));
    const double d = amount(row.debit), c = amount(row.credit);
    const char* side = sideOf(d - c);
    row.side = side;
    if (d - c > kAmountTolerance) row.balance = plainDecimal(d - c);
    else if (d - c < -kAmountTolerance) row.balance = plainDecimal(c - d);
    else row.balance = "0";
    if (isZero(d + c)) blank(row);
}

std::vector<std::string> blankParentRows(std::vector<OpeningRow>& rows) {
    std::vector<std::string> cleared;
    for (OpeningRow& row : rows) {
        if (!hasSubAccountRows(rows, row.account)) continue;
        if (!row.debit.empty() || !row.credit.empty()) cleared.push_back(row.account);
        blank(row);
    }
    return cleared;
}

std::string openingClearedMessage(const std::vector<std::string>& accounts) {
    std::string text;
    for (const std::string& account : accounts) {
        if (!text.empty()) text += "\n";
        text += "科目 " + account + " 已有下级科目，其期初金额已清除，请在下级科目中录入。";
    }
    return text;
}

bool setIsEnabled(RecordStore& store, const Session& session) {
    const SetTable basic(store, session, file::kBasicInfo);
    if (store.recordCount() == 0) refuse(kUnreadableSet, "基本信息 is empty");
    store.goFirst();
    return store.readField(field::kEnabled).boolean();
}

void requireEnabledSet(RecordStore& store, const Session& session) {
    if (!setIsEnabled(store, session)) refuse(kSetNotEnabled);
}

void saveOpeningList(RecordStore& store, const Session& session,
                     const std::vector<OpeningRow>& rows) {
    if (setIsEnabled(store, session)) refuse(kAlreadyEnabled);
    for (const OpeningRow& r : rows)
        for (const std::string* text : {&r.debit, &r.credit, &r.balance})
            if (std::string refusal = checkAmount(amount(*text)); !refusal.empty())
                refuse(refusal, r.account + ": " + *text);
    const std::vector<std::string> changes = openingChanges(store, session, rows);
    // Made afresh; it replaces the old table when the action commits.
    const auto target = tablePath(session, file::kOpening);
    store.createTable(target, ledgerSchema());
    if (!store.openTable(target, "")) throw StoreError("the new 账务初始化 does not open");
    const auto opening = SetTable::adopt(store, session, file::kOpening);
    for (const OpeningRow& r : rows)
        store.appendRecord({0.0, 0, std::string(), r.account, amount(r.debit), amount(r.credit),
                            r.side, amount(r.balance)});
    store.setTablePassword(session.login.setPassword);
    for (const std::string& change : changes) logAction(store, session, logged::kOpeningChanged, change);
}

std::vector<std::string> refreshOpeningList(RecordStore& store, const Session& session,
                                            std::vector<OpeningRow>& rows) {
    rows = loadOpeningList(store, session);
    std::vector<std::string> cleared = blankParentRows(rows);
    saveOpeningList(store, session, rows);
    return cleared;
}

std::vector<OpeningRow> setOpeningAmounts(RecordStore& store, const Session& session,
                                          const std::string& account,
                                          std::optional<double> debit,
                                          std::optional<double> credit) {
    if (setIsEnabled(store, session)) refuse(kAlreadyEnabled);
    std::vector<OpeningRow> rows = loadOpeningList(store, session);
    if (std::string refusal = openingAmountRefusal(rows, account); !refusal.empty()) refuse(refusal);
    const auto row = std::find_if(rows.begin(), rows.end(),
                                  [&](const OpeningRow& r) { return r.account == account; });
    for (const auto& given : {debit, credit})
        if (given)
            if (std::string refusal = checkAmount(*given); !refusal.empty()) refuse(refusal);
    // An amount left out keeps the one saved (0 when there is none).
    if (!debit) debit = parseNumber(row->debit);
    if (!credit) credit = parseNumber(row->credit);
    setRowAmounts(*row, debit, credit);
    saveOpeningList(store, session, rows);
    return rows;
}

void enableSet(RecordStore& store, const Session& session, const std::vector<OpeningRow>& rows) {
    // The opening rows of the accounts in cents, credits negative, rolled up
    // per top-level account: checked before anything is written.
    struct Rollup {
        std::int64_t debit = 0, credit = 0;
    };
    std::map<std::string, Rollup> tops;
    std::vector<std::string> order;
    Rollup all;
    for (const OpeningRow& r : rows) {
        const std::int64_t d = toCents(amount(r.debit)), c = -toCents(amount(r.credit));
        const std::string top = topLevelAccount(r.account);
        if (d != 0 || c != 0) {
            if (!tops.count(top)) order.push_back(top);
            tops[top].debit += d;
            tops[top].credit += c;
        }
        all.debit += d;
        all.credit += c;
    }
    // The texts show 15 significant digits: above 10^13 the cents decide.
    const OpeningTotals totals = openingTotals(rows);
    if (!totals.balanced() || all.debit + all.credit != 0)
        refuse("期初借方合计 " + totals.debit + " 与期初贷方合计 " + totals.credit +
               " 不相等，不能启用套账！");
    for (const std::string& top : order)
        if (!centsInRange(tops[top].debit) || !centsInRange(tops[top].credit))
            refuse(beyondCentsMessage("科目“" + top + "”的期初余额合计"));
    if (setIsEnabled(store, session)) refuse(kAlreadyEnabled);

    SetTable basic(store, session, file::kBasicInfo);
    const double startDate = std::floor(store.readField(field::kStartDate).number());
    SetTable ledgerTable(store, session, file::kLedger);
    SetTable balanceTable(store, session, file::kBalances);
    SetTable generalTable(store, session, file::kGeneralLedger);
    Table& ledger = ledgerTable.table();
    Table& balances = balanceTable.table();
    Table& general = generalTable.table();

    // 账库 and 账库辅1 per account with an amount, balances signed; 总账库's
    // "期初余额" row per top-level account for the current period (dated the
    // period's last day).
    for (const OpeningRow& r : rows) {
        const std::int64_t d = toCents(amount(r.debit)), c = -toCents(amount(r.credit));
        if (d == 0 && c == 0) continue;
        const double debit = fromCents(d), credit = fromCents(c), balance = fromCents(d + c);
        ledger.append({startDate, 0, kOpeningSummary, r.account, debit, credit, r.side, balance});
        balances.append({r.account, debit, credit, r.side, balance});
    }
    const double period = session.login.period;
    for (const std::string& top : order) {
        const Rollup& t = tops[top];
        const double balance = fromCents(t.debit + t.credit);
        general.append({lastDayOfMonth(period), 0, kOpeningSummary, top, fromCents(t.debit),
                        fromCents(t.credit), sideOf(balance), balance});
    }

    basic.select();
    store.goFirst();
    store.writeField(field::kEnabled, true);
    logAction(store, session, logged::kSetEnabled);
}

namespace {

std::vector<std::string> openingChanges(RecordStore& store, const Session& session,
                                        const std::vector<OpeningRow>& rows) {
    using Cents = std::pair<std::int64_t, std::int64_t>;  // debit, credit
    const auto cents = [](const OpeningRow& r) {
        return Cents{toCents(amount(r.debit)), toCents(amount(r.credit))};
    };
    std::map<std::string, Cents> saved;
    for (const OpeningRow& r : loadOpeningList(store, session)) saved.try_emplace(r.account, cents(r));
    std::vector<std::string> changes;
    for (const OpeningRow& r : rows) {
        const Cents now = cents(r);
        const auto was = saved.find(r.account);
        if (now == (was == saved.end() ? Cents{0, 0} : was->second)) continue;
        changes.push_back(r.account + "：借方 " + plainDecimal(fromCents(now.first)) + "，贷方 " +
                          plainDecimal(fromCents(now.second)));
    }
    return changes;
}

}  // namespace

}  // namespace tw
