// The cash-flow statement's rules as data: the rules the program writes,
// and the faults a 现金流量项目.txt edited by hand is refused for, at the
// first, naming its line.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "statements/cash_flow_rules.h"
#include "storage/outcome.h"

namespace tw {
namespace {

TEST(CashFlowRules, TheWrittenRulesAreTheUsualTable) {
    std::string error;
    const auto rules = parseCashFlowRules(defaultCashFlowRulesText(), &error);
    ASSERT_TRUE(rules) << error;
    EXPECT_EQ(rules->cashAccounts, (std::vector<std::string>{"现金", "银行存款", "其他货币资金"}));
    EXPECT_EQ(rules->counters.size(), 47u);
    // Spot checks against the table: in, out.
    const std::map<std::string, std::pair<int, int>> expected{
        {"预收账款", {1, 1}},   {"预付账款", {3, 3}},   {"应付职工薪酬", {4, 4}}, {"所得税费用", {2, 5}},
        {"长期股权投资", {8, 11}}, {"投资收益", {9, 9}}, {"长期待摊费用", {10, 12}}, {"长期借款", {14, 16}},
        {"财务费用→利息费用", {2, 17}}, {"资本公积", {15, 15}}, {"利润分配", {2, 18}}, {"营业外支出", {2, 6}}};
    for (const auto& [account, lines] : expected) {
        const CashFlowRule* r = rules->ruleOf(account);
        ASSERT_NE(r, nullptr) << account;
        EXPECT_EQ(r->account, account);
        EXPECT_EQ(std::pair(r->in, r->out), lines) << account;
    }
    EXPECT_EQ(rules->ruleOf("应交税费→应交增值税")->follows, (std::vector<int>{1, 3, 10, 12}));
    EXPECT_EQ(rules->ruleOf("财务费用→手续费")->account, "财务费用");
    EXPECT_EQ(rules->ruleOf("累计折旧"), nullptr);
    EXPECT_TRUE(rules->isCash("银行存款→工商银行→活期"));
    EXPECT_FALSE(rules->isCash("银行存款二"));

    // The listed rules read back as the same rules.
    std::string listed;
    for (const std::string& l : cashFlowRuleLines(*rules)) listed += l + "\n";
    const auto again = parseCashFlowRules(listed, &error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->cashAccounts, rules->cashAccounts);
    EXPECT_EQ(again->counters, rules->counters);
}

TEST(CashFlowRules, AFaultyFileIsRefusedAtItsFirstFault) {
    const std::string cash = "现金科目\t现金 + 银行存款\n";
    const std::pair<std::string, std::string> faults[] = {
        {"# 说明\n\n主营业务收入\t1\n" + cash, "第3行：应有以制表符分隔的三栏或四栏：对方科目、收、付、随同"},
        {"主营业务收入\t7\t1\n" + cash, "第1行：收“7”应为现金流量表第1到6、8到12、14到18行之一"},
        {cash + "主营业务收入\t1\t一\n", "第2行：付“一”应为现金流量表第1到6、8到12、14到18行之一"},
        {cash + "应交税费\t2\t5\t1、13\n", "第2行：随同“13”应为现金流量表第1到6、8到12、14到18行之一"},
        {cash + "主营业务收入\t1\t1\n主营业务收入\t2\t6\n", "第3行：对方科目“主营业务收入”重复"},
        {"\t1\t1\n" + cash, "第1行：对方科目不能为空"},
        {cash + "现金科目\t现金\n", "第2行：“现金科目”重复"},
        {cash + "固定资产\t10\t12\n银行存款→工商银行\t2\t6\n", "第3行：“银行存款→工商银行”是现金科目，不能作为对方科目"},
    };
    for (const auto& [file, expected] : faults) {
        std::string error;
        EXPECT_FALSE(parseCashFlowRules(file, &error)) << file;
        EXPECT_EQ(error, expected) << file;
    }
    std::string error;
    EXPECT_FALSE(parseCashFlowRules("主营业务收入\t1\t1\n", &error));
    EXPECT_EQ(error, "没有“现金科目”一行");
    EXPECT_FALSE(parseCashFlowRules("现金科目\t现金 + 现金→零用金\n", &error));
    EXPECT_EQ(error, "第1行：现金科目“现金→零用金”与“现金”一个在另一个之下");
    EXPECT_FALSE(parseCashFlowRules("现金科目\t现金 +  + 银行存款\n", &error));
    EXPECT_EQ(error, "第1行：现金科目中有空的一项");
    // Blanks around the fields and Windows line ends are no fault.
    const auto read = parseCashFlowRules("现金科目\t 现金 + 银行存款 \r\n固定资产\t 10 \t12\r\n", &error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->counters[0], (CashFlowRule{"固定资产", 10, 12, {}}));
}

// The file in the account-set directory: written when missing, refused by
// name and line when spoilt, never half used.
TEST(CashFlowRules, TheFileIsWrittenWhenMissingAndRefusedWhenSpoilt) {
    const auto dir = std::filesystem::temp_directory_path() / ("tallowick-cash-rules-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto path = dir / kCashFlowRulesFile;
    const auto load = [&] { return runCaught([&] { return loadCashFlowRules(dir); }); };
    EXPECT_EQ(load().message, "现金流量项目文件“现金流量项目.txt”不见了，请重新启动程序，程序会重新写出它。");

    ASSERT_TRUE(writeCashFlowRulesIfMissing(dir));
    ASSERT_TRUE(load().ok) << load().message;
    std::ofstream(path, std::ios::app) << "研发支出\t12\t0\n";
    const int lines = static_cast<int>(
        std::count(defaultCashFlowRulesText().begin(), defaultCashFlowRulesText().end(), '\n'));
    EXPECT_EQ(load().message, "现金流量项目文件“现金流量项目.txt”有误，第" + std::to_string(lines + 1) +
                                  "行：付“0”应为现金流量表第1到6、8到12、14到18行之一。请改正，或删除它后重新启动程序。");
    ASSERT_TRUE(writeCashFlowRulesIfMissing(dir));
    EXPECT_FALSE(load().ok) << "an existing file is never replaced";

    std::ofstream(path, std::ios::binary) << std::string(1024 * 1024 + 1, '#');
    EXPECT_EQ(load().message,
              "现金流量项目文件“现金流量项目.txt”超过1MB，不像是现金流量项目。请改正，或删除它后重新启动程序。");
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tw
