// 明细账窗口: listing, the account prompt, print preview, export to a workbook
// (with and without a program to open it), a click through to the voucher,
// and the main window's buttons that open it.
#include <gtest/gtest.h>

#include <array>

#include <QDesktopServices>
#include <QLineEdit>
#include <QSettings>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include "accounts_window_support.h"
#include "app/main_window.h"
#include "ledgers/ledger_fixture.h"
#include "storage/store_fixture.h"
#include "ledgers/ui/export_folder.h"
#include "ledgers/ui/ledger_window.h"
#include "ledgers/ui/voucher_printing.h"
#include "picture_check.h"
#include "platform/ui/date_box.h"
#include "platform/ui/open_document.h"
#include "platform/ui/page_grid_widget.h"
#include "platform/xlsx_reader.h"
#include "storage/user_files.h"
#include "support/file_tree.h"
#include "url_catcher.h"
#include "vouchers/ui/voucher_window.h"

namespace tw::test {
namespace {

class LedgerWindowTest : public LedgerTest {
protected:
    TempDir exports;  // outside the account-set directory, as exports go
    void SetUp() override {
        LedgerTest::SetUp();
        writeRows(file::kLedger,
                  {{day(2013, 3, 1), 0, "期初余额", "现金", 0, 0, "借", 1000},
                   {day(2013, 3, 9), 30002, "支付运费", "现金", 0, -300, "借", 700},
                   {day(2013, 3, 31), 0, "本月合计", "现金", 0, -300, "借", 700}});
        store.reset();  // the window reads the tables through a store of its own
    }

    std::unique_ptr<LedgerWindow> open(LedgerMode mode) {
        auto w = std::make_unique<LedgerWindow>(ctx, mode);
        std::filesystem::create_directories(exports / "导出");
        w->setExportFolder(exports / "导出");
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }

