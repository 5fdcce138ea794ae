// The cash-flow statement from a shell, on a set made by `set create`: March
// posted and closed through tallowick-cli, then its statement and detail,
// the quarter, a month without cash, a voucher assigned by hand, and the
// rules file listed, spoilt and written again.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "platform/xlsx_reader.h"
#include "storage/schemas.h"
#include "storage/store_fixture.h"
#include "support/cli_set_fixture.h"
#include "support/pdf_text.h"

namespace tw {
namespace {

class CashFlowCliTest : public test::CliSetTest {
protected:
    void SetUp() override {
        CliSetTest::SetUp();
        if (HasFatalFailure()) return;
        enableWithCapital();
        for (const auto& args : {
                 std::vector<std::string>{"voucher", "add", "--day", "5", "--line", "销售|银行存款|565|", "--line",
                                          "销售|主营业务收入||500", "--line", "销项税|应交税费→应交增值税||65"},
                 {"voucher", "add", "--day", "8", "--line", "提现|现金|200|", "--line", "提现|银行存款||200"},
                 {"voucher", "add", "--day", "9", "--line", "报销|管理费用|120.5|", "--line", "报销|现金||120.5"},
                 {"voucher", "add", "--day", "12", "--line", "买设备|固定资产|300|", "--line",
                  "进项税|应交税费→应交增值税|39|", "--line", "买设备|银行存款||339"},
                 {"voucher", "add", "--day", "15", "--line", "借款|银行存款|1000|", "--line", "借款|短期借款||1000"},
                 {"voucher", "add", "--day", "20", "--line", "盘盈|现金|50|", "--line", "盘盈|待处理财产损溢||50"},
                 {"review-all"}, {"post"}, {"close"}})
            ASSERT_EQ(run(args).status, 0) << args[0] << " " << (args.size() > 3 ? args[3] : "");
    }
};

const std::string kMarch =
        "现金流量表\t2013年3月\t本年累计金额\t本月金额\n"
        "1\t销售产成品、商品、提供劳务收到的现金\t565.00\t565.00\n"
        "2\t收到其他与经营活动有关的现金\t50.00\t50.00\n"
        "3\t减：购买原材料、商品、接受劳务支付的现金\t\t\n"
        "4\t支付的职工薪酬\t\t\n"
        "5\t支付的税费\t\t\n"
        "6\t支付其他与经营活动有关的现金\t120.50\t120.50\n"
        "7\t经营活动产生的现金流量净额\t494.50\t494.50\n"
        "8\t收回短期投资、长期债券投资和长期股权投资收到的现金\t\t\n"
        "9\t取得投资收益收到的现金\t\t\n"
        "10\t处置固定资产、无形资产和其他非流动资产收回的现金净额\t\t\n"
        "11\t减：短期投资、长期债券投资和长期股权投资支付的现金\t\t\n"
        "12\t购建固定资产、无形资产和其他非流动资产支付的现金\t339.00\t339.00\n"
        "13\t投资活动产生的现金流量净额\t-339.00\t-339.00\n"
        "14\t取得借款收到的现金\t1000.00\t1000.00\n"
        "15\t吸收投资者投资收到的现金\t\t\n"
        "16\t减：偿还借款本金支付的现金\t\t\n"
        "17\t偿还借款利息支付的现金\t\t\n"
        "18\t分配利润支付的现金\t\t\n"
        "19\t筹资活动产生的现金流量净额\t1000.00\t1000.00\n"
        "20\t四、现金净增加额\t1155.50\t1155.50\n"
        "21\t加：期初现金余额\t1000.00\t1000.00\n"
        "22\t五、期末现金余额\t2155.50\t2155.50\n"
        "注：科目“待处理财产损溢”不在现金流量项目中，已计入第2行“收到其他与经营活动有关的现金”。\n";

const std::string kMarchDetail =
        "现金流量明细\t2013年3月\n"
        "1\t30001\t2013-3-5\t销售\t565.00\t主营业务收入、应交税费→应交增值税\n"
        "2\t30006\t2013-3-20\t盘盈\t50.00\t待处理财产损溢\n"
        "6\t30003\t2013-3-9\t报销\t120.50\t管理费用\n"
        "12\t30004\t2013-3-12\t买设备\t339.00\t固定资产、应交税费→应交增值税\n"
        "14\t30005\t2013-3-15\t借款\t1000.00\t短期借款\n";

TEST_F(CashFlowCliTest, TheStatementOfAMonthItsDetailAndAQuarter) {
    auto r = run({"cash-flow", "--year", "2013", "--month", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kMarch);
    EXPECT_EQ(r.err, "");

    r = run({"cash-flow", "--year", "2013", "--month", "3", "--detail"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kMarch + kMarchDetail);

    // The first quarter is March, the books' first month.
    std::string quarter = kMarch;
    quarter.replace(0, quarter.find('\n'), "现金流量表\t2013年第1季度\t本年累计金额\t本期金额");
    r = run({"cash-flow", "--year", "2013", "--quarter", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, quarter);

    // April without cash: its two balances, the year so far beside them.
    ASSERT_EQ(run({"close"}).status, 0);
    r = run({"cash-flow", "--year", "2013", "--month", "4", "--detail"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("1\t销售产成品、商品、提供劳务收到的现金\t565.00\t\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("20\t四、现金净增加额\t1155.50\t\n"
                         "21\t加：期初现金余额\t1000.00\t2155.50\n"
                         "22\t五、期末现金余额\t2155.50\t2155.50\n"),
              std::string::npos)
        << r.out;
    EXPECT_TRUE(r.out.ends_with("现金流量明细\t2013年4月\n")) << "nothing went into April's lines";

    for (const auto& [args, message] :
         {std::pair<std::vector<std::string>, std::string>{{"cash-flow", "--year", "2013", "--month", "5"},
                                                           "无此月份数据！请检查！\n"},
          {{"cash-flow", "--year", "2013", "--quarter", "5"}, "季度应为1到4！\n"},
          {{"cash-flow", "--year", "2013"}, "请用 --month 或 --quarter 指定报表的月份或季度！\n"},
          {{"cash-flow", "--month", "3"}, "请给出年份 (--year)。\n"}}) {
        r = run(args);
        EXPECT_EQ(r.status, 1) << args.back();
        EXPECT_EQ(r.err, message) << args.back();
        EXPECT_EQ(r.out, "");
    }
}

TEST_F(CashFlowCliTest, TheStatementAsAWorkbookAndAsAPage) {
    const test::TempDir elsewhere;
    const auto book = elsewhere / "现金流量.xlsx";
    const auto pdf = elsewhere / "现金流量.pdf";
    auto r = run({"cash-flow", "--year", "2013", "--month", "3", "--xlsx", book.string(), "--pdf", pdf.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "") << "the files instead of the rows";

    std::string error;
    const auto sheet = readXlsxSheet(book, 1, &error);
    ASSERT_TRUE(sheet) << error;
    EXPECT_EQ(sheet->at("A1"), "现金流量表");
    EXPECT_EQ(sheet->at("D2"), "会小企03表");
    EXPECT_EQ(sheet->at("A3"), "编制单位：某公司");
    EXPECT_EQ(sheet->at("C4"), "本年累计金额");
    EXPECT_EQ(sheet->at("A5"), "一、经营活动产生的现金流量：");
    EXPECT_EQ(sheet->at("C6"), "565") << "a number, not a text";
    EXPECT_EQ(sheet->at("A29"), "五、期末现金余额");
    EXPECT_EQ(sheet->at("D29"), "2155.5");

    const std::string text = tw::test::pdfText(pdf);
    for (const char* t : {"现金流量表", "会小企03表", "2013年3月", "五、期末现金余额", "2,155.50", "本月金额"})
        EXPECT_NE(text.find(t), std::string::npos) << t;
}

// The rules listed as the file holds them; a spoilt file refused, naming its
// line, by the listing and by the statement alike; deleted, it is written
// again by the next start.
TEST_F(CashFlowCliTest, TheRulesAreListedAndASpoiltFileIsRefused) {
    auto r = test::runCli(dataDir, {"cash-flow-rules"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("现金科目\t现金 + 银行存款 + 其他货币资金\n主营业务收入\t1\t1\n")) << r.out;
    EXPECT_NE(r.out.find("\n应交税费\t2\t5\t1、3、10、12\n"), std::string::npos);
    EXPECT_NE(r.out.find("\n财务费用→利息费用\t2\t17\n"), std::string::npos);
    EXPECT_TRUE(r.out.ends_with("\n营业外支出\t2\t6\n"));
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 47);
    const std::string listed = r.out;

    const auto file = dataDir / "现金流量项目.txt";
    std::ifstream in(file, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    const long lines = std::count(written.begin(), written.end(), '\n');
    std::ofstream(file, std::ios::app) << "研发支出\t12\t7\n";
    r = test::runCli(dataDir, {"cash-flow-rules"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "现金流量项目文件“现金流量项目.txt”有误，第" + std::to_string(lines + 1) +
                         "行：付“7”应为现金流量表第1到6、8到12、14到18行之一。请改正，或删除它后重新启动程序。\n");
    EXPECT_EQ(r.out, "");
    r = run({"cash-flow", "--year", "2013", "--month", "3"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("第" + std::to_string(lines + 1) + "行：付“7”"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");

    std::filesystem::remove(file);
    r = test::runCli(dataDir, {"cash-flow-rules"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, listed) << "written again at start-up";
}

// A voucher put on other lines by hand: shown as assigned in the detail,
// refused when the amounts do not add up (the table unchanged), carried by
// a backup, taken back.
TEST_F(CashFlowCliTest, AVoucherAssignedByHand) {
    const std::vector<std::string> assign{"cash-flow", "assign", "--month", "2013-03", "--number", "30001"};
    const auto with = [&](std::vector<std::string> lines) {
        std::vector<std::string> args = assign;
        for (const std::string& l : lines) args.insert(args.end(), {"--line", l});
        return run(args);
    };
    auto r = with({"1=500", "2=65"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2013年3月的凭证30001的现金流量已指定：第1行 500.00，第2行 65.00。\n");
    const auto stored = rows(file::kCashFlowAssignments);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0][1].number(), 30001);
    EXPECT_EQ(stored[0][2].integer(), 1);
    EXPECT_EQ(stored[0][3].number(), 500);
    EXPECT_EQ(stored[1][2].integer(), 2);
    EXPECT_EQ(stored[1][3].number(), 65);

    r = run({"cash-flow", "--year", "2013", "--month", "3", "--detail"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("1\t销售产成品、商品、提供劳务收到的现金\t500.00\t500.00\n"
                         "2\t收到其他与经营活动有关的现金\t115.00\t115.00\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("现金流量明细\t2013年3月\n"
                         "1\t30001\t2013-3-5\t销售\t500.00\t指定\n"
                         "2\t30001\t2013-3-5\t销售\t65.00\t指定\n"
                         "2\t30006\t2013-3-20\t盘盈\t50.00\t待处理财产损溢\n"),
              std::string::npos)
        << r.out;

    for (const auto& [lines, message] :
         {std::pair<std::vector<std::string>, std::string>{
              {"1=500"}, "指定的金额合计（收入减支出）为500.00，2013年3月的凭证30001的现金收支净额为565.00，相差65.00！\n"},
          {{"1:565"}, "指定应写成 行次=金额：1:565\n"},
          {{"1=565.001"}, "金额最多只能有两位小数！\n"},
          {{"13=565"}, "行次13不是计入现金收支的行，应为第1到6、8到12、14到18行之一！\n"}}) {
        r = with(lines);
        EXPECT_EQ(r.status, 1) << lines[0];
        EXPECT_EQ(r.err, message) << lines[0];
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(rows(file::kCashFlowAssignments), stored) << "nothing written";
    }

    // A backup carries the assignments; restored, they are back.
    const test::TempDir elsewhere;
    const auto archive = elsewhere / "备份.zip";
    ASSERT_EQ(run({"backup", "--to", archive.string()}).status, 0);
    r = run(assign);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2013年3月的凭证30001的现金流量指定已取消。\n");
    EXPECT_TRUE(rows(file::kCashFlowAssignments).empty());
    EXPECT_EQ(run({"cash-flow", "--year", "2013", "--month", "3"}).out, kMarch);
    r = run({"restore", "--from", archive.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(rows(file::kCashFlowAssignments), stored);
}

}  // namespace
}  // namespace tw
