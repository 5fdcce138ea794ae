// tallowick-cli's voucher commands run from a shell as a user would: exact
// output and exit status, then 凭证库 read back.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "support/cli_set_fixture.h"

namespace tw {
namespace {

class VouchersCliTest : public test::CliSetTest {
protected:
    void SetUp() override {
        CliSetTest::SetUp();
        if (!HasFatalFailure()) enableWithCapital();
    }
    std::string voucherBytes() const {
        std::ifstream in(dataDir / "演示" / file::kVouchers, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    // 月编号/第几/共几 of every page in record order, as `vouchers` lists them.
    std::string pages() { return test::listedPages(run({"vouchers"}).out); }
};

TEST_F(VouchersCliTest, FiveLinesSpreadOverTwoPagesAndAreListed) {
    const auto added = run({"voucher", "add", "--day", "5", "--attachments", "2",
                            "--line", "收到货款|银行存款|1000|", "--line", "收回欠款|现金|200.5|",
                            "--line", "销售|主营业务收入||1000", "--line", "销项税额|应交税费→应交增值税||170",
                            "--line", "其他|其他业务收入||30.5"});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "30001\n");
    const auto listed = run({"vouchers"});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.out,
              "30001\t1\t2\t2013-03-05\t2\t收到货款\t银行存款\t1000\t\t收回欠款\t现金\t200.5\t\t"
              "销售\t主营业务收入\t\t1000\t销项税额\t应交税费→应交增值税\t\t170\t\t\t张三\t\t\n"
              "30001\t2\t2\t2013-03-05\t0\t其他\t其他业务收入\t\t30.5\t\t\t\t\t\t\t\t\t\t\t\t\t"
              "1200.5\t1200.5\t张三\t\t\n");
}

TEST_F(VouchersCliTest, UnbalancedEmptyAndMalformedVouchersWriteNothing) {
    ASSERT_EQ(run({"voucher", "add", "--day", "1", "--line", "a|现金|10|", "--line", "b|银行存款||10"}).status, 0);
    const std::string before = voucherBytes();
    const auto unbalanced = run({"voucher", "add", "--day", "2", "--line", "a|现金|10|",
                                 "--line", "b|银行存款||9.99"});
    EXPECT_EQ(unbalanced.status, 1);
    EXPECT_EQ(unbalanced.err, "当前凭证不完全，如需增加子页，可点击[增加子页]按钮。\n"
                              "借方合计 10，贷方合计 9.99\n");
    EXPECT_EQ(unbalanced.out, "");
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{"--line", "a|现金|10|10", "--line", "b|银行存款||0"}, "一行只能填借方金额或贷方金额，不能两者都填！\n"},
        {{"--line", "a|现金|十|", "--line", "b|银行存款||10"}, "金额必须是数字！\n"},
        {{"--line", "a|现金|-10|", "--line", "b|银行存款||-10"}, "金额不能是负数！\n"},
        {{"--line", "a|现金|10"}, "凭证行须写成“摘要|科目|借方金额|贷方金额”：a|现金|10\n"},
        {{"--line", "a|无此科目|10|", "--line", "b|银行存款||10"}, "没有这个科目：无此科目\n"},
        {{"--line", "a||10|", "--line", "b|银行存款||10"}, "先输入科目名称！\n"},
        {{"--line", "a|现金||", "--line", "b|银行存款||"}, "当前凭证不完全，如需增加子页，可点击[增加子页]按钮。\n借方合计 0，贷方合计 0\n"},
    };
    for (const auto& [lines, message] : refused) {
        std::vector<std::string> args{"voucher", "add", "--day", "3"};
        args.insert(args.end(), lines.begin(), lines.end());
        const auto r = run(args);
        EXPECT_EQ(r.status, 1) << message;
        EXPECT_EQ(r.err, message);
    }
    EXPECT_EQ(run({"voucher", "add", "--day", "32", "--line", "a|现金|1|", "--line", "b|银行存款||1"}).err,
              "日期必须在1到31日之间！\n");
    EXPECT_EQ(voucherBytes(), before);
    EXPECT_EQ(pages(), "30001 1/1;");
}

TEST_F(VouchersCliTest, ReviewDeleteAndSortThroughTheWindowsRules) {
    for (const char* day : {"9", "2", "5"})
        ASSERT_EQ(run({"voucher", "add", "--day", day, "--line", "a|现金|10|", "--line", "b|银行存款||10"}).status, 0);
    EXPECT_EQ(run({"review", "--number", "30002"}).out, "30002\t张三\n");
    const auto reviewed = run({"voucher", "delete", "--number", "30002", "--page", "1"});
    EXPECT_EQ(reviewed.status, 1);
    EXPECT_EQ(reviewed.err, "当前凭证已被审核无法删除！\n");
    EXPECT_EQ(run({"review", "--number", "30002"}).out, "30002\t\n");
    EXPECT_EQ(run({"review", "--number", "30009"}).err, "本月没有这张凭证：30009 第1张\n");

    EXPECT_EQ(run({"review-all"}).out, "本月凭证全部被审核。\n");
    EXPECT_EQ(run({"review-all", "--undo"}).out, "本月凭证全部被撤销。\n");

    ASSERT_EQ(run({"voucher", "delete", "--number", "30001", "--page", "1"}).status, 0);
    EXPECT_EQ(pages(), "30001 1/1;30002 1/1;");
    const auto sorted = run({"vouchers", "sort"});
    EXPECT_EQ(sorted.status, 0) << sorted.err;
    EXPECT_EQ(sorted.out, "");
    // The 2nd (formerly 30001) and the 5th (30002) in date order.
    const auto listed = run({"vouchers"}).out;
    EXPECT_TRUE(listed.starts_with("30001\t1\t1\t2013-03-02")) << listed;
    EXPECT_NE(listed.find("\n30002\t1\t1\t2013-03-05"), std::string::npos) << listed;
}

}  // namespace
}  // namespace tw
