// 财务报表窗口: the month it opens on and its balance sheet, the choice of
// statement and of months, a month refused, exports into the export folder
// that ask before they replace a file and name it; the closing window's
// 年末将本年利润转入利润分配 kept in the set. TALLOWICK_SCREENSHOT_DIR keeps
// pictures of the window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSpinBox>
#include <QTest>
#include <fstream>
#include <sstream>

#include "closing/ui/closing_window.h"
#include "ledgers/ui/report_window.h"
#include "platform/ui/page_grid_widget.h"
#include "platform/xlsx_reader.h"
#include "scripted_prompter.h"
#include "shell/set_options.h"
#include "statements/statement_fixture.h"
#include "statements/ui/statements_window.h"
#include "storage/store_fixture.h"
#include "storage/user_files.h"
#include "support/file_tree.h"
#include "test_support.h"
#include "url_catcher.h"

namespace tw::test {
namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class StatementsWindowTest : public StatementTest {
protected:
    void SetUp() override {
        StatementTest::SetUp();
        addTop("押金", 1, "借方");
        enableWith({{"银行存款", 1000}, {"押金", 200}, {"实收资本", -1200}});
        book("银行存款", "主营业务收入", 500, "销售");
        book("管理费用", "银行存款", 120.5);
        closeMonth();  // March closed; April is open
        // As the main window wires it.
        ctx.openStatements = [this](QWidget* over) { runStatementsWindow(ctx, over); };
    }
    static void click(QWidget* w, const char* name) {
        auto* b = child<QAbstractButton>(w, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static const PageGrid& page(QWidget* w) { return child<PageGridWidget>(w, "报表表格")->grid(); }
    static void choose(QWidget* w, int index) { child<QComboBox>(w, "报表选择框")->setCurrentIndex(index); }
    static QSpinBox* spin(QWidget* w, const char* name) { return child<QSpinBox>(w, QString::fromUtf8(name)); }
    void shoot(QWidget& w, const char* file) {
        const QString folder = qEnvironmentVariable("TALLOWICK_SCREENSHOT_DIR");
        if (folder.isEmpty()) return;
        QDir().mkpath(folder);
        EXPECT_TRUE(w.grab().save(folder + "/" + QString::fromUtf8(file)));
    }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
};

TEST_F(StatementsWindowTest, OpensOnTheLastClosedMonthAndShowsEachStatement) {
    StatementsWindow w(ctx);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(spin(&w, "年份框")->value(), 2013);
    EXPECT_EQ(spin(&w, "月份框")->value(), 3);
    EXPECT_EQ(page(&w).text(1, 1), "资产负债表");
    EXPECT_EQ(page(&w).text(3, 4), "2013年3月31日");
    EXPECT_EQ(page(&w).text(6, 1), "货币资金");
    EXPECT_EQ(page(&w).text(6, 3), "1,379.50");
    EXPECT_EQ(page(&w).text(6, 4), "1,000.00");
    EXPECT_EQ(child<QLabel>(&w, "报表提示")->text(),
              "注：科目“押金”不在报表项目的取数中，已计入第14行“其他流动资产”。");
    shoot(w, "statements_window.png");

    choose(&w, StatementsWindow::IncomeMonth);
    EXPECT_FALSE(child<QComboBox>(&w, "季度框")->isVisible());
    click(&w, "显示");
    EXPECT_EQ(page(&w).text(1, 1), "利润表");
    EXPECT_EQ(page(&w).text(4, 4), "本月金额");
    EXPECT_EQ(page(&w).text(36, 3), "379.50");
    EXPECT_EQ(child<QLabel>(&w, "报表提示")->text(), "");

    choose(&w, StatementsWindow::IncomeQuarter);
    EXPECT_TRUE(child<QComboBox>(&w, "季度框")->isVisible());
    EXPECT_FALSE(spin(&w, "月份框")->isVisible());
    EXPECT_EQ(child<QComboBox>(&w, "季度框")->currentIndex(), 0);
    click(&w, "显示");
    EXPECT_EQ(page(&w).text(3, 2), "2013年第1季度");
    EXPECT_EQ(page(&w).text(4, 4), "本期金额");

    choose(&w, StatementsWindow::Balances);
    EXPECT_TRUE(spin(&w, "起始月份框")->isVisible());
    spin(&w, "起始月份框")->setValue(3);
    click(&w, "显示");
    EXPECT_EQ(page(&w).text(1, 1), "科目余额表");
    EXPECT_EQ(page(&w).text(3, 4), "2013年3月");
    shoot(w, "statements_window_balances.png");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();

    // A month not closed: told, and nothing is left shown to print or export.
    choose(&w, StatementsWindow::BalanceSheet);
    spin(&w, "月份框")->setValue(4);
    click(&w, "显示");
    EXPECT_EQ(prompter.messages, QStringList{"无此月份数据！请检查！"});
    EXPECT_EQ(page(&w).rowCount(), 0);
    click(&w, "导出Excel");
    EXPECT_EQ(prompter.messages.last(), "请先显示报表！");

    // Shown again, it prints through the print preview.
    spin(&w, "月份框")->setValue(3);
    click(&w, "显示");
    QString preview;
    whenModalOpens([&](QWidget* modal) {
        preview = modal->objectName();
        modal->close();
    });
    click(&w, "打印");
    EXPECT_EQ(preview, "打印预览");
}

TEST_F(StatementsWindowTest, ExportsGoToTheExportFolderAndAskBeforeReplacing) {
    const TempDir exports;
    StatementsWindow w(ctx);
    w.setExportFolder(exports.path());
    w.show();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    click(&w, "导出Excel");
    const auto book = exports / "资产负债表-2013-03.xlsx";
    ASSERT_TRUE(std::filesystem::exists(book));
    EXPECT_FALSE(std::filesystem::exists(setFolder(dataDir, session.login.setName) /
                                         "资产负债表-2013-03.xlsx"));
    EXPECT_TRUE(prompter.questions.isEmpty());
    const QString bookNamed = QString::fromStdString(exportedMessage(book));
    EXPECT_EQ(prompter.messages, QStringList{bookNamed});
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(), book.string());
    std::string error;
    const auto cells = readXlsxSheet(book, 1, &error);
    ASSERT_TRUE(cells) << error;
    EXPECT_EQ(cells->at("C6"), "1379.5");

    // Again: asked; "不是" keeps the file as it was, "是的" replaces it.
    std::ofstream(book, std::ios::binary | std::ios::trunc) << "earlier";
    prompter.confirmAnswers << false << true;
    click(&w, "导出Excel");
    EXPECT_EQ(prompter.questions, QStringList{"文件“资产负债表-2013-03.xlsx”已经存在，是否替换？"});
    EXPECT_EQ(contents(book), "earlier");
    EXPECT_EQ(catcher.opened.size(), 1);
    click(&w, "导出Excel");
    EXPECT_NE(contents(book), "earlier");
    EXPECT_EQ(catcher.opened.size(), 2);

    choose(&w, StatementsWindow::IncomeMonth);
    click(&w, "显示");
    click(&w, "导出PDF");
    QDesktopServices::unsetUrlHandler("file");
    const auto pdf = exports / "利润表-2013-03.pdf";
    ASSERT_TRUE(std::filesystem::exists(pdf));
    EXPECT_TRUE(contents(pdf).starts_with("%PDF-"));
    // Each export written named its file with its full path.
    EXPECT_EQ(prompter.messages, (QStringList{bookNamed, bookNamed,
                                              QString::fromStdString(exportedMessage(pdf))}));
}

TEST_F(StatementsWindowTest, AnExportFolderInsideTheDirectoryIsRefusedAndWritesNothing) {
    StatementsWindow w(ctx);
    const auto inside = setFolder(dataDir, session.login.setName);
    w.setExportFolder(inside);
    w.show();
    store.reset();
    const auto before = fileTree(dataDir);
    for (const char* button : {"导出Excel", "导出PDF"}) {
        prompter.clearRecords();
        click(&w, button);
        EXPECT_EQ(prompter.messages, QStringList{QString::fromStdString(
                                         "文件夹“" + pathText(inside) +
                                         "”在套账目录中，不能用来保存导出的文件，请另选位置！")})
            << button;
        EXPECT_TRUE(prompter.questions.isEmpty()) << button;
    }
    EXPECT_EQ(fileTree(dataDir), before);
}

// What is shown, printed and exported is the statement chosen, from the
// moment it is chosen; the 科目余额表's range starts where the books do.
TEST_F(StatementsWindowTest, AnotherStatementChosenIsShownAtOnceAndExportedAsShown) {
    const TempDir exports;
    StatementsWindow w(ctx);
    w.setExportFolder(exports.path());
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    choose(&w, StatementsWindow::IncomeMonth);
    EXPECT_EQ(page(&w).text(1, 1), "利润表");
    EXPECT_EQ(page(&w).text(36, 3), "379.50");
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    click(&w, "导出Excel");
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(QFileInfo(catcher.opened[0].toLocalFile()).fileName(), "利润表-2013-03.xlsx");
    prompter.messages.clear();  // the export names its file

    choose(&w, StatementsWindow::Balances);
    EXPECT_EQ(spin(&w, "起始年份框")->value(), 2013);
    EXPECT_EQ(spin(&w, "起始月份框")->value(), 3) << "the books start in March";
    EXPECT_EQ(page(&w).text(1, 1), "科目余额表");
    EXPECT_EQ(page(&w).text(3, 4), "2013年3月");
    EXPECT_FALSE(child<QLabel>(&w, "报表提示")->text().contains("无此月份数据"));
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
}

TEST_F(StatementsWindowTest, ABalancesRangeEndingBeforeItStartsIsNamedAsSuch) {
    StatementsWindow w(ctx);
    w.show();
    choose(&w, StatementsWindow::Balances);
    spin(&w, "起始月份框")->setValue(3);
    spin(&w, "月份框")->setValue(2);  // before the books, too
    click(&w, "显示");
    EXPECT_EQ(prompter.messages, QStringList{"起始月份不能晚于截止月份！"});
    EXPECT_EQ(page(&w).rowCount(), 0);
}

// Books with no month closed yet: the window opens on their first month,
// never one before, and says why there is nothing to show.
class StatementsWindowBeforeAnyCloseTest : public StatementsWindowTest {
protected:
    void SetUp() override {
        StatementTest::SetUp();
        enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
    }
};

TEST_F(StatementsWindowBeforeAnyCloseTest, OpensOnTheBooksFirstMonthAndSaysNoneIsClosed) {
    const QString none = QStringLiteral("本套账还没有结账的月份，期末结账后才有报表！");
    StatementsWindow w(ctx);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(spin(&w, "年份框")->value(), 2013);
    EXPECT_EQ(spin(&w, "月份框")->value(), 3);
    EXPECT_EQ(child<QComboBox>(&w, "季度框")->currentIndex(), 0);
    EXPECT_EQ(child<QLabel>(&w, "报表提示")->text(), none);
    EXPECT_EQ(page(&w).rowCount(), 0);
    choose(&w, StatementsWindow::Balances);
    EXPECT_EQ(spin(&w, "起始月份框")->value(), 3);
    EXPECT_EQ(child<QLabel>(&w, "报表提示")->text(), none);
    EXPECT_TRUE(prompter.messages.isEmpty());
    click(&w, "显示");
    EXPECT_EQ(prompter.messages, QStringList{none});
}

TEST_F(StatementsWindowTest, TheReportWindowOpensIt) {
    auto* report = new ReportWindow(ctx);
    report->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(report));
    shoot(*report, "report_window.png");
    QString opened;
    whenModalOpens([&](QWidget* modal) {
        opened = modal->objectName();
        modal->close();
    });
    click(report, "财务报表");
    EXPECT_EQ(opened, "财务报表窗口");
    report->close();
}

TEST_F(StatementsWindowTest, TheClosingWindowKeepsTheYearEndTickInTheSet) {
    {
        ClosingWindow w(ctx);
        auto* tick = child<QCheckBox>(&w, "年末将本年利润转入利润分配");
        ASSERT_NE(tick, nullptr);
        EXPECT_FALSE(tick->isChecked()) << "off for a set that never set it";
        w.show();
        QTest::mouseClick(tick, Qt::LeftButton);
        EXPECT_TRUE(tick->isChecked());
        shoot(w, "closing_window_year_end.png");
    }
    EXPECT_TRUE(setOptionOn(*store, session, kYearEndTransferOption));
    ClosingWindow again(ctx);
    EXPECT_TRUE(child<QCheckBox>(&again, "年末将本年利润转入利润分配")->isChecked());
}

}  // namespace
}  // namespace tw::test
