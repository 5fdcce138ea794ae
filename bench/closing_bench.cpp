// Posting and closing a busy month: 10,000 reviewed voucher pages (30,000
// lines) over 200 leaf accounts, in books that already hold eleven months of
// such postings and closes. The books are made once (a minute or so) and kept
// in the temporary folder for later runs.
#include <benchmark/benchmark.h>

#include <fstream>

#include "bench_support.h"
#include "closing/period_close.h"
#include "closing/posting.h"
#include "shell/account_sets.h"
#include "shell/login.h"
#include "shell/session.h"
#include "startup/start_up.h"
#include "storage/dates.h"
#include "storage/outcome.h"
#include "storage/schemas.h"

namespace {

using namespace tw;
namespace fs = std::filesystem;

constexpr int kAccounts = 200;
constexpr int kPages = 10000;

std::string accountName(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", i % kAccounts + 1);
    return std::string("科目") + buf;
}

// A month's reviewed pages: three lines each, balanced.
void writeMonth(RecordStore& store, const Session& s) {
    const Outcome out = runAction(store, [&] {
        openSetTable(store, s, file::kVouchers);
        Table t = store.table(tablePath(s, file::kVouchers));
        std::vector<Value> blank;
        for (const FieldDef& f : t.schema()) blank.push_back(emptyValue(f.type));
        const auto at = [&](const std::string& f) { return t.position(f); };
        const Ymd p = toYmd(s.login.period);
        for (int i = 0; i < kPages; ++i) {
            std::vector<Value> page = blank;
            page[at(field::kMonthNumber)] = p.month * 10000.0 + i % 9999 + 1;
            page[at(field::kPage)] = 1;
            page[at(field::kPageCount)] = 1;
            page[at(field::kDate)] = s.login.period + i % 28;
            const double x = 100 + i % 97, y = 50 + i % 41;
            for (int l = 1; l <= 3; ++l) {
                page[at(field::lineSummary(l))] = std::string("销售商品");
                page[at(field::lineAccount(l))] = accountName(i * 3 + l);
            }
            page[at(field::lineDebit(1))] = x + y;
            page[at(field::lineCredit(2))] = x;
            page[at(field::lineCredit(3))] = y;
            page[at(field::kDebitTotal)] = x + y;
            page[at(field::kCreditTotal)] = x + y;
            page[at(field::kPreparer)] = std::string("张三");
            page[at(field::kReviewer)] = std::string("李四");
            t.append(page);
        }
        store.closeTable();
    });
    if (!out.ok) throw std::runtime_error(out.detail);
}

Session& books() {
    static Session session = [] {
        Session s;
        s.dataDir = bench::keptFolder("closing-v1");
        const fs::path ready = s.dataDir / "ready";
        prepareDataDir(s.dataDir);
        if (!fs::exists(ready)) {
            fs::remove_all(s.dataDir / "忙碌的一年");
            NewSetRequest r{"忙碌的一年", "某公司", "张三", "1", "1", dayNumber(2013, 1, 1)};
            const auto made = createAccountSet(s.dataDir, r);
            if (!made.ok) throw std::runtime_error(made.message);
        }
        RecordStore store(s.dataDir);
        s.login.setName = "忙碌的一年";
        s.login.userName = "张三";
        s.login.setPassword = readBasicInfo(store, s.dataDir, s.login.setName).setPassword;
        s.login.loggedIn = true;
        if (!fs::exists(ready)) {
            s.login.period = dayNumber(2013, 1, 1);
            runAction(store, [&] {
                openSetTable(store, s, file::kBasicInfo);
                store.writeField(field::kEnabled, true);
            });
            // January to November, posted and closed; December written and reviewed.
            for (int m = 1; m <= 11; ++m) {
                writeMonth(store, s);
                runAction(store, [&] { postReviewedVouchers(store, s); });
                const auto closed = runAction(store, [&] { return closePeriod(store, s); });
                if (!closed.ok) throw std::runtime_error(closed.message);
                s.login.period = closed.value.period;
            }
            writeMonth(store, s);
            std::ofstream(ready) << "ok";
        }
        s.login.period = dayNumber(2013, 12, 1);
        return s;
    }();
    return session;
}

void BM_Post10000PagesAfterElevenMonths(benchmark::State& state) {
    Session& s = books();
    RecordStore store(s.dataDir);
    int posted = 0;
    for (auto _ : state) {
        posted = runAction(store, [&] { return postReviewedVouchers(store, s); }).value;
        state.PauseTiming();
        runAction(store, [&] { undoPosting(store, s); });
        state.ResumeTiming();
    }
    state.counters["pages"] = posted;
    bench::reportPeak(state);
}
BENCHMARK(BM_Post10000PagesAfterElevenMonths)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_UndoPostingOfThatMonth(benchmark::State& state) {
    Session& s = books();
    RecordStore store(s.dataDir);
    for (auto _ : state) {
        state.PauseTiming();
        runAction(store, [&] { postReviewedVouchers(store, s); });
        state.ResumeTiming();
        runAction(store, [&] { undoPosting(store, s); });
    }
    bench::reportPeak(state);
}
BENCHMARK(BM_UndoPostingOfThatMonth)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_CloseThatMonth(benchmark::State& state) {
    Session& s = books();
    RecordStore store(s.dataDir);
    runAction(store, [&] { postReviewedVouchers(store, s); });
    for (auto _ : state) {
        const auto closed = runAction(store, [&] { return closePeriod(store, s); });
        state.PauseTiming();
        if (!closed.ok) state.SkipWithError(closed.message.c_str());
        Session next = s;
        next.login.period = closed.value.period;
        runAction(store, [&] { undoClose(store, next); });
        state.ResumeTiming();
    }
    runAction(store, [&] { undoPosting(store, s); });
    bench::reportPeak(state);
}
BENCHMARK(BM_CloseThatMonth)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
