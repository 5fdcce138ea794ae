// The record store on ten years of a busy company's books: a 账库 of
// 1,000,000 rows over 200 accounts, a 总账库 of their month rows and a 凭证库
// of 100,000 pages. The books are made once (a few minutes) and kept in the
// temporary folder for later runs.
#include <benchmark/benchmark.h>

#include <fstream>

#include "accounts/chart.h"
#include "bench_support.h"
#include "shell/account_sets.h"
#include "shell/login.h"
#include "shell/session.h"
#include "storage/dates.h"
#include "storage/outcome.h"
#include "storage/schemas.h"
#include "storage/startup.h"

namespace {

using namespace tw;
namespace fs = std::filesystem;

constexpr int kAccounts = 200;
constexpr int kYears = 10;
constexpr int kLedgerRows = 1000000;
constexpr int kVoucherPages = 100000;

std::string accountName(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", i % kAccounts + 1);
    return std::string("科目") + buf;
}

// Month m (0-based from January 2013) and its first day.
double monthStart(int m) { return dayNumber(2013 + m / 12, m % 12 + 1, 1); }

Session& books() {
    static Session session = [] {
        Session s;
        s.dataDir = bench::keptFolder("books-v1");
        const fs::path ready = s.dataDir / "ready";
        prepareDataDir(s.dataDir);
        if (!fs::exists(ready)) {
            fs::remove_all(s.dataDir / "十年账");
            NewSetRequest r{"十年账", "某公司", "张三", "1", "1", dayNumber(2013, 1, 1)};
            const auto made = createAccountSet(s.dataDir, r);
            if (!made.ok) throw std::runtime_error(made.message);
        }
        RecordStore store(s.dataDir);
        s.login.setName = "十年账";
        s.login.setPassword = readBasicInfo(store, s.dataDir, "十年账").setPassword;
        s.login.loggedIn = true;
        s.login.period = dayNumber(2023, 1, 1);
        if (fs::exists(ready)) return s;

        // In chunks of a month, so that making the books stays lean too.
        const int perMonth = kLedgerRows / (kYears * 12);
        for (int m = 0; m < kYears * 12; ++m) {
            Action a(store);
            openSetTable(store, s, file::kLedger);
            Table ledger = store.table(table(s, file::kLedger));
            for (int i = 0; i < perMonth; ++i)
                ledger.append({monthStart(m) + i % 28, 10000 * (m % 12 + 1) + i / 3 + 1, "收到货款",
                               accountName(i), 100.0 + i % 50, 0.0, "借", 1000.0 + i});
            openSetTable(store, s, file::kGeneralLedger);
            Table general = store.table(table(s, file::kGeneralLedger));
            for (int k = 0; k < kAccounts; ++k)
                for (const char* summary : {"本月合计", "本年累计"})
                    general.append({monthStart(m + 1) - 1, 0, summary, accountName(k), 500.0, -300.0,
                                    "借", 200.0});
            a.commit();
        }
        for (int chunk = 0; chunk < 10; ++chunk) {
            Action a(store);
            openSetTable(store, s, file::kVouchers);
            Table vouchers = store.table(table(s, file::kVouchers));
            const int l = vouchers.position("科目1");
            for (int i = 0; i < kVoucherPages / 10; ++i) {
                std::vector<Value> page;
                for (const FieldDef& f : vouchersSchema()) page.push_back(emptyValue(f.type));
                for (int line = 0; line < 3; ++line)
                    page[l + line] = accountName(chunk * 7919 + i * 3 + line);
                vouchers.append(page);
            }
            a.commit();
        }
        {
            Action a(store);
            openSetTable(store, s, file::kBalances);
            for (int k = 0; k < kAccounts; ++k)
                store.appendRecord({accountName(k), 1000.0, -500.0, "借", 500.0});
            a.commit();
        }
        std::ofstream(ready) << "ok";
        return s;
    }();
    return session;
}

// The shape of posting a month: the set's tables opened, 30,000 ledger rows
// appended and the running totals of 200 accounts updated, in one action.
void BM_Append30kAndUpdate200TotalsOn1MRows(benchmark::State& state) {
    Session& s = books();
    RecordStore store(s.dataDir);
    for (auto _ : state) {
        const Outcome out = runAction(store, [&] {
            openSetTable(store, s, file::kLedger);
            Table ledger = store.table(table(s, file::kLedger));
            openSetTable(store, s, file::kBalances);
            for (int i = 0; i < 30000; ++i)
                ledger.append({dayNumber(2023, 1, 1 + i % 28), 10001 + i / 3, "收到货款",
                               accountName(i), 100.0, 0.0, "借", 1000.0 + i});
            for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1)) {
                store.writeField(field::kDebit, store.readField(field::kDebit).number() + 100);
                store.writeField(field::kBalance, store.readField(field::kBalance).number() + 100);
            }
            store.closeTable(table(s, file::kLedger));
            store.closeTable(table(s, file::kBalances));
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
        const auto found = store.table(table(s, file::kLedger))
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
