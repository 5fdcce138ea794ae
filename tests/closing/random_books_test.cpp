// A year of random books from a seed: vouchers over many accounts and
// sub-accounts, reviews, postings (some undone and done again), twelve closes,
// the December close into the next year, then an undo close and a re-close.
// After every step the accounting identities are checked in the table files.
//
// TALLOWICK_SEED picks another seed; TALLOWICK_BOOK_YEARS makes longer books.
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "accounts/chart.h"
#include "closing/period.h"
#include "closing_fixture.h"
#include "storage/ledger_convention.h"

namespace tw::test {
namespace {

long long cents(double x) { return std::llround(x * 100); }

class RandomBooks : public ClosingTest {
protected:
    std::mt19937 rng;
    std::vector<std::string> leaves;
    std::map<std::string, std::string> categoryOf;  // every account's category
    int vouchers = 0;

    int pick(int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); }
    double amount() { return (1 + pick(2000000)) / 100.0; }  // 0.01 … 20,000.00

    void SetUp() override {
        ClosingTest::SetUp();
        const char* seed = std::getenv("TALLOWICK_SEED");
        rng.seed(seed ? static_cast<unsigned>(std::atol(seed)) : 20130101u);
        // The books start in January, so that the year has twelve closes.
        session.login.period = dayNumber(2013, 1, 1);
        {
            Action a(*store);
            openSetTable(*store, session, file::kBasicInfo);
            store->writeField(field::kStartDate, session.login.period);
            store->writeField(field::kPeriod, session.login.period);
            a.commit();
            store->closeTable();
        }

        for (const auto& [parent, subs] :
             std::vector<std::pair<std::string, std::vector<std::string>>>{
                 {"银行存款", {"工商银行", "建设银行"}},
                 {"应收账款", {"甲公司", "乙公司", "丙公司"}},
                 {"管理费用", {"办公费", "差旅费", "工资"}},
                 {"主营业务收入", {"商品销售", "技术服务"}},
                 {"应付账款", {"丁公司"}}})
            for (const auto& sub : subs) addSub(parent, sub);
        addSub("银行存款→工商银行", "活期");
        const auto chart = loadAccounts(*store, session);
        for (const Account& a : chart) {
            categoryOf[a.name] = a.category;
            bool parent = false;
            for (const Account& b : chart) parent = parent || b.parent == a.name;
            if (!parent) leaves.push_back(a.name);
        }
    }

    // Random balanced openings over some of the balance-sheet leaves.
    void openBooks() {
        std::vector<std::pair<std::string, double>> openings;
        long long net = 0;
        for (int i = 0; i < 12; ++i) {
            const std::string& a = leaves[pick(static_cast<int>(leaves.size()))];
            if (categoryOf[a] == "损益类" || a == "实收资本") continue;
            bool seen = false;
            for (const auto& o : openings) seen = seen || o.first == a;
            if (seen) continue;
            const double x = (pick(2) ? 1 : -1) * amount();
            openings.push_back({a, x});
            net += cents(x);
        }
        openings.push_back({"实收资本", -net / 100.0});
        enableWith(openings);
    }

    // A random balanced voucher of one to four lines on leaf accounts.
    void randomVoucher(bool reviewed) {
        const int n = 2 + pick(3);
        std::vector<Line> lines;
        long long net = 0;
        for (int i = 0; i < n - 1; ++i) {
            const double x = amount();
            const bool debit = pick(2) == 0;
            lines.push_back({leaves[pick(static_cast<int>(leaves.size()))], debit ? x : 0,
                             debit ? 0 : x, "随机业务"});
            net += debit ? cents(x) : -cents(x);
        }
        const std::string last = leaves[pick(static_cast<int>(leaves.size()))];
        if (net > 0)
            lines.push_back({last, 0, net / 100.0, "随机业务"});
        else
            lines.push_back({last, -net / 100.0, 0, "随机业务"});
        const int month = toYmd(session.login.period).month;
        const double day = firstDayOfMonth(session.login.period) +
                           pick(daysInMonth(toYmd(session.login.period).year, month));
        addVoucher(day, month * 10000.0 + (++vouchers), lines, reviewed);
    }

    void reviewAll() {
        Action a(*store);
        openSetTable(*store, session, file::kVouchers);
        Table t = store->table(table(session, file::kVouchers));
        const int reviewer = t.position(field::kReviewer);
        for (const Record& r : t.select())
            if (r[reviewer].text().empty()) t.update(r, {{reviewer, std::string("李四")}});
        a.commit();
        store->closeTable();
    }

    // ---- the identities -------------------------------------------------

    struct Chain {
        long long balance = 0, debit = 0, credit = 0;
        bool started = false;
    };

