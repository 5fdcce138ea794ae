// The statements on ten years of books (ten_year_books.h: a 账库 of
// 1,000,000 rows over 200 accounts), in a copy made once that a close would
// have left: the set enabled and its period in January 2023, its 200 accounts in the chart (top-level, of
// every category), and per account and month the "本月合计" row of 账库,
// with a carry-forward entry (and its voucher, of the close's 种类) for each
// profit-and-loss account; liabilities and equity on the credit side, so
// that the balance sheet balances. Measured:
// one month's balance sheet, one month's income statement (December: the
// year to date reads all twelve months) and a twelve-month 科目余额表; and,
// in a copy with 500 posted vouchers a month on 银行存款 (half received, half
// paid), December's cash-flow statement.
#include <benchmark/benchmark.h>

#include "statements/account_balances.h"
#include "statements/cash_flow.h"
#include "statements/statement.h"
#include "ten_year_books.h"

namespace {

using namespace tw;
using namespace tw::bench;

Session& statementBooks() {
    static Session session = [] {
        Session s = books();
        s.dataDir = keptFolder("statements-v3");
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
        {
            // 负债类 and 权益类 with credit balances, and the year's opening 0 throughout.
            Action a(store);
            openSetTable(store, s, file::kGeneralLedger);
            Table general = store.table(tablePath(s, file::kGeneralLedger));
            std::vector<Value> credited;
            for (int k = 0; k < kAccounts; ++k)
                if (k % 5 == 1 || k % 5 == 2) credited.emplace_back(accountName(k));
            const int debit = general.position(field::kDebit), credit = general.position(field::kCredit),
                      side = general.position(field::kBalanceSide), balance = general.position(field::kBalance);
            for (const Record& r : general.select(Where().oneOf(field::kAccount, credited)))
                general.update(r, {{debit, 300.0}, {credit, -600.0}, {side, std::string("贷")}, {balance, -300.0}});
            a.commit();
            store.closeTable();
        }
        std::ofstream(ready) << "ok";
        return s;
    }();
    return session;
}

// statementBooks with, each month, 250 posted vouchers of 100 received into
// 银行存款 against 主营业务收入 and 250 of 100 paid from it for 管理费用:
// their 账库 entries on 银行存款 and its month rows in 总账库 (a balance of 0,
// so the balance sheet keeps balancing).
Session& cashFlowBooks() {
    static Session session = [] {
        Session s = statementBooks();
        s.dataDir = keptFolder("cash-flow-v1");
        const fs::path ready = s.dataDir / "ready";
        if (fs::exists(ready)) return s;
        fs::remove_all(s.dataDir);
        fs::copy(statementBooks().dataDir, s.dataDir, fs::copy_options::recursive);
        fs::remove(ready);
        RecordStore store(s.dataDir);
        constexpr int kEach = 250;
        for (int m = 0; m < kYears * 12; ++m) {
            Action a(store);
            openSetTable(store, s, file::kVouchers);
            Table vouchers = store.table(tablePath(s, file::kVouchers));
            openSetTable(store, s, file::kLedger);
            Table ledger = store.table(tablePath(s, file::kLedger));
            openSetTable(store, s, file::kGeneralLedger);
            Table general = store.table(tablePath(s, file::kGeneralLedger));
            const auto at = [&](const std::string& f) { return vouchers.position(f); };
            const double last = monthStart(m + 1) - 1;
            double bank = 0;
            for (int i = 0; i < 2 * kEach; ++i) {
                const bool received = i % 2 == 0;
                const double day = monthStart(m) + i % 28;
                const int number = 10000 * (m % 12 + 1) + i + 1;
                std::vector<Value> page;
                for (const FieldDef& f : vouchersSchema()) page.push_back(emptyValue(f.type));
                page[at(field::kMonthNumber)] = static_cast<double>(number);
                page[at(field::kPage)] = 1;
                page[at(field::kPageCount)] = 1;
                page[at(field::kDate)] = day;
                page[at(field::lineSummary(1))] = page[at(field::lineSummary(2))] = std::string("收付");
                page[at(field::lineAccount(1))] = std::string(received ? "银行存款" : "管理费用");
                page[at(field::lineAccount(2))] = std::string(received ? "主营业务收入" : "银行存款");
                page[at(field::lineDebit(1))] = page[at(field::lineCredit(2))] = 100.0;
                page[at(field::kDebitTotal)] = page[at(field::kCreditTotal)] = 100.0;
                page[at(field::kPreparer)] = page[at(field::kReviewer)] = page[at(field::kPoster)] = std::string("张三");
                vouchers.append(page);
                bank += received ? 100 : -100;
                ledger.append({day, number, "收付", "银行存款", received ? 100.0 : 0.0, received ? 0.0 : -100.0,
                               bank > 0 ? "借" : "平", bank});
            }
            for (const char* summary : {"本月合计", "本年累计"})
                general.append({last, 0, summary, "银行存款", 100.0 * kEach, -100.0 * kEach, "平", 0.0});
            a.commit();
            store.closeTable();
            store.closeTable(tablePath(s, file::kVouchers));
            store.closeTable(tablePath(s, file::kLedger));
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

void BM_CashFlowDecember(benchmark::State& state) {
    Session& s = cashFlowBooks();
    RecordStore store(s.dataDir);
    for (auto _ : state) {
        const auto made = runCaught([&] { return cashFlowStatement(store, s, monthPeriod({2022, 12})); });
        if (!made.ok) {
            state.SkipWithError(made.message.c_str());
            break;
        }
        benchmark::DoNotOptimize(made.value);
    }
    reportPeak(state);
}
BENCHMARK(BM_CashFlowDecember)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
