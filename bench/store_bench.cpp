// The record store at ledger sizes: open + full scan, appends, searches and
// field writes over 100,000 records.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>

#include "storage/record_store.h"
#include "storage/schemas.h"

namespace {

using namespace tw;
namespace fs = std::filesystem;

constexpr int kRows = 100000;

struct BenchDir {
    fs::path path;
    BenchDir() {
        path = fs::temp_directory_path() / ("tallowick-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
    }
    ~BenchDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

const char* kAccounts[] = {"现金", "银行存款→工商银行", "应收账款→华东公司", "主营业务收入",
                           "管理费用→办公费"};

void appendLedgerRows(RecordStore& store, int n) {
    for (int i = 0; i < n; ++i)
        store.appendRecord({Value(46023.0 + i / 300), Value(i % 500 + 1), Value("收到货款"),
                            Value(kAccounts[i % 5]), Value(100.0 + i), Value(-(50.0 + i)),
                            Value("借"), Value(50.0 * i)});
}

// A ledger table of 100,000 rows, made once.
const fs::path& bigLedger(const fs::path& dir) {
    static fs::path path;
    if (path.empty()) {
        path = dir / fs::u8path("账库.edb");
        RecordStore store(dir);
        store.createTable(path, ledgerSchema());
        store.openTable(path, "");
        Action a(store);
        appendLedgerRows(store, kRows);
        a.commit();
    }
    return path;
}

BenchDir& benchDir() {
    static BenchDir d;
    return d;
}

void BM_OpenAndScan100k(benchmark::State& state) {
    const fs::path& path = bigLedger(benchDir().path);
    RecordStore store(benchDir().path);
    for (auto _ : state) {
        store.openTable(path, "");
        double sum = 0;
        for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
            sum += store.readField("借方").number();
        benchmark::DoNotOptimize(sum);
        store.closeTable();
    }
}
BENCHMARK(BM_OpenAndScan100k)->Unit(benchmark::kMillisecond);

void BM_Append100kInOneAction(benchmark::State& state) {
    RecordStore store(benchDir().path);
    const fs::path path = benchDir().path / "append.edb";
    for (auto _ : state) {
        state.PauseTiming();
        store.createTable(path, ledgerSchema());
        store.openTable(path, "");
        state.ResumeTiming();
        Action a(store);
        appendLedgerRows(store, kRows);
        a.commit();
        store.closeTable();
    }
}
BENCHMARK(BM_Append100kInOneAction)->Unit(benchmark::kMillisecond);

void BM_FindRecordIn100k(benchmark::State& state) {
    const fs::path& path = bigLedger(benchDir().path);
    RecordStore store(benchDir().path);
    store.openTable(path, "");
    for (auto _ : state) {
        store.goFirst();
        // An account no row has: a search through the whole table.
        bool found = store.findRecord([](const RecordView& r) {
            return r.integer("凭证编号") == 500 && r.text("科目") == "其他应付款";
        });
        benchmark::DoNotOptimize(found);
    }
}
BENCHMARK(BM_FindRecordIn100k)->Unit(benchmark::kMillisecond);

void BM_WriteField10kInOneAction(benchmark::State& state) {
    const fs::path& path = bigLedger(benchDir().path);
    RecordStore store(benchDir().path);
    store.openTable(path, "");
    std::mt19937 rng(7);
    for (auto _ : state) {
        Action a(store);
        for (int i = 0; i < 10000; ++i) {
            store.goToRecord(1 + static_cast<long>(rng() % kRows));
            store.writeField("余额", static_cast<double>(i));
        }
        a.commit();
    }
}
BENCHMARK(BM_WriteField10kInOneAction)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
