// The carry-forward, the month-end close and its undoing on a real set,
// checked in the table files.
#include "closing_fixture.h"

namespace tw::test {
namespace {

class CloseTest : public ClosingTest {
protected:
    // Sets the carry-forward pairs to exactly these.
    void pairs(const std::vector<CarryForwardPair>& wanted) {
        ASSERT_TRUE(runAction(*store, [&] {
                        for (const auto& p : fillCarryForwardList(*store, session))
                            deleteCarryForwardPair(*store, session, p.source);
                        for (const auto& p : wanted) saveCarryForwardPair(*store, session, p);
                    }).ok);
    }
    std::vector<std::vector<Value>> vouchersFrom(size_t first) {
        auto all = rows(file::kVouchers);
        return {all.begin() + static_cast<long>(first), all.end()};
    }
    double period() const { return session.login.period; }
};

TEST_F(CloseTest, CarryForwardWritesReviewedVouchersNumberedOnAndPostsThem) {
    enableWith({{"银行存款", 10000}, {"实收资本", -10000}});
    pairs({{"主营业务收入", "本年利润"}, {"其他业务收入", "本年利润"}, {"管理费用", "本年利润"}});
    addVoucher(30007, {{"银行存款", 5000}, {"主营业务收入", 0, 5000}});
    addVoucher(30002, {{"管理费用", 1200}, {"银行存款", 0, 1200}});
    ASSERT_EQ(post().value, 2);

    const auto closed = close();
    ASSERT_TRUE(closed.ok) << closed.message;
    EXPECT_EQ(closed.value.posted, 2);
    EXPECT_EQ(closed.value.message(), "结转损益与登账完毕！\r\n会计期间进入：2013年4月");
    const auto made = vouchersFrom(2);
    ASSERT_EQ(made.size(), 2u);
    // The month's largest number is 30007: the vouchers follow it without a gap.
    EXPECT_EQ(made[0][1].number(), 30008);
    EXPECT_EQ(made[0][4].number(), dayNumber(2013, 3, 31));
    EXPECT_EQ(made[0][9].text(), "主营业务收入");  // credit balance: its debit on line 1
    EXPECT_EQ(made[0][10].text(), "本年利润");
    EXPECT_EQ(made[0][13].number(), 5000);
    EXPECT_EQ(made[0][18].number(), 5000);
    EXPECT_EQ(made[0][5].text(), "结转损益");
    EXPECT_EQ(made[1][1].number(), 30009);  // no gap for the pair without a balance
    EXPECT_EQ(made[1][9].text(), "本年利润");  // debit balance: the target is debited
    EXPECT_EQ(made[1][10].text(), "管理费用");
    for (const auto& v : made) {
        EXPECT_EQ(v[26].text(), "张三");
        EXPECT_EQ(v[27].text(), "张三");
        EXPECT_EQ(v[28].text(), "张三") << "posted at once";
    }
    for (const auto& t : rows(file::kBalances)) {
        if (t[0].text() == "主营业务收入" || t[0].text() == "管理费用") {
            EXPECT_EQ(t[3].text(), "平") << t[0].text();
            EXPECT_EQ(t[4].number(), 0) << t[0].text();
        }
        if (t[0].text() == "本年利润") {
            EXPECT_EQ(t[4].number(), -3800);
        }
    }
}

TEST_F(CloseTest, AParentSourceCarriesEveryAccountBelowItAndPairsMustBeAccounts) {
    enableWith({});
    addSub("管理费用", "办公费");
    addSub("管理费用", "差旅费");
    pairs({{"管理费用", "本年利润"}});
    addVoucher(30001, {{"管理费用→办公费", 300}, {"管理费用→差旅费", 200}, {"现金", 0, 500}});
    ASSERT_EQ(post().value, 1);
    ASSERT_TRUE(close().ok);
    const auto made = vouchersFrom(1);
    ASSERT_EQ(made.size(), 2u);
    EXPECT_EQ(made[0][10].text(), "管理费用→办公费");
    EXPECT_EQ(made[1][10].text(), "管理费用→差旅费");
    EXPECT_EQ(made[1][1].number(), made[0][1].number() + 1);
    for (const auto& t : rows(file::kBalances))
        if (t[0].text().starts_with("管理费用")) {
            EXPECT_EQ(t[3].text(), "平") << t[0].text();
        }

    const auto refused = runAction(*store, [&] {
        saveCarryForwardPair(*store, session, {"不存在的科目", "本年利润"});
    });
    EXPECT_EQ(refused.message, "“不存在的科目”不是会计科目中的科目，请检查后重新填写！");
    EXPECT_EQ(runAction(*store, [&] { saveCarryForwardPair(*store, session, {"", "本年利润"}); })
                  .message,
              kFillInAccounts);
    // A pair whose source is there already changes its target.
    pairs({{"管理费用", "本年利润"}});
    ASSERT_TRUE(runAction(*store, [&] {
                    saveCarryForwardPair(*store, session, {"管理费用", "利润分配→未分配利润"});
                }).ok);
    const auto list = runCaught([&] { return fillCarryForwardList(*store, session); }).value;
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].target, "利润分配→未分配利润");
}

