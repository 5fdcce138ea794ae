// The page grid on screen and paper, as the ledger window uses it: which row
// a click falls on (repeated heads included), and long texts in tall rows
// wrapping rather than shrinking.
#include <gtest/gtest.h>

#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "platform/ui/page_grid_widget.h"
#include "platform/ui/page_printing.h"
#include "test_support.h"

namespace tw::test {
namespace {

// A ledger page of `lines` rows under the template's heading and heads.
PageGrid ledgerRows(int lines) {
    PageGrid g = ledgerPageTemplate();
    g.setText(1, 1, "明细科目：现金");
    for (int i = 1; i <= lines; ++i)
        g.setText(i == 1 ? g.dataRow() : g.appendRow(), 3, "第" + std::to_string(i) + "行");
    return g;
}

TEST(PageGridRows, AClickNamesTheRowUnderItOnEverySheet) {
    PageGridWidget w;
    w.resize(900, 700);
    w.setGrid(ledgerRows(60));
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    const PageGrid& g = w.grid();
    ASSERT_GE(g.sheets().size(), 2u);
    const double ppu = w.logicalDpiX() / 254.0;
    const int x = w.viewport()->width() / 2;
    const int gap = 12;  // the grey room above the first sheet
    // The middle of row r on the first sheet.
    auto yOf = [&](int r) {
        double top = g.paper().marginTop;
        for (int k = 1; k < r; ++k) top += g.rowHeight(k);
        return static_cast<int>(gap + (top + g.rowHeight(r) / 2.0) * ppu);
    };
    EXPECT_EQ(w.rowAt({x, gap + 2}), 0);  // the sheet's top margin
    EXPECT_EQ(w.rowAt({x, yOf(1)}), 1);
    EXPECT_EQ(w.rowAt({x, yOf(2)}), 2);
    EXPECT_EQ(w.rowAt({x, yOf(5)}), 5);
    EXPECT_EQ(w.rowAt({2, yOf(5)}), 0);  // left of the columns

    QSignalSpy clicked(&w, &PageGridWidget::rowClicked);
    QTest::mouseClick(w.viewport(), Qt::LeftButton, {}, QPoint(x, yOf(5)));
    QTest::mouseClick(w.viewport(), Qt::RightButton, {}, QPoint(x, yOf(6)));
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked[0][0].toInt(), 5);

    // Scrolled to the second sheet: its repeated heads, then its own first row.
    const int sheetHeight = static_cast<int>(g.paper().sheetHeight() * ppu + 0.5);
    w.verticalScrollBar()->setValue(sheetHeight + gap);
    const SheetRows second = g.sheets()[1];
    EXPECT_EQ(w.rowAt({x, yOf(1)}), 1);
    EXPECT_EQ(w.rowAt({x, yOf(2)}), 2);
    EXPECT_EQ(w.rowAt({x, yOf(3)}), second.firstRow);
}

TEST(PageGridRows, ALongTextWrapsInATallRowAndShrinksInAShortOne) {
    PageGrid g = ledgerRows(2);
    const std::string text = "收到丙公司预付款合同编号第一期甲乙丙丁戊己庚辛壬癸子丑寅卯";
    g.setText(3, 3, text);
    g.setRowHeight(3, 96);
    g.setText(4, 3, text);
    TempDataDir dir;
    const QString pdf = QString::fromStdString((dir.path() / "wrap.pdf").string());
    QString error;
    ASSERT_TRUE(writePdf(g, pdf, &error)) << error.toStdString();
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    // The tall row: the text's start on one line, its end on the next.
    int start = -1, end = -1, whole = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (lines[i].contains(QString::fromStdString(text))) ++whole;
        else if (lines[i].contains("收到丙公司预付款")) start = i;
        else if (lines[i].contains("子丑寅卯")) end = i;
    }
    EXPECT_EQ(end, start + 1) << lines.join('\n').toStdString();
    // The short row keeps the whole text on one line.
    EXPECT_EQ(whole, 1) << lines.join('\n').toStdString();
}

}  // namespace
}  // namespace tw::test
