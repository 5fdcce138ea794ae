// Fourteen months of random books from a seed, across a year end with the
// year-end transfer of profit on: after every close the statements are
// checked against the books and against each other (once more with users'
// lines that read like the close's own rows).
//   - the balance sheet balances in both columns and names no account;
//   - 净利润 is what the carry-forward moved into 本年利润, for the month and
//     for the year to date;
//   - the 科目余额表's top-level rows are the 试算平衡表's, its sub-accounts
//     sum to their parents, and each column pair of its totals balances;
//   - after the December close 本年利润 stands at 0 and 未分配利润 holds the
//     year's profit.
// TALLOWICK_SEED picks another seed.
#include <array>
#include <map>

#include "closing/books_check.h"
#include "closing/period.h"
#include "ledgers/report.h"
#include "random_books.h"
#include "shell/set_options.h"
#include "statements/account_balances.h"
#include "statements/statement.h"

namespace tw::test {
namespace {

long long signedCents(const SidePair& p) { return cents(p.debit) - cents(p.credit); }

class RandomStatements : public RandomBookTest {
protected:
    // What the carry-forward of each month moved into 本年利润 (credits less
    // debits). No user's line touches 本年利润 here, so its entries summarised
    // "结转损益" are the close's whatever the users type.
    std::map<int, long long> carriedIntoProfit() {
        std::map<int, long long> out;
        for (const auto& r : rows(file::kLedger))
            if (r[3].text() == "本年利润" && r[2].text() == "结转损益" && r[1].integer() != 0)
                out[YearMonth::of(r[0].number()).index()] -= cents(r[4].number()) + cents(r[5].number());
        return out;
    }

    double balanceOf(const std::string& account) {
        for (const auto& t : rows(file::kBalances))
            if (t[0].text() == account) return t[4].number();
        return 0;
    }

    void checkStatements(YearMonth m) {
        SCOPED_TRACE(m.text());
        const auto sheet = runCaught([&] { return balanceSheet(*store, session, m); });
        ASSERT_TRUE(sheet.ok) << sheet.message;
        for (int column : {0, 1})
            EXPECT_EQ(cents(sheet.value.amount(30, column)), cents(sheet.value.amount(53, column)))
                << sheet.value.columns[column];
        EXPECT_EQ(sheet.value.notices, std::vector<std::string>{});

        const auto income = runCaught([&] { return incomeStatement(*store, session, monthPeriod(m)); });
        ASSERT_TRUE(income.ok) << income.message;
        const auto carried = carriedIntoProfit();
        const auto carriedIn = [&](YearMonth x) {
            const auto it = carried.find(x.index());
            return it == carried.end() ? 0LL : it->second;
        };
        EXPECT_EQ(cents(income.value.amount(32, 1)), carriedIn(m));
        long long year = 0;
        for (YearMonth x{m.year, 1}; x <= m; x = x.next()) year += carriedIn(x);
        EXPECT_EQ(cents(income.value.amount(32, 0)), year);
        profitOf[m.index()] = cents(income.value.amount(32, 1));

        checkBalances(m);
    }

    void checkBalances(YearMonth m) {
        const auto balances = runCaught([&] { return accountBalances(*store, session, m, m, 0); });
        ASSERT_TRUE(balances.ok) << balances.message;
        const AccountBalances& b = balances.value;
        std::map<std::string, const BalanceRow*> byName;
        for (const BalanceRow& r : b.rows) byName[r.account] = &r;

        // The top-level rows are the trial balance's.
        const auto trial = runAction(*store, [&] { return buildMonthReport(*store, session, {m.year, m.month}); });
        ASSERT_TRUE(trial.ok) << trial.message;
        for (const TrialLine& t : trial.value.trial) {
            ASSERT_TRUE(byName.count(t.account)) << t.account;
            const BalanceRow& r = *byName[t.account];
            EXPECT_EQ(r.opening, t.opening) << t.account;
            EXPECT_EQ(r.movement, t.movement) << t.account;
            EXPECT_EQ(r.closing, t.closing) << t.account;
        }
        EXPECT_EQ(b.total.opening, trial.value.trialTotal.opening);
        EXPECT_EQ(b.total.movement, trial.value.trialTotal.movement);
        EXPECT_EQ(b.total.closing, trial.value.trialTotal.closing);

        // Each parent is the sum of its children.
        std::map<std::string, std::array<long long, 4>> children;
        for (const Account& a : loadAccounts(*store, session)) {
            if (a.parent.empty()) continue;
            const BalanceRow& r = *byName.at(a.name);
            auto& sum = children[a.parent];
            sum[0] += signedCents(r.opening);
            sum[1] += signedCents(r.movement);
            sum[2] += signedCents(r.yearMovement);
            sum[3] += signedCents(r.closing);
        }
        for (const auto& [parent, sum] : children) {
            const BalanceRow& r = *byName.at(parent);
            EXPECT_EQ(sum, (std::array{signedCents(r.opening), signedCents(r.movement),
                                       signedCents(r.yearMovement), signedCents(r.closing)}))
                << parent;
        }
        for (const SidePair* p : {&b.total.opening, &b.total.movement, &b.total.yearMovement, &b.total.closing})
            EXPECT_EQ(cents(p->debit), cents(p->credit));
    }