    void checkBooks(const std::string& step) {
        SCOPED_TRACE(step);
        const auto ledger = rows(file::kLedger);
        std::map<std::string, Chain> chains;
        std::map<std::pair<int, int>, long long> monthNet;  // (year, month) → Σ entries
        // Each account's leaf balance at the end of each closed month.
        std::map<std::pair<int, int>, std::map<std::string, long long>> monthEnd;
        for (const auto& r : ledger) {
            const std::string& account = r[3].text();
            const std::string& summary = r[2].text();
            const long long d = cents(r[4].number()), c = cents(r[5].number()),
                            bal = cents(r[7].number());
            Chain& ch = chains[account];
            const Ymd date = toYmd(r[0].number());
            ASSERT_EQ(r[6].text(), sideOf(r[7].number())) << account;
            if (r[1].integer() != 0) {  // a voucher entry continues the chain (from 0
                ch.started = true;      // for an account without an opening)
                ch.balance += d + c;
                ch.debit += d;
                ch.credit += c;
                ASSERT_EQ(bal, ch.balance) << account << " on " << formatDate(r[0].number());
                monthNet[{date.year, date.month}] += d + c;
            } else if (summary == kOpeningSummary && !ch.started) {
                ch.started = true;
                ch.balance = bal;
                ch.debit = d;
                ch.credit = c;
                ASSERT_EQ(bal, d + c) << account;
            } else {
                // 本月合计, 本年累计 and a new year's 期初余额 repeat the balance.
                ASSERT_EQ(bal, ch.balance) << account << " " << summary;
                if (summary == kMonthTotal) monthEnd[{date.year, date.month}][account] = bal;
            }
        }
        for (const auto& [month, net] : monthNet)
            EXPECT_EQ(net, 0) << "debits and credits of " << month.first << "-" << month.second;

        // 账库辅1 is the end of every chain.
        for (const auto& t : rows(file::kBalances)) {
            const Chain& ch = chains[t[0].text()];
            EXPECT_EQ(cents(t[4].number()), ch.balance) << t[0].text();
            EXPECT_EQ(cents(t[1].number()), ch.debit) << t[0].text();
            EXPECT_EQ(cents(t[2].number()), ch.credit) << t[0].text();
            EXPECT_EQ(t[3].text(), sideOf(t[4].number())) << t[0].text();
        }

        // Every 总账库 month row holds the sum of its leaves at that month's
        // end, and every top-level account with a balance has its row.
        std::set<std::tuple<int, int, std::string>> yearRows;
        for (const auto& g : rows(file::kGeneralLedger)) {
            const std::string& summary = g[2].text();
            if (summary == kOpeningSummary) continue;
            const Ymd date = toYmd(g[0].number());
            if (summary == kYearTotal) yearRows.insert({date.year, date.month, g[3].text()});
            long long sum = 0;
            for (const auto& [account, bal] : monthEnd[{date.year, date.month}])
                if (topLevelAccount(account) == g[3].text()) sum += bal;
            EXPECT_EQ(cents(g[7].number()), sum)
                << g[3].text() << " " << summary << " " << formatDate(g[0].number());
            if (summary == kYearTotal) {
                EXPECT_EQ(cents(g[4].number()) + cents(g[5].number()), cents(g[7].number()))
                    << g[3].text();
            }
        }
        checkEveryBalanceHasItsRow(monthEnd, yearRows);
    }

    void checkEveryBalanceHasItsRow(
        const std::map<std::pair<int, int>, std::map<std::string, long long>>& monthEnd,
        const std::set<std::tuple<int, int, std::string>>& yearRows) {
        for (const auto& [month, balances] : monthEnd) {
            std::map<std::string, long long> tops;
            for (const auto& [account, bal] : balances) tops[topLevelAccount(account)] += bal;
            for (const auto& [top, bal] : tops)
                if (bal != 0) {
                    EXPECT_TRUE(yearRows.count({month.first, month.second, top}))
                        << top << " has a balance but no 本年累计 row in " << month.first << "-"
                        << month.second;
                }
        }
    }

    void checkProfitAndLossCleared() {
        for (const auto& t : rows(file::kBalances))
            if (categoryOf[t[0].text()] == "损益类") {
                EXPECT_EQ(cents(t[4].number()), 0) << t[0].text() << " after the close";
            }
    }

    std::vector<std::vector<std::vector<Value>>> allTables() {
        return {rows(file::kLedger), rows(file::kGeneralLedger), rows(file::kBalances),
                rows(file::kVouchers), rows(file::kBasicInfo)};
    }
};

TEST_F(RandomBooks, EveryFigureAgreesAfterEveryStep) {
    openBooks();
    checkBooks("opening");
    const char* years = std::getenv("TALLOWICK_BOOK_YEARS");
    const int months = 12 * std::max(1, years ? std::atoi(years) : 1);
    for (int m = 0; m < months; ++m) {
        const std::string month = periodText(session.login.period);
        const int count = 8 + pick(20);
        for (int i = 0; i < count; ++i) randomVoucher(pick(4) != 0);
        ASSERT_TRUE(post().ok);
        checkBooks(month + " first posting");
        if (pick(3) == 0) {
            ASSERT_TRUE(undoPost().ok);
            checkBooks(month + " undo posting");
        }
        reviewAll();
        ASSERT_TRUE(post().ok);
        checkBooks(month + " all posted");
        const auto closed = close();
        ASSERT_TRUE(closed.ok) << month << " " << closed.message;
        checkBooks(month + " closed");
        checkProfitAndLossCleared();
        if (::testing::Test::HasFailure()) return;
    }
    EXPECT_EQ(session.login.period, dayNumber(2013 + months / 12, 1, 1));

    // Undo the last close, and the one before; closing again gives the same tables.
    const auto closedTables = allTables();
    ASSERT_TRUE(reopen().ok);
    checkBooks("reopened");
    ASSERT_TRUE(undoPost().ok);
    checkBooks("reopened and unposted");
    ASSERT_TRUE(post().ok);
    ASSERT_TRUE(close().ok);
    checkBooks("closed again");
    // The carry-forward vouchers are posted again as they were and find
    // nothing more to carry: every table is as after the first close.
    const auto again = allTables();
    const char* names[] = {"账库", "总账库", "账库辅1", "凭证库", "基本信息"};
    for (size_t i = 0; i < again.size(); ++i) EXPECT_EQ(again[i], closedTables[i]) << names[i];
}

}  // namespace
}  // namespace tw::test
