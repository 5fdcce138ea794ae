// The statements on ten years of books (ten_year_books.h: a 账库 of
// 1,000,000 rows over 200 accounts), in a copy made once that a close would
// have left: the set enabled and its period in January 2023, its 200 accounts in the chart (top-level, of
// every category), and per account and month the "本月合计" row of 账库,
// with a carry-forward entry (and its voucher, of the close's 种类) for each
// profit-and-loss account. Measured:
// one month's balance sheet, one month's income statement (December: the
// year to date reads all twelve months) and a twelve-month 科目余额表.
#include <benchmark/benchmark.h>

#include "statements/account_balances.h"
#include "statements/statement.h"
#include "ten_year_books.h"

namespace {

using namespace tw;
using namespace tw::bench;

Session& statementBooks() {
    static Session session = [] {
        Session s = books();
        s.dataDir = keptFolder("statements-v2");
        const fs::path ready = s.dataDir / "ready";
        if (fs::exists(ready)) return s;
        fs::remove_all(s.dataDir);
        fs::copy(books().dataDir, s.dataDir, fs::copy_options::recursive);
        fs::remove(ready);
        RecordStore store(s.dataDir);
        {
            Action a(store);
            openSetTable(store, s, file::kAccounts);
            for (int k = 0; k < kAccounts; ++k) {
                const int category = k % 5;
                store.appendRecord({accountName(k), "", kCategories[category],
                                    category == 1 || category == 2 ? "贷方" : "借方", "", 1});
            }
            openSetTable(store, s, file::kBasicInfo);
            store.goFirst();
            store.writeField(field::kEnabled, true);
            store.writeField(field::kPeriod, s.login.period);  // ten years closed
            a.commit();
            store.closeTable();
            store.closeTable(tablePath(s, file::kAccounts));
        }
        for (int m = 0; m < kYears * 12; ++m) {
            Action a(store);
            openSetTable(store, s, file::kVouchers);
            Table vouchers = store.table(tablePath(s, file::kVouchers));
            std::vector<Value> page;
            for (const FieldDef& f : vouchersSchema()) page.push_back(emptyValue(f.type));
            openSetTable(store, s, file::kLedger);
            Table ledger = store.table(tablePath(s, file::kLedger));
            const double last = monthStart(m + 1) - 1;
            for (int k = 0; k < kAccounts; ++k) {
                const double balance = 1000.0 + 10 * m + k;
                ledger.append({last, 0, "本月合计", accountName(k), 400.0 + k, -390.0, "借", balance});
                if (k % 5 == 4) {  // the carry-forward of a profit-and-loss account
                    const int number = 10000 * (m % 12 + 1) + 9000 + k;
                    ledger.append({last, number, "结转损益", accountName(k), 0.0, -10.0 - k, "平", 0.0});
                    page[vouchers.position(field::kKind)] = "结转损益";
                    page[vouchers.position(field::kMonthNumber)] = static_cast<double>(number);
                    page[vouchers.position(field::kDate)] = last;
                    vouchers.append(page);
                }
            }
            a.commit();
            store.closeTable();
            store.closeTable(tablePath(s, file::kVouchers));
        }
        std::ofstream(ready) << "ok";
        return s;
    }();
    return session;
}

template <typename Make>
void measure(benchmark::State& state, Make make) {
    Session& s = statementBooks();
    RecordStore store(s.dataDir);
    for (auto _ : state) {
        const auto made = runCaught([&] { return make(store, s); });
        if (!made.ok) {
            state.SkipWithError(made.detail.c_str());
            break;
        }
        benchmark::DoNotOptimize(made.value);
    }
    reportPeak(state);
}

void BM_BalanceSheetOneMonth(benchmark::State& state) {
    measure(state, [](RecordStore& store, Session& s) { return balanceSheet(store, s, {2022, 6}); });
}
BENCHMARK(BM_BalanceSheetOneMonth)->Unit(benchmark::kMillisecond);

void BM_IncomeStatementDecember(benchmark::State& state) {
    measure(state, [](RecordStore& store, Session& s) { return incomeStatement(store, s, monthPeriod({2022, 12})); });
}
BENCHMARK(BM_IncomeStatementDecember)->Unit(benchmark::kMillisecond);

void BM_AccountBalancesTwelveMonths(benchmark::State& state) {
    measure(state, [](RecordStore& store, Session& s) {
        return accountBalances(store, s, {2022, 1}, {2022, 12}, 0);
    });
}
BENCHMARK(BM_AccountBalancesTwelveMonths)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
