// The month's reports on a set with known books: two closed months (March
// and April 2013), their account summary and trial balance read back from the
// written workbook, the copy in 报表临时1, the refused months, and the HTML
// ledger files beside them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

#include "closing/closing_fixture.h"
#include "ledgers/html_ledger.h"
#include "ledgers/report.h"
#include "platform/xlsx_reader.h"
#include "storage/gbk.h"
#include "storage/ledger_convention.h"
#include "storage/store_fixture.h"

namespace tw::test {
namespace {

using Cells = std::map<std::string, std::string>;

class ReportTest : public ClosingTest {
protected:
    void SetUp() override {
        ClosingTest::SetUp();
        addSub("银行存款", "工商银行");
        addSub("银行存款", "建设银行");
        enableWith({{"银行存款→工商银行", 1000}, {"现金", 200}, {"实收资本", -1200}});
        // March: a sale into the bank, expenses paid in cash; the close
        // carries both into 本年利润.
        addVoucher(30001, {{"银行存款→工商银行", 500, 0, "销售"}, {"主营业务收入", 0, 500, "销售"}});
        addVoucher(30002, {{"管理费用", 120.5, 0, "报销"}, {"现金", 0, 120.5, "报销"}});
        closeMonth();
        // April: cash drawn from the other bank; the profit accounts are quiet.
        addVoucher(40001, {{"现金", 300, 0, "提现"}, {"银行存款→建设银行", 0, 300, "提现"}});
        closeMonth();
    }

    void closeMonth() {
        ASSERT_TRUE(post().ok);
        const auto closed = close();
        ASSERT_TRUE(closed.ok) << closed.message;
    }

    // The workbook into the export folder by default, as the report window writes it.
    Result<ExportedReport> exportReport(int year, int month, const std::filesystem::path& file = {}) {
        const YearMonth m{year, month};
        return exportMonthReport(*store, session, m,
                                 file.empty() ? monthReportPath(exports.path(), m) : file);
    }

