// 报表窗口: the month it offers, the typing rules of its boxes, an export
// refused and one written and handed to the desktop, and the main window's
// 编辑报表 while the window is open. TALLOWICK_SCREENSHOT_DIR keeps a picture.
#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "app/main_window.h"
#include "closing/closing_fixture.h"
#include "ledgers/report.h"
#include "ledgers/ui/report_window.h"
#include "platform/xlsx_reader.h"
#include "storage/store_fixture.h"
#include "storage/user_files.h"
#include "support/file_tree.h"
#include "scripted_prompter.h"
#include "test_support.h"
#include "url_catcher.h"

namespace tw::test {
namespace {

class ReportWindowTest : public ClosingTest {
protected:
    void SetUp() override {
        ClosingTest::SetUp();
        enableWith({{"现金", 500}, {"实收资本", -500}});
        addVoucher(30001, {{"管理费用", 80, 0, "办公用品"}, {"现金", 0, 80, "办公用品"}});
        ASSERT_TRUE(post().ok);
        ASSERT_TRUE(close().ok);  // March closed; April is open
    }

    QPointer<ReportWindow> open() {
        QPointer<ReportWindow> w = new ReportWindow(ctx);
        w->setExportFolder(exports.path());
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.data()));
        return w;
    }
    static QLineEdit* box(QWidget* w, const char* name) { return child<QLineEdit>(w, name); }
    static void click(QWidget* w, const char* name) {
        auto* b = child<QAbstractButton>(w, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // Lets deleteLater() run.
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
    TempDir exports;  // the export folder, outside the account-set directory
};

TEST_F(ReportWindowTest, OffersTheMonthBeforeThePeriod) {
    auto w = open();
    EXPECT_EQ(w->objectName(), "报表窗口");
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(box(w, "年份编辑框")->text(), "2013");
    EXPECT_EQ(box(w, "月份编辑框")->text(), "3");
    EXPECT_EQ(child<QAbstractButton>(w, "导出")->text(), "导出Excel报表");
    w->close();

    session.login.period = dayNumber(2012, 1, 1);
    w = open();
    EXPECT_EQ(box(w, "年份编辑框")->text(), "2011");
    EXPECT_EQ(box(w, "月份编辑框")->text(), "12");
    w->close();
}

TEST_F(ReportWindowTest, YearMovesOnAfterFourCharactersAndBadMonthsAreCleared) {
    auto w = open();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.data()));
    QLineEdit* year = box(w, "年份编辑框");
    QLineEdit* month = box(w, "月份编辑框");
    year->setFocus();
    year->clear();
    typeText(year, "201");
    EXPECT_EQ(w->focusWidget(), year);
    typeText(year, "3");
    EXPECT_EQ(w->focusWidget(), month);

    month->clear();
    typeText(month, "1");
    EXPECT_EQ(month->text(), "1");
    typeText(month, "3");  // 13
    EXPECT_EQ(month->text(), "");
    typeText(month, "0");
    EXPECT_EQ(month->text(), "");
    typeText(month, "12");
    EXPECT_EQ(month->text(), "12");
    w->close();
}

TEST_F(ReportWindowTest, AMonthNotClosedIsRefusedAndTheWindowStays) {
    auto w = open();
    box(w, "月份编辑框")->setText("4");
    click(w, "导出");
    EXPECT_EQ(prompter.messages, QStringList{"无此月份数据！请检查！"});
    EXPECT_FALSE(std::filesystem::exists(monthReportPath(exports.path(), {2013, 4})));
    settle();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    w->close();
}

TEST_F(ReportWindowTest, ExportWritesTheWorkbookOpensItAndCloses) {
    auto w = open();
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    click(w, "导出");
    QDesktopServices::unsetUrlHandler("file");
    const auto file = monthReportPath(exports.path(), {2013, 3});
    // Opened, and named with its full path.
    EXPECT_EQ(prompter.messages, QStringList{QString::fromStdString(exportedMessage(file))});
    EXPECT_FALSE(
        std::filesystem::exists(setFolder(dataDir, session.login.setName) / "报表-2013-03.xlsx"));
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(), file.string());
    std::string error;
    const auto cells = readXlsxSheet(file, 2, &error);
    ASSERT_TRUE(cells) << error;
    EXPECT_EQ(cells->at("A1"), "试算平衡表");
    settle();
    EXPECT_FALSE(w) << "the window closes after the export";

    // Without a program to open it, the message names the kept file.
    prompter.clearRecords();
    w = open();
    click(w, "导出");
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].startsWith(
        "您的计算机没有安装Microsoft Office Excel电子表格程序！\r\n导出报表需要 Excel2000 或 以上版本！"));
    EXPECT_TRUE(prompter.messages[0].contains(QString::fromStdString(file.string())));
}

// An export folder inside the account-set directory is refused by name
// before anything is read or written; the window stays for another choice.
TEST_F(ReportWindowTest, AnExportFolderInsideTheDirectoryIsRefusedAndWritesNothing) {
    store.reset();
    const auto before = fileTree(dataDir);
    auto w = open();
    const auto inside = setFolder(dataDir, session.login.setName);
    w->setExportFolder(inside);
    click(w, "导出");
    EXPECT_EQ(prompter.messages, QStringList{QString::fromStdString(
                                     "文件夹“" + pathText(inside) +
                                     "”在套账目录中，不能用来保存导出的文件，请另选位置！")});
    EXPECT_EQ(fileTree(dataDir), before);
    settle();
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    w->close();
}

TEST_F(ReportWindowTest, MainWindowSaysSoWhileTheReportWindowIsOpen) {
    MainWindow main(ctx);
    main.show();
    auto* button = child<QToolButton>(&main, "报表按钮");
    ASSERT_NE(button, nullptr);
    QTest::mouseClick(button, Qt::LeftButton);
    QPointer<ReportWindow> report = main.findChild<ReportWindow*>("报表窗口");
    ASSERT_TRUE(report);
    EXPECT_TRUE(report->isVisible());
    EXPECT_FALSE(button->isEnabled());
    child<QAction>(&main, "编辑报表")->trigger();
    EXPECT_EQ(prompter.messages, QStringList{"Excel报表已导出、请查看！"});
    report->close();
    settle();
    EXPECT_FALSE(report);
    EXPECT_TRUE(button->isEnabled());
    prompter.clearRecords();
    child<QAction>(&main, "编辑报表")->trigger();
    EXPECT_TRUE(prompter.messages.isEmpty());
    ASSERT_TRUE(main.findChild<ReportWindow*>("报表窗口"));

    const QString folder = qEnvironmentVariable("TALLOWICK_SCREENSHOT_DIR");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    ReportWindow* shown = main.findChild<ReportWindow*>("报表窗口");
    QTest::qWait(50);
    EXPECT_TRUE(shown->grab().save(folder + "/report_window.png"));
}

}  // namespace
}  // namespace tw::test

