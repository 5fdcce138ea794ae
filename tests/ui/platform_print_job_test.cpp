// A print job of several grids as one document: its name in the PDF a
// printer writes, the page range chosen on the printer, and the footer of a
// printed ledger (the company, 第N页/共M页), read back with pdftotext.
#include <gtest/gtest.h>

#include <QPrinter>
#include <QTemporaryDir>

#include "platform/ui/page_printing.h"
#include "support/pdf_text.h"

namespace tw::test {
namespace {

constexpr auto npos = std::string::npos;

// A ledger page whose row i says "第i行", long enough for several sheets.
PageGrid ledgerRows(int lines) {
    PageGrid g = ledgerPageTemplate();
    g.setText(1, 1, "现金 明细账");
    for (int i = 1; i <= lines; ++i) {
        const int row = i == 1 ? g.dataRow() : g.appendRow();
        g.setText(row, 3, "第" + std::to_string(i) + "行");
    }
    return g;
}

// One sheet saying `text`.
PageGrid note(const std::string& text) {
    PageGrid g(1, 1, 100, 1000);
    g.setText(1, 1, text);
    return g;
}

std::string pdfIn(const QTemporaryDir& dir, const char* name) {
    return dir.filePath(QString::fromUtf8(name)).toStdString();
}

TEST(PrintJob, TheRangeChosenPrintsThoseSheetsUnderTheJobsNameAndFooter) {
    const PrintJob job{{ledgerRows(120)},
                       QStringLiteral("明细账 现金 2013-3-1至2013-3-31"),
                       {"单位：华兴科技", true}};
    const int sheets = sheetCount(job);
    ASSERT_GE(sheets, 3);
    QTemporaryDir dir;
    const std::string pdf = pdfIn(dir, "账页.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    setUpPrinter(printer, job);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 3);
    EXPECT_EQ(printJob(printer, job), 2);
    const std::vector<std::string> pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2u);
    const std::string count = "共" + std::to_string(sheets) + "页";
    EXPECT_NE(pages[0].find("第2页/" + count), npos) << pages[0];
    EXPECT_NE(pages[1].find("第3页/" + count), npos) << pages[1];
    EXPECT_EQ(pages[0].find("第1行"), npos) << "the first sheet was not asked for";
    for (const std::string& page : pages) EXPECT_NE(page.find("单位：华兴科技"), npos) << page;
    EXPECT_NE(pdfInfo(pdf).find("明细账 现金 2013-3-1至2013-3-31"), npos);
}

TEST(PrintJob, SeveralGridsPrintAsOneDocumentInTheirOrder) {
    const PrintJob job{{note("甲页"), note("乙页"), note("丙页")}, QStringLiteral("三页"), {}};
    EXPECT_EQ(sheetCount(job), 3);
    QTemporaryDir dir;
    const std::string pdf = pdfIn(dir, "三页.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf));
    setUpPrinter(printer, job);
    EXPECT_EQ(printJob(printer, job), 3);
    const std::vector<std::string> pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_NE(pages[0].find("甲页"), npos);
    EXPECT_NE(pages[1].find("乙页"), npos);
    EXPECT_NE(pages[2].find("丙页"), npos);
    // No footer asked for, none printed.
    EXPECT_EQ(pdfText(pdf).find("第1页"), npos);
}

TEST(PrintJob, APdfWithAFooterNumbersEverySheetOverAllItsGrids) {
    QTemporaryDir dir;
    const std::string pdf = pdfIn(dir, "带页码.pdf");
    QString error;
    ASSERT_TRUE(writePdf({note("甲页"), note("乙页")}, QString::fromStdString(pdf), &error,
                         SheetFooter{"单位：华兴科技", true}))
        << error.toStdString();
    const std::vector<std::string> pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages[0].find("第1页/共2页"), npos) << pages[0];
    EXPECT_NE(pages[1].find("第2页/共2页"), npos) << pages[1];
    EXPECT_NE(pages[1].find("单位：华兴科技"), npos) << pages[1];
}

}  // namespace
}  // namespace tw::test
