// A month from a shell: vouchers added, reviewed, posted and closed through
// tallowick-cli, then the month's report printed and written, and the
// vouchers found again by conditions. Exact output, then the files.
#include <gtest/gtest.h>

#include "platform/xlsx_reader.h"
#include "storage/store_fixture.h"
#include "support/cli_set_fixture.h"
#include "support/scoped_home.h"

namespace tw {
namespace {

class ReportCliTest : public test::CliSetTest {
protected:
    void SetUp() override {
        CliSetTest::SetUp();
        if (!HasFatalFailure()) enableWithCapital();
    }
};

TEST_F(ReportCliTest, AMonthFromVouchersToItsPrintedReport) {
    // Without --out the workbook goes into the home folder: one of the test's own.
    const test::TempDir home;
    const test::ScopedHome homeForCommands(home.path());
    ASSERT_EQ(run({"voucher", "add", "--day", "5", "--line", "销售|银行存款|500|", "--line",
                   "销售|主营业务收入||500"})
                  .status,
              0);
    ASSERT_EQ(run({"voucher", "add", "--day", "9", "--line", "报销|管理费用|120.5|", "--line",
                   "报销|银行存款||120.5"})
                  .status,
              0);
    // The month is still open: no report.
    auto r = run({"report", "--year", "2013", "--month", "3", "--print"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "无此月份数据！请检查！\n");
    EXPECT_EQ(r.out, "");

    ASSERT_EQ(run({"review-all"}).status, 0);
    ASSERT_EQ(run({"post"}).status, 0);
    ASSERT_EQ(run({"close"}).status, 0);

    r = run({"report", "--year", "2013", "--month", "3", "--print"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "科目汇总表\t科目汇总表\n"
              "科目汇总表\t\t\t2013年3月\n"
              "科目汇总表\t单位：某公司\n"
              "科目汇总表\t会计科目\t借方发生额\t贷方发生额\n"
              "科目汇总表\t银行存款\t500.00\t120.50\n"
              "科目汇总表\t主营业务收入\t500.00\t500.00\n"
              "科目汇总表\t管理费用\t120.50\t120.50\n"
              "科目汇总表\t本年利润\t120.50\t500.00\n"
              "科目汇总表\t实收资本\n"
              "科目汇总表\t合计\t1241.00\t1241.00\n"
              "科目汇总表\t制表：张三     " + chineseDate(today()) + "\n"
              "试算平衡表\t试算平衡表\n"
              "试算平衡表\t单位：某公司\t\t\t\t\t\t\t2013年3月\n"
              "试算平衡表\t会计科目\t期初余额\t\t累计发生\t\t期末余额\t\t年初余额\n"
              "试算平衡表\t\t借方\t贷方\t借方\t贷方\t借方\t贷方\t借方\t贷方\n"
              "试算平衡表\t银行存款\t1000.00\t\t500.00\t120.50\t1379.50\t\t1000.00\n"
              "试算平衡表\t主营业务收入\t\t\t500.00\t500.00\n"
              "试算平衡表\t管理费用\t\t\t120.50\t120.50\n"
              "试算平衡表\t本年利润\t\t\t120.50\t500.00\t\t379.50\n"
              "试算平衡表\t实收资本\t\t1000.00\t\t\t\t1000.00\t\t1000.00\n"
              "试算平衡表\t合计\t1000.00\t1000.00\t1241.00\t1241.00\t1379.50\t1379.50\t1000.00\t1000.00\n");

    // --out writes the workbook there; the ledgers go beside the set's tables.
    const test::TempDir elsewhere;  // a workbook of the user's, outside the directory
    const auto out = elsewhere / "三月.xlsx";
    r = run({"report", "--year", "2013", "--month", "3", "--out", out.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto folder = dataDir / "演示";
    EXPECT_EQ(r.out, out.string() + "\n" + (folder / "总账.xls").string() + "\n" +
                         (folder / "分账.xls").string() + "\n");
    std::string error;
    const auto trial = readXlsxSheet(out, 2, &error);
    ASSERT_TRUE(trial) << error;
    EXPECT_EQ(trial->at("A10"), "合计");
    EXPECT_EQ(trial->at("F10"), "1379.5");
    EXPECT_EQ(trial->at("G10"), "1379.5");
    EXPECT_TRUE(std::filesystem::exists(home / "报表-2013-03.xlsx"));  // from --print
    EXPECT_FALSE(std::filesystem::exists(folder / "报表-2013-03.xlsx"));

    // The vouchers found again, carry-forward ones included.
    r = run({"search", "--from", "2013-03-01", "--to", "2013-03-31"});
    EXPECT_EQ(r.out,
              "2013-3-5\t30001\t1\t1\t销售\t500\n"
              "2013-3-9\t30002\t1\t1\t报销\t120.5\n"
              "2013-3-31\t30003\t1\t1\t结转损益\t500\n"
              "2013-3-31\t30004\t1\t1\t结转损益\t120.5\n");
    r = run({"search", "--from", "2013-03-01", "--to", "2013-03-31", "--credit", "银行存款",
             "--poster", "张三", "--max", "200"});
    EXPECT_EQ(r.out, "2013-3-9\t30002\t1\t1\t报销\t120.5\n");
    r = run({"search", "--min", "abc"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "金额必须是数字！\n");
}

}  // namespace
}  // namespace tw
