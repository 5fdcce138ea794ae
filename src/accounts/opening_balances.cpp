#include "accounts/opening_balances.h"

#include <cmath>
#include <filesystem>
#include <system_error>

#include "accounts/chart.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw {

namespace {

constexpr const char* kOpeningSummary = "期初余额";

std::filesystem::path table(const Session& session, const char* file) {
    return tablePath(session.dataDir, session.login.setName, file);
}

std::string failure(const StoreError& e) {
    return e.userMessage().empty() ? e.what() : e.userMessage();
}

double amount(const std::string& text) { return parseNumber(text); }

// Closes the tables an operation opened, however it ends.
class OpenTables {
public:
    OpenTables(RecordStore& store, std::vector<std::filesystem::path> paths)
        : store_(store), paths_(std::move(paths)) {}
    ~OpenTables() {
        for (const auto& p : paths_) store_.closeTable(p);
    }
    OpenTables(const OpenTables&) = delete;
    OpenTables& operator=(const OpenTables&) = delete;

private:
    RecordStore& store_;
    std::vector<std::filesystem::path> paths_;
};

void blank(OpeningRow& row) {
    row.debit.clear();
    row.credit.clear();
    row.side.clear();
    row.balance.clear();
}

// "借" for a debit balance, "贷" for a credit balance, "平" for none.
const char* sideOf(double difference) {
    if (difference > kAmountTolerance) return "借";
    if (difference < -kAmountTolerance) return "贷";
    return "平";
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
    const auto path = table(session, file::kOpening);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return;
    if (!store.openTable(path, session.login.setPassword)) return;
    for (OpeningRow& row : rows) {
        store.goFirst();
        if (!store.findRecord([&row](const RecordView& r) {
                return r.text(field::kAccount) == row.account;
            }))
            continue;
        row.debit = plainDecimal(store.readField(field::kDebit).number());
        row.credit = plainDecimal(store.readField(field::kCredit).number());
        row.side = store.readField(field::kBalanceSide).text();
        row.balance = plainDecimal(store.readField(field::kBalance).number());
        if (isZero(amount(row.debit) + amount(row.credit))) blank(row);
    }
    store.closeTable();
}

}  // namespace

std::vector<OpeningRow> loadOpeningList(RecordStore& store, const Session& session) {
    const auto accounts = loadAccounts(store, session);
    if (!accounts) return {};
    std::vector<OpeningRow> rows = listFromChart(*accounts);
    fillSavedAmounts(store, session, rows);
    return rows;
}

OpeningTotals openingTotals(const std::vector<OpeningRow>& rows) {
    double debit = 0, credit = 0;
    for (const OpeningRow& r : rows) {
        debit += amount(r.debit);
        credit += amount(r.credit);
    }
    return {plainDecimal(debit), plainDecimal(credit)};
}

