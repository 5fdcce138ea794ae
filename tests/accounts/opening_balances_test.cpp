// Opening balances on a real set: the list, row editing, saving, and enabling
// as one action — the rows it writes, and nothing at all when it fails.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "accounts/chart.h"
#include "accounts/opening_balances.h"
#include "account_set_fixture.h"

namespace tw {
namespace {

class OpeningTest : public test::AccountSetTest {
protected:
    static OpeningRow* row(std::vector<OpeningRow>& rows, const std::string& account) {
        for (OpeningRow& r : rows)
            if (r.account == account) return &r;
        ADD_FAILURE() << "no row " << account;
        static OpeningRow none;
        return &none;
    }

    // The example of the books: two bank sub-accounts on the debit side
    // against a loan on the credit side.
    std::vector<OpeningRow> bankExample() {
        addSub("银行存款", "工商银行");
        addSub("银行存款", "建设银行");
        auto rows = loadOpeningList(*store, session);
        setRowAmounts(*row(rows, "银行存款→工商银行"), 1000.0, 0.0);
        setRowAmounts(*row(rows, "银行存款→建设银行"), 500.0, 0.0);
        setRowAmounts(*row(rows, "短期借款"), 0.0, 1500.0);
        EXPECT_TRUE(save(rows).ok);
        return rows;
    }

    Outcome save(const std::vector<OpeningRow>& rows) {
        return runAction(*store, [&] { saveOpeningList(*store, session, rows); });
    }
    Outcome enable(const std::vector<OpeningRow>& rows) {
        return runAction(*store, [&] { enableSet(*store, session, rows); });
    }

