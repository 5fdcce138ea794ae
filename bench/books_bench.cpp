// The record store on ten years of a busy company's books (ten_year_books.h):
// a 账库 of 1,000,000 rows over 200 accounts, a 总账库 of their month rows and
// a 凭证库 of 100,000 pages.
#include <benchmark/benchmark.h>

#include "accounts/chart.h"
#include "ten_year_books.h"

namespace {

using namespace tw;
using namespace tw::bench;

// The shape of posting a month: the set's tables opened, 30,000 ledger rows
// appended and the running totals of 200 accounts updated, in one action.
void BM_Append30kAndUpdate200TotalsOn1MRows(benchmark::State& state) {
    Session& s = books();
    RecordStore store(s.dataDir);
    for (auto _ : state) {
        const Outcome out = runAction(store, [&] {
            openSetTable(store, s, file::kLedger);
            Table ledger = store.table(tablePath(s, file::kLedger));
            openSetTable(store, s, file::kBalances);
            for (int i = 0; i < 30000; ++i)
                ledger.append({dayNumber(2023, 1, 1 + i % 28), 10001 + i / 3, "收到货款",
                               accountName(i), 100.0, 0.0, "借", 1000.0 + i});
            for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1)) {
                store.writeField(field::kDebit, store.readField(field::kDebit).number() + 100);
                store.writeField(field::kBalance, store.readField(field::kBalance).number() + 100);
            }
            store.closeTable(tablePath(s, file::kLedger));
            store.closeTable(tablePath(s, file::kBalances));
        });
        if (!out.ok) state.SkipWithError(out.detail.c_str());
    }
    bench::reportPeak(state);
}
BENCHMARK(BM_Append30kAndUpdate200TotalsOn1MRows)->Unit(benchmark::kMillisecond)->Iterations(3);

// One account's rows between two dates, as the ledger page lists them.
void accountRows(benchmark::State& state, double from, double to) {
    Session& s = books();
    RecordStore store(s.dataDir);
    size_t rows = 0;
    int k = 0;
    for (auto _ : state) {
        openSetTable(store, s, file::kLedger);
        const auto found = store.table(tablePath(s, file::kLedger))
                               .select(Where()
                                           .equal(field::kAccount, accountName(k++))
                                           .between(field::kVoucherDate, from, to));
        rows = found.size();
        store.closeTable();
    }
    state.counters["rows"] = static_cast<double>(rows);
    bench::reportPeak(state);
}

void BM_OneAccountOneMonthOf1MRows(benchmark::State& state) {
    accountRows(state, dayNumber(2018, 6, 1), dayNumber(2018, 6, 30));
}
BENCHMARK(BM_OneAccountOneMonthOf1MRows)->Unit(benchmark::kMillisecond);

void BM_OneAccountTenYearsOf1MRows(benchmark::State& state) {
    accountRows(state, dayNumber(2013, 1, 1), dayNumber(2022, 12, 31));
}
BENCHMARK(BM_OneAccountTenYearsOf1MRows)->Unit(benchmark::kMillisecond);

// Whether an account has been used, over every table of the set.
void BM_AccountInUseOn1MRows(benchmark::State& state) {
    Session& s = books();
    RecordStore store(s.dataDir);
    bool used = false;
    for (auto _ : state) {
        // An account no table names: every look-up runs to its end.
        const auto out = runCaught([&] { return accountInUse(store, s, "从未用过的科目"); });
        used = out.value;
    }
    benchmark::DoNotOptimize(used);
    bench::reportPeak(state);
}
BENCHMARK(BM_AccountInUseOn1MRows)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
