// The statements' workbooks as a spreadsheet program opens them: LibreOffice
// converts them to PDF headless; each statement is one page, nothing is cut
// off, and amounts stand right-aligned with two decimals.
// TALLOWICK_SCREENSHOT_DIR keeps the pages as PNG pictures to look at.
#include <cstdio>
#include <cstdlib>
#include <regex>

#include "statement_fixture.h"
#include "statements/cash_flow.h"
#include "statements/statement_files.h"
#include "statements/statement_sheets.h"
#include "storage/store_fixture.h"
#include "support/cli_runner.h"
#include "support/pdf_text.h"

namespace tw::test {
namespace {

// The words of a PDF with the right edge of each, by pdftotext -bbox.
std::vector<std::pair<std::string, double>> wordsOf(const std::filesystem::path& pdf) {
    const std::string xml = commandOutput("pdftotext -bbox " + shellQuoted(pdf.string()) + " - 2>/dev/null");
    std::vector<std::pair<std::string, double>> words;
    const std::regex word("<word xMin=\"[0-9.]+\" yMin=\"[0-9.]+\" xMax=\"([0-9.]+)\" yMax=\"[0-9.]+\">([^<]*)</word>");
    for (auto it = std::sregex_iterator(xml.begin(), xml.end(), word); it != std::sregex_iterator(); ++it)
        words.push_back({(*it)[2].str(), std::stod((*it)[1].str())});
    return words;
}

class StatementWorkbookTest : public StatementTest {};

TEST_F(StatementWorkbookTest, LibreOfficePrintsEachStatementOnOnePage) {
    addSub("应收账款", "甲公司");
    enableWith({{"银行存款", 1000}, {"应收账款→甲公司", 500}, {"实收资本", -1500}});
    book("固定资产", "实收资本", 12345678.90, "投入设备");
    book("银行存款", "主营业务收入", 800, "销售");
    book("管理费用", "现金", 80);
    closeMonth();

    const TempDir out;
    std::vector<std::filesystem::path> books;
    const Statement sheet = this->sheet({2013, 3}), income = this->income({2013, 3});
    const auto balances = runCaught([&] { return accountBalances(*store, session, {2013, 3}, {2013, 3}, 0); });
    ASSERT_TRUE(balances.ok);
    const auto cash = runCaught([&] { return cashFlowStatement(*store, session, monthPeriod({2013, 3})); });
    ASSERT_TRUE(cash.ok) << cash.message;
    for (const auto& [name, layout] : {std::pair{"bs", statementLayout(sheet)}, {"is", statementLayout(income)},
                                       {"tb", balancesLayout(balances.value)}, {"cf", statementLayout(cash.value)}}) {
        books.push_back(out / (std::string(name) + ".xlsx"));
        ASSERT_TRUE(runCaught([&] { saveStatementWorkbook(session, layoutWorkbook({layout}), books.back()); }).ok);
    }

    std::string cmd = "soffice --headless --norestore -env:UserInstallation=file://" +
                      (out / "profile").string() + " --convert-to pdf --outdir " + shellQuoted(out.path().string());
    for (const auto& b : books) cmd += " " + shellQuoted(b.string());
    ASSERT_EQ(std::system((cmd + " >/dev/null 2>&1").c_str()), 0) << "LibreOffice (libreoffice-calc-nogui) is needed";
    const auto pages = [&](const char* name) {
        const std::string info = commandOutput("pdfinfo " + shellQuoted((out / name).string()) + " 2>/dev/null");
        std::smatch m;
        return std::regex_search(info, m, std::regex("Pages:\\s+([0-9]+)")) ? std::stoi(m[1]) : 0;
    };
    EXPECT_EQ(pages("bs.pdf"), 1);
    EXPECT_EQ(pages("is.pdf"), 1);
    EXPECT_GE(pages("tb.pdf"), 1);
    EXPECT_EQ(pages("cf.pdf"), 1);

    for (const auto& [pdf, texts] :
         {std::pair<const char*, std::vector<std::string>>{
              "bs.pdf", {"资产负债表", "会小企01表", "编制单位：测试公司", "2013年3月31日", "单位：元",
                         "负债和所有者权益（或股东权益）总计", "12,347,898.90", "1,720.00"}},
          {"is.pdf", {"利润表", "会小企02表", "本年累计金额", "本月金额", "城镇土地使用税、房产税、车船税、印花税",
                      "四、净利润（净亏损以“-”号填列）", "720.00"}},
          {"tb.pdf", {"科目余额表", "本年累计发生额", "12,345,678.90", "合计"}},
          {"cf.pdf", {"现金流量表", "会小企03表", "处置固定资产、无形资产和其他非流动资产收回的现金净额",
                      "五、期末现金余额", "1,720.00"}}}) {
        const std::string text = pdfText(out / pdf);
        for (const std::string& t : texts) EXPECT_NE(text.find(t), std::string::npos) << pdf << ": " << t;
        EXPECT_EQ(text.find("###"), std::string::npos) << pdf << ": an amount too wide for its column";
    }

    // 期末余额 of 货币资金 (1,720.00) and of 资产总计 (12,347,898.90) end at
    // the same place: right-aligned in their column.
    double right[2] = {0, 0};
    for (const auto& [word, xMax] : wordsOf(out / "bs.pdf")) {
        if (word == "1,720.00" && !right[0]) right[0] = xMax;
        if (word == "12,347,898.90" && !right[1]) right[1] = xMax;
    }
    ASSERT_GT(right[0], 0);
    EXPECT_NEAR(right[0], right[1], 1.0);

    if (const char* shots = std::getenv("TALLOWICK_SCREENSHOT_DIR"))
        for (const char* name : {"bs", "is", "tb", "cf"})
            std::system(("pdftoppm -r 80 -png " + shellQuoted((out / (std::string(name) + ".pdf")).string()) +
                         " " + shellQuoted(std::string(shots) + "/statement-" + name))
                            .c_str());
}

}  // namespace
}  // namespace tw::test