    std::string bytes(const char* file) const {
        std::ifstream in(path(file), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(OpeningTest, SubAccountsFollowTheirParentWithSiblingsReversed) {
    addSub("银行存款", "工商银行");
    addSub("银行存款", "建设银行");
    const auto rows = loadOpeningList(*store, session);
    std::size_t bank = 0;
    while (bank < rows.size() && rows[bank].account != "银行存款") ++bank;
    ASSERT_LT(bank + 2, rows.size());
    EXPECT_EQ(rows[bank + 1].account, "银行存款→建设银行");
    EXPECT_EQ(rows[bank + 2].account, "银行存款→工商银行");
    EXPECT_EQ(rows[bank + 3].account, "其他货币资金");
    EXPECT_EQ(rows.front().debit, "");
}

TEST_F(OpeningTest, RowDirectionsBalancesAndBlanking) {
    OpeningRow r{"现金", {}, {}, {}, {}};
    setRowAmounts(r, -50.0, 0.0);  // the absolute value, in cents
    EXPECT_EQ(r.debit, "50");
    EXPECT_EQ(r.credit, "0");
    EXPECT_EQ(r.side, "借");
    EXPECT_EQ(r.balance, "50");

    setRowAmounts(r, 100.0, 100.0);
    EXPECT_EQ(r.side, "平");
    EXPECT_EQ(r.balance, "0");

    setRowAmounts(r, 12.345, 112.345);
    EXPECT_EQ(r.debit, "12.35");
    EXPECT_EQ(r.side, "贷");
    EXPECT_EQ(r.balance, "100");

    // Cancelled boxes keep their columns; the rest is worked out again.
    setRowAmounts(r, std::nullopt, 2.0);
    EXPECT_EQ(r.debit, "12.35");
    EXPECT_EQ(r.balance, "10.35");

    setRowAmounts(r, 0.0, 0.0);
    EXPECT_EQ(r.debit + r.credit + r.side + r.balance, "");
}

TEST_F(OpeningTest, TotalsCompareAsPlainDecimalText) {
    // 0.1 + 0.2 is 0.30000000000000004 as a double; the texts agree.
    std::vector<OpeningRow> rows = {{"a", "0.1", "", "借", "0.1"},
                                    {"b", "0.2", "", "借", "0.2"},
                                    {"c", "", "0.3", "贷", "0.3"}};
    const OpeningTotals t = openingTotals(rows);
    EXPECT_EQ(t.debit, "0.3");
    EXPECT_EQ(t.credit, "0.3");
    EXPECT_TRUE(t.balanced());
    EXPECT_TRUE(openingTotals({}).balanced());
    EXPECT_EQ(openingTotals({}).debit, "0");
    rows[2].credit = "0.31";
    EXPECT_FALSE(openingTotals(rows).balanced());
}

TEST_F(OpeningTest, SavedListLoadsBackAndParentsAreBlankedAfterTheChartChanges) {
    auto rows = loadOpeningList(*store, session);
    setRowAmounts(*row(rows, "现金"), 88.5, 0.0);
    setRowAmounts(*row(rows, "短期借款"), 0.0, 88.5);
    ASSERT_TRUE(save(rows).ok);
    EXPECT_EQ(test::tableRows(path(file::kOpening), session.login.setPassword).size(), rows.size());
    RecordStore other(dataDir);
    EXPECT_FALSE(other.openTable(path(file::kOpening), kFixedPassword));

    auto loaded = loadOpeningList(*store, session);
    EXPECT_EQ(row(loaded, "现金")->debit, "88.5");
    EXPECT_EQ(row(loaded, "现金")->side, "借");
    EXPECT_EQ(row(loaded, "短期借款")->balance, "88.5");
    EXPECT_EQ(row(loaded, "银行存款")->debit, "");

    // 科目设置: 现金 gets a sub-account, so its own amount goes.
    addSub("现金", "零用金");
    loaded = loadOpeningList(*store, session);
    EXPECT_TRUE(hasSubAccountRows(loaded, "现金"));
    EXPECT_FALSE(hasSubAccountRows(loaded, "现金→零用金"));
    blankParentRows(loaded);
    ASSERT_TRUE(save(loaded).ok);
    loaded = loadOpeningList(*store, session);
    EXPECT_EQ(row(loaded, "现金")->debit, "");
    EXPECT_EQ(openingTotals(loaded).debit, "0");
}

TEST_F(OpeningTest, OneRefusalTellsWhichRowsTakeNoAmount) {
    // The window asks it before its amount boxes open, the command through setOpeningAmounts.
    addSub("银行存款", "工商银行");
    const auto rows = loadOpeningList(*store, session);
    EXPECT_EQ(openingAmountRefusal(rows, "银行存款"), kNoAmountForParent);
    EXPECT_EQ(openingAmountRefusal(rows, "银行存款→工商银行"), "");
    EXPECT_EQ(openingAmountRefusal(rows, "银行"), "没有这个科目：银行") << "whole names only";
}

TEST_F(OpeningTest, OnlyANonzeroOpeningAmountMakesAnAccountUsed) {
    auto rows = loadOpeningList(*store, session);
    setRowAmounts(*row(rows, "应收账款"), 20.0, 0.0);
    ASSERT_TRUE(save(rows).ok);
    EXPECT_EQ(deleteOne("应收账款").message, "应收账款 科目，已经被登账！无法删除！");
    EXPECT_TRUE(deleteOne("应收票据").ok);
}

TEST_F(OpeningTest, EnablingWritesTheOpeningRowsOfTheBooks) {
    const auto list = bankExample();
    ASSERT_TRUE(openingTotals(list).balanced());
    const Outcome out = enable(list);
    ASSERT_TRUE(out.ok) << out.message;

    const double start = dayNumber(2013, 3, 1), monthEnd = dayNumber(2013, 3, 31);
    using V = std::vector<Value>;
    // List order: the later sibling first.
    EXPECT_EQ(rows(file::kLedger),
              (std::vector<V>{
                  {start, 0, "期初余额", "银行存款→建设银行", 500.0, -0.0, "借", 500.0, ""},
                  {start, 0, "期初余额", "银行存款→工商银行", 1000.0, -0.0, "借", 1000.0, ""},
                  {start, 0, "期初余额", "短期借款", 0.0, -1500.0, "贷", -1500.0, ""}}));
    EXPECT_EQ(rows(file::kBalances),
              (std::vector<V>{{"银行存款→建设银行", 500.0, 0.0, "借", 500.0},
                              {"银行存款→工商银行", 1000.0, 0.0, "借", 1000.0},
                              {"短期借款", 0.0, -1500.0, "贷", -1500.0}}));
    EXPECT_EQ(rows(file::kGeneralLedger),
              (std::vector<V>{{monthEnd, 0, "期初余额", "银行存款", 1500.0, 0.0, "借", 1500.0, ""},
                              {monthEnd, 0, "期初余额", "短期借款", 0.0, -1500.0, "贷", -1500.0,
                               ""}}));
    EXPECT_TRUE(rows(file::kBasicInfo)[0][3].boolean());

    // Enabled once only; the opening data is fixed from now on.
    EXPECT_EQ(enable(list).message, kAlreadyEnabled);
    EXPECT_EQ(save(list).message, kAlreadyEnabled);
    EXPECT_EQ(rows(file::kLedger).size(), 3u);
}

TEST_F(OpeningTest, FailureInTheMiddleOfEnablingChangesNothing) {
    const auto list = bankExample();
    const char* files[] = {file::kLedger, file::kBalances, file::kGeneralLedger, file::kBasicInfo};
    std::vector<std::string> before;
    for (const char* f : files) before.push_back(bytes(f));

    int written = 0;
    store->setCommitHook([&written](const std::filesystem::path&) {
        if (++written == 3) throw StoreError("injected failure");
    });
    const Outcome out = enable(list);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "数据无法写入磁盘！ 请检测您对计算机使用的权限！");
    EXPECT_EQ(written, 3);
    for (std::size_t i = 0; i < std::size(files); ++i)
        EXPECT_EQ(bytes(files[i]), before[i]) << files[i];
    EXPECT_FALSE(rows(file::kBasicInfo)[0][3].boolean());
    EXPECT_TRUE(rows(file::kLedger).empty());

    // Nothing lingers in memory either: a second try writes the rows once.
    store->setCommitHook({});
    ASSERT_TRUE(enable(list).ok);
    EXPECT_EQ(rows(file::kLedger).size(), 3u);
    EXPECT_EQ(rows(file::kGeneralLedger).size(), 2u);
}

TEST_F(OpeningTest, AmountsBeyondWhatIsKeptExactlyAreNeverSaved) {
    const auto rows = bankExample();
    const std::string saved = bytes(file::kOpening);
    // The input box hands over a number too large to keep: the list is not saved.
    auto tooLarge = rows;
    setRowAmounts(*row(tooLarge, "短期借款"), 0.0, 123456789012345678.0);
    const Outcome out = save(tooLarge);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "金额的绝对值不能超过999999999999.99！");
    const auto set = runAction(*store, [&] {
        return setOpeningAmounts(*store, session, "短期借款", std::nullopt, -1e13);
    });
    EXPECT_EQ(set.message, "金额的绝对值不能超过999999999999.99！");
    EXPECT_EQ(bytes(file::kOpening), saved);
}

TEST_F(OpeningTest, UnbalancedTotalsAreRefused) {
    auto list = bankExample();
    setRowAmounts(*row(list, "短期借款"), 0.0, 1000.0);
    const Outcome out = enable(list);
    EXPECT_EQ(out.message, "期初借方合计 1500 与期初贷方合计 1000 不相等，不能启用套账！");
    EXPECT_TRUE(rows(file::kLedger).empty());
    EXPECT_FALSE(rows(file::kBasicInfo)[0][3].boolean());
}

}  // namespace
}  // namespace tw
