// Ledger pages and lists exported to .xlsx and read back: cell (i, k) of the
// source lands in column a..g of row i, as the text it shows.
#include <gtest/gtest.h>

#include "ledger_fixture.h"
#include "ledgers/ledger_export.h"
#include "platform/xlsx_reader.h"
#include "storage/store_fixture.h"

namespace tw {
namespace {

class LedgerExportTest : public test::LedgerTest {
protected:
    test::TempDir exports;  // outside the account-set directory, as exports go

    std::map<std::string, std::string> readBack(const Workbook& book) {
        const auto file = exports / "导出" / "账页.xlsx";
        std::filesystem::create_directories(file.parent_path());
        const Outcome saved = runCaught([&] { saveExport(book, file, dataDir); });
        EXPECT_TRUE(saved.ok) << saved.detail;
        std::string error;
        const auto cells = readXlsxSheet(file, 1, &error);
        EXPECT_TRUE(cells) << error;
        return cells.value_or(std::map<std::string, std::string>{});
    }
};

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
    EXPECT_EQ(cells, expected);
    // The heading, the heads and the amounts as the page shows them.
    EXPECT_EQ(cells.at("A1"), " 明细科目：1001 现金  2013-3-1至2013-3-31");
    EXPECT_EQ(cells.at("D2"), "借方");
    EXPECT_EQ(cells.at("E" + std::to_string(t + 2)), "300.00");
    EXPECT_EQ(cells.at("D" + std::to_string(t + 3)), "0");
    EXPECT_EQ(cells.at("G" + std::to_string(t + 1)), "1000.00");
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

}  // namespace
}  // namespace tw
