// The year-end transfer of profit: kept per set, done by the December close
// in its one action after the carry-forward, kept by undo close.
#include "closing/year_end_transfer.h"
#include "shell/set_options.h"
#include "statements/statement_fixture.h"

namespace tw::test {
namespace {

class YearEndTransferTest : public StatementTest {
protected:
    void SetUp() override {
        StatementTest::SetUp();
        startIn(2013, 12);
    }
    void setYearEnd(bool on) {
        ASSERT_TRUE(runAction(*store, [&] { setOptionOn(*store, session, kYearEndTransferOption, on); }).ok);
    }
    double balanceOf(const std::string& account) {
        for (const auto& t : rows(file::kBalances))
            if (t[0].text() == account) return t[4].number();
        return 0;
    }
    // A December with a profit of 700.
    void december() {
        enableWith({{"银行存款", 1000}, {"利润分配→未分配利润", -400}, {"实收资本", -600}});
        book("银行存款", "主营业务收入", 900, "销售");
        book("管理费用", "银行存款", 200);
    }
};

TEST_F(YearEndTransferTest, OffUnlessTheSetTurnsItOn) {
    december();
    EXPECT_FALSE(setOptionOn(*store, session, kYearEndTransferOption));
    EXPECT_FALSE(std::filesystem::exists(path(file::kSetOptions))) << "reading makes no file";
    closeMonth();
    EXPECT_EQ(balanceOf("本年利润"), -700) << "the profit stays in 本年利润 into the new year";
    EXPECT_EQ(balanceOf("利润分配→未分配利润"), -400);
    for (const auto& v : rows(file::kVouchers)) EXPECT_NE(v[5].text(), "结转本年利润");
}

TEST_F(YearEndTransferTest, TheDecemberCloseMovesTheYearsProfitAfterTheCarryForward) {
    december();
    setYearEnd(true);
    const size_t before = rows(file::kVouchers).size();
    ASSERT_TRUE(post().ok);
    const auto closed = close();
    ASSERT_TRUE(closed.ok) << closed.message;
    EXPECT_EQ(closed.value.posted, 3) << "two carry-forward vouchers and the transfer";

    const auto vouchers = rows(file::kVouchers);
    ASSERT_EQ(vouchers.size(), before + 3);
    const auto& transfer = vouchers.back();
    EXPECT_EQ(transfer[1].number(), 120005) << "numbered after the carry-forward's 120003, 120004";
    EXPECT_EQ(transfer[4].number(), dayNumber(2013, 12, 31));
    EXPECT_EQ(transfer[5].text(), "结转本年利润");
    EXPECT_EQ(transfer[9].text(), "本年利润");  // a profit: 本年利润 is debited
    EXPECT_EQ(transfer[10].text(), "利润分配→未分配利润");
    EXPECT_EQ(transfer[13].number(), 700);
    EXPECT_EQ(transfer[18].number(), 700);
    EXPECT_EQ(transfer[27].text(), "张三");
    EXPECT_EQ(transfer[28].text(), "张三") << "posted in the same action";
    EXPECT_EQ(balanceOf("本年利润"), 0);
    EXPECT_EQ(balanceOf("利润分配→未分配利润"), -1100);

    // The new year opens with 本年利润 at 0 in both ledgers.
    for (const char* f : {file::kLedger, file::kGeneralLedger}) {
        int opened = 0;
        for (const std::string& l : ledgerText(f, "期初余额"))
            if (l.starts_with("2014-1-1") && l.find(" 本年利润 ") != std::string::npos) {
                EXPECT_NE(l.find(" 平 0"), std::string::npos) << f << ": " << l;
                ++opened;
            }
        EXPECT_EQ(opened, 1) << f;
    }

    // Undo close keeps the vouchers posted; closing again adds none.
    const auto tables = std::vector{rows(file::kLedger), rows(file::kGeneralLedger), rows(file::kVouchers)};
    ASSERT_TRUE(reopen().ok);
    EXPECT_EQ(rows(file::kVouchers), tables[2]);
    EXPECT_EQ(balanceOf("本年利润"), 0);
    ASSERT_TRUE(close().ok);
    EXPECT_EQ((std::vector{rows(file::kLedger), rows(file::kGeneralLedger), rows(file::kVouchers)}), tables);
}

TEST_F(YearEndTransferTest, ALossAndATargetWithoutItsSubAccount) {
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    ASSERT_TRUE(deleteOne("利润分配→未分配利润").ok);
    book("管理费用", "银行存款", 80);
    setYearEnd(true);
    closeMonth();
    const auto transfer = rows(file::kVouchers).back();
    EXPECT_EQ(transfer[5].text(), "结转本年利润");
    EXPECT_EQ(transfer[9].text(), "利润分配") << "a loss: the target is debited";
    EXPECT_EQ(transfer[10].text(), "本年利润");
    EXPECT_EQ(balanceOf("利润分配"), 80);
    EXPECT_EQ(balanceOf("本年利润"), 0);
}

// 利润分配 with sub-accounts of its own but no 未分配利润: the profit has no
// leaf to go to, and the whole close is refused before anything is written.
TEST_F(YearEndTransferTest, ATargetThatIsNoLeafRefusesTheWholeClose) {
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    ASSERT_TRUE(deleteOne("利润分配→未分配利润").ok);
    addSub("利润分配", "提取盈余公积");
    book("银行存款", "主营业务收入", 900, "销售");
    setYearEnd(true);
    ASSERT_TRUE(post().ok);
    const auto before = std::vector{rows(file::kLedger), rows(file::kVouchers), rows(file::kBalances),
                                    rows(file::kGeneralLedger), rows(file::kBasicInfo)};
    const auto refused = close();
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, kNoRetainedEarnings);
    EXPECT_EQ((std::vector{rows(file::kLedger), rows(file::kVouchers), rows(file::kBalances),
                           rows(file::kGeneralLedger), rows(file::kBasicInfo)}),
              before);
}

TEST_F(YearEndTransferTest, OnlyDecemberTransfers) {
    startIn(2013, 11);
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    setYearEnd(true);
    book("银行存款", "主营业务收入", 50);
    closeMonth();
    EXPECT_EQ(balanceOf("本年利润"), -50);
}

}  // namespace
}  // namespace tw::test
