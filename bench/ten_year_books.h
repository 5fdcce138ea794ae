#pragma once
// Ten years of a busy company's books, made once (a few minutes) and kept in
// the temporary folder for later runs: a 账库 of 1,000,000 rows over 200
// accounts (科目001 … 科目200), a 总账库 of their month rows, a 凭证库 of
// 100,000 pages and the accounts' totals in 账库辅1. Shared by the
// benchmarks that work on large books.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench_support.h"
#include "shell/account_sets.h"
#include "shell/login.h"
#include "shell/session.h"
#include "startup/start_up.h"
#include "storage/dates.h"
#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw::bench {

constexpr int kAccounts = 200;
constexpr int kYears = 10;
constexpr int kLedgerRows = 1000000;
constexpr int kVoucherPages = 100000;

inline std::string accountName(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", i % kAccounts + 1);
    return std::string("科目") + buf;
}

// Month m (0-based from January 2013) and its first day.
inline double monthStart(int m) { return dayNumber(2013 + m / 12, m % 12 + 1, 1); }

inline Session& books() {
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
            Table ledger = store.table(tablePath(s, file::kLedger));
            for (int i = 0; i < perMonth; ++i)
                ledger.append({monthStart(m) + i % 28, 10000 * (m % 12 + 1) + i / 3 + 1, "收到货款",
                               accountName(i), 100.0 + i % 50, 0.0, "借", 1000.0 + i});
            openSetTable(store, s, file::kGeneralLedger);
            Table general = store.table(tablePath(s, file::kGeneralLedger));
            for (int k = 0; k < kAccounts; ++k)
                for (const char* summary : {"本月合计", "本年累计"})
                    general.append({monthStart(m + 1) - 1, 0, summary, accountName(k), 500.0, -300.0,
                                    "借", 200.0});
            a.commit();
        }
        for (int chunk = 0; chunk < 10; ++chunk) {
            Action a(store);
            openSetTable(store, s, file::kVouchers);
            Table vouchers = store.table(tablePath(s, file::kVouchers));
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

}  // namespace tw::bench
