// The balance sheet and the income statement of hand-made books, line by
// line, and what they refuse.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

#include "statement_fixture.h"
#include "statements/statement_rules.h"

namespace tw::test {
namespace {

class StatementsTest : public StatementTest {
protected:
    // March 2013: openings, a sale, an expense, customers and suppliers on
    // both sides, stock moved into production; then closed.
    void closeMarch() {
        addSub("应收账款", "甲公司");
        addSub("应收账款", "乙公司");
        addSub("预收账款", "丙公司");
        enableWith({{"现金", 200},
                    {"银行存款", 1000},
                    {"应收账款→甲公司", 500},
                    {"固定资产", 900},
                    {"累计折旧", -100},
                    {"实收资本", -2500}});
        book("银行存款", "主营业务收入", 800, "销售");
        book("管理费用", "现金", 120);
        book("银行存款", "应收账款→乙公司", 50, "预收乙公司货款");  // 乙 on the credit side
        book("预收账款→丙公司", "银行存款", 30, "退丙公司预收款");  // 丙 on the debit side
        book("原材料", "应付账款", 200);
        book("生产成本", "原材料", 70);
        closeMonth();
    }
};

TEST_F(StatementsTest, BalanceSheetOfAClosedMonth) {
    closeMarch();
    const Statement s = sheet({2013, 3});
    EXPECT_EQ(s.title, "资产负债表");
    EXPECT_EQ(s.form, "会小企01表");
    EXPECT_EQ(s.company, "测试公司");
    EXPECT_EQ(s.date, "2013年3月31日");
    EXPECT_EQ(s.fileStem, "资产负债表-2013-03");
    // 行次 → (期末余额, 年初余额)
    const std::map<int, std::pair<double, double>> expected{
        {1, {1900, 1200}},   // 现金 80 + 银行存款 1820
        {4, {530, 500}},     // 甲公司 500 and 丙公司's debit 30
        {9, {200, 0}},       // 原材料 130 + 生产成本 70
        {10, {130, 0}},      {11, {70, 0}},  {15, {2630, 1700}}, {18, {900, 900}},
        {19, {100, 100}},    // 累计折旧, its credit shown positive
        {20, {800, 800}},    {29, {800, 800}}, {30, {3430, 2500}},
        {33, {200, 0}},      // 应付账款
        {34, {50, 0}},       // 乙公司's credit
        {41, {250, 0}},      {47, {250, 0}},   {48, {2500, 2500}},
        {51, {680, 0}},      // 本年利润 after the carry-forward
        {52, {3180, 2500}},  {53, {3430, 2500}},
    };
    int lines = 0, captions = 0;
    for (const StatementLine& l : s.lines) {
        if (!l.line) {
            ++captions;
            continue;
        }
        ++lines;
        const auto want = expected.count(l.line) ? expected.at(l.line) : std::pair{0.0, 0.0};
        EXPECT_EQ(l.amounts[0], want.first) << "line " << l.line << " " << l.item;
        EXPECT_EQ(l.amounts[1], want.second) << "line " << l.line << " " << l.item;
    }
    EXPECT_EQ(lines, 53);
    EXPECT_EQ(captions, 5);
    EXPECT_EQ(s.notices, std::vector<std::string>{});
}

TEST_F(StatementsTest, IncomeStatementLeavesTheCarryForwardOutAndSumsTheYear) {
    closeMarch();
    Statement s = income({2013, 3});
    EXPECT_EQ(s.title, "利润表");
    EXPECT_EQ(s.form, "会小企02表");
    EXPECT_EQ(s.date, "2013年3月");
    EXPECT_EQ(s.columns[0], "本年累计金额");
    EXPECT_EQ(s.columns[1], "本月金额");
    for (int column : {0, 1}) {
        EXPECT_EQ(s.amount(1, column), 800);
        EXPECT_EQ(s.amount(14, column), 120);
        EXPECT_EQ(s.amount(21, column), 680);
        EXPECT_EQ(s.amount(32, column), 680);
    }

    // April: interest and a city tax booked on sub-accounts, which their
    // 其中 lines show; a refund of a sale on the income's debit side.
    addSub("财务费用", "利息费用");
    addSub("税金及附加", "城市维护建设税");
    book("银行存款", "主营业务收入", 300, "销售");
    book("主营业务收入", "银行存款", 20, "销售退回");
    book("财务费用→利息费用", "银行存款", 10);
    book("税金及附加→城市维护建设税", "应交税费", 5);
    closeMonth();
    s = income({2013, 4});
    EXPECT_EQ(s.amount(1, 1), 280);
    EXPECT_EQ(s.amount(3, 1), 5);
    EXPECT_EQ(s.amount(6, 1), 5);
    EXPECT_EQ(s.amount(18, 1), 10);
    EXPECT_EQ(s.amount(19, 1), 10);
    EXPECT_EQ(s.amount(32, 1), 265);
    EXPECT_EQ(s.amount(32, 0), 945);
    EXPECT_EQ(s.amount(1, 0), 1080);

    // What the April carry-forward moved into 本年利润 is the month's profit.
    double carried = 0;
    for (const auto& r : rows(file::kLedger))
        if (r[3].text() == "本年利润" && r[2].text() == "结转损益" &&
            YearMonth::of(r[0].number()) == YearMonth{2013, 4})
            carried -= r[4].number() + r[5].number();
    EXPECT_EQ(carried, 265);

    // The second quarter: April to June; the first: March only, the books' start.
    closeMonth();
    closeMonth();
    const auto quarter = runCaught([&] { return incomeStatement(*store, session, quarterPeriod(2013, 2)); });
    ASSERT_TRUE(quarter.ok) << quarter.message;
    EXPECT_EQ(quarter.value.date, "2013年第2季度");
    EXPECT_EQ(quarter.value.columns[1], "本期金额");
    EXPECT_EQ(quarter.value.fileStem, "利润表-2013-Q2");
    EXPECT_EQ(quarter.value.amount(32, 1), 265);
    EXPECT_EQ(quarter.value.amount(32, 0), 945);
    const auto first = runCaught([&] { return incomeStatement(*store, session, quarterPeriod(2013, 1)); });
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(first.value.amount(32, 1), 680);
    EXPECT_EQ(runCaught([&] { return incomeStatement(*store, session, quarterPeriod(2013, 5)); }).message,
              "季度应为1到4！");
    EXPECT_EQ(runCaught([&] { return incomeStatement(*store, session, quarterPeriod(2013, 3)); }).message,
              "无此月份数据！请检查！")
        << "September is not closed";
}

// A user's vouchers on the month's last day, summarised "结转损益" and
// "本月合计", are the month's expenses: the 利润表 tells them from the
// close's carry-forward by what they are, not by their text, and its 净利润
// is what the close carried into 本年利润.
TEST_F(StatementsTest, UsersVouchersSummarisedAsTheClosesAreTheMonthsBusiness) {
    enableWith({{"银行存款", 1000}, {"现金", 200}, {"实收资本", -1200}});
    book("银行存款", "主营业务收入", 989, "销售");
    const double last = lastDayOfMonth(session.login.period);
    addVoucher(last, nextNumber(), {{"管理费用", 200, 0, "结转损益"}, {"银行存款", 0, 200, "结转损益"}});
    addVoucher(last, nextNumber(), {{"销售费用", 70, 0, "本月合计"}, {"现金", 0, 70, "本月合计"}});
    closeMonth();

    const Statement s = income({2013, 3});
    for (int column : {0, 1}) {
        EXPECT_EQ(s.amount(1, column), 989);
        EXPECT_EQ(s.amount(11, column), 70);
        EXPECT_EQ(s.amount(14, column), 200);
        EXPECT_EQ(s.amount(32, column), 719);
    }
    EXPECT_EQ(sheet({2013, 3}).amount(51, 0), 719) << "未分配利润 holds the same profit";
}

// Books closed before the close marked its carry-forward vouchers (种类
// empty) read the same: their pages of the close's shape are the carry-forward.
TEST_F(StatementsTest, MonthsClosedBeforeTheMarkReadTheSame) {
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    book("银行存款", "主营业务收入", 989, "销售");
    book("管理费用", "银行存款", 200, "办公费");
    closeMonth();
    const Statement marked = income({2013, 3});
    runSql(file::kVouchers, "UPDATE records SET \"种类\" = ''");

    const Statement unmarked = income({2013, 3});
    for (int line : {1, 14, 32})
        for (int column : {0, 1}) EXPECT_EQ(unmarked.amount(line, column), marked.amount(line, column));
    EXPECT_EQ(unmarked.amount(32, 0), 789);
}

// Accounts the bookkeeper added at the top level land in the catch-all
// lines, so that the statement still balances, and the statement says so.
TEST_F(StatementsTest, AccountsNoRuleNamesLandInCatchAllLinesAndAreNamed) {
    addTop("押金", 1, "借方");
    addTop("劳务成本", 4, "借方");
    addTop("其他收益", 5, "贷方");  // in no carry-forward pair: it keeps its balance
    enableWith({{"银行存款", 1000}, {"押金", 300}, {"实收资本", -1300}});
    book("劳务成本", "银行存款", 40);
    book("银行存款", "其他收益", 25);
    book("管理费用", "银行存款", 5);
    closeMonth();

    const Statement s = sheet({2013, 3});
    EXPECT_EQ(s.amount(14, 0), 300);
    EXPECT_EQ(s.amount(14, 1), 300);
    EXPECT_EQ(s.amount(9, 0), 40);
    EXPECT_EQ(s.amount(51, 0), 20);  // 本年利润 −5 and the uncarried 其他收益 25
    EXPECT_EQ(s.amount(30, 0), s.amount(53, 0));
    EXPECT_EQ(s.amount(30, 1), s.amount(53, 1));
    EXPECT_EQ(s.notices, (std::vector<std::string>{
                             "科目“其他收益”不在报表项目的取数中，已计入第51行“未分配利润”。",
                             "科目“劳务成本”不在报表项目的取数中，已计入第9行“存货”。",
                             "科目“押金”不在报表项目的取数中，已计入第14行“其他流动资产”。"}));

    const Statement i = income({2013, 3});
    EXPECT_EQ(i.amount(22, 1), 25);
    EXPECT_EQ(i.amount(32, 1), 20);
    EXPECT_EQ(i.notices, (std::vector<std::string>{
                             "科目“其他收益”不在报表项目的取数中，已计入第22行“加：营业外收入”。"}));
}

// Rules on sub-accounts: 银行存款 has 工商银行 (98,000 at the start) and
// 建设银行 (500 from April on); 资产总计 is 106,500 throughout.
class SubAccountRulesTest : public StatementsTest {
protected:
    // The written rules with these balance-sheet lines' formulas replaced.
    void writeRules(const std::map<int, std::string>& formulas) {
        std::string error;
        auto rules = parseStatementRules(defaultStatementRulesText(), &error);
        ASSERT_TRUE(rules) << error;
        std::string text;
        for (LineRule& r : rules->balanceSheet) {
            if (r.line && formulas.count(r.line)) r.formula = formulas.at(r.line);
            text += ruleLine(r) + "\n";
        }
        for (const LineRule& r : rules->incomeStatement) text += ruleLine(r) + "\n";
        std::ofstream(dataDir / kStatementRulesFile, std::ios::binary) << text;
    }

