// Vouchers on a year of books: 10,000 pages in 凭证库, the last month (the
// current period) holding 1,000 of them. Measured as the voucher window does
// its work: opening on the newest page, 新建凭证 with its numbering, one review
// toggle, and 审撤全部 over the month. The books are made once and kept; each
// run works on a fresh copy of them.
#include <benchmark/benchmark.h>

#include <fstream>

#include "bench_support.h"
#include "shell/account_sets.h"
#include "shell/login.h"
#include "shell/session.h"
#include "startup/start_up.h"
#include "storage/dates.h"
#include "storage/outcome.h"
#include "storage/schemas.h"
#include "vouchers/record_view.h"
#include "vouchers/review.h"
#include "vouchers/voucher_edits.h"
#include "vouchers/voucher_totals.h"

namespace {

using namespace tw;
namespace fs = std::filesystem;

constexpr int kPages = 10000;
constexpr int kMonthPages = 1000;  // in December, the current period
const char* const kSetName = "一年账";
const char* const kAccounts[] = {"现金", "银行存款", "应收账款", "库存商品", "主营业务收入",
                                 "应付账款", "管理费用", "销售费用"};

// One page: two lines of a single-page voucher, or the pages of a two-page
// voucher (every tenth voucher), balanced; months before December posted.
void appendMonth(VoucherTable& vouchers, int month, int pages, bool posted) {
    double number = month * 10000 + 1;
    for (int i = 0; i < pages;) {
        const bool twoPages = (i / 2) % 10 == 9 && i + 1 < pages;
        const int count = twoPages ? 2 : 1;
        for (int k = 1; k <= count; ++k, ++i) {
            VoucherPage p;
            p.number = number;
            p.page = k;
            p.pageCount = count;
            p.date = dayNumber(2013, month, 1 + i % 28);
            const double amount = 100.0 + i % 97;
            p.lines[0] = {"收到货款", kAccounts[i % 8], amount, 0};
            p.lines[1] = {"收到货款", kAccounts[(i + 3) % 8], 0, amount};
            if (k == count) p.debitTotal = p.creditTotal = amount * count;
            p.preparer = "张三";
            if (posted) p.reviewer = p.poster = "李四";
            vouchers.append(p);
        }
        number += 1;
    }
}

const fs::path& books() {
    static const fs::path dir = [] {
        const fs::path d = bench::keptFolder("vouchers-v2");
        const fs::path ready = d / "ready";
        if (fs::exists(ready)) return d;
        prepareDataDir(d);
        fs::remove_all(d / kSetName);
        NewSetRequest r{kSetName, "某公司", "张三", "1", "1", dayNumber(2013, 1, 1)};
        const auto made = createAccountSet(d, r);
        if (!made.ok) throw std::runtime_error(made.message);
        Session s;
        s.dataDir = d;
        s.login.setName = kSetName;
        RecordStore store(d);
        s.login.setPassword = readBasicInfo(store, d, kSetName).setPassword;
        // Vouchers are written in an enabled set only.
        runAction(store, [&] {
            openSetTable(store, s, file::kBasicInfo);
            store.writeField(field::kEnabled, true);
            store.closeTable();
        });
        const int perMonth = (kPages - kMonthPages) / 11;
        for (int month = 1; month <= 12; ++month) {
            Action a(store);
            VoucherTable vouchers(store, s);
            appendMonth(vouchers, month, month == 12 ? kMonthPages : perMonth, month < 12);
            a.commit();
        }
        std::ofstream(ready) << "ok";
        return d;
    }();
    return dir;
}

// A fresh copy of the kept books for one benchmark, logged in in December.
struct Copy {
    fs::path dir;
    Session session;
    Copy() {
        dir = fs::temp_directory_path() / ("tallowick-bench-vouchers-run-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::copy(books(), dir, fs::copy_options::recursive);
        session.dataDir = dir;
        session.login.loggedIn = true;
        session.login.setName = kSetName;
        session.login.userName = "张三";
        RecordStore store(dir);
        session.login.setPassword = readBasicInfo(store, dir, kSetName).setPassword;
        session.login.period = dayNumber(2013, 12, 1);
    }
    ~Copy() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

void fail(benchmark::State& state, const Outcome& out) {
    if (!out.ok) state.SkipWithError((out.message + " " + out.detail).c_str());
}

// What the window does on opening: the record view on the newest page, the
// page and its totals.
void BM_OpenWindowOnNewestPageOf10k(benchmark::State& state) {
    Copy c;
    for (auto _ : state) {
        RecordStore store(c.dir);
        VoucherRecordView view;
        const auto shown = runCaught([&] {
            view.load(store, c.session);
            const VoucherTable vouchers(store, c.session);
            const VoucherPage page = vouchers.page(view.current());
            return voucherTotals(vouchers, page).debit;
        });
        fail(state, shown);
        benchmark::DoNotOptimize(shown.value);
    }
    bench::reportPeak(state);
}
BENCHMARK(BM_OpenWindowOnNewestPageOf10k)->Unit(benchmark::kMillisecond);

// 翻到上一张 right after opening: the record order of the whole table is read
// once, then the page before is shown.
void BM_FirstPageBackOn10k(benchmark::State& state) {
    Copy c;
    for (auto _ : state) {
        RecordStore store(c.dir);
        VoucherRecordView view;
        const auto shown = runCaught([&] {
            view.load(store, c.session);
            view.move(store, c.session, -1);
            const VoucherTable vouchers(store, c.session);
            return voucherTotals(vouchers, vouchers.page(view.current())).debit;
        });
        fail(state, shown);
        benchmark::DoNotOptimize(shown.value);
    }
    bench::reportPeak(state);
}
BENCHMARK(BM_FirstPageBackOn10k)->Unit(benchmark::kMillisecond);

// 新建凭证 on the newest (complete) page: the check, the numbering over the
// month's 1,000 pages, the append and its commit.
void BM_NewVoucherOn10k(benchmark::State& state) {
    Copy c;
    RecordStore store(c.dir);
    VoucherRecordView view;
    fail(state, runCaught([&] { view.load(store, c.session); }));
    std::int64_t shown = view.current();
    for (auto _ : state) {
        // The new voucher gets a line pair so the next one finds it complete.
        const auto made = runAction(store, [&] {
            const std::int64_t id = newVoucher(store, c.session, shown, 15);
            setLineAccount(store, c.session, id, 1, "现金");
            setLineAmount(store, c.session, id, 1, Side::Debit, 10);
            setLineAccount(store, c.session, id, 2, "银行存款");
            setLineAmount(store, c.session, id, 2, Side::Credit, 10);
            return id;
        });
        fail(state, made);
        shown = made.value;
    }
    bench::reportPeak(state);
}
BENCHMARK(BM_NewVoucherOn10k)->Unit(benchmark::kMillisecond)->Iterations(50);

// 新建凭证 alone (the numbering, the append and the commit).
void BM_NewEmptyVoucherOn10k(benchmark::State& state) {
    Copy c;
    RecordStore store(c.dir);
    for (auto _ : state) fail(state, runAction(store, [&] { return newVoucher(store, c.session, 0, 15); }));
    bench::reportPeak(state);
}
BENCHMARK(BM_NewEmptyVoucherOn10k)->Unit(benchmark::kMillisecond)->Iterations(50);

// 审核或撤销 on the newest page (a balanced voucher of December).
void BM_ReviewToggleOn10k(benchmark::State& state) {
    Copy c;
    RecordStore store(c.dir);
    VoucherRecordView view;
    fail(state, runCaught([&] { view.load(store, c.session); }));
    for (auto _ : state)
        fail(state, runAction(store, [&] { return toggleReview(store, c.session, view.current()); }));
    bench::reportPeak(state);
}
BENCHMARK(BM_ReviewToggleOn10k)->Unit(benchmark::kMillisecond);

// 审撤全部 over December's 1,000 pages, reviewing and undoing in turn.
void BM_ReviewAllMonthOf1000Pages(benchmark::State& state) {
    Copy c;
    RecordStore store(c.dir);
    std::string mode;
    for (auto _ : state) {
        const auto run = runAction(store, [&] { return reviewAll(store, c.session, mode); });
        fail(state, run);
        if (!run.value.done) state.SkipWithError(run.value.message.c_str());
        mode = run.value.mode;
    }
    bench::reportPeak(state);
}
BENCHMARK(BM_ReviewAllMonthOf1000Pages)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
