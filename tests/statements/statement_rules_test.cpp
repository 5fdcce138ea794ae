// The line rules of the two statements as data: the rules the program
// writes, and the faults a rules file edited by hand is refused for.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "statements/statement_rules.h"

namespace tw {
namespace {

TEST(StatementRules, TheWrittenRulesAreTheTwoFormsLineByLine) {
    std::string error;
    const auto rules = parseStatementRules(defaultStatementRulesText(), &error);
    ASSERT_TRUE(rules) << error;
    for (const auto& [list, lines] : {std::pair{&rules->balanceSheet, 53}, {&rules->incomeStatement, 32}}) {
        std::set<int> seen;
        for (const LineRule& r : *list)
            if (r.line) seen.insert(r.line);
        EXPECT_EQ(seen.size(), static_cast<std::size_t>(lines));
        EXPECT_EQ(*seen.rbegin(), lines);
    }
    // The rules read back as they are listed.
    std::string listed;
    for (const auto* list : {&rules->balanceSheet, &rules->incomeStatement})
        for (const LineRule& r : *list) listed += ruleLine(r) + "\n";
    const auto again = parseStatementRules(listed, &error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(again->balanceSheet, rules->balanceSheet);
    EXPECT_EQ(again->incomeStatement, rules->incomeStatement);
    const LineRule& receivables = rules->balanceSheet[4];
    EXPECT_EQ(receivables.line, 4);
    EXPECT_EQ(receivables.terms,
              (std::vector<RuleTerm>{{RuleTerm::Kind::DebitSides, 1, "应收账款", "", 0},
                                     {RuleTerm::Kind::DebitSides, 1, "预收账款", "", 0}}));
    // The accounts the catch-alls leave alone include every side rule's.
    const auto named = namedTopLevels(rules->balanceSheet);
    for (const char* a : {"现金", "应收账款", "预收账款", "预付账款", "应付账款", "累计摊销", "本年利润"})
        EXPECT_TRUE(std::find(named.begin(), named.end(), a) != named.end()) << a;
}

TEST(StatementRules, AFaultyFileIsRefusedAtItsFirstFault) {
    const std::string ok = "利润表\t1\t营业收入\t贷\t主营业务收入\n";
    const std::pair<std::string, std::string> faults[] = {
        {"现金流量表\t1\t现金\t借\t现金\n", "第1行：不认识的报表“现金流量表”"},
        {"资产负债表\t1\t货币资金\t借\t现金\n资产负债表\t1\t又一行\t借\t银行存款\n", "第2行：行次1重复"},
        {"资产负债表\t0\t货币资金\t借\t现金\n", "第1行：行次“0”应为1到99的整数"},
        {"资产负债表\t1\t货币资金\t左\t现金\n", "第1行：方向应为“借”或“贷”"},
        {"资产负债表\t\t流动资产：\t借\t现金\n", "第1行：栏目标题没有行次，不能取数"},
        {"资产负债表\t1\t货币资金\t借\t现金 +  + 银行存款\n", "第1行：取数中有空的一项"},
        {"资产负债表\t1\t其他\t借\t其余(费用类)\n", "第1行：“其余(费用类)”中的类别应为资产类、负债类、权益类、成本类或损益类"},
        {"资产负债表\t1\t其他\t借\t合计(现金)\n", "第1行：不认识取数“合计(现金)”"},
        {"# 说明\n\n资产负债表\t1\t合计\t借\t行2\n", "第3行：本表没有取数中的“行2”"},
        {"资产负债表\t1\t甲\t借\t行2\n资产负债表\t2\t乙\t借\t行1 - 现金\n", "第1行：各行的取数互相引用，算不出金额"},
        {"资产负债表\t1\t货币资金\n", "第1行：方向应为“借”或“贷”"},
        {"资产负债表\t1\t货币资金\t借\t现金\n", "没有资产负债表或利润表的项目"},
    };
    for (const auto& [text, expected] : faults) {
        std::string error;
        const bool withIncome = text.find("利润表") == std::string::npos &&
                                expected.find("没有资产负债表") == std::string::npos;
        EXPECT_FALSE(parseStatementRules(text + (withIncome ? ok : ""), &error)) << text;
        EXPECT_EQ(error, expected) << text;
    }
    // Blanks around the fields and Windows line ends are no fault.
    std::string error;
    const auto read = parseStatementRules("资产负债表\t 1 \t货币资金\t借\t现金 + 银行存款\r\n" + ok, &error);
    ASSERT_TRUE(read) << error;
    EXPECT_EQ(read->balanceSheet[0].terms.size(), 2u);
    EXPECT_EQ(read->balanceSheet[0].terms[1].name, "银行存款");
}

}  // namespace
}  // namespace tw