    // March with the openings only, April with 500 moved into 建设银行.
    void closeMarchAndApril() {
        addSub("银行存款", "工商银行");
        addSub("银行存款", "建设银行");
        enableWith({{"现金", 2000}, {"银行存款→工商银行", 98000}, {"固定资产", 6500}, {"实收资本", -106500}});
        closeMonth();
        book("银行存款→建设银行", "现金", 500);
        closeMonth();
    }

    // The amounts of these lines, in both columns.
    static void expectLines(const Statement& s, const std::map<int, std::pair<double, double>>& lines) {
        for (const auto& [line, amounts] : lines) {
            EXPECT_EQ(s.amount(line, 0), amounts.first) << s.date << " line " << line;
            EXPECT_EQ(s.amount(line, 1), amounts.second) << s.date << " line " << line;
        }
    }
};

// The catch-all takes of 银行存款 only what 货币资金 leaves: nothing while
// 工商银行 holds it all, 建设银行's 500 once it has some; and only then is
// 银行存款 named as caught.
TEST_F(SubAccountRulesTest, ARuleOnASubAccountLeavesTheCatchAllOnlyTheRest) {
    writeRules({{1, "现金 + 银行存款→工商银行"}});
    closeMarchAndApril();

    const Statement march = sheet({2013, 3});
    expectLines(march, {{1, {100000, 100000}}, {14, {0, 0}}, {30, {106500, 106500}}, {53, {106500, 106500}}});
    EXPECT_EQ(march.notices, std::vector<std::string>{});

    const Statement april = sheet({2013, 4});
    expectLines(april, {{1, {99500, 100000}}, {14, {500, 0}}, {30, {106500, 106500}}, {53, {106500, 106500}}});
    EXPECT_EQ(april.notices, std::vector<std::string>{
                                 "科目“银行存款”不在报表项目的取数中，已计入第14行“其他流动资产”。"});
}

// 银行存款 in 其他流动资产 and 工商银行 in 货币资金, both in 流动资产合计:
// each balance once. 周转材料, which no total adds up, shows all of 银行存款
// as a 其中 line does, without taking it from the others.
TEST_F(SubAccountRulesTest, AParentAndItsSubAccountInLinesOfOneTotalSplitTheBalance) {
    writeRules({{1, "现金 + 银行存款→工商银行"}, {13, "银行存款"}, {14, "银行存款 + 其余(资产类)"}});
    closeMarchAndApril();

    const Statement april = sheet({2013, 4});
    expectLines(april, {{1, {99500, 100000}},
                        {13, {98500, 98000}},
                        {14, {500, 0}},
                        {15, {100000, 100000}},
                        {30, {106500, 106500}},
                        {53, {106500, 106500}}});
    EXPECT_EQ(april.notices, std::vector<std::string>{});
}

TEST_F(StatementsTest, RefusesMonthsThatAreNotClosedAndFaultyRules) {
    // A set not enabled yet has no statements at all.
    EXPECT_EQ(sheetOf({2013, 3}).message, kSetNotEnabled);
    closeMarch();
    EXPECT_EQ(sheetOf({2013, 4}).message, "无此月份数据！请检查！") << "April is open";
    EXPECT_EQ(incomeOf({2013, 2}).message, "无此月份数据！请检查！") << "before the books";
    EXPECT_EQ(sheetOf({2013, 13}).message, "无此月份数据！请检查！");

    // A rules file spoilt by hand is refused by name and line, not half used.
    const auto rules = dataDir / kStatementRulesFile;
    std::ofstream(rules, std::ios::app) << "资产负债表\t54\t其他\t借\t行99\n";
    const auto refused = sheetOf({2013, 3});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "报表项目文件“报表项目.txt”有误，第" +
                                   std::to_string(std::count(defaultStatementRulesText().begin(),
                                                             defaultStatementRulesText().end(), '\n') +
                                                  1) +
                                   "行：本表没有取数中的“行99”。请改正，或删除它后重新启动程序。");
    std::filesystem::remove(rules);
    EXPECT_EQ(incomeOf({2013, 3}).message, "报表项目文件“报表项目.txt”不见了，请重新启动程序，程序会重新写出它。");
}

TEST_F(StatementsTest, AccountBalancesAcrossAYearEnd) {
    startIn(2013, 11);
    addSub("银行存款", "工商银行");
    addSub("银行存款→工商银行", "活期");
    addSub("银行存款", "建设银行");
    enableWith({{"银行存款→工商银行→活期", 1000}, {"实收资本", -1000}});
    book("银行存款→建设银行", "银行存款→工商银行→活期", 300);  // November
    closeMonth();
    book("管理费用", "银行存款→建设银行", 50);  // December
    closeMonth();
    book("银行存款→工商银行→活期", "主营业务收入", 200);  // January 2014
    closeMonth();

    const auto made = runCaught([&] { return accountBalances(*store, session, {2013, 12}, {2014, 1}, 0); });
    ASSERT_TRUE(made.ok) << made.message;
    const AccountBalances& b = made.value;
    EXPECT_EQ(b.period(), "2013年12月至2014年1月");
    EXPECT_EQ(b.fileStem(), "科目余额表-2013-12至2014-01");
    std::map<std::string, const BalanceRow*> byName;
    for (const BalanceRow& r : b.rows) byName[r.account] = &r;
    ASSERT_TRUE(byName.count("银行存款→工商银行→活期"));
    const BalanceRow& bank = *byName["银行存款"];
    EXPECT_EQ(bank.opening, (SidePair{1000, 0}));
    EXPECT_EQ(bank.movement, (SidePair{200, 50}));
    EXPECT_EQ(bank.yearMovement, (SidePair{200, 0})) << "2014 only";
    EXPECT_EQ(bank.closing, (SidePair{1150, 0}));
    const BalanceRow& current = *byName["银行存款→工商银行→活期"];
    EXPECT_EQ(current.level, 3);
    EXPECT_EQ(current.shownName(), "　　活期");
    EXPECT_EQ(current.opening, (SidePair{700, 0}));
    EXPECT_EQ(current.closing, (SidePair{900, 0}));
    EXPECT_EQ(byName["银行存款→工商银行"]->closing, (SidePair{900, 0}));
    EXPECT_EQ(byName["银行存款→建设银行"]->movement, (SidePair{0, 50}));
    EXPECT_EQ(byName["利润分配"]->closing, (SidePair{}));
    // 本年利润 took November's nothing, December's −50 and January's 200.
    EXPECT_EQ(byName["本年利润"]->opening, (SidePair{0, 0}));
    EXPECT_EQ(byName["本年利润"]->closing, (SidePair{0, 150}));
    EXPECT_EQ(b.total.opening, (SidePair{1000, 1000}));
    EXPECT_EQ(b.total.closing.debit, b.total.closing.credit);
    EXPECT_EQ(b.total.movement.debit, b.total.movement.credit);
    EXPECT_EQ(b.total.yearMovement.debit, b.total.yearMovement.credit);

    const auto top = runCaught([&] { return accountBalances(*store, session, {2013, 11}, {2014, 1}, 1); });
    ASSERT_TRUE(top.ok);
    for (const BalanceRow& r : top.value.rows) EXPECT_EQ(r.level, 1) << r.account;
    EXPECT_EQ(top.value.total.closing, b.total.closing);
    EXPECT_EQ(runCaught([&] { return accountBalances(*store, session, {2014, 1}, {2013, 12}, 0); }).message,
              "起始月份不能晚于截止月份！");
    // Backwards is said first, also when a month of the range is not closed.
    EXPECT_EQ(runCaught([&] { return accountBalances(*store, session, {2099, 1}, {2013, 12}, 0); }).message,
              "起始月份不能晚于截止月份！");
    EXPECT_EQ(runCaught([&] { return accountBalances(*store, session, {2013, 12}, {2000, 1}, 0); }).message,
              "起始月份不能晚于截止月份！");
    EXPECT_EQ(runCaught([&] { return accountBalances(*store, session, {2013, 10}, {2013, 12}, 0); }).message,
              "无此月份数据！请检查！");
}

// The window and the command name a statement's months alike: a quarter is
// its three months, the one the window offers holds the month shown.
TEST(StatementPeriods, AQuarterIsItsThreeMonthsAndHoldsTheMonthsOfItsNumber) {
    const StatementPeriod fourth = quarterPeriod(2013, 4);
    EXPECT_EQ(fourth.first, (YearMonth{2013, 10}));
    EXPECT_EQ(fourth.last, (YearMonth{2013, 12}));
    EXPECT_EQ(fourth.quarter, 4);
    for (int m = 1; m <= 12; ++m) {
        const StatementPeriod q = quarterPeriod(2013, quarterOf({2013, m}));
        EXPECT_LE(q.first, (YearMonth{2013, m})) << m;
        EXPECT_GE(q.last, (YearMonth{2013, m})) << m;
        EXPECT_EQ(q.last.index() - q.first.index(), 2) << m;
    }
    const StatementPeriod may = monthPeriod({2013, 5});
    EXPECT_EQ(may.first, (YearMonth{2013, 5}));
    EXPECT_EQ(may.last, (YearMonth{2013, 5}));
    EXPECT_EQ(may.quarter, 0);
    EXPECT_EQ(runCaught([] { return quarterPeriod(2013, 0); }).message, kBadQuarter);
}

}  // namespace
}  // namespace tw::test
