// The cash-flow statement of hand-made books, line by line, its detail, a
// month without cash, and what it refuses rather than show figures that do
// not reconcile; the balance sheet and income statement refusing when their
// identity fails; vouchers assigned by hand, the assignments refused, and
// those a voucher's change or deletion takes away.
#include <filesystem>
#include <fstream>
#include <map>

#include "statement_fixture.h"
#include "statements/cash_flow.h"
#include "statements/statement_rules.h"
#include "vouchers/voucher_edits.h"
#include "vouchers/voucher_sort.h"

namespace tw::test {
namespace {

class CashFlowTest : public StatementTest {
protected:
    // March 2013, the books' first month: 现金 500 and 工商银行 10,000 at
    // the start; a sale with its tax, a transfer between banks, an expense,
    // wages, equipment with its tax, cash found, a supplier's refund.
    void closeMarch() {
        addSub("银行存款", "工商银行");
        addSub("银行存款", "建设银行");
        enableWith({{"现金", 500}, {"银行存款→工商银行", 10000}, {"实收资本", -10500}});
        const double day = firstDayOfMonth(session.login.period) + 9;
        addVoucher(day, nextNumber(),
                   {{"银行存款→工商银行", 1130, 0, "销售"}, {"主营业务收入", 0, 1000, "销售"},
                    {"应交税费→应交增值税", 0, 130, "销项税"}});
        book("银行存款→建设银行", "银行存款→工商银行", 2000, "转账");
        book("管理费用", "现金", 80, "办公费");
        book("应付职工薪酬", "银行存款→工商银行", 3000, "发工资");
        addVoucher(day, nextNumber(),
                   {{"固定资产", 2000, 0, "买设备"}, {"应交税费→应交增值税", 260, 0, "进项税"},
                    {"银行存款→建设银行", 0, 2260, "买设备"}});
        book("现金", "待处理财产损溢", 40, "盘盈");
        book("银行存款→工商银行", "应付账款", 100, "供应商退款");
        closeMonth();
    }

    Result<CashFlow> flowOf(const StatementPeriod& period) {
        return runCaught([&] { return cashFlow(*store, session, period); });
    }

