// The ledger pages of books kept through the real operations (enabling,
// posting, three month-end closes from January): the general ledger's
// 本年累计 is what the 科目余额表 calls the year's movement, and a parent's
// detail ledger ends where its general ledger stands.
#include "closing/closing_fixture.h"
#include "ledgers/ledger_page.h"
#include "statements/account_balances.h"

namespace tw::test {
namespace {

using Cells = std::array<std::string, 7>;

class LedgerYearTest : public ClosingTest {
protected:
    // Books from January 2013: cash 5000 and two banks under 银行存款, a sale
    // into 工商银行 in January, cash drawn from 建设银行 in February, a debtor
    // paying into 工商银行 in March; each month posted and closed.
    void SetUp() override {
        ClosingTest::SetUp();
        startBooksIn(dayNumber(2013, 1, 1));
        addSub("银行存款", "工商银行");
        addSub("银行存款", "建设银行");
        enableWith({{"现金", 5000},
                    {"银行存款→工商银行", 150000},
                    {"银行存款→建设银行", 50000},
                    {"实收资本", -205000}});
        const std::vector<std::vector<Line>> months{
            {{"银行存款→工商银行", 100000}, {"主营业务收入", 0, 100000}},
            {{"现金", 3000}, {"银行存款→建设银行", 0, 3000}},
            {{"银行存款→工商银行", 17000}, {"应收账款", 0, 17000}}};
        for (std::size_t m = 0; m < months.size(); ++m) {
            addVoucher(10000.0 * static_cast<double>(m + 1) + 1, months[m]);
            ASSERT_TRUE(post().ok);
            const auto closed = close();
            ASSERT_TRUE(closed.ok) << closed.message;
        }
    }
    std::vector<Cells> page(LedgerMode mode, const std::string& account) {
        const LedgerRequest r{mode, account, dayNumber(2013, 3, 1), dayNumber(2013, 3, 31)};
        const auto listed = runCaught([&] { return listLedgerPage(*store, session, r); });
        EXPECT_TRUE(listed.ok) << listed.message;
        std::vector<Cells> cells;
        for (const LedgerLine& l : listed.value.lines) cells.push_back(l.cells);
        return cells;
    }
    // A page's amount text as a number ("0" and "" are nothing).
    static double amount(const std::string& text) {
        double value = 0;
        return parseAmount(text, value) ? value : 0;
    }
};

TEST_F(LedgerYearTest, TheYearTotalIsTheYearsMovementAsTheBalancesTableHasIt) {
    EXPECT_EQ(page(LedgerMode::General, "银行存款"),
              (std::vector<Cells>{
                  {"2013-3-31", "", "本月合计", "17000.00", "0", "借", "314000.00"},
                  {"2013-3-31", "", "本年累计", "117000.00", "3000.00", "借", "314000.00"}}));
    // Quiet in March: the year's 3000 of February, not the opening with it.
    EXPECT_EQ(page(LedgerMode::General, "现金").back(),
              (Cells{"2013-3-31", "", "本年累计", "3000.00", "0", "借", "8000.00"}));
    // Capital has not moved this year.
    EXPECT_EQ(page(LedgerMode::General, "实收资本").back(),
              (Cells{"2013-3-31", "", "本年累计", "0", "0", "贷", "205000.00"}));

    // Every top-level account agrees with the 科目余额表 of March.
    const auto table = runCaught([&] {
        return accountBalances(*store, session, YearMonth{2013, 3}, YearMonth{2013, 3}, 1);
    });
    ASSERT_TRUE(table.ok) << table.message;
    int compared = 0;
    for (const BalanceRow& row : table.value.rows) {
        const std::vector<Cells> general = page(LedgerMode::General, row.account);
        if (general.empty()) continue;
        const Cells& year = general.back();
        ASSERT_EQ(year[2], "本年累计") << row.account;
        EXPECT_TRUE(amountsEqual(amount(year[3]), row.yearMovement.debit)) << row.account << " " << year[3];
        EXPECT_TRUE(amountsEqual(amount(year[4]), row.yearMovement.credit)) << row.account << " " << year[4];
        ++compared;
    }
    EXPECT_GE(compared, 5) << "现金, 银行存款, 应收账款, 实收资本, 主营业务收入 at least";
}

TEST_F(LedgerYearTest, AParentsDetailLedgerRunsFromItsOpeningToItsGeneralBalance) {
    EXPECT_EQ(page(LedgerMode::Detail, "银行存款"),
              (std::vector<Cells>{
                  // 150000 + 100000 in 工商银行, 50000 − 3000 in 建设银行
                  {"2013-3-1", "", "期初余额", "", "", "借", "297000.00"},
                  {"2013-3-31", "30001", "摘要", "17000.00", "", "借", "314000.00"},
                  {"2013-3-31", "", "本月合计", "17000.00", "0", "借", "314000.00"}}));
    EXPECT_EQ(page(LedgerMode::Detail, "银行存款").back()[6],
              page(LedgerMode::General, "银行存款").back()[6]);
    // A bank alone keeps its own page.
    EXPECT_EQ(page(LedgerMode::Detail, "银行存款→建设银行"),
              (std::vector<Cells>{{"2013-3-31", "", "本月合计", "0", "0", "借", "47000.00"}}));
}

}  // namespace
}  // namespace tw::test
