// The statements from a shell, on a set made by `set create`: a month
// posted and closed through tallowick-cli, then its statements, its 科目余额表
// and the year-end setting, exact output first, then the files written.
#include <gtest/gtest.h>

#include <cstdio>

#include "platform/xlsx_reader.h"
#include "storage/store_fixture.h"
#include "support/cli_set_fixture.h"
#include "support/pdf_text.h"

namespace tw {
namespace {

using test::pdfText;

class StatementsCliTest : public test::CliSetTest {
protected:
    void SetUp() override {
        CliSetTest::SetUp();
        if (HasFatalFailure()) return;
        enableWithCapital();
        for (const auto& args : {std::vector<std::string>{"voucher", "add", "--day", "5", "--line",
                                                          "销售|银行存款|500|", "--line", "销售|主营业务收入||500"},
                                 {"voucher", "add", "--day", "9", "--line", "报销|管理费用|120.5|", "--line",
                                  "报销|银行存款||120.5"},
                                 {"review-all"}, {"post"}, {"close"}})
            ASSERT_EQ(run(args).status, 0) << args[0];
    }
};

const std::string kMarch =
        "资产负债表\t2013年3月31日\t期末余额\t年初余额\n"
        "1\t货币资金\t1379.50\t1000.00\n"
        "2\t短期投资\t\t\n"
        "3\t应收票据\t\t\n"
        "4\t应收账款\t\t\n"
        "5\t预付账款\t\t\n"
        "6\t应收股利\t\t\n"
        "7\t应收利息\t\t\n"
        "8\t其他应收款\t\t\n"
        "9\t存货\t\t\n"
        "10\t其中：原材料\t\t\n"
        "11\t在产品\t\t\n"
        "12\t库存商品\t\t\n"
        "13\t周转材料\t\t\n"
        "14\t其他流动资产\t\t\n"
        "15\t流动资产合计\t1379.50\t1000.00\n"
        "16\t长期债券投资\t\t\n"
        "17\t长期股权投资\t\t\n"
        "18\t固定资产原价\t\t\n"
        "19\t减：累计折旧\t\t\n"
        "20\t固定资产账面价值\t\t\n"
        "21\t在建工程\t\t\n"
        "22\t工程物资\t\t\n"
        "23\t固定资产清理\t\t\n"
        "24\t生产性生物资产\t\t\n"
        "25\t无形资产\t\t\n"
        "26\t开发支出\t\t\n"
        "27\t长期待摊费用\t\t\n"
        "28\t其他非流动资产\t\t\n"
        "29\t非流动资产合计\t\t\n"
        "30\t资产总计\t1379.50\t1000.00\n"
        "31\t短期借款\t\t\n"
        "32\t应付票据\t\t\n"
        "33\t应付账款\t\t\n"
        "34\t预收账款\t\t\n"
        "35\t应付职工薪酬\t\t\n"
        "36\t应交税费\t\t\n"
        "37\t应付利息\t\t\n"
        "38\t应付利润\t\t\n"
        "39\t其他应付款\t\t\n"
        "40\t其他流动负债\t\t\n"
        "41\t流动负债合计\t\t\n"
        "42\t长期借款\t\t\n"
        "43\t长期应付款\t\t\n"
        "44\t递延收益\t\t\n"
        "45\t其他非流动负债\t\t\n"
        "46\t非流动负债合计\t\t\n"
        "47\t负债合计\t\t\n"
        "48\t实收资本（或股本）\t1000.00\t1000.00\n"
        "49\t资本公积\t\t\n"
        "50\t盈余公积\t\t\n"
        "51\t未分配利润\t379.50\t\n"
        "52\t所有者权益（或股东权益）合计\t1379.50\t1000.00\n"
        "53\t负债和所有者权益（或股东权益）总计\t1379.50\t1000.00\n"
        "利润表\t2013年3月\t本年累计金额\t本月金额\n"
        "1\t一、营业收入\t500.00\t500.00\n"
        "2\t减：营业成本\t\t\n"
        "3\t税金及附加\t\t\n"
        "4\t其中：消费税\t\t\n"
        "5\t营业税\t\t\n"
        "6\t城市维护建设税\t\t\n"
        "7\t资源税\t\t\n"
        "8\t土地增值税\t\t\n"
        "9\t城镇土地使用税、房产税、车船税、印花税\t\t\n"
        "10\t教育费附加、矿产资源补偿费、排污费\t\t\n"
        "11\t销售费用\t\t\n"
        "12\t其中：商品维修费\t\t\n"
        "13\t广告费和业务宣传费\t\t\n"
        "14\t管理费用\t120.50\t120.50\n"
        "15\t其中：开办费\t\t\n"
        "16\t业务招待费\t\t\n"
        "17\t研究费用\t\t\n"
        "18\t财务费用\t\t\n"
        "19\t其中：利息费用（收入以“-”号填列）\t\t\n"
        "20\t加：投资收益（损失以“-”号填列）\t\t\n"
        "21\t二、营业利润（亏损以“-”号填列）\t379.50\t379.50\n"
        "22\t加：营业外收入\t\t\n"
        "23\t其中：政府补助\t\t\n"
        "24\t减：营业外支出\t\t\n"
        "25\t其中：坏账损失\t\t\n"
        "26\t无法收回的长期债券投资损失\t\t\n"
        "27\t无法收回的长期股权投资损失\t\t\n"
        "28\t自然灾害等不可抗力因素造成的损失\t\t\n"
        "29\t税收滞纳金\t\t\n"
        "30\t三、利润总额（亏损总额以“-”号填列）\t379.50\t379.50\n"
        "31\t减：所得税费用\t\t\n"
        "32\t四、净利润（净亏损以“-”号填列）\t379.50\t379.50\n";

// The cash-flow statement follows the other two.
const std::string kMarchCashFlow =
        "现金流量表\t2013年3月\t本年累计金额\t本月金额\n"
        "1\t销售产成品、商品、提供劳务收到的现金\t500.00\t500.00\n"
        "2\t收到其他与经营活动有关的现金\t\t\n"
        "3\t减：购买原材料、商品、接受劳务支付的现金\t\t\n"
        "4\t支付的职工薪酬\t\t\n"
        "5\t支付的税费\t\t\n"
        "6\t支付其他与经营活动有关的现金\t120.50\t120.50\n"
        "7\t经营活动产生的现金流量净额\t379.50\t379.50\n"
        "8\t收回短期投资、长期债券投资和长期股权投资收到的现金\t\t\n"
        "9\t取得投资收益收到的现金\t\t\n"
        "10\t处置固定资产、无形资产和其他非流动资产收回的现金净额\t\t\n"
        "11\t减：短期投资、长期债券投资和长期股权投资支付的现金\t\t\n"
        "12\t购建固定资产、无形资产和其他非流动资产支付的现金\t\t\n"
        "13\t投资活动产生的现金流量净额\t\t\n"
        "14\t取得借款收到的现金\t\t\n"
        "15\t吸收投资者投资收到的现金\t\t\n"
        "16\t减：偿还借款本金支付的现金\t\t\n"
        "17\t偿还借款利息支付的现金\t\t\n"
        "18\t分配利润支付的现金\t\t\n"
        "19\t筹资活动产生的现金流量净额\t\t\n"
        "20\t四、现金净增加额\t379.50\t379.50\n"
        "21\t加：期初现金余额\t1000.00\t1000.00\n"
        "22\t五、期末现金余额\t1379.50\t1379.50\n";

TEST_F(StatementsCliTest, BothStatementsOfAMonthAndOfAQuarter) {
    auto r = run({"statements", "--year", "2013", "--month", "3"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kMarch + kMarchCashFlow);
    EXPECT_EQ(r.err, "");

    // The quarter's balance sheet is its last month's; March is the books' first month.
    std::string quarter = kMarch + kMarchCashFlow;
    quarter.replace(quarter.find("利润表\t2013年3月\t本年累计金额\t本月金额"),
                    std::string("利润表\t2013年3月\t本年累计金额\t本月金额").size(),
                    "利润表\t2013年第1季度\t本年累计金额\t本期金额");
    quarter.replace(quarter.find("现金流量表\t2013年3月\t本年累计金额\t本月金额"),
                    std::string("现金流量表\t2013年3月\t本年累计金额\t本月金额").size(),
                    "现金流量表\t2013年第1季度\t本年累计金额\t本期金额");
    r = run({"statements", "--year", "2013", "--quarter", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, quarter);

    for (const auto& args : {std::vector<std::string>{"statements", "--year", "2013", "--month", "4"},
                             {"statements", "--year", "2013", "--month", "2"},
                             {"statements", "--year", "2013", "--quarter", "2"}}) {
        r = run(args);
        EXPECT_EQ(r.status, 1) << args[4];
        EXPECT_EQ(r.err, "无此月份数据！请检查！\n") << args[4];
        EXPECT_EQ(r.out, "");
    }
    r = run({"statements", "--year", "2013", "--quarter", "5"});
    EXPECT_EQ(r.err, "季度应为1到4！\n");
    r = run({"statements", "--year", "2013"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "请用 --month 或 --quarter 指定报表的月份或季度！\n");

    // A quiet quarter: nothing in 本期金额, the year so far in 本年累计金额.
    for (int m = 4; m <= 6; ++m) ASSERT_EQ(run({"close"}).status, 0);
    r = run({"statements", "--year", "2013", "--quarter", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("资产负债表\t2013年6月30日\t期末余额\t年初余额\n"
                                  "1\t货币资金\t1379.50\t1000.00\n"));
    EXPECT_NE(r.out.find("利润表\t2013年第2季度\t本年累计金额\t本期金额\n1\t一、营业收入\t500.00\t\n"),
              std::string::npos)
        << r.out;
}

TEST_F(StatementsCliTest, TheStatementsAsAWorkbookAndAsPages) {
    const test::TempDir elsewhere;
    const auto book = elsewhere / "三月报表.xlsx";
    const auto pdf = elsewhere / "三月报表.pdf";
    auto r = run({"statements", "--year", "2013", "--month", "3", "--xlsx", book.string(), "--pdf", pdf.string()});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "") << "the files instead of the rows";

    std::string error;
    const auto sheet = readXlsxSheet(book, 1, &error);
    ASSERT_TRUE(sheet) << error;
    EXPECT_EQ(sheet->at("A1"), "资产负债表");
    EXPECT_EQ(sheet->at("H2"), "会小企01表");
    EXPECT_EQ(sheet->at("A3"), "编制单位：某公司");
    EXPECT_EQ(sheet->at("D3"), "2013年3月31日");
    EXPECT_EQ(sheet->at("H3"), "单位：元");
    EXPECT_EQ(sheet->at("A6"), "货币资金");
    EXPECT_EQ(sheet->at("C6"), "1379.5") << "a number, not a text";
    EXPECT_EQ(sheet->at("D6"), "1000");
    EXPECT_EQ(sheet->at("E36"), "负债和所有者权益（或股东权益）总计") << "beside 资产总计";
    EXPECT_EQ(sheet->at("A36"), "资产总计");
    EXPECT_EQ(sheet->at("G36"), "1379.5");
    const auto income = readXlsxSheet(book, 2, &error);
    ASSERT_TRUE(income) << error;
    EXPECT_EQ(income->at("A1"), "利润表");
    EXPECT_EQ(income->at("A36"), "四、净利润（净亏损以“-”号填列）");
    EXPECT_EQ(income->at("C36"), "379.5");
    const auto cash = readXlsxSheet(book, 3, &error);
    ASSERT_TRUE(cash) << error;
    EXPECT_EQ(cash->at("A1"), "现金流量表");
    EXPECT_EQ(cash->at("D2"), "会小企03表");
    EXPECT_EQ(cash->at("A29"), "五、期末现金余额");
    EXPECT_EQ(cash->at("C29"), "1379.5");

    const std::string text = pdfText(pdf);
    for (const char* t : {"资产负债表", "会小企01表", "编制单位：某公司", "2013年3月31日", "单位：元",
                          "货币资金", "负债和所有者权益（或股东权益）总计", "1,379.50", "利润表",
                          "会小企02表", "四、净利润（净亏损以“-”号填列）", "379.50", "本年累计金额",
                          "现金流量表", "会小企03表", "五、期末现金余额"})
        EXPECT_NE(text.find(t), std::string::npos) << t;

    // Nothing goes into the account-set directory under another name.
    const auto inside = dataDir / "演示" / "报表.xlsx";
    r = run({"statements", "--year", "2013", "--month", "3", "--xlsx", inside.string()});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "“" + inside.string() + "”在套账目录中，不能用来保存导出的文件，请另选位置！\n");
}

const std::string kMarchBalances =
        "1001 现金\t\t\t\t\t\t\t\t\n"
        "1002 银行存款\t1000.00\t\t500.00\t120.50\t500.00\t120.50\t1379.50\t\n"
        "1012 其他货币资金\t\t\t\t\t\t\t\t\n"
        "1101 短期投资\t\t\t\t\t\t\t\t\n"
        "1121 应收票据\t\t\t\t\t\t\t\t\n"
        "1122 应收账款\t\t\t\t\t\t\t\t\n"
        "1123 预付账款\t\t\t\t\t\t\t\t\n"
        "1131 应收股利\t\t\t\t\t\t\t\t\n"
        "1132 应收利息\t\t\t\t\t\t\t\t\n"
        "1221 其他应收款\t\t\t\t\t\t\t\t\n"
        "1401 材料采购\t\t\t\t\t\t\t\t\n"
        "1402 在途物资\t\t\t\t\t\t\t\t\n"
        "1403 原材料\t\t\t\t\t\t\t\t\n"
        "1404 材料成本差异\t\t\t\t\t\t\t\t\n"
        "1405 库存商品\t\t\t\t\t\t\t\t\n"
        "1408 委托加工物资\t\t\t\t\t\t\t\t\n"
        "1411 周转材料\t\t\t\t\t\t\t\t\n"
        "1511 长期股权投资\t\t\t\t\t\t\t\t\n"
        "1601 固定资产\t\t\t\t\t\t\t\t\n"
        "1602 累计折旧\t\t\t\t\t\t\t\t\n"
        "1604 在建工程\t\t\t\t\t\t\t\t\n"
        "1606 固定资产清理\t\t\t\t\t\t\t\t\n"
        "1701 无形资产\t\t\t\t\t\t\t\t\n"
        "1702 累计摊销\t\t\t\t\t\t\t\t\n"
        "1801 长期待摊费用\t\t\t\t\t\t\t\t\n"
        "1901 待处理财产损溢\t\t\t\t\t\t\t\t\n"
        "2001 短期借款\t\t\t\t\t\t\t\t\n"
        "2201 应付票据\t\t\t\t\t\t\t\t\n"
        "2202 应付账款\t\t\t\t\t\t\t\t\n"
        "2203 预收账款\t\t\t\t\t\t\t\t\n"
        "2211 应付职工薪酬\t\t\t\t\t\t\t\t\n"
        "2221 应交税费\t\t\t\t\t\t\t\t\n"
        "2231 应付利息\t\t\t\t\t\t\t\t\n"
        "2232 应付利润\t\t\t\t\t\t\t\t\n"
        "2241 其他应付款\t\t\t\t\t\t\t\t\n"
        "2501 长期借款\t\t\t\t\t\t\t\t\n"
        "2701 长期应付款\t\t\t\t\t\t\t\t\n"
        "3001 实收资本\t\t1000.00\t\t\t\t\t\t1000.00\n"
        "3002 资本公积\t\t\t\t\t\t\t\t\n"
        "3101 盈余公积\t\t\t\t\t\t\t\t\n"
        "3103 本年利润\t\t\t120.50\t500.00\t120.50\t500.00\t\t379.50\n"
        "3104 利润分配\t\t\t\t\t\t\t\t\n"
        "4001 生产成本\t\t\t\t\t\t\t\t\n"
        "4101 制造费用\t\t\t\t\t\t\t\t\n"
        "4301 研发支出\t\t\t\t\t\t\t\t\n"
        "5001 主营业务收入\t\t\t500.00\t500.00\t500.00\t500.00\t\t\n"
        "5051 其他业务收入\t\t\t\t\t\t\t\t\n"
        "5111 投资收益\t\t\t\t\t\t\t\t\n"
        "5301 营业外收入\t\t\t\t\t\t\t\t\n"
        "5401 主营业务成本\t\t\t\t\t\t\t\t\n"
        "5402 其他业务成本\t\t\t\t\t\t\t\t\n"
        "5403 税金及附加\t\t\t\t\t\t\t\t\n"
        "5601 销售费用\t\t\t\t\t\t\t\t\n"
        "5602 管理费用\t\t\t120.50\t120.50\t120.50\t120.50\t\t\n"
        "5603 财务费用\t\t\t\t\t\t\t\t\n"
        "5711 营业外支出\t\t\t\t\t\t\t\t\n"
        "5801 所得税费用\t\t\t\t\t\t\t\t\n"
        "合计\t1000.00\t1000.00\t1241.00\t1241.00\t1241.00\t1241.00\t1379.50\t1379.50\n";

TEST_F(StatementsCliTest, AccountBalancesAndTheYearEndSetting) {
    auto r = run({"balances", "--from", "2013-03", "--to", "2013-03", "--level", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, kMarchBalances);

    // Every level: the sub-accounts of the chart below their parents.
    r = run({"balances", "--from", "2013-03", "--to", "2013-03"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("2221 应交税费\t\t\t\t\t\t\t\t\n222101 应交税费→应交增值税\t"),
              std::string::npos);
    EXPECT_TRUE(r.out.ends_with("合计\t1000.00\t1000.00\t1241.00\t1241.00\t1241.00\t1241.00\t1379.50\t1379.50\n"));
    for (const auto& [args, message] :
         {std::pair<std::vector<std::string>, std::string>{{"balances", "--from", "2013-3", "--to", "2013-13"},
                                                           "月份应写成 YYYY-MM：2013-13\n"},
          {{"balances", "--from", "2013-04", "--to", "2013-04"}, "无此月份数据！请检查！\n"}}) {
        r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, message);
    }

    EXPECT_EQ(run({"carry-forward", "year-end"}).out, "年末将本年利润转入利润分配：否\n");
    EXPECT_FALSE(std::filesystem::exists(dataDir / "演示" / file::kSetOptions));
    r = run({"carry-forward", "year-end", "on"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "年末将本年利润转入利润分配：是\n");
    EXPECT_EQ(rows(file::kSetOptions),
              (std::vector<std::vector<Value>>{{Value("年末将本年利润转入利润分配"), Value("是")}}));
    EXPECT_EQ(run({"carry-forward", "year-end", "off"}).out, "年末将本年利润转入利润分配：否\n");
    EXPECT_NE(run({"carry-forward", "year-end", "maybe"}).status, 0);
}

TEST_F(StatementsCliTest, TheLineRulesAreListed) {
    const auto r = test::runCli(dataDir, {"statement-rules"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.out.starts_with("资产负债表\t\t流动资产：\t借\t\n"
                                  "资产负债表\t1\t货币资金\t借\t现金 + 银行存款 + 其他货币资金\n"))
        << r.out;
    EXPECT_TRUE(r.out.ends_with("利润表\t32\t四、净利润（净亏损以“-”号填列）\t贷\t行30 - 行31\n"));
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 53 + 5 + 32);
}

}  // namespace
}  // namespace tw