TEST_F(CloseTest, ClosingAMonthWritesItsRowsAndMovesThePeriod) {
    // 银行存款 opens at 1000 with two banks; the month moves them by 100 and 50.
    addSub("银行存款", "工商银行");
    addSub("银行存款", "建设银行");
    enableWith({{"银行存款→工商银行", 600}, {"银行存款→建设银行", 400}, {"实收资本", -1300},
                {"现金", 300}});
    pairs({});
    addVoucher(30001, {{"银行存款→工商银行", 100}, {"银行存款→建设银行", 50}, {"短期借款", 0, 150}});
    ASSERT_EQ(post().value, 1);
    ASSERT_TRUE(close().ok);
    EXPECT_EQ(period(), dayNumber(2013, 4, 1));
    EXPECT_EQ(rows(file::kBasicInfo)[0][4].number(), dayNumber(2013, 4, 1));

    const auto detail = ledgerText(file::kLedger, "本月合计");
    EXPECT_NE(std::find(detail.begin(), detail.end(),
                        "2013-3-31 0 本月合计 银行存款→建设银行 50 0 借 450"),
              detail.end());
    EXPECT_NE(std::find(detail.begin(), detail.end(), "2013-3-31 0 本月合计 现金 0 0 借 300"),
              detail.end())
        << "every account of 账库辅1 gets its month row";
    const auto general = ledgerText(file::kGeneralLedger);
    // Active accounts first, in the order of their first entry; then the quiet ones.
    EXPECT_EQ(general[3], "2013-3-31 0 本月合计 银行存款 150 0 借 1150");
    EXPECT_EQ(general[4], "2013-3-31 0 本年累计 银行存款 1150 0 借 1150");
    EXPECT_EQ(general[5], "2013-3-31 0 本月合计 短期借款 0 -150 贷 -150");
    EXPECT_EQ(general[6], "2013-3-31 0 本年累计 短期借款 0 -150 贷 -150");
    // A quiet account with an opening balance appears with it from its first month on.
    EXPECT_NE(std::find(general.begin(), general.end(), "2013-3-31 0 本年累计 现金 300 0 借 300"),
              general.end());
    EXPECT_NE(std::find(general.begin(), general.end(),
                        "2013-3-31 0 本年累计 实收资本 0 -1300 贷 -1300"),
              general.end());
    // The working copy of 总账库 lives in the action only: no file is left.
    EXPECT_FALSE(std::filesystem::exists(path(file::kGeneralLedgerTemp)));
}

