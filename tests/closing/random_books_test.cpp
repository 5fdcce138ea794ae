// A year of random books from a seed: vouchers over many accounts and
// sub-accounts, reviews, postings (some undone and done again), twelve closes,
// the December close into the next year, then an undo close and a re-close.
// After every step the accounting identities are checked in the table files.
// Once more with users' lines that read like the program's own rows, over
// fourteen months with closes undone and done again along the way.
//
// TALLOWICK_SEED picks another seed; TALLOWICK_BOOK_YEARS makes longer books.
#include <cmath>
#include <cstdlib>
#include <map>
#include <random>
#include <set>
#include <tuple>

#include "accounts/chart.h"
#include "closing/books_check.h"
#include "closing/period.h"
#include "random_books.h"
#include "storage/ledger_convention.h"

namespace tw::test {
namespace {

class RandomBooks : public RandomBookTest {
protected:
    // ---- the identities -------------------------------------------------

    struct Chain {
        long long balance = 0, debit = 0, credit = 0;
        bool started = false;
    };

    void checkBooks(const std::string& step) {
        SCOPED_TRACE(step);
        // The program's own check finds nothing wrong either.
        const auto found = runCaught([&] { return tw::checkBooks(*store, session); });
        ASSERT_TRUE(found.ok) << found.message;
        EXPECT_EQ(found.value, std::vector<std::string>{});
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

    // `months` months from January 2013, each checked after every step; then
    // the last close undone and done again. With `reopenEach`, also after
    // every December close and a third of the others (drawn from the seed):
    // undone, unposted, posted and closed again, which must give the same
    // tables.
    void runMonths(int months, bool reopenEach) {
        openBooks();
        checkBooks("opening");
        for (int m = 0; m < months; ++m) {
            const std::string month = YearMonth::of(session.login.period).text();
            const bool december = toYmd(session.login.period).month == 12;
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
            if (reopenEach && (december || pick(3) == 0)) closeAgain(month);
            if (::testing::Test::HasFailure()) return;
        }
        const int end = 2013 * 12 + months;
        EXPECT_EQ(session.login.period, dayNumber(end / 12, end % 12 + 1, 1));
        closeAgain("last month");
    }

    // Undoes the last close and the month's posting, posts and closes again.
    // The carry-forward vouchers are posted again as they were and find
    // nothing more to carry: every table is as after the first close.
    void closeAgain(const std::string& month) {
        const auto closedTables = allTables();
        const auto reopened = reopen();
        ASSERT_TRUE(reopened.ok) << month << " " << reopened.message;
        checkBooks(month + " reopened");
        ASSERT_TRUE(undoPost().ok);
        checkBooks(month + " reopened and unposted");
        ASSERT_TRUE(post().ok);
        ASSERT_TRUE(close().ok);
        checkBooks(month + " closed again");
        const auto again = allTables();
        const char* names[] = {"账库", "总账库", "账库辅1", "凭证库", "基本信息"};
        for (size_t i = 0; i < again.size(); ++i)
            EXPECT_EQ(again[i], closedTables[i]) << month << " " << names[i];
    }
};

TEST_F(RandomBooks, EveryFigureAgreesAfterEveryStep) {
    const char* years = std::getenv("TALLOWICK_BOOK_YEARS");
    runMonths(12 * std::max(1, years ? std::atoi(years) : 1), false);
}

// Users' lines that read like the program's own rows ("本月合计", "期初余额",
// "结转损益" …), many of them on the months' last days, through fourteen
// months and a reopening after every December close and a third of the
// others: each stays an entry, nothing takes it for a summary row.
TEST_F(RandomBooks, LinesSummarisedAsTheProgramsOwnRowsStayEntries) {
    closeTexts = true;
    runMonths(14, true);
}

}  // namespace
}  // namespace tw::test
