// Page grids on paper: PDFs read back with pdftotext, the print preview, the
// grid widget, and opening a written file in the desktop's program.
#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QImage>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProcess>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <QUrl>
#include <fstream>

#include "platform/ui/open_document.h"
#include "platform/ui/page_grid_widget.h"
#include "platform/ui/page_printing.h"
#include "picture_check.h"
#include "test_support.h"
#include "url_catcher.h"

namespace tw::test {
namespace {

QString runTool(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000)) return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The text of each page of a PDF, as pdftotext reads it.
QStringList pdfPages(const QString& pdf) {
    QStringList pages = runTool("pdftotext", {"-layout", pdf, "-"}).split(QChar('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

int pdfPageCount(const QString& pdf) {
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(runTool("pdfinfo", {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

// Dark dots on every other pixel of every other row: the ink of lines and
// letters on white paper, which the grey around the sheets does not add to.
int darkDots(const QImage& picture) {
    int ink = 0;
    for (int y = 0; y < picture.height(); y += 2)
        for (int x = 0; x < picture.width(); x += 2) ink += qGray(picture.pixel(x, y)) < 80;
    return ink;
}

QString path(const TempDataDir& dir, const char* name) {
    return QDir(QString::fromStdString(dir.path().string())).filePath(QString::fromUtf8(name));
}

// A ledger page as the ledger window fills it: row i says "第i行".
PageGrid ledgerPage(int lines) {
    PageGrid g = ledgerPageTemplate();
    g.setText(1, 1, "银行存款→工商银行 明细账");
    for (int i = 1; i <= lines; ++i) {
        const int row = i == 1 ? g.dataRow() : g.appendRow();
        g.setText(row, 1, "2013-12-" + std::to_string(1 + i % 28));
        g.setText(row, 2, std::to_string(120000 + i));
        g.setText(row, 3, "第" + std::to_string(i) + "行");
        g.setText(row, i % 2 ? 4 : 5, "1,234.50");
        g.setText(row, 6, "借");
        g.setText(row, 7, "999,999,999,999.99");
    }
    return g;
}

// The voucher page filled as the voucher window prints a two-line voucher.
PageGrid filledVoucher() {
    PageGrid g = voucherPageTemplate();
    g.fillPlaceholders({{"单位", "华兴科技有限公司"},
                        {"日期", "2013年12月31日"},
                        {"编号", "120001"},
                        {"第几", "第1张"},
                        {"共几", "共1张"},
                        {"附件数", "2张"},
                        {"摘要1", "收到货款"},
                        {"科目1", "银行存款→工商银行"},
                        {"借方金额1", "11,700.00"},
                        {"摘要2", "收到货款"},
                        {"科目2", "应收账款→甲公司"},
                        {"贷方金额2", "11,700.00"},
                        {"借方合计", "11,700.00"},
                        {"贷方合计", "11,700.00"},
                        {"登账", "李四"},
                        {"审核", "王五"},
                        {"编制", "张三"},
                        {"打印日期", "2014-1-5"}},
                       true);
    return g;
}

TEST(PagePrinting, LongLedgerBreaksOverSheetsWithTheHeadsOnEach) {
    TempDataDir dir;
    const PageGrid grid = ledgerPage(120);
    const QString pdf = path(dir, "账页.pdf");
    QString error;
    ASSERT_TRUE(writePdf(grid, pdf, &error)) << error.toStdString();
    const int sheets = static_cast<int>(grid.sheets().size());
    ASSERT_GT(sheets, 1);
    EXPECT_EQ(pdfPageCount(pdf), sheets);
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), sheets);
    for (const QString& page : pages) {
        EXPECT_TRUE(page.contains("银行存款→工商银行 明细账"));
        for (const char* head : {"日期", "凭证号", "摘要", "借方", "贷方", "方向", "余额"})
            EXPECT_TRUE(page.contains(QString::fromUtf8(head))) << head;
    }
    // Every row printed once: none lost at a break, none repeated.
    const QString all = pages.join('\n');
    for (int i = 1; i <= 120; ++i)
        EXPECT_EQ(all.count(QRegularExpression(QString("第%1行(?!\\d)").arg(i))), 1) << i;
    EXPECT_EQ(all.count("999,999,999,999.99"), 120);
}

TEST(PagePrinting, VoucherPdfCarriesItsTextsAndNoPlaceholders) {
    TempDataDir dir;
    const QString pdf = path(dir, "凭证.pdf");
    QString error;
    ASSERT_TRUE(writePdf(filledVoucher(), pdf, &error)) << error.toStdString();
    EXPECT_EQ(pdfPageCount(pdf), 1);
    const QString text = pdfPages(pdf).join('\n');
    for (const char* s : {"华兴科技有限公司",
                          "2013年12月31日",
                          "120001",
                          "第1张",
                          "附件",
                          "摘要",
                          "科目名称",
                          "借方金额",
                          "贷方金额",
                          "银行存款→工商银行",
                          "应收账款→甲公司",
                          "11,700.00",
                          "合计",
                          "主管：",
                          "登账：",
                          "李四",
                          "审核：",
                          "王五",
                          "编制：",
                          "张三",
                          "打印日期：",
                          "2014-1-5"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(s))) << s;
    EXPECT_TRUE(text.contains(QRegularExpression("记\\s*账\\s*凭\\s*证")));
    EXPECT_FALSE(text.contains('['));
}

TEST(PagePrinting, PdfInAFolderThatDoesNotExistIsRefused) {
    TempDataDir dir;
    QString error;
    EXPECT_FALSE(writePdf(filledVoucher(), path(dir, "没有/凭证.pdf"), &error));
    EXPECT_FALSE(error.isEmpty());
}

// The template widths hold the widest texts their columns take, at their
// own fonts, without shrinking.
TEST(PagePrinting, TemplateColumnsHoldTheirWidestTexts) {
    QImage device(8, 8, QImage::Format_RGB32);
    device.setDotsPerMeterX(47244);  // 1200 dpi
    device.setDotsPerMeterY(47244);
    const double unitsPerPixel = 254.0 / device.logicalDpiX();
    auto fits = [&](const PageGrid& g, int row, int column, const char* text) {
        const GridCell& cell = g.cell(row, column);
        double width = 0;
        for (int c = column; c < column + cell.colSpan; ++c) width += g.columnWidth(c);
        const QFontMetricsF metrics(gridFont(cell.font), &device);
        const double needed =
            metrics.horizontalAdvance(QString::fromUtf8(text)) * unitsPerPixel + 2 * 10;
        EXPECT_LE(needed, width) << text;
    };
    const PageGrid ledger = ledgerPageTemplate();
    const int data = ledger.dataRow();
    fits(ledger, data, 1, "2013-12-31");
    fits(ledger, data, 2, "120001");
    fits(ledger, data, 3, "一二三四五六七八九十一二三四五六");
    for (int c : {4, 5, 7}) fits(ledger, data, c, "999,999,999,999.99");
    for (int c = 1; c <= 7; ++c) fits(ledger, 2, c, ledger.text(2, c).c_str());

    const PageGrid voucher = voucherPageTemplate();
    for (const Placeholder& p : voucher.placeholders()) {
        if (p.name.find("金额") != std::string::npos || p.name.find("合计") != std::string::npos)
            fits(voucher, p.row, p.column, "9,999,999,999.99");
        if (p.name == "编号") fits(voucher, p.row, p.column, "120001");
        if (p.name == "日期") fits(voucher, p.row, p.column, "2013年12月31日");
        if (p.name == "打印日期") fits(voucher, p.row, p.column, "2013-12-31");
        if (p.name.starts_with("摘要"))
            fits(voucher, p.row, p.column, "一二三四五六七八九十一二三四");
    }
}

TEST(PagePrinting, PreviewWindowShowsEverySheet) {
    const PageGrid grid = ledgerPage(120);
    bool checked = false;
    whenModalOpens([&](QWidget* modal) {
        EXPECT_EQ(modal->windowTitle(), QString::fromUtf8("打印预览"));
        EXPECT_EQ(modal->objectName(), QString::fromUtf8("打印预览"));
        auto* preview = modal->findChild<QPrintPreviewWidget*>();
        EXPECT_EQ(preview ? preview->pageCount() : -1, static_cast<int>(grid.sheets().size()));
        checked = true;
        static_cast<QDialog*>(modal)->reject();
    });
    printPreview(nullptr, grid);
    EXPECT_TRUE(checked);
}

TEST(PageGridWidget, ShowsEachSheetAtTheZoomAndScrollsThroughThem) {
    PageGridWidget widget;
    widget.resize(600, 400);
    widget.setGrid(ledgerPage(120));
    const QSize full = widget.sizeHint();
    // 100% is the paper's real size: A4 is 210 mm wide.
    const int paperWidth = qRound(widget.logicalDpiX() * 210 / 25.4);
    EXPECT_NEAR(full.width() - widget.verticalScrollBar()->sizeHint().width(), paperWidth, 40);
    widget.setZoom(50);
    EXPECT_NEAR(widget.sizeHint().height(), full.height() / 2, 20);
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    // Four sheets one under another do not fit in 400 pixels.
    EXPECT_GT(widget.verticalScrollBar()->maximum(), 0);

    widget.setZoom(100);
    widget.setGrid(filledVoucher());
    widget.resize(widget.sizeHint());
    EXPECT_GT(darkDots(widget.grab().toImage()), 500);  // lines and letters, not a blank sheet
}

// The widget showing the voucher template and, zoomed out and scrolled,
// the middle of a long ledger page: each picture whole, in a font that holds
// Chinese, and ruled and lettered rather than blank. TALLOWICK_SCREENSHOT_DIR
// keeps a copy of each picture and PDFs of a ledger page and a voucher.
TEST(PagePrinting, PicturesOfTheVoucherTemplateAndALedgerPage) {
    const QString folder = qEnvironmentVariable("TALLOWICK_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        QString error;
        EXPECT_TRUE(writePdf(ledgerPage(120), folder + "/ledger_page.pdf", &error)) << error.toStdString();
        EXPECT_TRUE(writePdf(filledVoucher(), folder + "/voucher_page.pdf", &error)) << error.toStdString();
    }
    PageGridWidget widget;
    widget.setGrid(voucherPageTemplate());
    widget.resize(widget.sizeHint());
    widget.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    EXPECT_GT(darkDots(checkPicture(widget, "voucher_widget.png", {})), 500);
    widget.setGrid(ledgerPage(120));
    widget.setZoom(60);
    widget.resize(520, 700);
    widget.verticalScrollBar()->setValue(widget.verticalScrollBar()->maximum() / 2);
    EXPECT_GT(widget.verticalScrollBar()->value(), 0) << "the middle of the page, not its top";
    EXPECT_GT(darkDots(checkPicture(widget, "ledger_widget.png", {})), 500);
}

TEST(OpenDocument, AsksTheDesktopForAnExistingFileOnly) {
    TempDataDir dir;
    const auto file = dir.path() / std::filesystem::u8path("报表.xlsx");
    std::ofstream(file) << "x";
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    EXPECT_TRUE(openDocument(file));
    EXPECT_FALSE(openDocument(dir.path() / "missing.xlsx"));
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(), file.string());
}

}  // namespace
}  // namespace tw::test

