// Ledger pages and lists exported to .xlsx and read back: cell (i, k) of the
// source lands in column a..g of row i, as the text it shows, or in the rows
// of entries as the date or the amount it shows; the sheet prints one A4 page
// wide; an export goes only into a folder outside the account-set directory.
#include <gtest/gtest.h>

#include "export_cells.h"
#include "ledger_fixture.h"
#include "ledgers/journal.h"
#include "ledgers/ledger_export.h"
#include "platform/xlsx_reader.h"
#include "storage/dates.h"
#include "storage/store_fixture.h"
#include "storage/user_files.h"
#include "support/file_tree.h"

namespace tw {
namespace {

class LedgerExportTest : public test::LedgerTest {
protected:
    test::TempDir exports;  // outside the account-set directory, as exports go

    std::filesystem::path written() const { return exports / "导出" / "账页.xlsx"; }
    std::map<std::string, std::string> readBack(const Workbook& book) {
        const auto file = written();
        std::filesystem::create_directories(file.parent_path());
        const Outcome saved = runCaught([&] { saveExport(book, file, dataDir); });
        EXPECT_TRUE(saved.ok) << saved.detail;
        std::string error;
        const auto cells = readXlsxSheet(file, 1, &error);
        EXPECT_TRUE(cells) << error;
        return cells.value_or(std::map<std::string, std::string>{});
    }
    // The page of 现金 for March with an opening, a payment and the month's total.
    PageGrid marchPage() {
        writeRows(file::kLedger,
                  {{day(2013, 3, 1), 0, "期初余额", "现金", 0, 0, "借", 1000},
                   {day(2013, 3, 9), 30002, "支付运费", "现金", 0, -300, "借", 700},
                   {day(2013, 3, 31), 0, "本月合计", "现金", 0, -300, "借", 700}});
        const LedgerRequest r{LedgerMode::Detail, "现金", day(2013, 3, 1), day(2013, 3, 31)};
        const auto listed = runCaught([&] { return listLedgerPage(*store, session, r); });
        EXPECT_TRUE(listed.ok) << listed.message;
        return listed.value.page;
    }
    // The number a cell read back holds.
    static double number(const std::map<std::string, std::string>& cells, const std::string& at) {
        return cells.count(at) ? std::stod(cells.at(at)) : -1e300;
    }
};

// An entry row's cell read back as the page shows it: 日期 holds a day
// number, 借方, 贷方 and 余额 numbers; compared by what they stand for.
void expectShown(const std::string& at, const std::string& read, const std::string& shown) {
    SCOPED_TRACE(at + " shows " + shown);
    if (at[0] == 'A') {
        double shownDay = 0;
        ASSERT_TRUE(parseDate(shown, shownDay));
        EXPECT_EQ(std::stod(read), shownDay);
    } else if (at[0] == 'D' || at[0] == 'E' || at[0] == 'G') {
        EXPECT_EQ(std::stod(read), std::stod(shown));
    } else {
        EXPECT_EQ(read, shown);
    }
}

TEST_F(LedgerExportTest, APageWithThreeRowsFillsTheTemplateRowsAndThreeMore) {
    writeRows(file::kLedger,
              {{day(2013, 3, 1), 0, "期初余额", "现金", 0, 0, "借", 1000},
               {day(2013, 3, 9), 30002, "支付运费", "现金", 0, -300, "借", 700},
               {day(2013, 3, 31), 0, "本月合计", "现金", 0, -300, "借", 700}});
    const LedgerRequest r{LedgerMode::Detail, "现金", day(2013, 3, 1), day(2013, 3, 31)};
    const auto listed = runCaught([&] { return listLedgerPage(*store, session, r); });
    ASSERT_TRUE(listed.ok);
    const PageGrid& page = listed.value.page;
    const int t = loadLedgerTemplate(dataDir).dataRow() - 1;  // title and column heads
    ASSERT_EQ(page.rowCount(), t + 3);

    const auto cells = readBack(ledgerWorkbook(page));
    std::map<std::string, std::string> expected;
    for (int i = 1; i <= page.rowCount(); ++i)
        for (int k = 1; k <= 7; ++k)
            if (!page.text(i, k).empty()) expected[cellName(i, k)] = page.text(i, k);
    // The same cells; the template rows as text, the entries' dates and
    // amounts as what they show.
    ASSERT_EQ(cells.size(), expected.size());
    for (const auto& [at, shown] : expected) {
        ASSERT_TRUE(cells.count(at)) << at;
        if (std::stoi(at.substr(1)) <= t) EXPECT_EQ(cells.at(at), shown) << at;
        else expectShown(at, cells.at(at), shown);
    }
    // The heading, the heads and the amounts as the page shows them.
    EXPECT_EQ(cells.at("A1"), " 明细科目：1001 现金  2013-3-1至2013-3-31");
    EXPECT_EQ(cells.at("D2"), "借方");
    EXPECT_EQ(number(cells, "E" + std::to_string(t + 2)), 300.00);
    EXPECT_EQ(number(cells, "D" + std::to_string(t + 3)), 0);
    EXPECT_EQ(number(cells, "G" + std::to_string(t + 1)), 1000.00);
    EXPECT_EQ(cells.count("B" + std::to_string(t + 1)), 0u);  // no voucher number
    EXPECT_EQ(cells.count("A" + std::to_string(t + 4)), 0u);  // nothing past the page
}

TEST_F(LedgerExportTest, AListOfTwoRowsFillsA1ToG2WithoutAHeading) {
    const std::vector<ExportRow> list{
        {"2013-3-1", "现金", "1500", "2500", "张三", "收到货款", "收款"},
        {"2013-3-2", "现金", "-200", "2300", "张三", "支付运费", "付款"},
    };
    const auto cells = readBack(exportWorkbook(list));
    EXPECT_EQ(cells.size(), 14u);
    EXPECT_EQ(cells.at("C1"), "1500");  // amounts are texts, as the list shows them
    EXPECT_EQ(cells.at("G2"), "付款");
}

TEST_F(LedgerExportTest, ExportsNeverReplaceAnEarlierFile) {
    const LedgerRequest r{LedgerMode::General, "银行存款", day(2013, 3, 1), day(2013, 3, 31)};
    const std::string name = ledgerExportName(r);
    EXPECT_EQ(name, "总账 银行存款 2013-3-1至2013-3-31.xlsx");
    const auto folder = exports / "导出";
    std::filesystem::create_directories(folder);
    const auto first = freeExportPath(folder, name);
    EXPECT_EQ(first, folder / std::filesystem::u8path(name));
    ASSERT_TRUE(runCaught([&] { saveExport(exportWorkbook({}), first, dataDir); }).ok);
    EXPECT_EQ(freeExportPath(folder, name),
              folder / std::filesystem::u8path("总账 银行存款 2013-3-1至2013-3-31 (2).xlsx"));
    // A folder in the file's place is refused by name, and stays.
    std::filesystem::create_directories(folder / "占用.xlsx");
    const Outcome blocked =
        runCaught([&] { saveExport(exportWorkbook({}), folder / "占用.xlsx", dataDir); });
    EXPECT_FALSE(blocked.ok);
    EXPECT_EQ(blocked.message, "“" + pathText(folder / "占用.xlsx") +
                                   "”不是普通文件，不能用来保存导出的文件，请另选位置！");
    EXPECT_TRUE(std::filesystem::is_directory(folder / "占用.xlsx"));
    // So is one in the account-set directory, which could be a table.
    const Outcome inside = runCaught([&] { saveExport(exportWorkbook({}), path(file::kLedger), dataDir); });
    EXPECT_FALSE(inside.ok);
    EXPECT_NE(inside.message.find("在套账目录中"), std::string::npos);
}

// A spreadsheet sums and sorts what it holds as numbers: text amounts add up
// to nothing. The voucher number stays a text, as an amount it is not.
TEST_F(LedgerExportTest, EntriesHoldDatesAndAmountsAsNumbersInTheirFormats) {
    const PageGrid page = marchPage();
    const int t = page.dataRow() - 1;
    const auto cells = readBack(ledgerWorkbook(page));
    const auto row = [&](int n) { return std::to_string(t + n); };

    for (const std::string& at :
         {"E" + row(2), "E" + row(3), "D" + row(3), "G" + row(1), "G" + row(2)}) {
        const test::CellFacts amount = test::cellFacts(written(), at);
        ASSERT_TRUE(amount.found) << at;
        EXPECT_EQ(amount.type, "n") << at;
        EXPECT_EQ(amount.format, "#,##0.00") << at;
    }
    for (int n = 1; n <= 3; ++n) {
        const test::CellFacts date = test::cellFacts(written(), "A" + row(n));
        EXPECT_EQ(date.type, "n") << n;
        EXPECT_EQ(date.format, "yyyy-m-d") << n;
    }
    EXPECT_EQ(number(cells, "A" + row(2)), day(2013, 3, 9));
    EXPECT_EQ(number(cells, "E" + row(2)), 300);
    EXPECT_EQ(test::cellFacts(written(), "B" + row(2)).type, "s");
    EXPECT_EQ(cells.at("B" + row(2)), "30002");
    // The template rows stay texts, the date in the heading included.
    EXPECT_EQ(test::cellFacts(written(), "A1").type, "s");
    EXPECT_EQ(test::cellFacts(written(), "D2").type, "s");
}

TEST_F(LedgerExportTest, ThePagePrintsOnA4OnePageWide) {
    readBack(ledgerWorkbook(marchPage()));
    const auto setup = test::pageSetupOf(written());
    EXPECT_EQ(setup.count("fitToPage") ? setup.at("fitToPage") : "", "1");
    EXPECT_EQ(setup.count("paperSize") ? setup.at("paperSize") : "", "9");  // A4
    // One page wide (1 is the default the file leaves out), as many tall as it takes.
    EXPECT_EQ(setup.count("fitToWidth") ? setup.at("fitToWidth") : "1", "1");
    EXPECT_EQ(setup.count("fitToHeight") ? setup.at("fitToHeight") : "", "0");
    // The page's seven columns (190 mm) are wider than portrait A4 prints.
    EXPECT_EQ(setup.count("orientation") ? setup.at("orientation") : "", "landscape");
}

TEST_F(LedgerExportTest, NarrowColumnsPrintPortraitAndAWideAmountWidensItsColumn) {
    const std::vector<ExportRow> rows{{"2013-3-1", "收", "5", "5", "", "", ""}};
    Workbook book = exportWorkbook(rows);
    Worksheet& narrow = book.sheet(1);
    for (int c = 1; c <= 7; ++c) narrow.setColumnWidth(c, 8);
    finishExportSheet(narrow);
    EXPECT_FALSE(narrow.landscape());
    EXPECT_TRUE(narrow.fitToPageWidth());
    EXPECT_TRUE(narrow.a4());

    // 12,345,678,901.23 and its sign take 18 characters; a 16-character
    // column would show "###".
    const auto lines = std::vector<JournalLine>{
        {"2013-3-1", "付", "-12345678901.23", "-12345678901.23", "张三", "购入设备", ""}};
    const Workbook wide = journalWorkbook(lines);
    const Worksheet& sheet = *wide.findSheet(1);
    EXPECT_GE(sheet.columnWidths().at(3), 18.0);
    EXPECT_GE(sheet.columnWidths().at(4), 18.0);
    EXPECT_EQ(sheet.columnWidths().at(6), 36.0) << "a text column keeps its width";
    EXPECT_TRUE(sheet.landscape());
}

// An export folder inside the account-set directory could put a workbook
// over a table: refused as a folder, and nothing is written or made.
TEST_F(LedgerExportTest, AnExportIntoAFolderInsideTheDirectoryIsRefusedAndWritesNothing) {
    const auto setFolder = path(file::kLedger).parent_path();
    const auto before = test::fileTree(dataDir);
    for (const auto& folder : {setFolder, dataDir, dataDir / "导出"}) {
        SCOPED_TRACE(pathText(folder));
        const auto refused = runCaught(
            [&] { return exportToFolder(exportWorkbook({}), folder, "账页.xlsx", dataDir); });
        EXPECT_FALSE(refused.ok);
        EXPECT_EQ(refused.message, "文件夹“" + pathText(folder) +
                                       "”在套账目录中，不能用来保存导出的文件，请另选位置！");
        EXPECT_EQ(test::fileTree(dataDir), before);
    }
    // A folder that reaches into the directory through a link is inside it too.
    std::filesystem::create_directory_symlink(setFolder, exports / "链接");
    const auto linked = runCaught(
        [&] { return exportToFolder(exportWorkbook({}), exports / "链接", "账页.xlsx", dataDir); });
    EXPECT_FALSE(linked.ok);
    EXPECT_NE(linked.message.find("在套账目录中"), std::string::npos) << linked.message;
    EXPECT_EQ(test::fileTree(dataDir), before);
    // A missing folder is named, and not made.
    const auto missing = runCaught(
        [&] { return exportToFolder(exportWorkbook({}), exports / "没有", "账页.xlsx", dataDir); });
    EXPECT_EQ(missing.message, "文件夹“" + pathText(exports / "没有") +
                                   "”不存在，不能用来保存导出的文件，请另选位置！");
    EXPECT_FALSE(std::filesystem::exists(exports / "没有"));
}

TEST_F(LedgerExportTest, AnExportNamesTheFullPathOfTheFileItWrote) {
    const auto folder = exports / "导出";
    std::filesystem::create_directories(folder);
    const LedgerRequest r{LedgerMode::Detail, "现金", day(2013, 3, 1), day(2013, 3, 31)};
    const Workbook book = ledgerWorkbook(marchPage());
    const auto first =
        runCaught([&] { return exportToFolder(book, folder, ledgerExportName(r), dataDir); });
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(first.value, folder / "明细账 现金 2013-3-1至2013-3-31.xlsx");
    EXPECT_TRUE(first.value.is_absolute());
    EXPECT_TRUE(std::filesystem::is_regular_file(first.value));
    EXPECT_EQ(exportedMessage(first.value),
              "文件已导出到：\n" + pathText(folder / "明细账 现金 2013-3-1至2013-3-31.xlsx"));
    // The next one is a new file beside it, and says so.
    const auto second = runCaught(
        [&] { return exportToFolder(exportWorkbook({}), folder, ledgerExportName(r), dataDir); });
    ASSERT_TRUE(second.ok) << second.message;
    EXPECT_EQ(second.value, folder / "明细账 现金 2013-3-1至2013-3-31 (2).xlsx");
    EXPECT_NE(exportedMessage(second.value).find(pathText(second.value)), std::string::npos);
}

}  // namespace
}  // namespace tw
