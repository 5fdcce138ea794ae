// Posting and undoing it on a real set, checked in the table files.
#include "closing_fixture.h"
#include "storage/ledger_convention.h"

namespace tw::test {
namespace {

class PostingTest : public ClosingTest {};

TEST_F(PostingTest, AVoucherBecomesTwoLedgerRowsAndRunningTotals) {
    enableWith({});
    addVoucher(30001, {{"银行存款", 1000, 0, "收到货款"}, {"主营业务收入", 0, 1000, "收到货款"}});
    const auto posted = post();
    ASSERT_TRUE(posted.ok) << posted.message;
    EXPECT_EQ(posted.value, 1);
    EXPECT_EQ(postedMessage(posted.value), "1张凭证被登账。");
    EXPECT_EQ(ledgerText(file::kLedger),
              (std::vector<std::string>{"2013-3-31 30001 收到货款 银行存款 1000 0 借 1000",
                                        "2013-3-31 30001 收到货款 主营业务收入 0 -1000 贷 -1000"}));
    const auto totals = rows(file::kBalances);
    ASSERT_EQ(totals.size(), 2u);
    EXPECT_EQ(totals[0], (std::vector<Value>{"银行存款", 1000.0, 0.0, "借", 1000.0}));
    EXPECT_EQ(totals[1], (std::vector<Value>{"主营业务收入", 0.0, -1000.0, "贷", -1000.0}));
    EXPECT_EQ(rows(file::kVouchers)[0][28].text(), "张三");  // 登账 = the user

    // On an account standing at 1000, a credit of 400 leaves 600 on the debit side;
    // a debit of 600 brings 主营业务收入 to exactly nothing: "平".
    addVoucher(30002, {{"应付账款", 400}, {"银行存款", 0, 400}});
    addVoucher(30003, {{"主营业务收入", 1000}, {"应收账款", 0, 1000}});
    ASSERT_EQ(post().value, 2);
    const auto ledger = ledgerText(file::kLedger);
    EXPECT_EQ(ledger[3], "2013-3-31 30002 摘要 银行存款 0 -400 借 600");
    EXPECT_EQ(ledger[4], "2013-3-31 30003 摘要 主营业务收入 1000 0 平 0");
    EXPECT_EQ(rows(file::kBalances)[0], (std::vector<Value>{"银行存款", 1000.0, -400.0, "借", 600.0}));
}

TEST_F(PostingTest, ZeroAndDoubleAmountLinesAndTheOrderOfReview) {
    enableWith({});
    // A line with an account and no amounts gives a debit and a credit row of
    // zero; a line with both amounts gives none.
    addVoucher(30001, {{"现金", 0, 0}, {"银行存款", 5, 5}});
    // Reviewed, not reviewed, reviewed: posting stops at the second, silently.
    addVoucher(30002, {{"现金", 10}, {"银行存款", 0, 10}}, false);
    addVoucher(30003, {{"现金", 20}, {"银行存款", 0, 20}});
    // A voucher of another month is neither posted nor counted.
    addVoucher(dayNumber(2013, 4, 2), 40001, {{"现金", 7}, {"银行存款", 0, 7}});

    const PostingCounts before = runCaught([&] { return refreshPostingCounts(*store, session); }).value;
    EXPECT_EQ(before.total, 3);
    EXPECT_EQ(before.unreviewed, 1);
    EXPECT_TRUE(before.canPost());
    EXPECT_FALSE(before.canClose());

    EXPECT_EQ(post().value, 1);
    EXPECT_EQ(ledgerText(file::kLedger),
              (std::vector<std::string>{"2013-3-31 30001 摘要 现金 0 0 平 0",
                                        "2013-3-31 30001 摘要 现金 0 0 平 0"}));
    const auto after = runCaught([&] { return refreshPostingCounts(*store, session); }).value;
    EXPECT_EQ(after.posted, 1);
    // 30003 is reviewed and waits behind 30002: the button stays enabled, and
    // posting again posts nothing until 30002 is reviewed.
    EXPECT_TRUE(after.canPost());
    EXPECT_EQ(post().value, 0);
}

TEST_F(PostingTest, UndoPostingKeepsTheOpeningRowsAndTheirTotals) {
    enableWith({{"银行存款", 500}, {"短期借款", -500}});
    const auto openingLedger = rows(file::kLedger);
    const auto openingTotals = rows(file::kBalances);
    addVoucher(30001, {{"银行存款", 1000}, {"主营业务收入", 0, 1000}});
    addVoucher(30002, {{"管理费用", 250.25}, {"银行存款", 0, 250.25}});
    ASSERT_EQ(post().value, 2);
    ASSERT_EQ(rows(file::kLedger).size(), 6u);

    ASSERT_TRUE(undoPost().ok);
    EXPECT_EQ(rows(file::kLedger), openingLedger);
    // The accounts that moved keep their records, at their opening totals.
    const auto totals = rows(file::kBalances);
    EXPECT_EQ(totals[0], openingTotals[0]);
    EXPECT_EQ(totals[1], openingTotals[1]);
    EXPECT_EQ(totals[2], (std::vector<Value>{"主营业务收入", 0.0, 0.0, "平", 0.0}));
    for (const auto& page : rows(file::kVouchers)) {
        EXPECT_EQ(page[28].text(), "") << "登账 emptied";
        EXPECT_EQ(page[27].text(), "李四") << "审核 stays";
    }
    // Reviewed still, so they post again at once.
    EXPECT_EQ(post().value, 2);
}

TEST_F(PostingTest, AFailureAtAnyTablePostsNothing) {
    enableWith({{"现金", 100}, {"实收资本", -100}});
    addVoucher(30001, {{"银行存款", 1000}, {"主营业务收入", 0, 1000}});
    const auto before = std::vector{rows(file::kVouchers), rows(file::kLedger), rows(file::kBalances)};
    for (int failAt = 0; failAt < 3; ++failAt) {
        store->setCommitHook([n = 0, failAt](const std::filesystem::path&) mutable {
            if (n++ == failAt) throw StoreError("injected");
        });
        EXPECT_FALSE(post().ok);
        EXPECT_EQ((std::vector{rows(file::kVouchers), rows(file::kLedger), rows(file::kBalances)}),
                  before)
            << "failing at table " << failAt;
    }
    store->setCommitHook({});
    EXPECT_EQ(post().value, 1);
}

TEST_F(PostingTest, ATableThatCannotBeReadStopsEveryOperationBeforeAnyWrite) {
    enableWith({{"现金", 100}, {"实收资本", -100}});
    addVoucher(30001, {{"银行存款", 10}, {"主营业务收入", 0, 10}});
    const auto vouchers = rows(file::kVouchers);
    const auto ledger = rows(file::kLedger);
    std::filesystem::resize_file(path(file::kBalances), 100);  // damaged
    EXPECT_EQ(post().message, kUnreadableSet);
    EXPECT_EQ(undoPost().message, kUnreadableSet);
    EXPECT_FALSE(close().ok);
    EXPECT_EQ(rows(file::kVouchers), vouchers);
    EXPECT_EQ(rows(file::kLedger), ledger);
    EXPECT_EQ(session.login.period, dayNumber(2013, 3, 1));
}

// Sixty vouchers of 999,999,999,999.99 on each of four lines bring 现金 to
// 59,999,999,999,999.40: every running balance, total and close row is exact
// to the cent, where a running sum of doubles drifted to …999.63. A balance
// beyond ±70,000,000,000,000.00, where a double no longer holds every cent,
// is refused and nothing is posted.
TEST_F(PostingTest, BalancesOfTensOfTrillionsStayExactToTheCent) {
    enableWith({});
    const double amount = 999999999999.99;
    for (int n = 1; n <= 60; ++n)
        addVoucher(30000 + n, {{"现金", amount}, {"实收资本", 0, amount}, {"银行存款", amount}, {"资本公积", 0, amount}});
    ASSERT_EQ(post().value, 60);
    const std::int64_t cents = 60 * 99999999999999LL;
    const double sum = static_cast<double>(cents) / 100;
    const auto signedSum = [&](const std::string& account) {
        return account == "现金" || account == "银行存款" ? sum : -sum;
    };
    const auto ledger = rows(file::kLedger);
    ASSERT_EQ(ledger.size(), 240u);
    for (std::size_t i = 236; i < 240; ++i)
        EXPECT_EQ(ledger[i][7].number(), signedSum(ledger[i][3].text())) << ledger[i][3].text();
    for (const auto& t : rows(file::kBalances)) {
        EXPECT_EQ(t[1].number() + t[2].number(), signedSum(t[0].text())) << t[0].text();
        EXPECT_EQ(t[4].number(), signedSum(t[0].text())) << t[0].text();
    }

    const auto closed = close();
    ASSERT_TRUE(closed.ok) << closed.message;
    int summaries = 0;
    for (const char* file : {file::kLedger, file::kGeneralLedger})
        for (const auto& r : rows(file)) {
            if (r[1].integer() != 0 || (r[2].text() != kMonthTotal && r[2].text() != kYearTotal)) continue;
            ++summaries;
            EXPECT_EQ(r[4].number() + r[5].number(), signedSum(r[3].text())) << file << " " << r[3].text();
            EXPECT_EQ(r[7].number(), signedSum(r[3].text())) << file << " " << r[3].text();
        }
    EXPECT_EQ(summaries, 4 + 8) << "账库's month rows, 总账库's month and year rows";

    // Ten more in April reach 69,999,999,999,999.30; the eleventh would pass the limit.
    for (int n = 1; n <= 11; ++n) addVoucher(40000 + n, {{"现金", amount}, {"实收资本", 0, amount}});
    const auto before = std::vector{rows(file::kVouchers), rows(file::kLedger), rows(file::kBalances)};
    const auto refused = post();
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "科目“现金”的余额或发生额合计将超过±70000000000000.00，无法再精确到分，不能继续！");
    EXPECT_EQ((std::vector{rows(file::kVouchers), rows(file::kLedger), rows(file::kBalances)}), before);
}

}  // namespace
}  // namespace tw::test
