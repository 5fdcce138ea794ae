// A user may type the texts the program writes on rows of its own ("本月合计",
// "本年累计", "期初余额") as a line's 摘要. Posting, undoing it, the close and
// undoing the close tell the program's rows by their 凭证编号 0: such a line
// stays an entry like any other, and the check finds the books sound.
#include <algorithm>

#include "closing/books_check.h"
#include "closing_fixture.h"

namespace tw::test {
namespace {

class SummaryTexts : public ClosingTest {
protected:
    std::vector<std::string> check() {
        const auto found = runCaught([&] { return checkBooks(*store, session); });
        EXPECT_TRUE(found.ok) << found.message;
        return found.value;
    }
    bool hasRow(const char* file, const std::string& row) {
        const auto all = ledgerText(file);
        return std::find(all.begin(), all.end(), row) != all.end();
    }
};

TEST_F(SummaryTexts, UndoCloseKeepsLinesSummarisedAsTheMonthsTotals) {
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    // A loan booked as "本年累计" and a withdrawal as "本月合计", on the day
    // the close dates its own rows.
    addVoucher(30001, {{"银行存款", 300, 0, "本年累计"}, {"短期借款", 0, 300, "本年累计"}});
    addVoucher(30002, {{"现金", 70, 0, "本月合计"}, {"银行存款", 0, 70, "本月合计"}});
    ASSERT_EQ(post().value, 2);
    const auto posted = std::vector{rows(file::kLedger), rows(file::kBalances)};
    ASSERT_TRUE(close().ok);
    EXPECT_TRUE(hasRow(file::kLedger, "2013-3-31 0 本月合计 银行存款 300 -70 借 1230"));
    EXPECT_EQ(check(), std::vector<std::string>{});
    const auto closed = std::vector{rows(file::kLedger), rows(file::kGeneralLedger)};

    // Only the close's rows go: the four entries stay, with their totals.
    ASSERT_TRUE(reopen().ok);
    EXPECT_EQ((std::vector{rows(file::kLedger), rows(file::kBalances)}), posted);
    EXPECT_EQ(check(), std::vector<std::string>{});
    ASSERT_TRUE(close().ok);
    EXPECT_EQ((std::vector{rows(file::kLedger), rows(file::kGeneralLedger)}), closed);
}

TEST_F(SummaryTexts, JanuaryLinesSummarisedAsTheYearsOpeningAreEntries) {
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    for (int m = 3; m <= 12; ++m) ASSERT_TRUE(close().ok) << m;
    ASSERT_EQ(session.login.period, dayNumber(2014, 1, 1));
    const auto opened = std::vector{rows(file::kLedger), rows(file::kBalances)};

    // Capital paid in before the year, booked on January 1st as "期初余额".
    addVoucher(dayNumber(2014, 1, 1), 10001,
               {{"银行存款", 500, 0, "期初余额"}, {"实收资本", 0, 500, "期初余额"}});
    ASSERT_EQ(post().value, 1);
    EXPECT_TRUE(hasRow(file::kLedger, "2014-1-1 10001 期初余额 银行存款 500 0 借 1500"));
    EXPECT_EQ(check(), std::vector<std::string>{});

    // Undoing the posting takes its rows and totals out like any entry's and
    // keeps the opening rows the December close wrote; posting again gives
    // the same rows, not a second copy.
    ASSERT_TRUE(undoPost().ok);
    EXPECT_EQ((std::vector{rows(file::kLedger), rows(file::kBalances)}), opened);
    EXPECT_EQ(check(), std::vector<std::string>{});
    ASSERT_EQ(post().value, 1);
    EXPECT_EQ(check(), std::vector<std::string>{});

    // Undoing the December close removes January's opening rows and keeps
    // the start's.
    ASSERT_TRUE(undoPost().ok);
    ASSERT_TRUE(reopen().ok);
    EXPECT_EQ(session.login.period, dayNumber(2013, 12, 1));
    EXPECT_EQ(ledgerText(file::kLedger, "期初余额").size(), 2u);
    EXPECT_EQ(check(), std::vector<std::string>{});
}

}  // namespace
}  // namespace tw::test