bool hasSubAccountRows(const std::vector<OpeningRow>& rows, const std::string& account) {
    const std::string prefix = account + "→";
    for (const OpeningRow& r : rows)
        if (r.account.starts_with(prefix)) return true;
    return false;
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

void blankParentRows(std::vector<OpeningRow>& rows) {
    for (OpeningRow& row : rows)
        if (hasSubAccountRows(rows, row.account)) blank(row);
}

std::optional<bool> setIsEnabled(RecordStore& store, const Session& session) {
    if (!store.openTable(table(session, file::kBasicInfo), kFixedPassword)) return std::nullopt;
    store.goFirst();
    const bool enabled = !store.isPastEnd() && store.readField(field::kEnabled).boolean();
    store.closeTable();
    return enabled;
}

OpeningOutcome saveOpeningList(RecordStore& store, const Session& session,
                               const std::vector<OpeningRow>& rows) {
    const auto enabled = setIsEnabled(store, session);
    if (!enabled) return {false, kUnreadableSet};
    if (*enabled) return {false, kAlreadyEnabled};

    // The new table is built beside the old one from the template and moved
    // over it when complete, so a failure never leaves the list half-saved.
    const auto target = table(session, file::kOpening);
    auto fresh = target;
    fresh += ".new";
    if (!copyFile(templatePath(session.dataDir, file::kLedger), fresh))
        return {false, "数据无法写入磁盘！ 请检测您对计算机使用的权限！"};
    try {
        Action action(store);
        if (!store.openTable(fresh, kFixedPassword)) return {false, kUnreadableSet};
        store.goFirst();
        for (const OpeningRow& r : rows)
            store.appendRecord({0.0, 0, std::string(), r.account, amount(r.debit),
                                amount(r.credit), r.side, amount(r.balance)});
        store.setTablePassword(session.login.setPassword);
        action.commit();
        store.closeTable();
    } catch (const StoreError& e) {
        store.closeTable();
        std::error_code ec;
        std::filesystem::remove(fresh, ec);
        return {false, failure(e)};
    }
    std::error_code ec;
    std::filesystem::rename(fresh, target, ec);
    if (ec) {
        std::filesystem::remove(fresh, ec);
        return {false, "数据无法写入磁盘！ 请检测您对计算机使用的权限！"};
    }
    return {true, {}};
}

OpeningOutcome refreshOpeningList(RecordStore& store, const Session& session,
                                  std::vector<OpeningRow>& rows) {
    rows = loadOpeningList(store, session);
    blankParentRows(rows);
    return saveOpeningList(store, session, rows);
}

OpeningOutcome enableSet(RecordStore& store, const Session& session,
                         const std::vector<OpeningRow>& rows) {
    const OpeningTotals totals = openingTotals(rows);
    if (!totals.balanced())
        return {false, "期初借方合计 " + totals.debit + " 与期初贷方合计 " + totals.credit +
                           " 不相等，不能启用套账！"};

    const auto basicInfo = table(session, file::kBasicInfo);
    const auto ledger = table(session, file::kLedger);
    const auto balances = table(session, file::kBalances);
    const auto general = table(session, file::kGeneralLedger);
    const std::string& password = session.login.setPassword;
    const double period = session.login.period;
    OpenTables open(store, {basicInfo, ledger, balances, general});
    try {
        Action action(store);
        if (!store.openTable(basicInfo, kFixedPassword) || store.recordCount() == 0 ||
            !store.openTable(ledger, password) || !store.openTable(balances, password) ||
            !store.openTable(general, password))
            return {false, kUnreadableSet};

        store.selectTable(basicInfo);
        if (store.readField(field::kEnabled).boolean()) return {false, kAlreadyEnabled};
        const double startDate = std::floor(store.readField(field::kStartDate).number());

        // The opening rows of the accounts, credits negative, balances signed.
        for (const OpeningRow& r : rows) {
            const double d = amount(r.debit), c = amount(r.credit);
            if (isZero(d) && isZero(c)) continue;
            store.selectTable(ledger);
            store.appendRecord({startDate, 0, kOpeningSummary, r.account, d, -c, r.side, d - c});
            store.selectTable(balances);
            store.appendRecord({r.account, d, -c, r.side, d - c});
        }

        // Rolled up per top-level account into the general ledger.
        store.selectTable(ledger);
        for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1)) {
            const std::string top = topLevelAccount(store.readField(field::kAccount).text());
            const double x = store.readField(field::kDebit).number();
            const double y = store.readField(field::kCredit).number();
            store.selectTable(general);
            store.goFirst();
            const bool found = store.findRecord([&](const RecordView& g) {
                return sameMonth(g.number(field::kVoucherDate), period) &&
                       g.text(field::kAccount) == top && g.text(field::kSummary) == kOpeningSummary;
            });
            if (!found) store.appendRecord({lastDayOfMonth(period), 0, kOpeningSummary, top});
            const double debit = store.readField(field::kDebit).number() + x;
            const double credit = store.readField(field::kCredit).number() + y;
            store.writeField(field::kDebit, debit);
            store.writeField(field::kCredit, credit);
            store.writeField(field::kBalanceSide, sideOf(debit - std::fabs(credit)));
            store.writeField(field::kBalance, debit + credit);
            store.selectTable(ledger);
        }

        store.selectTable(basicInfo);
        store.writeField(field::kEnabled, true);
        action.commit();
    } catch (const StoreError& e) {
        return {false, failure(e)};
    }
    return {true, {}};
}

}  // namespace tw