    // The rules as written, with these lines' formulas replaced.
    void writeRules(StatementKind kind, const std::map<int, std::string>& formulas) {
        std::string error;
        auto rules = parseStatementRules(defaultStatementRulesText(), &error);
        ASSERT_TRUE(rules) << error;
        std::string text;
        for (auto* list : {&rules->balanceSheet, &rules->incomeStatement})
            for (LineRule& r : *list) {
                if (r.statement == kind && r.line && formulas.count(r.line)) r.formula = formulas.at(r.line);
                text += ruleLine(r) + "\n";
            }
        std::ofstream(dataDir / kStatementRulesFile, std::ios::binary) << text;
    }
};

TEST_F(CashFlowTest, EachVouchersCashGoesToTheLinesOfItsCounters) {
    closeMarch();
    const auto made = flowOf(monthPeriod({2013, 3}));
    ASSERT_TRUE(made.ok) << made.message;
    const Statement& s = made.value.statement;
    EXPECT_EQ(s.title, "现金流量表");
    EXPECT_EQ(s.form, "会小企03表");
    EXPECT_EQ(s.company, "测试公司");
    EXPECT_EQ(s.date, "2013年3月");
    EXPECT_EQ(s.columns[0], "本年累计金额");
    EXPECT_EQ(s.columns[1], "本月金额");
    EXPECT_EQ(s.fileStem, "现金流量表-2013-03");
    // 行次 → amount, in both columns (the year so far is March).
    const std::map<int, double> expected{
        {1, 1130},      // the sale and its tax
        {2, 40},        // cash found: 待处理财产损溢, which no rule names
        {3, -100},      // the supplier's refund lowers the purchases
        {4, 3000},  {6, 80},
        {7, -1810}, {12, 2260},  // the equipment and its tax
        {13, -2260}, {20, -4070}, {21, 10500}, {22, 6430},
    };
    int lines = 0, captions = 0;
    for (const StatementLine& l : s.lines) {
        if (!l.line) {
            ++captions;
            continue;
        }
        ++lines;
        const double want = expected.count(l.line) ? expected.at(l.line) : 0.0;
        EXPECT_EQ(l.amounts[0], want) << "line " << l.line << " " << l.item;
        EXPECT_EQ(l.amounts[1], want) << "line " << l.line << " " << l.item;
    }
    EXPECT_EQ(lines, 22);
    EXPECT_EQ(captions, 3);
    EXPECT_EQ(s.notices, std::vector<std::string>{
                             "科目“待处理财产损溢”不在现金流量项目中，已计入第2行“收到其他与经营活动有关的现金”。"});
    EXPECT_EQ(s.amount(22, 0), sheet({2013, 3}).amount(1, 0)) << "货币资金";

    // The detail: per line the vouchers and the counters that put them there.
    std::vector<std::string> detail;
    for (const CashFlowEntry& e : made.value.entries) {
        std::string accounts;
        for (const std::string& a : e.accounts) accounts += (accounts.empty() ? "" : "、") + a;
        detail.push_back(std::to_string(e.line) + " " + plainDecimal(e.number) + " " + formatDate(e.date) + " " +
                         e.summary + " " + plainDecimal(e.amount) + " " + accounts);
    }
    EXPECT_EQ(detail, (std::vector<std::string>{
                          "1 30001 2013-3-10 销售 1130 主营业务收入、应交税费→应交增值税",
                          "2 30006 2013-3-10 盘盈 40 待处理财产损溢",
                          "3 30007 2013-3-10 供应商退款 -100 应付账款",
                          "4 30004 2013-3-10 发工资 3000 应付职工薪酬",
                          "6 30003 2013-3-10 办公费 80 管理费用",
                          "12 30005 2013-3-10 买设备 2260 固定资产、应交税费→应交增值税",
                      }));
}

// April has no cash at all: nothing but its two balances; the year so far
// keeps March's lines. The first quarter is March, the books' first month.
TEST_F(CashFlowTest, AMonthWithoutCashAndAQuarter) {
    closeMarch();
    closeMonth();
    const auto april = flowOf(monthPeriod({2013, 4}));
    ASSERT_TRUE(april.ok) << april.message;
    for (const StatementLine& l : april.value.statement.lines) {
        if (!l.line) continue;
        EXPECT_EQ(l.amounts[1], l.line == 21 || l.line == 22 ? 6430 : 0) << "line " << l.line;
    }
    EXPECT_EQ(april.value.statement.amount(1, 0), 1130);
    EXPECT_EQ(april.value.statement.amount(21, 0), 10500);
    EXPECT_EQ(april.value.statement.amount(22, 0), 6430);
    EXPECT_TRUE(april.value.entries.empty());

    const auto quarter = flowOf(quarterPeriod(2013, 1));
    ASSERT_TRUE(quarter.ok) << quarter.message;
    EXPECT_EQ(quarter.value.statement.date, "2013年第1季度");
    EXPECT_EQ(quarter.value.statement.columns[1], "本期金额");
    EXPECT_EQ(quarter.value.statement.fileStem, "现金流量表-2013-Q1");
    EXPECT_EQ(quarter.value.statement.amount(20, 1), -4070);
    EXPECT_EQ(quarter.value.statement.amount(21, 1), 10500);
    EXPECT_EQ(quarter.value.entries.size(), 6u);

    EXPECT_EQ(flowOf(monthPeriod({2013, 5})).message, "无此月份数据！请检查！") << "May is open";
    EXPECT_EQ(flowOf(monthPeriod({2013, 2})).message, "无此月份数据！请检查！") << "before the books";
}

// The ledger no longer agrees with the vouchers: the statement names the
// month, the account and the difference instead of showing figures.
TEST_F(CashFlowTest, RefusesWhenTheLedgerDisagreesWithTheVouchers) {
    closeMarch();
    runSql(file::kGeneralLedger, "UPDATE records SET \"借方\" = \"借方\" + 1 WHERE \"科目\" = '银行存款' AND "
                                 "\"摘要\" = '本月合计' AND \"凭证编号\" = 0");
    EXPECT_EQ(flowOf(monthPeriod({2013, 3})).message,
              "现金流量表与账簿不符：2013年3月“银行存款”在已登账凭证上的收支净额为-4030.00，账上的本月发生额为"
              "-4029.00，相差1.00。请先用“核对账目”检查账簿。");
}

// 货币资金 on the balance sheet holds only 工商银行 of the banks: the cash the
// statement counts is not the balance sheet's, and it says by how much.
TEST_F(CashFlowTest, RefusesWhenItsCashIsNotTheBalanceSheets) {
    closeMarch();
    writeRules(StatementKind::BalanceSheet, {{1, "现金 + 银行存款→工商银行"}});
    ASSERT_TRUE(sheetOf({2013, 3}).ok) << "the balance sheet itself balances";
    EXPECT_EQ(flowOf(monthPeriod({2013, 3})).message,
              "现金流量表的期末现金余额为6430.00，资产负债表第1行“货币资金”的期末余额为6690.00，相差260.00。"
              "请使现金流量项目.txt的现金科目与报表项目.txt第1行的取数一致。");
}

// A balance no line holds breaks 资产总计 = 负债和所有者权益总计: refused, by
// how much and which account, rather than shown unbalanced.
TEST_F(CashFlowTest, TheBalanceSheetRefusesWhenItDoesNotBalance) {
    addTop("押金", 1, "借方");
    enableWith({{"银行存款", 1000}, {"押金", 300}, {"实收资本", -1300}});
    closeMonth();
    writeRules(StatementKind::BalanceSheet, {{14, ""}});
    EXPECT_EQ(sheetOf({2013, 3}).message,
              "资产负债表不平：期末余额的资产总计为1000.00，负债和所有者权益总计为1300.00，相差300.00。"
              "科目“押金”有余额，但不属于报表的任何项目，未计入本表。请先用“核对账目”检查账簿。");
}

// A profit-and-loss account no line holds: 净利润 is not what the accounts
// moved, and the income statement says so.
TEST_F(CashFlowTest, TheIncomeStatementRefusesWhenItsProfitIsNotTheAccounts) {
    addTop("其他收益", 5, "贷方");
    enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    book("银行存款", "其他收益", 25);
    book("管理费用", "银行存款", 5);
    closeMonth();
    ASSERT_TRUE(incomeOf({2013, 3}).ok) << "the written rules hold it in line 22";
    writeRules(StatementKind::IncomeStatement, {{22, "营业外收入"}});
    EXPECT_EQ(incomeOf({2013, 3}).message,
              "利润表不平：本年累计金额的净利润为-5.00，损益类科目的发生额（贷方减借方）为20.00，相差25.00。"
              "科目“其他收益”有发生额，但不属于报表的任何项目，未计入本表。请先用“核对账目”检查账簿。");
}

// ---- vouchers assigned by hand ----

class CashFlowAssignTest : public CashFlowTest {
protected:
    Outcome assign(YearMonth m, double number, const std::vector<std::pair<int, double>>& parts) {
        return runAction(*store, [&] { assignCashFlow(*store, session, m, number, parts); });
    }
    // 现金流量指定 as (月编号, 行次, 金额) texts; none without the file.
    std::vector<std::string> assignments() {
        std::vector<std::string> out;
        if (!std::filesystem::exists(path(file::kCashFlowAssignments))) return out;
        for (const auto& r : rows(file::kCashFlowAssignments))
            out.push_back(plainDecimal(r[1].number()) + " " + std::to_string(r[2].integer()) + " " +
                          plainDecimal(r[3].number()));
        return out;
    }
    // A page of the open month's voucher `number`.
    std::int64_t pageOf(double number) {
        const auto page = runCaught([&] { return monthVoucherPage(*store, session, number, 1); });
        EXPECT_TRUE(page.ok) << page.message;
        return page.value.id;
    }
};

TEST_F(CashFlowAssignTest, AnAssignedVoucherGoesWhereItIsPutUntilTakenBack) {
    closeMarch();
    EXPECT_EQ(assignments(), std::vector<std::string>{}) << "the file is made by the first assignment";
    const auto done = assign({2013, 3}, 30001, {{1, 1000}, {2, 130}});
    ASSERT_TRUE(done.ok) << done.message;
    EXPECT_EQ(assignments(), (std::vector<std::string>{"30001 1 1000", "30001 2 130"}));
    EXPECT_EQ(toYmd(rows(file::kCashFlowAssignments)[0][0].number()).day, 10) << "the voucher's date";

    auto made = flowOf(monthPeriod({2013, 3}));
    ASSERT_TRUE(made.ok) << made.message;
    EXPECT_EQ(made.value.statement.amount(1, 1), 1000);
    EXPECT_EQ(made.value.statement.amount(2, 1), 170) << "130 assigned and the 40 found";
    EXPECT_EQ(made.value.statement.amount(20, 1), -4070);
    std::vector<std::string> assigned;
    for (const CashFlowEntry& e : made.value.entries)
        if (e.number == 30001)
            assigned.push_back(std::to_string(e.line) + " " + plainDecimal(e.amount) + " " + e.summary + " " +
                               (e.assigned ? "指定" : "") + std::to_string(e.accounts.size()));
    EXPECT_EQ(assigned, (std::vector<std::string>{"1 1000 销售 指定0", "2 130 销售 指定0"}));

    // Taken back: the counters' lines again, and nothing left in the table.
    ASSERT_TRUE(assign({2013, 3}, 30001, {}).ok);
    EXPECT_EQ(assignments(), std::vector<std::string>{});
    made = flowOf(monthPeriod({2013, 3}));
    ASSERT_TRUE(made.ok) << made.message;
    EXPECT_EQ(made.value.statement.amount(1, 1), 1130);
}

// Every refusal leaves the table as it was.
TEST_F(CashFlowAssignTest, AnAssignmentThatDoesNotAddUpIsRefusedAndChangesNothing) {
    closeMarch();
    ASSERT_TRUE(assign({2013, 3}, 30004, {{4, 2999}, {6, 1}}).ok) << "wages of 3000 paid";
    const auto before = assignments();
    const std::pair<std::vector<std::pair<int, double>>, std::string> refused[] = {
        {{{1, 1000}}, "指定的金额合计（收入减支出）为1000.00，2013年3月的凭证30001的现金收支净额为1130.00，相差130.00！"},
        {{{1, 1000}, {3, 130}}, "指定的金额合计（收入减支出）为870.00，2013年3月的凭证30001的现金收支净额为1130.00，相差260.00！"},
        {{{7, 1130}}, "行次7不是计入现金收支的行，应为第1到6、8到12、14到18行之一！"},
        {{{1, 1000}, {1, 130}}, "行次1重复！"},
        {{{1, 1129.995}, {2, 0.005}}, "金额最多只能有两位小数！"},
    };
    for (const auto& [parts, message] : refused) {
        EXPECT_EQ(assign({2013, 3}, 30001, parts).message, message);
        EXPECT_EQ(assignments(), before);
    }
    EXPECT_EQ(assign({2013, 3}, 30099, {{1, 1}}).message, "2013年3月没有凭证30099！");
    EXPECT_EQ(assign({2013, 3}, 30002, {{1, 1}}).message, "2013年3月的凭证30002没有现金收支，不用指定现金流量！")
        << "a transfer between banks";
    EXPECT_EQ(assignments(), before);
}

// An assignment that no longer fits its voucher (the table changed behind
// the program's back) refuses the statement, naming the voucher.
TEST_F(CashFlowAssignTest, AnAssignmentThatNoLongerFitsRefusesTheStatement) {
    closeMarch();
    ASSERT_TRUE(assign({2013, 3}, 30004, {{4, 3000}}).ok);
    runSql(file::kCashFlowAssignments, "UPDATE records SET \"金额\" = 2900");
    EXPECT_EQ(flowOf(monthPeriod({2013, 3})).message,
              "2013年3月的凭证30004指定的现金流量合计为-2900.00，凭证的现金收支净额为-3000.00，相差100.00。"
              "请重新指定，或取消指定。");
    runSql(file::kCashFlowAssignments, "UPDATE records SET \"金额\" = 3000, \"月编号\" = 30099");
    EXPECT_EQ(flowOf(monthPeriod({2013, 3})).message,
              "2013年3月的凭证30099指定了现金流量，但它没有已登账的现金收支。请重新指定，或取消指定。");
    ASSERT_TRUE(assign({2013, 3}, 30099, {}).ok) << "taken back, even of a voucher that is not there";
    EXPECT_TRUE(flowOf(monthPeriod({2013, 3})).ok);
}

// A changed or deleted voucher loses its assignment in the same action, and
// so do the later vouchers that closing the gap renumbers; a posted later
// voucher keeps its number and its assignment.
TEST_F(CashFlowAssignTest, ChangedDeletedAndRenumberedVouchersLoseTheirAssignments) {
    closeMarch();  // April is open
    const double day = dayNumber(2013, 4, 10);
    addVoucher(day, 40002, {{"管理费用", 50, 0}, {"现金", 0, 50}});
    ASSERT_TRUE(post().ok);
    addVoucher(day, 40001, {{"管理费用", 20, 0}, {"现金", 0, 20}}, false);
    addVoucher(day, 40003, {{"银行存款→工商银行", 70, 0}, {"主营业务收入", 0, 70}}, false);
    ASSERT_TRUE(assign({2013, 4}, 40001, {{17, 20}}).ok);
    ASSERT_TRUE(assign({2013, 4}, 40002, {{17, 50}}).ok);
    ASSERT_TRUE(assign({2013, 4}, 40003, {{9, 70}}).ok);

    ASSERT_TRUE(runAction(*store, [&] { setLineAmount(*store, session, pageOf(40003), 1, Side::Debit, 80); }).ok);
    EXPECT_EQ(assignments(), (std::vector<std::string>{"40001 17 20", "40002 17 50"}));
    ASSERT_TRUE(runAction(*store, [&] { deleteVoucherPage(*store, session, pageOf(40001)); }).ok);
    EXPECT_EQ(assignments(), (std::vector<std::string>{"40002 17 50"})) << "40002 is posted: no renumbering";

    addVoucher(day, 40004, {{"管理费用", 5, 0}, {"现金", 0, 5}}, false);
    addVoucher(day, 40005, {{"管理费用", 6, 0}, {"现金", 0, 6}}, false);
    ASSERT_TRUE(assign({2013, 4}, 40005, {{6, 6}}).ok);
    ASSERT_TRUE(runAction(*store, [&] { deleteVoucherPage(*store, session, pageOf(40004)); }).ok);
    EXPECT_FALSE(runCaught([&] { return monthVoucherPage(*store, session, 40005, 1); }).ok) << "40005 became 40004";
    EXPECT_EQ(assignments(), (std::vector<std::string>{"40002 17 50"}));
}

// Sorting the month renumbers its vouchers by date: those whose number
// changes lose their assignments, the one that keeps its number keeps it.
TEST_F(CashFlowAssignTest, SortingForgetsTheAssignmentsOfTheVouchersItRenumbers) {
    closeMarch();
    addVoucher(dayNumber(2013, 4, 20), 40001, {{"管理费用", 20, 0}, {"现金", 0, 20}}, false);
    addVoucher(dayNumber(2013, 4, 5), 40002, {{"管理费用", 30, 0}, {"现金", 0, 30}}, false);
    addVoucher(dayNumber(2013, 4, 25), 40003, {{"管理费用", 40, 0}, {"现金", 0, 40}}, false);
    for (const auto& [number, paid] : {std::pair{40001.0, 20.0}, {40002.0, 30.0}, {40003.0, 40.0}})
        ASSERT_TRUE(assign({2013, 4}, number, {{17, paid}}).ok) << number;
    ASSERT_TRUE(runAction(*store, [&] { renumberAll(*store, session); }).ok);
    EXPECT_EQ(assignments(), (std::vector<std::string>{"40003 17 40"}));
}

}  // namespace
}  // namespace tw::test
