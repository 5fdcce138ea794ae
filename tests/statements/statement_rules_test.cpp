// The line rules of the two statements as data: the rules the program
// writes, and the faults a rules file edited by hand is refused for.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>

#include "statements/statement_rules.h"
#include "storage/outcome.h"

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

// A formula of about 0.9 MB, all "+" but one "-" at its end: read in one
// pass, where looking for the next "-" from each term took a minute.
TEST(StatementRules, ALongFormulaIsReadInBoundedTime) {
    std::string formula = "现金";
    int terms = 1;
    while (formula.size() < 900 * 1000) {
        formula += " + 现金";
        ++terms;
    }
    formula += " - 银行存款";
    const std::string text = "资产负债表\t1\t货币资金\t借\t" + formula + "\n利润表\t1\t营业收入\t贷\t主营业务收入\n";
    const auto start = std::chrono::steady_clock::now();
    std::string error;
    const auto rules = parseStatementRules(text, &error);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    ASSERT_TRUE(rules) << error;
    EXPECT_LT(seconds, 2.0);
    const auto& read = rules->balanceSheet[0].terms;
    ASSERT_EQ(read.size(), static_cast<std::size_t>(terms + 1));
    EXPECT_EQ(read.front(), (RuleTerm{RuleTerm::Kind::Account, 1, "现金", "", 0}));
    EXPECT_EQ(read[terms - 1].sign, 1);
    EXPECT_EQ(read.back(), (RuleTerm{RuleTerm::Kind::Account, -1, "银行存款", "", 0}));

    // Signs in any order keep their terms.
    const auto mixed = parseStatementRules("资产负债表\t1\t甲\t借\t现金 - 银行存款 + 行2 - 其余(资产类)\n"
                                           "资产负债表\t2\t乙\t借\t短期投资\n" +
                                               std::string("利润表\t1\t营业收入\t贷\t主营业务收入\n"),
                                           &error);
    ASSERT_TRUE(mixed) << error;
    std::vector<int> signs;
    for (const RuleTerm& t : mixed->balanceSheet[0].terms) signs.push_back(t.sign);
    EXPECT_EQ(signs, (std::vector<int>{1, -1, 1, -1}));
}

// What stands at 报表项目.txt must be a regular file of at most 1 MB: a link
// to a device that never ends, a FIFO that waits for a writer, a folder and
// an oversized file are refused by name, at once.
TEST(StatementRules, OnlyARegularFileOfModestSizeIsRead) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("tallowick-rules-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    const auto path = dir / kStatementRulesFile;
    const auto refusal = [&] {
        try {
            loadStatementRules(dir);
        } catch (const Refusal& r) {
            return r.message();
        }
        return std::string("read");
    };
    const std::string name = "报表项目文件“报表项目.txt”";
    const std::string notRegular = name + "不是普通文件，无法读取。请删除它后重新启动程序，程序会重新写出它。";

    ASSERT_TRUE(writeStatementRulesIfMissing(dir));
    EXPECT_EQ(refusal(), "read") << "the written rules";

    std::filesystem::remove(path);
    std::filesystem::create_symlink("/dev/zero", path);
    EXPECT_EQ(refusal(), notRegular) << "a link to /dev/zero";

    std::filesystem::remove(path);
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    std::filesystem::create_symlink(dir / "fifo", path);
    EXPECT_EQ(refusal(), notRegular) << "a link to a FIFO";
    std::filesystem::remove(path);
    std::filesystem::rename(dir / "fifo", path);
    EXPECT_EQ(refusal(), notRegular) << "a FIFO";

    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(refusal(), notRegular) << "a folder";

    std::filesystem::remove(path);
    std::ofstream(path, std::ios::binary) << std::string(1024 * 1024 + 1, '#');
    EXPECT_EQ(refusal(), name + "超过1MB，不像是报表项目。请改正，或删除它后重新启动程序。");

    std::filesystem::remove(path);
    std::filesystem::create_symlink(dir / "none", path);
    EXPECT_EQ(refusal(), name + "不见了，请重新启动程序，程序会重新写出它。") << "a dangling link";
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace tw