    static void setAccount(QWidget* w, const QString& account) {
        child<QLineEdit>(w, "选择科目编辑框")->setText(account);
    }
    static void click(QWidget* w, const char* name) {
        QTest::mouseClick(child<QPushButton>(w, QString::fromUtf8(name)), Qt::LeftButton);
    }
    // Clicks the page where it shows `row`.
    static void clickRow(PageGridWidget* page, int row) {
        QWidget* view = page->viewport();
        for (int y = 0; y < view->height(); ++y) {
            const QPoint at(view->width() / 2, y);
            if (page->rowAt(at) == row) {
                QTest::mouseClick(view, Qt::LeftButton, {}, at);
                return;
            }
        }
        ADD_FAILURE() << "row " << row << " is not in sight";
    }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
};

TEST_F(LedgerWindowTest, OpensOnThePeriodsMonthAndListsTheChosenAccount) {
    auto w = open(LedgerMode::Detail);
    EXPECT_EQ(w->windowTitle(), "明细账窗口");
    EXPECT_EQ(child<DateBox>(w.get(), "起始日期框")->text(), "2013-3-1");
    EXPECT_EQ(child<DateBox>(w.get(), "截至日期框")->text(), "2013-3-31");
    EXPECT_EQ(child<QLineEdit>(w.get(), "选择科目编辑框")->text(), "点击这里选择要查阅的科目");
    auto* page = child<PageGridWidget>(w.get(), "账页表格");
    EXPECT_EQ(page->grid(), loadLedgerTemplate(dataDir));

    setAccount(w.get(), "现金");
    click(w.get(), "列出");
    const PageGrid& listed = page->grid();
    const int first = loadLedgerTemplate(dataDir).dataRow();
    ASSERT_EQ(listed.rowCount(), first + 2);
    EXPECT_EQ(listed.text(1, 1), " 明细科目：1001 现金  2013-3-1至2013-3-31");
    EXPECT_EQ(listed.text(first + 1, 5), "300.00");
    EXPECT_EQ(listed.text(first + 2, 4), "0");
    EXPECT_TRUE(prompter.messages.isEmpty());

    // A narrower range lists only its rows.
    child<DateBox>(w.get(), "起始日期框")->setText("2013-03-09");
    click(w.get(), "列出");
    EXPECT_EQ(page->grid().rowCount(), first + 1);
    EXPECT_EQ(page->grid().text(1, 1), " 明细科目：1001 现金  2013-3-9至2013-3-31");

    // A date box that names no day says so; the page stays as it was.
    child<DateBox>(w.get(), "截至日期框")->setText("2013-2-30");
    click(w.get(), "列出");
    EXPECT_EQ(prompter.messages, QStringList{unreadableDateMessage("2013-2-30")});
    EXPECT_EQ(page->grid().rowCount(), first + 1);

    auto g = open(LedgerMode::General);
    EXPECT_EQ(g->windowTitle(), "总账窗口");
}

using Cells = std::array<std::string, 7>;

// The texts of columns 1 to 7 of page row `row`.
Cells pageRow(const PageGrid& page, int row) {
    Cells cells;
    for (int c = 1; c <= 7; ++c) cells[c - 1] = page.text(row, c);
    return cells;
}

// March of 银行存款 as enabling (200000) and the close wrote it: the stored
// 本年累计 row holds the opening too. The page shows the year's movements,
// and the opening on the range's first day with no movement of its own.
TEST_F(LedgerWindowTest, TheGeneralLedgerShowsTheYearsMovementAsItsYearTotal) {
    store = std::make_unique<RecordStore>(dataDir);
    writeRows(file::kGeneralLedger,
              {{day(2013, 3, 31), 0, "期初余额", "银行存款", 200000, 0, "借", 200000},
               {day(2013, 3, 31), 0, "本月合计", "银行存款", 117000, -20000, "借", 297000},
               {day(2013, 3, 31), 0, "本年累计", "银行存款", 317000, -20000, "借", 297000}});
    store.reset();
    auto w = open(LedgerMode::General);
    setAccount(w.get(), "银行存款");
    click(w.get(), "列出");
    const PageGrid& page = child<PageGridWidget>(w.get(), "账页表格")->grid();
    const int first = loadLedgerTemplate(dataDir).dataRow();
    ASSERT_EQ(page.rowCount(), first + 2);
    EXPECT_EQ(page.text(1, 1), " 总账科目：1002 银行存款  2013-3-1至2013-3-31");
    EXPECT_EQ(pageRow(page, first), (Cells{"2013-3-1", "", "期初余额", "0.00", "0.00", "借", "200000.00"}));
    EXPECT_EQ(pageRow(page, first + 1),
              (Cells{"2013-3-31", "", "本月合计", "117000.00", "20000.00", "借", "297000.00"}));
    EXPECT_EQ(pageRow(page, first + 2),
              (Cells{"2013-3-31", "", "本年累计", "117000.00", "20000.00", "借", "297000.00"}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

// 银行存款 with two banks below it: its detail ledger was a blank page. It
// lists the banks' rows by day with 银行存款's own balance.
TEST_F(LedgerWindowTest, AParentAccountListsItsSubAccountsRows) {
    store = std::make_unique<RecordStore>(dataDir);
    addSub("银行存款", "工商银行");
    addSub("银行存款", "建设银行");
    writeRows(file::kLedger,
              {{day(2013, 3, 1), 0, "期初余额", "银行存款→工商银行", 150000, 0, "借", 150000},
               {day(2013, 3, 1), 0, "期初余额", "银行存款→建设银行", 50000, 0, "借", 50000},
               {day(2013, 3, 20), 30003, "收到货款", "银行存款→工商银行", 100000, 0, "借", 250000},
               {day(2013, 3, 5), 30001, "提现", "银行存款→建设银行", 0, -3000, "借", 47000},
               {day(2013, 3, 31), 0, "本月合计", "银行存款→工商银行", 100000, 0, "借", 250000},
               {day(2013, 3, 31), 0, "本月合计", "银行存款→建设银行", 0, -3000, "借", 47000}});
    store.reset();
    auto w = open(LedgerMode::Detail);
    setAccount(w.get(), "银行存款");
    click(w.get(), "列出");
    const PageGrid& page = child<PageGridWidget>(w.get(), "账页表格")->grid();
    const int first = loadLedgerTemplate(dataDir).dataRow();
    ASSERT_EQ(page.rowCount(), first + 3);
    EXPECT_EQ(pageRow(page, first), (Cells{"2013-3-1", "", "期初余额", "200000.00", "", "借", "200000.00"}));
    EXPECT_EQ(pageRow(page, first + 1), (Cells{"2013-3-5", "30001", "提现", "", "3000.00", "借", "197000.00"}));
    EXPECT_EQ(pageRow(page, first + 2),
              (Cells{"2013-3-20", "30003", "收到货款", "100000.00", "", "借", "297000.00"}));
    EXPECT_EQ(pageRow(page, first + 3),
              (Cells{"2013-3-31", "", "本月合计", "100000.00", "3000.00", "借", "297000.00"}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(LedgerWindowTest, EnterInADateBoxLists) {
    auto w = open(LedgerMode::Detail);
    setAccount(w.get(), "现金");
    auto* to = child<DateBox>(w.get(), "截至日期框");
    to->setText("2013-3-9");
    QTest::keyClick(to, Qt::Key_Return);
    const int first = loadLedgerTemplate(dataDir).dataRow();
    EXPECT_EQ(child<PageGridWidget>(w.get(), "账页表格")->grid().rowCount(), first + 1);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(LedgerWindowTest, ListingWithoutAnAccountSaysSoAndOpensThePicker) {
    auto w = open(LedgerMode::Detail);
    QString picker;
    whenModalOpens([&](QWidget* modal) {
        picker = modal->objectName();
        modal->close();
    });
    click(w.get(), "列出");
    EXPECT_EQ(prompter.messages, QStringList{"请先选择会计科目！"});
    EXPECT_EQ(picker, "会计科目窗口");
    // Closed without a choice: the box keeps its prompt and the page its template.
    EXPECT_EQ(child<QLineEdit>(w.get(), "选择科目编辑框")->text(), "点击这里选择要查阅的科目");
    EXPECT_EQ(child<PageGridWidget>(w.get(), "账页表格")->grid(), loadLedgerTemplate(dataDir));
}

TEST_F(LedgerWindowTest, PrintOpensThePreviewOfThePage) {
    auto w = open(LedgerMode::Detail);
    setAccount(w.get(), "现金");
    click(w.get(), "列出");
    QString title;
    int pages = 0;
    whenModalOpens([&](QWidget* modal) {
        title = modal->windowTitle();
        if (auto* preview = modal->findChild<QPrintPreviewWidget*>()) pages = preview->pageCount();
        modal->close();
    });
    click(w.get(), "打印");
    EXPECT_EQ(title, "打印预览");
    EXPECT_EQ(pages, 1);
}

TEST_F(LedgerWindowTest, ExportWritesTheWorkbookAndHandsItToTheDesktop) {
    auto w = open(LedgerMode::Detail);
    setAccount(w.get(), "现金");
    click(w.get(), "列出");
    const auto file = exports / "导出" / "明细账 现金 2013-3-1至2013-3-31.xlsx";

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    click(w.get(), "导出");
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(), file.string());
    // Opened, and the message names the file with its full path.
    EXPECT_EQ(prompter.messages, QStringList{QString::fromStdString(exportedMessage(file))});
    EXPECT_TRUE(prompter.messages[0].contains(QString::fromStdString(file.string())));
    std::string error;
    const auto cells = readXlsxSheet(file, 1, &error);
    ASSERT_TRUE(cells) << error;
    EXPECT_EQ(cells->at("A1"), " 明细科目：1001 现金  2013-3-1至2013-3-31");
    EXPECT_EQ(std::stod(cells->at("E4")), 300.00);  // a number, shown 300.00

    // Nothing to open it with: the message names the kept file, a new one.
    prompter.clearRecords();
    click(w.get(), "导出");
    const auto second = exports / "导出" / "明细账 现金 2013-3-1至2013-3-31 (2).xlsx";
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0], noSpreadsheetMessage(second));
    EXPECT_TRUE(prompter.messages[0].startsWith(
        "您的计算机没有安装Microsoft Office Excel电子表格程序！\r\n导出报表需要 Excel2000 或 以上版本！"));
    EXPECT_TRUE(std::filesystem::exists(second));

    // An export folder inside the account-set directory is refused by name.
    prompter.messages.clear();
    const auto before = fileTree(dataDir);
    w->setExportFolder(dataDir / std::filesystem::u8path(session.login.setName));
    click(w.get(), "导出");
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].endsWith("在套账目录中，不能用来保存导出的文件，请另选位置！"))
        << prompter.messages[0].toStdString();
    EXPECT_EQ(fileTree(dataDir), before) << "nothing written there";
}

// 导出到…: the folder chosen is where the next export goes, in this window
// and the next one opened; one inside the account-set directory is refused
// and forgotten.
TEST_F(LedgerWindowTest, TheExportFolderIsChosenKeptAndNeverInsideTheDirectory) {
    QSettings(QStringLiteral("Tallowick"), QStringLiteral("Tallowick")).clear();
    const auto chosen = exports / "我的导出";
    std::filesystem::create_directories(chosen);
    {
        auto w = open(LedgerMode::Detail);
        setAccount(w.get(), "现金");
        click(w.get(), "列出");
        const QString setFolder = QString::fromStdString(
            (dataDir / std::filesystem::u8path(session.login.setName)).string());
        prompter.folderAnswers << setFolder;
        click(w.get(), "导出到");
        ASSERT_EQ(prompter.folderRequests.size(), 1);
        EXPECT_EQ(prompter.folderRequests[0].start.toStdString(), (exports / "导出").string());
        const QString refusal =
            "文件夹“" + setFolder + "”在套账目录中，不能用来保存导出的文件，请另选位置！";
        EXPECT_EQ(prompter.messages, QStringList{refusal});
        EXPECT_EQ(exportFolder(), defaultExportFolder()) << "a refused folder is not kept";

        prompter.clearRecords();
        prompter.folderAnswers << QString::fromStdString(chosen.string());
        click(w.get(), "导出到");
        EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
        EXPECT_EQ(exportFolder(), chosen);
        click(w.get(), "导出");  // no program to open it: the message names the file
        const auto file = chosen / "明细账 现金 2013-3-1至2013-3-31.xlsx";
        EXPECT_TRUE(std::filesystem::is_regular_file(file));
        EXPECT_EQ(prompter.messages, QStringList{noSpreadsheetMessage(file)});

        // Cancelled: the folder stays.
        prompter.clearRecords();
        click(w.get(), "导出到");
        EXPECT_EQ(exportFolder(), chosen);
    }
    // A window opened later starts in the folder kept.
    LedgerWindow later(ctx, LedgerMode::General);
    later.show();
    click(&later, "导出到");
    ASSERT_EQ(prompter.folderRequests.size(), 2);
    EXPECT_EQ(prompter.folderRequests[1].start.toStdString(), chosen.string());
    QSettings(QStringLiteral("Tallowick"), QStringLiteral("Tallowick")).clear();
}

TEST_F(LedgerWindowTest, ASecondClickOnAVoucherRowOpensTheVoucherThere) {
    store = std::make_unique<RecordStore>(dataDir);
    for (double number : {30001.0, 30002.0, 30003.0})
        writeVoucherPage({{field::kDate, day(2013, 3, 9)}, {field::kMonthNumber, number},
                          {field::kPage, 1}, {field::kPageCount, 1},
                          {field::lineSummary(1), "支付运费"}, {field::lineAccount(1), "现金"},
                          {field::kPreparer, "张三"}});
    store.reset();
    auto w = open(LedgerMode::Detail);
    setAccount(w.get(), "现金");
    click(w.get(), "列出");
    auto* page = child<PageGridWidget>(w.get(), "账页表格");
    const int first = loadLedgerTemplate(dataDir).dataRow();

    bool opened = false;
    QString number;
    whenModalOpens([&](QWidget* modal) {
        opened = true;
        if (auto* box = modal->findChild<QLineEdit*>("月编号编辑框")) number = box->text();
        modal->close();
    }, 3000);
    clickRow(page, first + 1);  // arms
    QTest::qWait(50);
    EXPECT_FALSE(opened);
    // The opening row belongs to no voucher: nothing opens, the next click counts.
    clickRow(page, first);
    QTest::qWait(50);
    EXPECT_FALSE(opened);
    clickRow(page, first + 1);
    EXPECT_TRUE(opened);
    EXPECT_EQ(number, "30002");
}

// Locate mode with the print flag: the voucher
// window prints its page through the hook the main window installs, and closes.
TEST_F(LedgerWindowTest, AVoucherPageInLocateModePrintsThroughThePageGrid) {
    if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "a real printer would print";
    store = std::make_unique<RecordStore>(dataDir);
    writeVoucherPage({{field::kDate, day(2013, 3, 9)}, {field::kMonthNumber, 30002.0},
                      {field::kPage, 1}, {field::kPageCount, 1},
                      {field::lineSummary(1), "支付运费"}, {field::lineAccount(1), "现金"},
                      {field::lineCredit(1), 300.0}, {field::kPreparer, "张三"}});
    store.reset();
    MainWindow main(ctx);  // installs the printing
    ASSERT_TRUE(ctx.printVoucherPage);
    QString title;
    int pages = 0;
    whenModalOpens([&](QWidget* modal) {
        title = modal->windowTitle();
        if (auto* preview = modal->findChild<QPrintPreviewWidget*>()) pages = preview->pageCount();
        modal->close();
    });
    VoucherTarget target;
    target.date = day(2013, 3, 9);
    target.number = "30002";
    target.print = true;
    runVoucherWindow(ctx, &main, target);
    EXPECT_EQ(title, "打印预览");
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // What the sheet is filled from: the boxes' texts and the set's company.
    VoucherPageTexts shown;
    shown.number = "30002";
    shown.page = shown.pageCount = "1";
    shown.credit[0] = "300";
    const VoucherSheetTexts texts = sheetTexts(shown, "测试公司");
    EXPECT_EQ(texts.company, "测试公司");
    EXPECT_EQ(texts.credits[0], "300");
    EXPECT_EQ(voucherPlaceholderValues(texts, day(2013, 4, 1)).at("贷方金额1"), "300.00");
}

TEST_F(LedgerWindowTest, TheMainWindowsButtonsOpenItAndStayLockedMeanwhile) {
    MainWindow main(ctx);
    main.show();
    auto* detail = main.findChild<QToolButton*>("明细分类账按钮");
    auto* general = main.findChild<QToolButton*>("总分类账按钮");
    ASSERT_TRUE(detail && general);
    QString title;
    bool detailEnabled = true, generalEnabled = true;
    auto look = [&](QWidget* modal) {
        title = modal->windowTitle();
        detailEnabled = detail->isEnabled();
        generalEnabled = general->isEnabled();
        modal->close();
    };
    whenModalOpens(look);
    QTest::mouseClick(detail, Qt::LeftButton);
    EXPECT_EQ(title, "明细账窗口");
    EXPECT_FALSE(detailEnabled);
    EXPECT_TRUE(generalEnabled);

    whenModalOpens(look);
    QTest::mouseClick(general, Qt::LeftButton);
    EXPECT_EQ(title, "总账窗口");
    EXPECT_FALSE(detailEnabled);
    EXPECT_FALSE(generalEnabled);
    EXPECT_TRUE(detail->isEnabled() && general->isEnabled());
}

// The window with a listed page, drawn whole in a Chinese font: the chosen
// account and the page of its rows in sight and drawn. TALLOWICK_SCREENSHOT_DIR
// keeps a copy of the picture.
TEST_F(LedgerWindowTest, PictureOfAListedPage) {
    store = std::make_unique<RecordStore>(dataDir);
    std::vector<Row> rows;
    double balance = 700;
    for (int i = 1; i <= 12; ++i) {
        balance += i % 3 ? 150.5 * i : -88.0 * i;
        rows.push_back({day(2013, 3, 10 + i), 30002 + i,
                        i % 4 ? "收到货款" : "支付甲公司三月份材料款及运输费用（合同编号HX-0315）",
                        "现金", i % 3 ? 150.5 * i : 0, i % 3 ? 0 : -88.0 * i, "借", balance});
    }
    writeRows(file::kLedger, rows);
    store.reset();
    auto w = open(LedgerMode::Detail);
    setAccount(w.get(), "现金");
    click(w.get(), "列出");
    w->resize(900, 720);
    QTest::qWait(50);
    auto* page = child<PageGridWidget>(w.get(), "账页表格");
    ASSERT_NE(page, nullptr);
    const int first = loadLedgerTemplate(dataDir).dataRow();
    EXPECT_GE(page->grid().rowCount(), first + 11) << "the twelve rows are listed";
    EXPECT_EQ(page->grid().text(1, 1), " 明细科目：1001 现金  2013-3-1至2013-3-31");
    checkPicture(*w, "明细账窗口.png", {"选择科目编辑框", "起始日期框", "截至日期框", "账页表格"});
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("\n").toStdString();
}

}  // namespace
}  // namespace tw::test

