// A month from vouchers to its close and back, driven from a shell through
// tallowick-cli: exact output, then the table files.
#include <gtest/gtest.h>

#include "support/cli_set_fixture.h"

namespace tw {
namespace {

class ClosingCliTest : public test::CliSetTest {
protected:
    void SetUp() override {
        CliSetTest::SetUp();
        if (!HasFatalFailure()) enableWithCapital();
    }
};

TEST_F(ClosingCliTest, AMonthFromVouchersToItsCloseAndBack) {
    auto r = run({"carry-forward", "list"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.starts_with("主营业务收入\t本年利润\n")) << r.out;
    r = run({"carry-forward", "set", "主营业务收入", "利润分配→未分配利润"});
    EXPECT_EQ(r.status, 0) << r.err;
    r = run({"carry-forward", "set", "主营业务收入", "没有的科目"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "“没有的科目”不是会计科目中的科目，请检查后重新填写！\n");

    ASSERT_EQ(run({"voucher", "add", "--day", "5", "--line", "销售|银行存款|500|",
                   "--line", "销售|主营业务收入||500"})
                  .status,
              0);
    ASSERT_EQ(run({"voucher", "add", "--day", "9", "--line", "报销|管理费用|120.5|",
                   "--line", "报销|银行存款||120.5"})
                  .status,
              0);
    EXPECT_EQ(run({"status"}).out, "2013-03\t2\t0\t2\n");
    r = run({"close"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "本月还有凭证没有登账，不能结账！\n");
    ASSERT_EQ(run({"review-all"}).status, 0);
    r = run({"post"});
    EXPECT_EQ(r.out, "2张凭证被登账。\n");
    EXPECT_EQ(run({"status"}).out, "2013-03\t2\t2\t0\n");

    r = run({"close"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2张凭证被登账。\n结转损益与登账完毕！\n会计期间进入：2013年4月\n");
    EXPECT_EQ(run({"status"}).out, "2013-04\t0\t0\t0\n");
    // The two carry-forward vouchers, numbered after 30002, are posted.
    const auto vouchers = rows(file::kVouchers);
    ASSERT_EQ(vouchers.size(), 4u);
    EXPECT_EQ(vouchers[2][1].number(), 30003);
    EXPECT_EQ(vouchers[3][1].number(), 30004);
    for (const auto& t : rows(file::kBalances)) {
        if (t[0].text() == "主营业务收入" || t[0].text() == "管理费用") {
            EXPECT_EQ(t[4].number(), 0) << t[0].text();
        }
    }
    const auto before = rows(file::kGeneralLedger);

    r = run({"undo-close"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "结账已撤销，当前会计期间：2013年3月\n");
    r = run({"undo-close"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "撤销结账前，应先撤销当前月登账！\n");
    EXPECT_EQ(run({"undo-post"}).out, "本月登账均已撤销！\n");
    EXPECT_EQ(run({"status"}).out, "2013-03\t4\t0\t0\n");
    ASSERT_EQ(run({"post"}).out, "4张凭证被登账。\n");
    ASSERT_EQ(run({"close"}).status, 0);
    EXPECT_EQ(rows(file::kGeneralLedger), before) << "closing again gives the same rows";
}

}  // namespace
}  // namespace tw