TEST_F(CloseTest, TheMonthRowCarriesTheBalanceAtTheEndOfTheMonth) {
    // Opening 1000, debits of 150 and then 50: the second month's rows.
    enableWith({{"库存商品", 1000}, {"实收资本", -1000}});
    pairs({});
    addVoucher(30001, {{"库存商品", 150}, {"应付账款", 0, 150}});
    ASSERT_EQ(post().value, 1);
    ASSERT_TRUE(close().ok);
    addVoucher(40001, {{"库存商品", 50}, {"应付账款", 0, 50}});
    ASSERT_EQ(post().value, 1);
    ASSERT_TRUE(close().ok);
    const auto april = ledgerText(file::kGeneralLedger);
    EXPECT_NE(std::find(april.begin(), april.end(), "2013-4-30 0 本月合计 库存商品 50 0 借 1200"),
              april.end());
    EXPECT_NE(std::find(april.begin(), april.end(), "2013-4-30 0 本年累计 库存商品 1200 0 借 1200"),
              april.end());
    // The quiet 实收资本 carries its March year-to-date into April.
    EXPECT_NE(std::find(april.begin(), april.end(), "2013-4-30 0 本月合计 实收资本 0 0 贷 -1000"),
              april.end());
}

TEST_F(CloseTest, DecemberOpensTheNextYearAndUndoCloseGoesBackOneMonthAtATime) {
    enableWith({{"银行存款", 1000}, {"短期借款", -700}, {"实收资本", -300}});
    pairs({{"主营业务收入", "本年利润"}});
    // Close March to November without vouchers, then December with one.
    for (int m = 3; m <= 11; ++m) ASSERT_TRUE(close().ok) << m;
    ASSERT_EQ(period(), dayNumber(2013, 12, 1));
    addVoucher(120001, {{"银行存款", 500}, {"主营业务收入", 0, 500}});
    ASSERT_EQ(post().value, 1);
    const auto beforeDecember = std::vector{rows(file::kLedger), rows(file::kGeneralLedger)};
    const auto closed = close();
    ASSERT_TRUE(closed.ok);
    EXPECT_EQ(closed.value.message(), "结转损益与登账完毕！\r\n会计期间进入：2014年1月");
    EXPECT_EQ(period(), dayNumber(2014, 1, 1));

    const auto opening = ledgerText(file::kLedger, "期初余额");
    EXPECT_NE(std::find(opening.begin(), opening.end(), "2014-1-1 0 期初余额 短期借款 0 -700 贷 -700"),
              opening.end());
    EXPECT_NE(std::find(opening.begin(), opening.end(), "2014-1-1 0 期初余额 本年利润 0 -500 贷 -500"),
              opening.end());
    const auto yearRows = ledgerText(file::kLedger, "本年累计");
    EXPECT_NE(std::find(yearRows.begin(), yearRows.end(),
                        "2013-12-31 0 本年累计 银行存款 500 0 借 1500"),
              yearRows.end());
    const auto general = ledgerText(file::kGeneralLedger, "期初余额");
    EXPECT_NE(std::find(general.begin(), general.end(), "2014-1-1 0 期初余额 银行存款 1500 0 借 1500"),
              general.end());

    // Undo the December close: January's opening rows and December's summary
    // rows go (the carry-forward voucher stays, posted); then December's posted
    // vouchers refuse a second undo until posting is undone.
    ASSERT_TRUE(reopen().ok);
    EXPECT_EQ(period(), dayNumber(2013, 12, 1));
    EXPECT_EQ(rows(file::kGeneralLedger), beforeDecember[1]);
    EXPECT_EQ(rows(file::kLedger).size(), beforeDecember[0].size() + 2) << "the carry-forward entries";
    EXPECT_TRUE(ledgerText(file::kLedger, "本年累计").empty());
    EXPECT_EQ(reopen().message, kUndoPostingFirst);
}