    static Cells sheet(const std::filesystem::path& file, int n) {
        std::string error;
        const auto cells = readXlsxSheet(file, n, &error);
        EXPECT_TRUE(cells) << error;
        return cells.value_or(Cells{});
    }
    // The row of the sheet whose column A holds `text` (0 when none).
    static int rowOf(const Cells& cells, const std::string& text) {
        for (const auto& [cell, value] : cells)
            if (cell[0] == 'A' && value == text) return std::stoi(cell.substr(1));
        return 0;
    }
    static std::string at(const Cells& cells, const std::string& cell) {
        auto it = cells.find(cell);
        return it == cells.end() ? "" : it->second;
    }
    // Columns B.. of a row, "-" for an empty cell: "79.5 - 300 - 379.5 - 200 -".
    static std::string amounts(const Cells& cells, int row, char last) {
        std::string out;
        for (char c = 'B'; c <= last; ++c) {
            const std::string v = at(cells, std::string(1, c) + std::to_string(row));
            out += (out.empty() ? "" : " ") + (v.empty() ? "-" : v);
        }
        return out;
    }
    std::vector<std::vector<Value>> scratch() { return tableRows(path(file::kReportScratch), ""); }
    std::string bytes(const std::filesystem::path& file) {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    std::filesystem::path setFile(const std::string& name) {
        return setFolder(dataDir, session.login.setName) / std::filesystem::u8path(name);
    }
    std::filesystem::path exported(const std::string& name) const { return exports / name; }

    TempDir exports;  // the export folder, outside the account-set directory
};

TEST_F(ReportTest, AccountSummaryOfAMonthReadBackFromTheWorkbook) {
    const auto out = exportReport(2013, 4);
    ASSERT_TRUE(out.ok) << out.message << " " << out.detail;
    EXPECT_EQ(out.value.workbook, exported("报表-2013-04.xlsx"));
    // The workbook is the user's, the ledger files are the set's.
    EXPECT_FALSE(std::filesystem::exists(setFile("报表-2013-04.xlsx")));
    EXPECT_EQ(out.value.generalHtml, setFile(kGeneralLedgerHtml));
    EXPECT_EQ(out.value.detailHtml, setFile(kDetailLedgerHtml));
    const Cells s = sheet(out.value.workbook, 1);
    EXPECT_EQ(at(s, "A1"), "科目汇总表");
    EXPECT_EQ(at(s, "C2"), "2013年4月");
    EXPECT_EQ(at(s, "A3"), "单位：测试公司");
    EXPECT_EQ(at(s, "A4") + at(s, "B4") + at(s, "C4"), "会计科目借方发生额贷方发生额");
    // The accounts with entries first, then the quiet ones the close carried.
    EXPECT_EQ(amounts(s, rowOf(s, "现金"), 'C'), "300 -");
    EXPECT_EQ(amounts(s, rowOf(s, "银行存款"), 'C'), "- 300");
    for (const char* quiet : {"实收资本", "主营业务收入", "管理费用", "本年利润"}) {
        ASSERT_GT(rowOf(s, quiet), 4) << quiet;
        EXPECT_EQ(amounts(s, rowOf(s, quiet), 'C'), "- -") << quiet;
    }
    const int total = rowOf(s, "合计");
    EXPECT_EQ(total, 11);
    EXPECT_EQ(amounts(s, total, 'C'), "300 300");
    EXPECT_EQ(at(s, "A12"), "制表：张三     " + chineseDate(today()));

    // The same lines, with the totals, are kept in 报表临时1.
    const auto copy = scratch();
    ASSERT_EQ(copy.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        const int row = 5 + i;
        EXPECT_EQ(copy[i][0].text(), at(s, "A" + std::to_string(row)));
        EXPECT_EQ(copy[i][1].number(), std::stod("0" + at(s, "B" + std::to_string(row))));
        EXPECT_EQ(copy[i][2].number(), std::stod("0" + at(s, "C" + std::to_string(row))));
    }
}

TEST_F(ReportTest, TrialBalanceShowsBalancesOnTheirSidesAndBalances) {
    const auto out = exportReport(2013, 4);
    ASSERT_TRUE(out.ok) << out.message;
    const Cells t = sheet(out.value.workbook, 2);
    EXPECT_EQ(at(t, "A1"), "试算平衡表");
    EXPECT_EQ(at(t, "A2"), "单位：测试公司");
    EXPECT_EQ(at(t, "H2"), "2013年4月");
    EXPECT_EQ(at(t, "A3") + at(t, "B3") + at(t, "D3") + at(t, "F3") + at(t, "H3"),
              "会计科目期初余额累计发生期末余额年初余额");
    EXPECT_EQ(amounts(t, 4, 'I'), "借方 贷方 借方 贷方 借方 贷方 借方 贷方");
    //                                        期初        发生       期末       年初
    EXPECT_EQ(amounts(t, rowOf(t, "银行存款"), 'I'), "1500 - - 300 1200 - 1000 -");
    EXPECT_EQ(amounts(t, rowOf(t, "现金"), 'I'), "79.5 - 300 - 379.5 - 200 -");
    EXPECT_EQ(amounts(t, rowOf(t, "实收资本"), 'I'), "- 1200 - - - 1200 - 1200");
    EXPECT_EQ(amounts(t, rowOf(t, "本年利润"), 'I'), "- 379.5 - - - 379.5 - -");
    EXPECT_EQ(amounts(t, rowOf(t, "主营业务收入"), 'I'), "- - - - - - - -");
    // One totals row, every pair of columns equal on both sides.
    int totals = 0;
    for (const auto& [cell, value] : t) totals += value == "合计";
    EXPECT_EQ(totals, 1);
    EXPECT_EQ(rowOf(t, "合计"), 11);
    EXPECT_EQ(amounts(t, 11, 'I'), "1579.5 1579.5 300 300 1579.5 1579.5 1200 1200");
}

TEST_F(ReportTest, FirstMonthOfTheBooksOpensWithTheYearOpeningRows) {
    const auto r = runAction(*store, [&] { return buildMonthReport(*store, session, {2013, 3}); });
    ASSERT_TRUE(r.ok) << r.message;
    std::map<std::string, TrialLine> lines;
    for (const TrialLine& l : r.value.trial) lines[l.account] = l;
    EXPECT_EQ(lines["银行存款"].opening, (SidePair{1000, 0}));
    EXPECT_EQ(lines["银行存款"].closing, (SidePair{1500, 0}));
    EXPECT_EQ(lines["现金"].closing, (SidePair{79.5, 0}));
    EXPECT_EQ(lines["本年利润"].movement, (SidePair{120.5, 500}));
    EXPECT_EQ(lines["本年利润"].closing, (SidePair{0, 379.5}));
    EXPECT_EQ(lines["实收资本"].yearOpening, (SidePair{0, 1200}));
    EXPECT_EQ(r.value.trialTotal.opening, (SidePair{1200, 1200}));
    EXPECT_EQ(r.value.trialTotal.movement, (SidePair{1241, 1241}));
    EXPECT_EQ(r.value.trialTotal.closing, (SidePair{1579.5, 1579.5}));
}

// A month that is not closed, or lies before the books, writes nothing.
TEST_F(ReportTest, MonthsOutsideTheClosedBooksAreRefusedAndWriteNothing) {
    ASSERT_TRUE(exportReport(2013, 3).ok);
    const auto before = scratch();
    std::filesystem::remove(setFile(kGeneralLedgerHtml));
    for (const YearMonth m : {YearMonth{2013, 5}, YearMonth{2013, 6}, YearMonth{2013, 2},
                              YearMonth{2012, 12}, YearMonth{2013, 13}, YearMonth{2013, 0}}) {
        const auto out = exportReport(m.year, m.month);
        EXPECT_FALSE(out.ok) << m.year << "-" << m.month;
        EXPECT_EQ(out.message, kNoMonthData);
        EXPECT_FALSE(std::filesystem::exists(monthReportPath(exports.path(), m)));
    }
    EXPECT_EQ(scratch(), before);
    EXPECT_FALSE(std::filesystem::exists(setFile(kGeneralLedgerHtml)));
}

TEST_F(ReportTest, EveryMonthKeepsItsOwnWorkbook) {
    ASSERT_TRUE(exportReport(2013, 3).ok);
    ASSERT_TRUE(exportReport(2013, 4).ok);
    EXPECT_EQ(at(sheet(exported("报表-2013-03.xlsx"), 1), "C2"), "2013年3月");
    EXPECT_EQ(at(sheet(exported("报表-2013-04.xlsx"), 1), "C2"), "2013年4月");
    // The sheets bear the names of the set's own report workbook.
    std::string error;
    const auto names = readXlsxSheetNames(exported("报表-2013-04.xlsx"), &error);
    ASSERT_TRUE(names) << error;
    EXPECT_EQ(*names, (std::vector<std::string>{"科目汇总表", "试算平衡表"}));
}

// Nothing posted in May: headings, accounts without amounts, an empty
// totals row and the 制表 line. A dust amount stays an empty cell.
TEST_F(ReportTest, QuietMonthHasEmptyAmounts) {
    closeMonth();
    {
        Action a(*store);
        openSetTable(*store, session, file::kGeneralLedger);
        store->table(path(file::kGeneralLedger))
            .append({dayNumber(2013, 5, 31), 0, kMonthTotal, "应付账款", 0.00000001, 0.0, "平", 0.0});
        a.commit();
        store->closeTable();
    }
    const auto out = exportReport(2013, 5);
    ASSERT_TRUE(out.ok) << out.message;
    const Cells s = sheet(out.value.workbook, 1);
    const int total = rowOf(s, "合计");
    ASSERT_GT(total, 5);
    for (int row = 5; row <= total; ++row) EXPECT_EQ(amounts(s, row, 'C'), "- -") << row;
    EXPECT_GT(rowOf(s, "应付账款"), 4);
    EXPECT_EQ(at(s, "A" + std::to_string(total + 1)).rfind("制表：张三", 0), 0u);
}

TEST_F(ReportTest, AFileThatCannotBeWrittenLeavesTheScratchTableAsItWas) {
    ASSERT_TRUE(exportReport(2013, 3).ok);
    const auto before = scratch();
    const TempDir elsewhere;
    auto out = exportReport(2013, 4, elsewhere / "no such folder" / "r.xlsx");
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "文件夹“" + pathText(elsewhere / "no such folder") +
                               "”不存在，不能用来保存导出的文件，请另选位置！");
    EXPECT_EQ(scratch(), before);

