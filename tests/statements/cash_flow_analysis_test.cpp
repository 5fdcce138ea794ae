// One voucher's cash on the lines of the cash-flow statement, by the rules
// the program writes: the counters on the other side, the tax that goes
// with a sale or a purchase, refunds, transfers between cash accounts, and
// the cents of a share that add up exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <map>
#include <random>

#include "statements/cash_flow_analysis.h"

namespace tw {
namespace {

CashFlowRules writtenRules() {
    std::string error;
    auto rules = parseCashFlowRules(defaultCashFlowRulesText(), &error);
    EXPECT_TRUE(rules) << error;
    return rules ? *rules : CashFlowRules{};
}

// A line in yuan: positive a debit, negative a credit.
CashFlowVoucherLine line(const std::string& account, double yuan) {
    const std::int64_t cents = std::llround(yuan * 100);
    return {account, "摘要", cents > 0 ? cents : 0, cents < 0 ? -cents : 0};
}

// The voucher's amount per line, in yuan as the line shows it.
std::map<int, double> byLine(const VoucherCashFlow& flow) {
    std::map<int, double> out;
    for (const CashFlowShare& s : flow.shares) out[s.line] += s.cents / 100.0;
    return out;
}

TEST(CashFlowAnalysis, TheTaxOfASaleOrAPurchaseGoesWithIt) {
    const CashFlowRules rules = writtenRules();
    // 借 银行存款 113 / 贷 主营业务收入 100, 贷 应交税费→应交增值税 13: all on line 1.
    VoucherCashFlow sale = analyseVoucher(rules, {line("银行存款", 113), line("主营业务收入", -100),
                                                  line("应交税费→应交增值税", -13)});
    EXPECT_EQ(sale.movement, 11300);
    EXPECT_EQ(byLine(sale), (std::map<int, double>{{1, 113}}));
    // A fixed asset bought for 100 and its tax 13: line 12.
    VoucherCashFlow asset = analyseVoucher(rules, {line("固定资产", 100), line("应交税费→应交增值税", 13),
                                                   line("银行存款→工商银行", -113)});
    EXPECT_EQ(byLine(asset), (std::map<int, double>{{12, 113}}));
    // Tax paid on its own: line 5; tax refunded: line 2.
    EXPECT_EQ(byLine(analyseVoucher(rules, {line("应交税费→应交所得税", 40), line("银行存款", -40)})),
              (std::map<int, double>{{5, 40}}));
    EXPECT_EQ(byLine(analyseVoucher(rules, {line("现金", 7), line("应交税费", -7)})),
              (std::map<int, double>{{2, 7}}));
    // With two counters it may follow, it follows the larger: the sale of 60 beats
    // the old equipment's 50.
    EXPECT_EQ(byLine(analyseVoucher(rules, {line("银行存款", 120), line("固定资产清理", -50),
                                            line("主营业务收入", -60), line("应交税费→应交增值税", -10)})),
              (std::map<int, double>{{1, 70}, {10, 50}}));
}

TEST(CashFlowAnalysis, RefundsLowerTheirLineAndTransfersAreNoFlow) {
    const CashFlowRules rules = writtenRules();
    // A sale refunded: cash paid against 主营业务收入 lowers line 1.
    EXPECT_EQ(byLine(analyseVoucher(rules, {line("主营业务收入", 30), line("现金", -30)})),
              (std::map<int, double>{{1, -30}}));
    // A supplier's refund lowers line 3; wages handed back lower line 4.
    EXPECT_EQ(byLine(analyseVoucher(rules, {line("银行存款", 8), line("应付账款", -8)})),
              (std::map<int, double>{{3, -8}}));
    EXPECT_EQ(byLine(analyseVoucher(rules, {line("银行存款", 2), line("应付职工薪酬", -2)})),
              (std::map<int, double>{{4, -2}}));
    // 提现 and one bank to another: nothing.
    const VoucherCashFlow transfer =
        analyseVoucher(rules, {line("现金", 500), line("银行存款→工商银行", -300), line("其他货币资金", -200)});
    EXPECT_EQ(transfer.movement, 0);
    EXPECT_TRUE(transfer.shares.empty());
    EXPECT_EQ(transfer.cash, (std::map<std::string, std::int64_t>{
                                 {"现金", 50000}, {"银行存款", -30000}, {"其他货币资金", -20000}}));
    // Part a transfer, part an expense: only the expense is a flow.
    EXPECT_EQ(byLine(analyseVoucher(rules, {line("现金", 50), line("管理费用", 20), line("银行存款", -70)})),
              (std::map<int, double>{{6, 20}}));
}

TEST(CashFlowAnalysis, AnAccountNoRuleNamesGoesToTheOtherLinesAndIsMarked) {
    const CashFlowRules rules = writtenRules();
    const VoucherCashFlow in = analyseVoucher(rules, {line("现金", 5), line("待处理财产损溢", -5)});
    ASSERT_EQ(in.shares.size(), 1u);
    EXPECT_EQ(in.shares[0].line, 2);
    EXPECT_FALSE(in.shares[0].named);
    EXPECT_EQ(in.shares[0].account, "待处理财产损溢");
    const VoucherCashFlow out = analyseVoucher(rules, {line("累计折旧", 5), line("现金", -5)});
    EXPECT_EQ(out.shares[0].line, 6);
    // A sub-account's own rule beats its parent's: interest is line 17.
    const VoucherCashFlow interest =
        analyseVoucher(rules, {line("财务费用→利息费用", 9), line("财务费用→手续费", 1), line("银行存款", -10)});
    EXPECT_EQ(byLine(interest), (std::map<int, double>{{6, 1}, {17, 9}}));
    EXPECT_TRUE(interest.shares[1].named) << "手续费 falls under 财务费用's rule";
}

// Cash received of 100.00 against three equal credits: 33.34, 33.33, 33.33,
// the cent left over going to the first.
TEST(CashFlowAnalysis, SharesRoundToCentsThatAddUpExactly) {
    const CashFlowRules rules = writtenRules();
    const VoucherCashFlow flow =
        analyseVoucher(rules, {line("银行存款", 100), line("管理费用", 50), line("主营业务收入", -50),
                               line("其他业务收入", -50), line("营业外收入", -50)});
    ASSERT_EQ(flow.shares.size(), 3u);
    EXPECT_EQ(flow.shares[0].cents, 3334);
    EXPECT_EQ(flow.shares[1].cents, 3333);
    EXPECT_EQ(flow.shares[2].cents, 3333);
    EXPECT_EQ(flow.shares[2].line, 2);

    // Any amounts: each share within a cent of its exact part, the largest
    // remainders rounded up, and together exactly the total.
    std::mt19937 rng(20130301u);
    for (int round = 0; round < 2000; ++round) {
        const std::int64_t total = 1 + rng() % 100000000;
        std::vector<std::int64_t> weights(1 + rng() % 7);
        long double sum = 0;
        for (auto& w : weights) {
            w = 1 + static_cast<std::int64_t>(rng() % 3000000000ULL);
            sum += w;
        }
        const std::vector<std::int64_t> shares = shareOut(total, weights);
        std::int64_t added = 0;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            const long double exact = total * (weights[i] / sum);
            EXPECT_LT(std::fabs(static_cast<double>(shares[i] - exact)), 1.0) << round << " " << i;
            added += shares[i];
        }
        EXPECT_EQ(added, total) << round;
    }
    EXPECT_EQ(shareOut(1, {5, 5, 5}), (std::vector<std::int64_t>{1, 0, 0})) << "ties: the earlier";
    EXPECT_EQ(shareOut(1, {1, 3}), (std::vector<std::int64_t>{0, 1})) << "0.25 and 0.75: the larger remainder";
}

// Whatever the lines, a voucher's inflow lines less its outflow lines are
// its movement, and its cash by account is its cash lines.
TEST(CashFlowAnalysis, EveryVoucherPutsItsMovementOnTheLines) {
    const CashFlowRules rules = writtenRules();
    const char* accounts[] = {"现金", "银行存款→工商银行", "其他货币资金", "主营业务收入", "应交税费→应交增值税",
                              "固定资产", "原材料", "短期借款", "管理费用", "待处理财产损溢", "投资收益"};
    std::mt19937 rng(7u);
    for (int round = 0; round < 1000; ++round) {
        std::vector<CashFlowVoucherLine> lines;
        std::int64_t net = 0, cash = 0;
        const int n = 2 + static_cast<int>(rng() % 8);
        for (int i = 0; i < n; ++i) {
            const std::string account = accounts[rng() % std::size(accounts)];
            std::int64_t cents = 1 + static_cast<std::int64_t>(rng() % 500000);
            if (rng() % 2) cents = -cents;
            if (i == n - 1) cents = -net;  // balances the voucher
            if (cents == 0) break;
            lines.push_back({account, "", cents > 0 ? cents : 0, cents < 0 ? -cents : 0});
            net += cents;
            if (rules.isCash(account)) cash += cents;
        }
        const VoucherCashFlow flow = analyseVoucher(rules, lines);
        EXPECT_EQ(flow.movement, cash) << round;
        std::int64_t onLines = 0;
        for (const CashFlowShare& s : flow.shares) {
            EXPECT_TRUE(isFlowLine(s.line)) << s.line;
            onLines += movementOf(s.line, s.cents);
        }
        EXPECT_EQ(onLines, cash) << round;
    }
}

}  // namespace
}  // namespace tw