TEST_F(CloseTest, TheYearRowsOfDecemberSumEveryEntryOfTheYear) {
    // The year's movement comes from the months' 本月合计 rows: entries in
    // several months, an account first posted in the autumn, and a line whose
    // own summary reads 本月合计 (an entry, counted once) must all add up.
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    pairs({});
    addVoucher(30001, {{"银行存款", 100.1}, {"短期借款", 0, 100.1, "本月合计"}});
    ASSERT_EQ(post().value, 1);
    for (int m = 3; m <= 11; ++m) {
        if (m == 7) {
            addVoucher(70001, {{"现金", 0.2}, {"短期借款", 0, 0.2}});
            addVoucher(70002, {{"现金", 0.1}, {"银行存款", 0, 0.1}});
            ASSERT_EQ(post().value, 2);
        }
        ASSERT_TRUE(close().ok) << m;
    }
    addVoucher(120001, {{"现金", 33.33}, {"银行存款", 0, 33.33}});
    ASSERT_EQ(post().value, 1);
    ASSERT_TRUE(close().ok);
    const auto year = ledgerText(file::kLedger, "本年累计");
    EXPECT_EQ(year, (std::vector<std::string>{"2013-12-31 0 本年累计 银行存款 100.1 -33.43 借 1066.67",
                                              "2013-12-31 0 本年累计 实收资本 0 0 贷 -1000",
                                              "2013-12-31 0 本年累计 短期借款 0 -100.3 贷 -100.3",
                                              "2013-12-31 0 本年累计 现金 33.63 0 借 33.63"}));
    // Undone and closed again, December writes the same rows.
    const auto ledger = rows(file::kLedger), general = rows(file::kGeneralLedger);
    ASSERT_TRUE(reopen().ok);
    ASSERT_TRUE(close().ok);
    EXPECT_EQ(rows(file::kLedger), ledger);
    EXPECT_EQ(rows(file::kGeneralLedger), general);
}

TEST_F(CloseTest, UndoCloseRemovesTheReopenedMonthsRows) {
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    pairs({});
    // Undo close in the starting month would remove the opening rows: refused.
    EXPECT_EQ(reopen().message, kNothingToUndo);

    addVoucher(30001, {{"银行存款", 10}, {"短期借款", 0, 10}});
    ASSERT_EQ(post().value, 1);
    const auto posted = std::vector{rows(file::kLedger), rows(file::kGeneralLedger)};
    ASSERT_TRUE(close().ok);
    const auto closedOnce = std::vector{rows(file::kLedger), rows(file::kGeneralLedger)};
    const auto reopened = reopen();
    ASSERT_TRUE(reopened.ok) << reopened.message;
    EXPECT_EQ(reopened.value.message(), "结账已撤销，当前会计期间：2013年3月");
    EXPECT_EQ(period(), dayNumber(2013, 3, 1));
    EXPECT_EQ((std::vector{rows(file::kLedger), rows(file::kGeneralLedger)}), posted);
    // Closing again gives the same rows.
    ASSERT_TRUE(close().ok);
    EXPECT_EQ((std::vector{rows(file::kLedger), rows(file::kGeneralLedger)}), closedOnce);

    // A posted voucher in the open month blocks the undo.
    addVoucher(40001, {{"银行存款", 1}, {"短期借款", 0, 1}});
    ASSERT_EQ(post().value, 1);
    EXPECT_EQ(reopen().message, kUndoPostingFirst);
    EXPECT_EQ(period(), dayNumber(2013, 4, 1));
}

TEST_F(CloseTest, AMonthWithUnpostedVouchersIsNotClosed) {
    enableWith({});
    addVoucher(30001, {{"现金", 1}, {"银行存款", 0, 1}}, false);
    const auto before = std::vector{rows(file::kLedger), rows(file::kGeneralLedger)};
    EXPECT_EQ(close().message, kNotAllPosted);
    EXPECT_EQ((std::vector{rows(file::kLedger), rows(file::kGeneralLedger)}), before);
    EXPECT_EQ(period(), dayNumber(2013, 3, 1));
}

TEST(CloseDates, TheMonthsLastDayFollowsTheGregorianLeapYears) {
    EXPECT_EQ(formatDate(lastDayOfMonth(dayNumber(2024, 2, 1))), "2024-2-29");
    EXPECT_EQ(formatDate(lastDayOfMonth(dayNumber(2100, 2, 1))), "2100-2-28");
    EXPECT_EQ(formatDate(lastDayOfMonth(dayNumber(2000, 2, 1))), "2000-2-29");
    EXPECT_EQ(closeQuestion(dayNumber(2013, 3, 1)), "当前会计期间为2013年3月，是否要结转本期损益并结账！");
}

}  // namespace
}  // namespace tw::test
