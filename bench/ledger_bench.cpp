// The ledger page of one account on ten years of books (ten_year_books.h: a
// 账库 of 1,000,000 rows over 200 accounts): its rows selected through the
// (科目, 凭证日期) index, formatted and laid out on a copy of 账页.grd — what
// 列出 does — for one month (about 40 rows) and for all ten years (5,000).
#include <benchmark/benchmark.h>

#include "ledgers/ledger_page.h"
#include "ten_year_books.h"

namespace {

using namespace tw;
using namespace tw::bench;

void listPage(benchmark::State& state, LedgerMode mode, double from, double to) {
    Session& s = books();
    RecordStore store(s.dataDir);
    std::size_t rows = 0;
    int k = 0;
    for (auto _ : state) {
        const LedgerRequest request{mode, accountName(k++), from, to};
        const auto listed = runCaught([&] { return listLedgerPage(store, s, request); });
        if (!listed.ok) {
            state.SkipWithError(listed.detail.c_str());
            break;
        }
        rows = listed.value.lines.size();
        benchmark::DoNotOptimize(listed.value.page.rowCount());
    }
    state.counters["rows"] = static_cast<double>(rows);
    reportPeak(state);
}

void BM_LedgerPageOneMonthOf1MRows(benchmark::State& state) {
    listPage(state, LedgerMode::Detail, dayNumber(2018, 6, 1), dayNumber(2018, 6, 30));
}
BENCHMARK(BM_LedgerPageOneMonthOf1MRows)->Unit(benchmark::kMillisecond);

void BM_LedgerPageTenYearsOf1MRows(benchmark::State& state) {
    listPage(state, LedgerMode::Detail, dayNumber(2013, 1, 1), dayNumber(2022, 12, 31));
}
BENCHMARK(BM_LedgerPageTenYearsOf1MRows)->Unit(benchmark::kMillisecond);

void BM_GeneralLedgerPageTenYears(benchmark::State& state) {
    listPage(state, LedgerMode::General, dayNumber(2013, 1, 1), dayNumber(2022, 12, 31));
}
BENCHMARK(BM_GeneralLedgerPageTenYears)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
