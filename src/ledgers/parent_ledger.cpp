#include "ledgers/parent_ledger.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "accounts/account_names.h"
#include "accounts/chart.h"
#include "storage/ledger_convention.h"
#include "storage/ledger_fields.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// How a row of 账库 enters the parent's page, in the order of a day's rows.
enum class Kind { Opening, Entry, MonthTotal, YearTotal, Other };

Kind kindOf(const Record& r, const LedgerFields& f) {
    if (r[f.number].integer() != 0) return Kind::Entry;
    const std::string& summary = r[f.summary].text();
    if (summary == kOpeningSummary) return Kind::Opening;
    if (summary == kMonthTotal) return Kind::MonthTotal;
    if (summary == kYearTotal) return Kind::YearTotal;
    return Kind::Other;
}

const char* summaryOf(Kind kind) {
    if (kind == Kind::Opening) return kOpeningSummary;
    return kind == Kind::MonthTotal ? kMonthTotal : kYearTotal;
}

// A row of the parent's own: no voucher, amounts and balance in cents.
LedgerRow parentRow(double day, const char* summary, const std::string& account,
                    std::int64_t debit, std::int64_t credit, std::int64_t balance) {
    LedgerRow row;
    row.date = day;
    row.summary = summary;
    row.account = account;
    row.debit = fromCents(debit);
    row.credit = fromCents(credit);
    row.balance = fromCents(balance);
    row.side = sideOf(row.balance);
    return row;
}

// The parent's balance at the start of the day `from`, in cents: per account,
// its last "期初余额" row before that day plus its entries from that row's
// day on (an account without such a row: every entry before `from`).
std::int64_t balanceBefore(const Table& ledger, const LedgerFields& f,
                           const std::vector<Value>& accounts, double from) {
    struct Opened {
        double day = 0;
        std::int64_t balance = 0;
    };
    std::map<std::string, Opened> opened;
    ledger.forEach(Where()
                       .oneOf(field::kAccount, accounts)
                       .below(field::kVoucherDate, from)
                       .equal(field::kVoucherNo, 0)
                       .equal(field::kSummary, kOpeningSummary),
                   [&](const Record& r) {
                       const double day = std::floor(r[f.date].number());
                       auto [it, first] = opened.try_emplace(r[f.account].text());
                       if (first || day >= it->second.day)
                           it->second = Opened{day, toCents(r[f.balance].number())};
                       return true;
                   });
    std::int64_t balance = 0;
    double earliest = from;
    for (const auto& account : opened) {
        balance += account.second.balance;
        earliest = std::min(earliest, account.second.day);
    }
    // An account without an opening row before `from` was first posted after
    // the last of them: every account posted by a December close has the
    // next January's row. So the entries before the earliest row count for none.
    Where entries = Where()
                        .oneOf(field::kAccount, accounts)
                        .below(field::kVoucherDate, from)
                        .notEqual(field::kVoucherNo, 0);
    if (!opened.empty()) entries.atLeast(field::kVoucherDate, earliest);
    ledger.forEach(entries, [&](const Record& r) {
        const auto it = opened.find(r[f.account].text());
        if (it != opened.end() && std::floor(r[f.date].number()) < it->second.day) return true;
        balance += toCents(r[f.debit].number()) + toCents(r[f.credit].number());
        return true;
    });
    return balance;
}

}  // namespace

std::optional<std::vector<LedgerRow>> parentLedgerRows(RecordStore& store, const Session& session,
                                                       const LedgerRequest& request) {
    // The account itself first, then those below it.
    std::vector<Value> accounts{Value(request.account)};
    for (const std::string& name : accountsAtOrBelow(loadAccounts(store, session), request.account))
        if (name != request.account) accounts.emplace_back(name);
    if (accounts.size() == 1) return std::nullopt;

    const SetTable source(store, session, file::kLedger);
    const Table& ledger = source.table();
    const LedgerFields f(ledger);
    // Only the day counts: a row stamped later on the last day still belongs.
    const double from = std::floor(request.from), after = std::floor(request.to) + 1;

    struct Item {
        double day;
        Kind kind;
        Record record;
    };
    std::vector<Item> items;
    for (Record& r : ledger.select(Where()
                                       .oneOf(field::kAccount, accounts)
                                       .atLeast(field::kVoucherDate, from)
                                       .below(field::kVoucherDate, after))) {
        const Kind kind = kindOf(r, f);
        if (kind == Kind::Other) continue;
        const double day = std::floor(r[f.date].number());
        items.push_back({day, kind, std::move(r)});
    }
    // By day, a day's rows by kind, its entries in record order.
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return a.day != b.day ? a.day < b.day : a.kind < b.kind;
    });

    std::vector<LedgerRow> rows;
    std::int64_t balance = 0;  // the parent's, in cents
    const bool openedOnFirstDay = std::any_of(items.begin(), items.end(), [&](const Item& i) {
        return i.kind == Kind::Opening && i.day == from;
    });
    if (!openedOnFirstDay) {
        balance = balanceBefore(ledger, f, accounts, from);
        rows.push_back(parentRow(from, kOpeningSummary, request.account, 0, 0, balance));
    }
    for (std::size_t i = 0; i < items.size();) {
        const Item& first = items[i];
        if (first.kind == Kind::Entry) {
            const Record& r = first.record;
            balance += toCents(r[f.debit].number()) + toCents(r[f.credit].number());
            LedgerRow row;
            row.date = r[f.date].number();
            row.voucherNumber = r[f.number].integer();
            row.summary = r[f.summary].text();
            row.account = r[f.account].text();
            row.debit = r[f.debit].number();
            row.credit = r[f.credit].number();
            row.balance = fromCents(balance);
            row.side = sideOf(row.balance);
            rows.push_back(std::move(row));
            ++i;
            continue;
        }
        // The day's rows of one kind, summed.
        std::int64_t debit = 0, credit = 0, sum = 0;
        std::size_t j = i;
        for (; j < items.size() && items[j].day == first.day && items[j].kind == first.kind; ++j) {
            const Record& r = items[j].record;
            debit += toCents(r[f.debit].number());
            credit += toCents(r[f.credit].number());
            sum += toCents(r[f.balance].number());
        }
        if (first.kind == Kind::Opening) balance = sum;
        rows.push_back(parentRow(first.day, summaryOf(first.kind), request.account, debit, credit,
                                 balance));
        i = j;
    }
    return rows;
}

}  // namespace tw
