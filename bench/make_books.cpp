// make_books DIR SET HISTORY HISTORY_PAGES PAGES [JOURNAL]
//
// Makes the books the command benchmarks (bench/commands.sh) run on, in the
// account-set directory DIR: the set SET (administrator 张三, password 1),
// started in January 2013 and enabled, holding HISTORY months of
// HISTORY_PAGES reviewed voucher pages each, every one of them posted and
// closed, and then an open month of PAGES reviewed pages, not posted. Every
// page has three balanced lines over 200 leaf accounts (科目001 … 科目200).
// With JOURNAL, the open month's vouchers are written there too as a
// plain-text ledger journal (one transaction per page), for the peer.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "closing/period.h"
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

std::string accountName(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03d", i % kAccounts + 1);
    return std::string("科目") + buf;
}

// One page of the month: its day, number and the three lines' amounts.
struct Page {
    double day;
    int number;
    double x, y;
    std::string account(int line) const { return accountName(index * 3 + line); }
    int index;
};

Page pageOf(double period, int i) {
    const Ymd p = toYmd(period);
    return {period + i % 28, p.month * 10000 + i % 9999 + 1, 100.0 + i % 97, 50.0 + i % 41, i};
}

void writeMonth(RecordStore& store, const Session& s, int pages) {
    const Outcome out = runAction(store, [&] {
        SetTable vouchers(store, s, file::kVouchers);
        Table& t = vouchers.table();
        std::vector<Value> blank;
        for (const FieldDef& f : t.schema()) blank.push_back(emptyValue(f.type));
        const auto at = [&](const std::string& f) { return t.position(f); };
        for (int i = 0; i < pages; ++i) {
            const Page g = pageOf(s.login.period, i);
            std::vector<Value> page = blank;
            page[at(field::kMonthNumber)] = g.number;
            page[at(field::kPage)] = 1;
            page[at(field::kPageCount)] = 1;
            page[at(field::kDate)] = g.day;
            for (int l = 1; l <= 3; ++l) {
                page[at(field::lineSummary(l))] = std::string("销售商品");
                page[at(field::lineAccount(l))] = g.account(l);
            }
            page[at(field::lineDebit(1))] = g.x + g.y;
            page[at(field::lineCredit(2))] = g.x;
            page[at(field::lineCredit(3))] = g.y;
            page[at(field::kDebitTotal)] = g.x + g.y;
            page[at(field::kCreditTotal)] = g.x + g.y;
            page[at(field::kPreparer)] = std::string("张三");
            page[at(field::kReviewer)] = std::string("李四");
            t.append(page);
        }
    });
    if (!out.ok) throw std::runtime_error(out.detail);
}

void writeJournal(const fs::path& path, double period, int pages) {
    std::ofstream j(path, std::ios::binary | std::ios::trunc);
    for (int i = 0; i < pages; ++i) {
        const Page g = pageOf(period, i);
        const Ymd d = toYmd(g.day);
        char date[16];
        std::snprintf(date, sizeof date, "%04d/%02d/%02d", d.year, d.month, d.day);
        j << date << " * 销售商品 " << g.number << '\n'
          << "    " << g.account(1) << "  " << g.x + g.y << '\n'
          << "    " << g.account(2) << "  " << -g.x << '\n'
          << "    " << g.account(3) << "  " << -g.y << "\n\n";
    }
    if (!j) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace

int main(int argc, char** argv) try {
    if (argc < 6) {
        std::cerr << "usage: make_books DIR SET HISTORY HISTORY_PAGES PAGES [JOURNAL]\n";
        return 2;
    }
    Session s;
    s.dataDir = fs::u8path(argv[1]);
    const std::string name = argv[2];
    const int history = std::atoi(argv[3]), historyPages = std::atoi(argv[4]),
              pages = std::atoi(argv[5]);
    fs::create_directories(s.dataDir);
    prepareDataDir(s.dataDir);
    fs::remove_all(s.dataDir / fs::u8path(name));
    NewSetRequest r{name, "某公司", "张三", "1", "1", dayNumber(2013, 1, 1)};
    if (const auto made = createAccountSet(s.dataDir, r); !made.ok)
        throw std::runtime_error(made.message);
    RecordStore store(s.dataDir);
    s.login.setName = name;
    s.login.userName = "张三";
    s.login.setPassword = readBasicInfo(store, s.dataDir, name).setPassword;
    s.login.loggedIn = true;
    s.login.period = dayNumber(2013, 1, 1);
    runAction(store, [&] {
        openSetTable(store, s, file::kBasicInfo);
        store.writeField(field::kEnabled, true);
        store.closeTable();
    });
    for (int m = 0; m < history; ++m) {
        writeMonth(store, s, historyPages);
        runAction(store, [&] { postReviewedVouchers(store, s); });
        const auto closed = runAction(store, [&] { return closePeriod(store, s); });
        if (!closed.ok) throw std::runtime_error(closed.message + " " + closed.detail);
        s.login.period = closed.value.period;
        if (m % 12 == 11) std::cerr << "closed " << YearMonth::of(s.login.period - 1).text() << '\n';
    }
    writeMonth(store, s, pages);
    if (argc > 6) writeJournal(fs::u8path(argv[6]), s.login.period, pages);
    return 0;
} catch (const std::exception& e) {
    std::cerr << "make_books: " << e.what() << '\n';
    return 1;
}