    // An HTML file in the way (a folder of that name) is refused by name.
    std::filesystem::remove(setFile(kDetailLedgerHtml));
    std::filesystem::create_directory(setFile(kDetailLedgerHtml));
    out = exportReport(2013, 4);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "“" + pathText(setFile(kDetailLedgerHtml)) +
                               "”不是普通文件，不能用来保存导出的文件，请另选位置！");
    EXPECT_EQ(scratch(), before);
}

// A detail ledger that cannot be read stops the export before any file is written.
TEST_F(ReportTest, AnUnreadableLedgerStopsTheExportBeforeAnything) {
    ASSERT_TRUE(exportReport(2013, 3).ok);
    const auto before = scratch();
    for (const char* name : {kGeneralLedgerHtml, kDetailLedgerHtml}) std::filesystem::remove(setFile(name));
    store.reset();
    std::ofstream(path(file::kLedger), std::ios::binary | std::ios::trunc) << "not a table";
    store = std::make_unique<RecordStore>(dataDir);
    const auto out = exportReport(2013, 4);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, kUnreadableSet);
    EXPECT_FALSE(std::filesystem::exists(monthReportPath(exports.path(), {2013, 4})));
    for (const char* name : {kGeneralLedgerHtml, kDetailLedgerHtml})
        EXPECT_FALSE(std::filesystem::exists(setFile(name))) << name;
    EXPECT_EQ(scratch(), before);
}