    // Fourteen months from January 2013, the statements checked after every
    // close; then a range across the year end against its months.
    void runFourteenMonths() {
        // The profit reaches 本年利润 and 未分配利润 by the closes alone, so that
        // the year-end balances can be told from the statements.
        std::erase_if(leaves, [](const std::string& a) { return a == "本年利润" || a == "利润分配→未分配利润"; });
        openBooks();
        ASSERT_TRUE(runAction(*store, [&] { setOptionOn(*store, session, kYearEndTransferOption, true); }).ok);
        for (int m = 0; m < 14; ++m) {
            const YearMonth month = YearMonth::of(session.login.period);
            const int count = 8 + pick(20);
            for (int i = 0; i < count; ++i) randomVoucher(true);
            ASSERT_TRUE(post().ok);
            const auto closed = close();
            ASSERT_TRUE(closed.ok) << month.text() << " " << closed.message;
            // The program's own check finds the books sound, year-end voucher included.
            const auto found = runCaught([&] { return tw::checkBooks(*store, session); });
            ASSERT_TRUE(found.ok) << found.message;
            EXPECT_EQ(found.value, std::vector<std::string>{});
            checkStatements(month);
            if (month.month == 12) {
                EXPECT_EQ(cents(balanceOf("本年利润")), 0) << "after the December close";
                long long year = 0;
                for (const auto& [index, profit] : profitOf)
                    if (YearMonth::fromIndex(index).year == month.year) year += profit;
                EXPECT_NE(year, 0) << "the year made a profit or a loss";
                EXPECT_EQ(cents(balanceOf("利润分配→未分配利润")), -year);
            }
            if (::testing::Test::HasFailure()) return;
        }
        EXPECT_EQ(YearMonth::of(session.login.period), (YearMonth{2014, 3}));

        // A range across the year end agrees with its months.
        const auto range = runCaught([&] { return accountBalances(*store, session, {2013, 10}, {2014, 2}, 1); });
        ASSERT_TRUE(range.ok) << range.message;
        const auto first = runCaught([&] { return accountBalances(*store, session, {2013, 10}, {2013, 10}, 1); });
        const auto last = runCaught([&] { return accountBalances(*store, session, {2014, 2}, {2014, 2}, 1); });
        ASSERT_TRUE(first.ok && last.ok);
        ASSERT_EQ(range.value.rows.size(), first.value.rows.size());
        for (std::size_t i = 0; i < range.value.rows.size(); ++i) {
            const std::string& a = range.value.rows[i].account;
            EXPECT_EQ(range.value.rows[i].opening, first.value.rows[i].opening) << a;
            EXPECT_EQ(range.value.rows[i].closing, last.value.rows[i].closing) << a;
            EXPECT_EQ(range.value.rows[i].yearMovement, last.value.rows[i].yearMovement) << a;
            long long moved = 0;
            for (YearMonth m{2013, 10}; m <= YearMonth{2014, 2}; m = m.next()) {
                const auto one = runCaught([&] { return accountBalances(*store, session, m, m, 1); });
                moved += signedCents(one.value.rows[i].movement);
            }
            EXPECT_EQ(signedCents(range.value.rows[i].movement), moved) << a;
        }
        for (const SidePair* p : {&range.value.total.opening, &range.value.total.movement,
                                  &range.value.total.yearMovement, &range.value.total.closing})
            EXPECT_EQ(cents(p->debit), cents(p->credit));
    }

    std::map<int, long long> profitOf;  // 净利润 by month
};

TEST_F(RandomStatements, FourteenMonthsAcrossAYearEnd) { runFourteenMonths(); }

// Users' lines summarised "结转损益", "本月合计" … (many on the months' last
// days, where the carry-forward is dated) are the month's business: the
// 利润表 counts them, and 净利润 is still what the close carried.
TEST_F(RandomStatements, LinesSummarisedAsTheClosesOwnCountAsBusiness) {
    closeTexts = true;
    runFourteenMonths();
}

}  // namespace
}  // namespace tw::test
