// The trial balance of seeded random books, month by month over a year and
// into the next: every pair of columns totals equal on both sides, and each
// account's 期末余额 is the sum of its leaf accounts' balances in 账库 at the
// end of the month, worked out from the opening rows and voucher entries
// alone. TALLOWICK_SEED picks another seed.
#include <map>

#include "closing/random_books.h"
#include "ledgers/report.h"
#include "storage/ledger_convention.h"

namespace tw::test {
namespace {

class RandomBookReports : public RandomBookTest {
protected:
    void closeRandomMonth() {
        const int count = 8 + pick(20);
        for (int i = 0; i < count; ++i) randomVoucher(true);
        ASSERT_TRUE(post().ok);
        const auto closed = close();
        ASSERT_TRUE(closed.ok) << closed.message;
    }

    // Leaf balances rolled up to their top-level accounts at the end of `last`,
    // from 账库's first opening rows and its voucher entries.
    std::map<std::string, long long> balancesAt(double last) {
        std::map<std::string, long long> tops;
        const double start = dayNumber(2013, 1, 1);
        for (const auto& r : rows(file::kLedger)) {
            const double date = r[0].number();
            const bool entry = r[1].integer() != 0;
            const bool opening = r[2].text() == kOpeningSummary && date == start;
            if (date > last || !(entry || opening)) continue;
            tops[topLevelAccount(r[3].text())] += cents(r[4].number()) + cents(r[5].number());
        }
        return tops;
    }

    static long long signedCents(const SidePair& p) { return cents(p.debit) - cents(p.credit); }
};

TEST_F(RandomBookReports, TrialBalanceBalancesEveryMonthAndAgreesWithTheLeaves) {
    openBooks();
    // Fourteen closes: January's report then opens from the December before.
    for (int m = 0; m < 14; ++m) {
        closeRandomMonth();
        if (HasFatalFailure()) return;
    }
    for (int m = 0; m < 14; ++m) {
        const YearMonth month{2013 + m / 12, m % 12 + 1};
        SCOPED_TRACE(month.text());
        const auto r = runAction(*store, [&] { return buildMonthReport(*store, session, month); });
        ASSERT_TRUE(r.ok) << r.message;
        const TrialLine& total = r.value.trialTotal;
        EXPECT_EQ(cents(total.opening.debit), cents(total.opening.credit));
        EXPECT_EQ(cents(total.movement.debit), cents(total.movement.credit));
        EXPECT_EQ(cents(total.closing.debit), cents(total.closing.credit));
        EXPECT_EQ(cents(total.yearOpening.debit), cents(total.yearOpening.credit));
        EXPECT_EQ(r.value.summaryTotal, total.movement);
        EXPECT_GT(cents(total.movement.debit), 0);

        const auto leaves = balancesAt(lastDayOfMonth(dayNumber(month.year, month.month, 1)));
        std::map<std::string, long long> listed;
        for (const TrialLine& l : r.value.trial) {
            listed[l.account] = signedCents(l.closing);
            EXPECT_EQ(listed[l.account], leaves.count(l.account) ? leaves.at(l.account) : 0)
                << l.account;
            // Each line runs from its opening through the month's movement.
            EXPECT_EQ(signedCents(l.opening) + signedCents(l.movement), signedCents(l.closing))
                << l.account;
        }
        // Every account with a balance is on the report.
        for (const auto& [account, balance] : leaves) {
            if (balance != 0) {
                EXPECT_TRUE(listed.count(account)) << account << " is missing";
            }
        }
    }
    // The month now open has no report yet.
    const auto open = runAction(*store, [&] { return buildMonthReport(*store, session, {2014, 3}); });
    EXPECT_EQ(open.message, kNoMonthData);
}

}  // namespace
}  // namespace tw::test