// ---- the HTML ledger files ----------------------------------------------

// Splits at CRLF; fails on a line break without its CR.
std::vector<std::string> crlfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1) {
        EXPECT_TRUE(at > 0 && text[at - 1] == '\r') << "a bare LF after line " << lines.size();
        lines.push_back(text.substr(from, at - from - 1));
    }
    EXPECT_EQ(from, text.size()) << "the last line has no CRLF";
    return lines;
}

TEST_F(ReportTest, LedgerFilesAreGbkHtmlWithOneRowPerRecord) {
    // A summary with markup characters and a character outside GB2312.
    addVoucher(dayNumber(2013, 5, 6), 50001,
               {{"现金", 1, 0, "A&B<1> 镕"}, {"银行存款→工商银行", 0, 1, "A&B<1> 镕"}});
    ASSERT_TRUE(exportReport(2013, 4).ok);
    for (const auto& [name, file] : {std::pair{kGeneralLedgerHtml, file::kGeneralLedger},
                                     std::pair{kDetailLedgerHtml, file::kLedger}}) {
        SCOPED_TRACE(name);
        const std::string raw = bytes(setFile(name));
        const auto text = fromGbk(raw);
        ASSERT_TRUE(text) << "not GBK";
        EXPECT_EQ(text->find("镕"), std::string::npos);  // posted in May: not in the ledgers yet
        const auto lines = crlfLines(*text);
        ASSERT_GT(lines.size(), 10u);
        EXPECT_EQ(lines[0], "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"");
        EXPECT_NE(text->find("<meta http-equiv=Content-Type content=\"text/html; charset=GBK\">"),
                  std::string::npos);
        EXPECT_NE(text->find("<meta name=ProgId content=Excel.Sheet>"), std::string::npos);
        EXPECT_NE(text->find("<x:Name>Sheet3</x:Name>"), std::string::npos);
        EXPECT_NE(text->find(" <col width=72 span=9 style='width:54pt'>"), std::string::npos);
        EXPECT_EQ(std::vector<std::string>(lines.end() - 3, lines.end()),
                  (std::vector<std::string>{"</table>", "</body>", "</html>"}));

        const auto records = rows(file);
        long tableRows = 0;
        for (const std::string& l : lines) tableRows += l.rfind(" <tr ", 0) == 0;
        EXPECT_EQ(tableRows, static_cast<long>(records.size()) + 1);
        // The heading names the fields; the first record follows cell by cell.
        const auto heading = std::find(lines.begin(), lines.end(),
                                       " <tr height=21 style='mso-height-source:userset;height:15.75pt'>");
        ASSERT_NE(heading, lines.end());
        EXPECT_EQ(heading[1], "  <td height=21 width=72 style='height:15.75pt;width:54pt'>凭证日期</td>");
        EXPECT_EQ(heading[9], "  <td width=72 style='width:54pt'>备用</td>");
        EXPECT_EQ(heading[11], " <tr height=21 style='height:15.75pt'>");
        EXPECT_EQ(heading[12], "  <td height=21 class=xl24 style='height:15.75pt'>" +
                                   formatDate(records[0][0].number()) + "</td>");
        EXPECT_EQ(heading[13], "  <td class=xl24 align=right x:num>0</td>");
        EXPECT_EQ(heading[14], "  <td class=xl24>期初余额</td>");
        EXPECT_EQ(heading[16], "  <td class=xl24 align=right x:num>" +
                                   plainDecimal(records[0][4].number()) + "</td>");
    }
    // Post May and write again: the summary comes out escaped, the file replaced.
    closeMonth();
    ASSERT_TRUE(exportReport(2013, 5).ok);
    const auto text = fromGbk(bytes(setFile(kDetailLedgerHtml)));
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("<td class=xl24>A&amp;B&lt;1&gt; 镕</td>"), std::string::npos);
    EXPECT_EQ(text->find("A&B"), std::string::npos);
}

}  // namespace
}  // namespace tw::test
