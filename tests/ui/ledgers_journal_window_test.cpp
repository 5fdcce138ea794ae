// 出纳窗口, the account list and 日记账 on a real set: the way through
// account, amount and summary when 收 or 付 is chosen, 检查 and 保存, refusals
// that keep the window open, listing, export, 添加, and the main window's
// commands that open them and the cover workbook.
#include <gtest/gtest.h>

#include <QAction>
#include <QDesktopServices>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>

#include "app/main_window.h"
#include "ledgers/journal.h"
#include "ledgers/ledger_fixture.h"
#include "storage/store_fixture.h"
#include "ledgers/ui/cashier_window.h"
#include "ledgers/ui/journal_window.h"
#include "platform/ui/date_box.h"
#include "platform/ui/open_document.h"
#include "platform/xlsx_reader.h"
#include "storage/dates.h"
#include "storage/user_files.h"
#include "picture_check.h"
#include "scripted_prompter.h"
#include "test_support.h"
#include "typist.h"
#include "url_catcher.h"

namespace tw::test {
namespace {

class JournalWindowTest : public LedgerTest {
protected:
    TempDir exports;  // outside the account-set directory, as exports go
    void SetUp() override {
        LedgerTest::SetUp();
        addSub("银行存款", "工商银行");
    }
    // Entries written as 保存 writes them, before a window opens.
    void saveEntries(const std::vector<CashierEntry>& entries) {
        for (const CashierEntry& e : entries)
            ASSERT_TRUE(runAction(*store, [&] { return saveCashierEntry(*store, session, e); }).ok);
    }
    // The windows read the tables through stores of their own.
    void letWindowsRead() { store.reset(); }

    static void click(QWidget* parent, const char* name) {
        auto* b = child<QAbstractButton>(parent, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << name;
        const QPoint at = qobject_cast<QRadioButton*>(b) ? QPoint(8, b->height() / 2)
                                                         : b->rect().center();
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }
    static void clickBox(QWidget* parent, const char* name) {
        auto* box = child<QLineEdit>(parent, QString::fromUtf8(name));
        ASSERT_NE(box, nullptr);
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    }
    static QString text(QWidget* parent, const char* name) {
        auto* box = child<QLineEdit>(parent, QString::fromUtf8(name));
        return box ? box->text() : QStringLiteral("<missing>");
    }
    static QStringList items(QListWidget* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
        return texts;
    }

    // Answers the account list that opens next: clicks `account`, or closes
    // the window when it is empty. `then` arms the answer to what follows.
    static void answerAccountList(const QString& account, std::function<void()> then = {},
                                  QStringList* offered = nullptr) {
        whenModalOpens([=](QWidget* window) {
            EXPECT_EQ(window->objectName(), "收付科目窗口");
            auto* list = child<QListWidget>(window, "收付科目列表框");
            ASSERT_NE(list, nullptr);
            if (offered) *offered = items(list);
            if (then) then();
            if (account.isEmpty()) {
                window->close();
                return;
            }
            const auto found = list->findItems(account, Qt::MatchExactly);
            ASSERT_EQ(found.size(), 1) << account.toStdString();
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualItemRect(found.first()).center());
        });
    }
    // The amount dialog: types `typed` and presses 确定.
    static void answerAmount(const QString& typed, std::function<void()> then = {}) {
        whenModalOpens([=](QWidget* dialog) {
            auto* input = child<QLineEdit>(dialog, "金额输入框");
            ASSERT_NE(input, nullptr);
            if (then) then();
            typeText(input, typed);
            click(dialog, "确定");
        });
    }
    // The summary window: picks `summary`, or closes it when empty.
    static void answerSummary(const QString& summary) {
        whenModalOpens([=](QWidget* phrases) {
            EXPECT_EQ(phrases->objectName(), "摘要窗口");
            if (summary.isEmpty()) {
                phrases->close();
                return;
            }
            auto* tree = child<QTreeWidget>(phrases, "摘要树型框");
            ASSERT_NE(tree, nullptr);
            const auto found = tree->findItems(summary, Qt::MatchExactly | Qt::MatchRecursive);
            ASSERT_FALSE(found.isEmpty());
            tree->setCurrentItem(found.first());
            click(phrases, "将当前摘要插入到");
        });
    }
    // Choosing 收 or 付 opens the account list, the amount dialog and the
    // summary window, one after the other.
    void choose(QWidget* cashier, const char* radio, const QString& account, const QString& amount,
                const QString& summary) {
        answerAccountList(account, [=] { answerAmount(amount, [=] { answerSummary(summary); }); });
        click(cashier, radio);
    }

    std::unique_ptr<CashierWindow> openCashier() {
        auto w = std::make_unique<CashierWindow>(ctx);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }
    std::unique_ptr<JournalWindow> openJournal() {
        auto w = std::make_unique<JournalWindow>(ctx);
        std::filesystem::create_directories(exports / "导出");
        w->setExportFolder(exports / "导出");
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w.get()));
        return w;
    }
    static void setRange(QWidget* journal, double from, double to) {
        child<DateBox>(journal, "起始日期框")->setDay(from);
        child<DateBox>(journal, "截至日期框")->setDay(to);
    }
    static QList<QStringList> listed(QWidget* journal) { return treeRows(journal, "日记账超级列表框", 7); }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
};

TEST_F(JournalWindowTest, TheCashierWindowOpensEmptyWithSaveDisabled) {
    letWindowsRead();
    auto w = openCashier();
    EXPECT_EQ(w->objectName(), "出纳窗口");
    EXPECT_FALSE(child<QRadioButton>(w.get(), "收单选框")->isChecked());
    EXPECT_FALSE(child<QRadioButton>(w.get(), "付单选框")->isChecked());
    EXPECT_EQ(text(w.get(), "收付科目编辑框"), "");
    EXPECT_EQ(text(w.get(), "金额编辑框"), "");
    EXPECT_EQ(text(w.get(), "对方科目编辑框"), "（可不填写）");
    EXPECT_TRUE(child<DateBox>(w.get(), "日期框")->day().has_value());
    EXPECT_EQ(w->focusWidget(), child<QLineEdit>(w.get(), "摘要编辑框"));
    EXPECT_TRUE(child<QPushButton>(w.get(), "检查")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w.get(), "保存")->isEnabled());
    // 检查 before 收 or 付 is chosen only says so.
    click(w.get(), "检查");
    EXPECT_EQ(prompter.messages, QStringList{"请选择收或付！"});
    EXPECT_FALSE(child<QPushButton>(w.get(), "保存")->isEnabled());
}

// The books are in March 2013 whatever the calendar says: both windows open
// on the accounting period's month, as the ledger window does.
TEST_F(JournalWindowTest, BothWindowsOpenOnTheAccountingPeriod) {
    session.login.period = day(2013, 4, 1);
    letWindowsRead();
    auto journal = openJournal();
    EXPECT_EQ(child<DateBox>(journal.get(), "起始日期框")->day(), day(2013, 4, 1));
    EXPECT_EQ(child<DateBox>(journal.get(), "截至日期框")->day(), day(2013, 4, 30));
    journal.reset();
    auto cashier = openCashier();
    const auto shown = child<DateBox>(cashier.get(), "日期框")->day();
    ASSERT_TRUE(shown.has_value());
    EXPECT_EQ(firstDayOfMonth(*shown), day(2013, 4, 1));
}

TEST_F(JournalWindowTest, AReceiptThenAPaymentSaveTheirRunningBalance) {
    letWindowsRead();
    auto w = openCashier();
    child<DateBox>(w.get(), "日期框")->setDay(day(2013, 3, 5));
    choose(w.get(), "收单选框", "现金", "100", "收到货款");
    EXPECT_EQ(text(w.get(), "收付科目编辑框"), "现金");
    EXPECT_EQ(text(w.get(), "金额编辑框"), "100");
    EXPECT_EQ(text(w.get(), "摘要编辑框"), "收到货款");
    // 检查 toggles 保存: twice leaves it as it was.
    auto* save = child<QPushButton>(w.get(), "保存");
    click(w.get(), "检查");
    EXPECT_TRUE(save->isEnabled());
    click(w.get(), "检查");
    EXPECT_FALSE(save->isEnabled());
    click(w.get(), "检查");
    click(w.get(), "保存");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
    EXPECT_EQ(w->result(), QDialog::Accepted);
    EXPECT_FALSE(w->isVisible());

    auto p = openCashier();
    child<DateBox>(p.get(), "日期框")->setDay(day(2013, 3, 6));
    choose(p.get(), "付单选框", "现金", "30.5", "");
    whenModalOpens([](QWidget* chart) {
        EXPECT_EQ(chart->objectName(), "会计科目窗口");
        auto* tree = child<QTreeWidget>(chart, "损益类树型框");
        ASSERT_NE(tree, nullptr);
        if (auto* tabs = chart->findChild<QTabWidget*>()) tabs->setCurrentWidget(tree);
        const auto found = tree->findItems("管理费用", Qt::MatchExactly | Qt::MatchRecursive);
        ASSERT_FALSE(found.isEmpty());
        tree->setCurrentItem(found.first());
        click(chart, "将选定科目插入到");
    });
    clickBox(p.get(), "对方科目编辑框");
    EXPECT_EQ(text(p.get(), "对方科目编辑框"), "管理费用");
    child<QLineEdit>(p.get(), "摘要编辑框")->setText("支付运费");
    click(p.get(), "检查");
    click(p.get(), "保存");
    EXPECT_EQ(p->result(), QDialog::Accepted);

    const auto written = rows(file::kJournal);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], (std::vector<Value>{day(2013, 3, 5), "现金", "收", 100.0, 100.0, "张三",
                                              "收到货款", ""}));
    EXPECT_EQ(written[1], (std::vector<Value>{day(2013, 3, 6), "现金", "付", -30.5, 69.5, "张三",
                                              "支付运费", "管理费用"}));
}

// A refused entry is said, nothing is written, and the window stays open
// for the correction.
TEST_F(JournalWindowTest, ARefusedSaveKeepsTheWindowOpen) {
    letWindowsRead();
    auto w = openCashier();
    QStringList offered;
    answerAccountList("银行存款", [&] { answerAmount("80", [] { answerSummary(""); }); },
                      &offered);
    click(w.get(), "收单选框");
    EXPECT_EQ(offered, (QStringList{"现金", "银行存款", "银行存款→工商银行"}));
    click(w.get(), "检查");
    auto* amount = child<QLineEdit>(w.get(), "金额编辑框");
    for (const auto& [typed, message] :
         {std::pair<QString, QString>{"八十", "金额必须是数字！"},
          {"0", "请输入金额！金额不能为零。"},
          {"", "请输入金额！金额不能为零。"}}) {
        prompter.clearRecords();
        amount->setText(typed);
        click(w.get(), "保存");
        EXPECT_EQ(prompter.messages, QStringList{message});
        EXPECT_TRUE(w->isVisible());
    }
    // Closing the account list without a choice empties the account box.
    answerAccountList("");
    clickBox(w.get(), "收付科目编辑框");
    EXPECT_EQ(text(w.get(), "收付科目编辑框"), "");
    amount->setText("80");
    prompter.clearRecords();
    click(w.get(), "保存");
    EXPECT_EQ(prompter.messages, QStringList{"请选择收付科目！"});
    EXPECT_TRUE(rows(file::kJournal).empty());

    answerAccountList("银行存款→工商银行");
    clickBox(w.get(), "收付科目编辑框");
    click(w.get(), "保存");
    EXPECT_FALSE(w->isVisible());
    ASSERT_EQ(rows(file::kJournal).size(), 1u);
    EXPECT_EQ(rows(file::kJournal)[0][1], Value("银行存款→工商银行"));
}

TEST_F(JournalWindowTest, ListingShowsTheAccountsEntriesOnly) {
    saveEntries({{day(2013, 3, 1), "银行存款", CashKind::Receipt, "1000", "存入现金", ""},
                 {day(2013, 3, 2), "银行存款→工商银行", CashKind::Receipt, "5", "利息", ""},
                 {day(2013, 3, 3), "银行存款", CashKind::Payment, "50", "付房租", "管理费用"},
                 {day(2013, 4, 1), "银行存款", CashKind::Payment, "1", "手续费", ""}});
    letWindowsRead();
    auto w = openJournal();
    EXPECT_EQ(text(w.get(), "选择科目编辑框"), "点击这里选择要查阅的科目");
    auto* list = child<QTreeWidget>(w.get(), "日记账超级列表框");
    QStringList heads;
    for (int c = 0; c < list->columnCount(); ++c) heads << list->headerItem()->text(c);
    EXPECT_EQ(heads, (QStringList{"日期", "字", "金额", "余额", "操作", "摘要", "对应科目"}));

    setRange(w.get(), day(2013, 3, 1), day(2013, 3, 31));
    // While the box shows its prompt, 列出 asks for the account first.
    answerAccountList("银行存款");
    click(w.get(), "列出");
    EXPECT_EQ(text(w.get(), "选择科目编辑框"), "银行存款");
    EXPECT_EQ(listed(w.get()),
              (QList<QStringList>{{"2013-3-1", "", "", "0", "", "期初余额", ""},
                                  {"2013-3-1", "收", "1000", "1000", "张三", "存入现金", ""},
                                  {"2013-3-3", "付", "-50", "950", "张三", "付房租", "管理费用"}}));
    EXPECT_EQ(list->topLevelItem(1)->textAlignment(2) & Qt::AlignRight, Qt::AlignRight);

    // Another account through a click on the box; the list follows it.
    answerAccountList("银行存款→工商银行");
    clickBox(w.get(), "选择科目编辑框");
    EXPECT_EQ(w->focusWidget(), child<DateBox>(w.get(), "起始日期框"));
    // where Enter lists, as 列出 does
    QTest::keyClick(child<DateBox>(w.get(), "起始日期框"), Qt::Key_Return);
    ASSERT_EQ(listed(w.get()).size(), 2);
    EXPECT_EQ(listed(w.get())[1][3], "5");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(JournalWindowTest, ExportWritesTheListAndAddOpensTheCashierWindow) {
    saveEntries({{day(2013, 3, 1), "现金", CashKind::Receipt, "1500", "收到货款", "应收账款"},
                 {day(2013, 3, 2), "现金", CashKind::Payment, "200", "支付运费", ""}});
    letWindowsRead();
    auto w = openJournal();
    setRange(w.get(), day(2013, 3, 1), day(2013, 3, 31));
    answerAccountList("现金");
    click(w.get(), "列出");

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    click(w.get(), "导出");
    QDesktopServices::unsetUrlHandler("file");
    const auto file = exports / "导出" / "日记账 现金 2013-3-1至2013-3-31.xlsx";
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(), file.string());
    std::string error;
    const auto cells = readXlsxSheet(file, 1, &error);
    ASSERT_TRUE(cells) << error;
    // The opening line's date, balance and summary; a2..g3 but the empty
    // counter account of row 3.
    EXPECT_EQ(cells->size(), 16u);
    EXPECT_EQ(formatDate(std::stod(cells->at("A1"))), "2013-3-1");  // a date
    EXPECT_EQ(cells->at("F1"), "期初余额");
    EXPECT_EQ(cells->at("C2"), "1500");
    EXPECT_EQ(cells->at("G2"), "应收账款");
    EXPECT_EQ(cells->at("D3"), "1300");

    // Opened, and named with its full path; with nothing to open it, the
    // message names the kept file.
    click(w.get(), "导出");
    const auto second = exports / "导出" / "日记账 现金 2013-3-1至2013-3-31 (2).xlsx";
    EXPECT_EQ(prompter.messages, (QStringList{QString::fromStdString(exportedMessage(file)),
                                              noSpreadsheetMessage(second)}));
    EXPECT_TRUE(std::filesystem::exists(second));

    // 添加: the entry saved in 出纳窗口 shows in the list at once.
    prompter.clearRecords();
    whenModalOpens([this](QWidget* cashier) {
        EXPECT_EQ(cashier->objectName(), "出纳窗口");
        child<DateBox>(cashier, "日期框")->setDay(day(2013, 3, 9));
        choose(cashier, "付单选框", "现金", "300", "");
        click(cashier, "检查");
        click(cashier, "保存");
    });
    click(w.get(), "添加");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
    ASSERT_EQ(listed(w.get()).size(), 4);
    EXPECT_EQ(listed(w.get())[3].mid(0, 4), (QStringList{"2013-3-9", "付", "-300", "1000"}));
}

// The posted vouchers that moved cash come into the day book from 出纳窗口,
// once, after the account's opening balance; a second time brings nothing.
TEST_F(JournalWindowTest, TheCashierBringsInThePostedVoucherLinesOnce) {
    // The cash opening as enabling wrote it, two posted vouchers and one
    // reviewed but not posted yet, and a slip of the cashier's own.
    writeRows(file::kLedger, {{day(2013, 3, 1), 0, "期初余额", "现金", 5000, 0, "借", 5000}});
    writeVoucherPage({{field::kDate, day(2013, 3, 5)}, {field::kMonthNumber, 30001.0},
                      {field::kPage, 1}, {field::kPageCount, 1},
                      {field::lineSummary(1), "提现"}, {field::lineAccount(1), "现金"},
                      {field::lineDebit(1), 500.0},
                      {field::lineSummary(2), "提现"}, {field::lineAccount(2), "银行存款→工商银行"},
                      {field::lineCredit(2), 500.0},
                      {field::kPreparer, "张三"}, {field::kReviewer, "李四"}, {field::kPoster, "李四"}});
    writeVoucherPage({{field::kDate, day(2013, 3, 8)}, {field::kMonthNumber, 30002.0},
                      {field::kPage, 1}, {field::kPageCount, 1},
                      {field::lineSummary(1), "付办公费"}, {field::lineAccount(1), "管理费用"},
                      {field::lineDebit(1), 200.0},
                      {field::lineSummary(2), "付办公费"}, {field::lineAccount(2), "现金"},
                      {field::lineCredit(2), 200.0},
                      {field::kPreparer, "张三"}, {field::kReviewer, "李四"}, {field::kPoster, "李四"}});
    writeVoucherPage({{field::kDate, day(2013, 3, 9)}, {field::kMonthNumber, 30003.0},
                      {field::kPage, 1}, {field::kPageCount, 1},
                      {field::lineSummary(1), "收到货款"}, {field::lineAccount(1), "现金"},
                      {field::lineDebit(1), 999.0},
                      {field::lineSummary(2), "收到货款"}, {field::lineAccount(2), "主营业务收入"},
                      {field::lineCredit(2), 999.0},
                      {field::kPreparer, "张三"}, {field::kReviewer, "李四"}});
    saveEntries({{day(2013, 3, 6), "现金", CashKind::Payment, "50", "买邮票", ""}});
    letWindowsRead();

    CashierWindow cashier(ctx, nullptr, {CashKind::Receipt, "现金"});
    cashier.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cashier));
    click(&cashier, "从凭证引入");
    click(&cashier, "从凭证引入");
    EXPECT_EQ(prompter.messages, (QStringList{"已从凭证引入2笔收付。", "已从凭证引入0笔收付。"}));
    EXPECT_TRUE(cashier.isVisible()) << "the cashier goes on with the slips";
    EXPECT_TRUE(cashier.broughtIn());

    prompter.clearRecords();
    auto w = openJournal();
    setRange(w.get(), day(2013, 3, 1), day(2013, 3, 31));
    answerAccountList("现金");
    click(w.get(), "列出");
    // By day, from the opening balance; an imported line names its voucher line.
    const QList<QStringList> expected{
        {"2013-3-1", "", "", "5000", "", "期初余额", ""},
        {"2013-3-5", "收", "500", "5500", "凭证30001第1张第1行", "提现", "银行存款→工商银行"},
        {"2013-3-6", "付", "-50", "5450", "张三", "买邮票", ""},
        {"2013-3-8", "付", "-200", "5250", "凭证30002第1张第2行", "付办公费", "管理费用"}};
    EXPECT_EQ(listed(w.get()), expected);
    // The day book's own button brings in nothing more and lists the same.
    click(w.get(), "从凭证引入");
    EXPECT_EQ(prompter.messages, QStringList{"已从凭证引入0笔收付。"});
    EXPECT_EQ(listed(w.get()), expected);
    EXPECT_EQ(rows(file::kJournal).size(), 3u);
}

TEST_F(JournalWindowTest, TheMainWindowOpensTheCashierAndTheJournal) {
    letWindowsRead();
    MainWindow main(ctx);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    QStringList opened;
    auto closeNext = [&] {
        whenModalOpens([&](QWidget* modal) {
            opened << modal->objectName();
            modal->close();
        });
    };
    // 收现: the cashier window, then the journal once it has closed.
    whenModalOpens([&](QWidget* modal) {
        opened << modal->objectName();
        closeNext();  // the journal, which opens after this one has closed
        modal->close();
    });
    QTest::mouseClick(child<QToolButton>(&main, "收现按钮"), Qt::LeftButton);
    EXPECT_EQ(opened, (QStringList{"出纳窗口", "日记账"}));

    for (const char* name : {"支现按钮", "收银按钮", "支银按钮"}) {
        opened.clear();
        closeNext();
        QTest::mouseClick(child<QToolButton>(&main, QString::fromUtf8(name)), Qt::LeftButton);
        EXPECT_EQ(opened, QStringList{"出纳窗口"}) << name;
    }
    opened.clear();
    closeNext();
    QTest::mouseClick(child<QToolButton>(&main, "日记账按钮"), Qt::LeftButton);
    closeNext();
    child<QAction>(&main, "日记账")->trigger();
    EXPECT_EQ(opened, (QStringList{"日记账", "日记账"}));
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(JournalWindowTest, TheKeyboardGoesAlongTheRowAndEnterOpensTheAccountList) {
    letWindowsRead();
    auto w = openJournal();
    auto* account = child<QLineEdit>(w.get(), "选择科目编辑框");
    EXPECT_EQ(w->focusWidget(), account);
    EXPECT_EQ(tabOrder(account, 5),
              (QStringList{"选择科目编辑框", "起始日期框", "截至日期框", "列出", "导出", "添加"}));
    answerAccountList("现金");
    QTest::keyClick(account, Qt::Key_Return);
    EXPECT_EQ(account->text(), "现金");
    EXPECT_EQ(w->focusWidget(), child<DateBox>(w.get(), "起始日期框")) << "Enter there lists";
}

TEST(CashierPreset, TheButtonsAccountIsTheOneWithoutSubAccounts) {
    const std::vector<std::string> chart = {"现金", "银行存款", "银行存款→工商银行"};
    EXPECT_EQ(presetCashAccount(chart, "现金"), "现金");
    EXPECT_EQ(presetCashAccount(chart, "银行存款"), "银行存款→工商银行");
    // Two banks: the choice is the user's.
    std::vector<std::string> two = chart;
    two.push_back("银行存款→建设银行");
    EXPECT_EQ(presetCashAccount(two, "银行存款"), "");
    EXPECT_EQ(presetCashAccount({"银行存款→工商银行→活期", "银行存款", "银行存款→工商银行"}, "银行存款"),
              "银行存款→工商银行→活期");
    EXPECT_EQ(presetCashAccount(chart, "银行"), "") << "whole names only";
}

TEST_F(JournalWindowTest, APresetReceiptIsEnteredFromTheKeyboard) {
    letWindowsRead();
    CashierWindow w(ctx, nullptr, {CashKind::Receipt, "现金"});
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_TRUE(child<QRadioButton>(&w, "收单选框")->isChecked());
    EXPECT_EQ(text(&w, "收付科目编辑框"), "现金");
    EXPECT_EQ(w.focusWidget(), child<QLineEdit>(&w, "金额编辑框"));
    w.activateWindow();

    Typist typist;
    typist.type("100").press(Qt::Key_Return)             // → 摘要编辑框
        .press(Qt::Key_Return).type("sdhk").press(Qt::Key_Return)  // empty: the summary window
        .press(Qt::Key_Return).type("zy").press(Qt::Key_Return)    // 对方科目: the chart
        .press(Qt::Key_Return)                           // 检查: 保存 enabled, and the focus
        .press(Qt::Key_Return);                          // 保存
    ASSERT_TRUE(typist.play());
    EXPECT_EQ(typist.mouseClicks(), 0);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    const auto written = rows(file::kJournal);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(std::vector<Value>(written[0].begin() + 1, written[0].end()),
              (std::vector<Value>{"现金", "收", 100.0, 100.0, "张三", "收到货款", "主营业务收入"}));

    // 支银 with one bank account: it is filled in; with none chosen yet the
    // focus waits in the account box.
    CashierWindow bank(ctx, nullptr, {CashKind::Payment, "银行存款"});
    EXPECT_TRUE(child<QRadioButton>(&bank, "付单选框")->isChecked());
    EXPECT_EQ(text(&bank, "收付科目编辑框"), "银行存款→工商银行");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

// Each set opens its own cover workbook; without a program for it the
// spreadsheet message is all that is shown.
TEST_F(JournalWindowTest, TheCoverPageOpensTheSetsOwnWorkbook) {
    letWindowsRead();
    MainWindow main(ctx);
    QAction* cover = child<QAction>(&main, "常用封面");
    ASSERT_NE(cover, nullptr);
    const auto own = tablePath(dataDir, session.login.setName, file::kCoverWorkbook);
    ASSERT_TRUE(std::filesystem::exists(own));

    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    cover->trigger();
    // Another set of the same directory has a workbook of its own.
    Session other = session;
    makeSet(dataDir, "第二账套", other);
    AppContext otherCtx{other, prompter};
    MainWindow second(otherCtx);
    child<QAction>(&second, "常用封面")->trigger();
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 2);
    EXPECT_EQ(catcher.opened[0].toLocalFile().toStdString(), own.string());
    EXPECT_EQ(catcher.opened[1].toLocalFile().toStdString(),
              tablePath(dataDir, other.login.setName, file::kCoverWorkbook).string());
    EXPECT_TRUE(prompter.messages.isEmpty());

    cover->trigger();
    EXPECT_EQ(prompter.messages, QStringList{kNoSpreadsheetProgram});
    // A missing workbook is named rather than passed on.
    std::filesystem::remove(own);
    prompter.clearRecords();
    cover->trigger();
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_TRUE(prompter.messages[0].startsWith("找不到封面文件："));
}

// The cashier window filled in and checked, and a listed journal, each drawn
// whole in a Chinese font with the filled boxes and the listed rows in sight
// and drawn. TALLOWICK_SCREENSHOT_DIR keeps a copy of each picture.
TEST_F(JournalWindowTest, PicturesOfCashierAndJournal) {
    std::vector<CashierEntry> entries;
    for (int i = 1; i <= 14; ++i)
        entries.push_back({day(2013, 3, i * 2), "现金", i % 3 ? CashKind::Receipt : CashKind::Payment,
                           std::to_string(125.5 * i), i % 4 ? "收到货款" : "支付甲公司三月份材料款及运输费",
                           i % 2 ? "应收账款" : ""});
    saveEntries(entries);
    letWindowsRead();

    auto c = openCashier();
    child<DateBox>(c.get(), "日期框")->setDay(day(2013, 3, 28));
    choose(c.get(), "付单选框", "现金", "1234.56", "支付银行手续费");
    click(c.get(), "检查");
    QTest::qWait(50);
    EXPECT_TRUE(child<QPushButton>(c.get(), "保存")->isEnabled()) << "checked, ready to save";
    checkPicture(*c, "出纳窗口.png", {"日期框", "收付科目编辑框", "金额编辑框", "摘要编辑框", "保存"});

    auto w = openJournal();
    setRange(w.get(), day(2013, 3, 1), day(2013, 3, 31));
    answerAccountList("现金");
    click(w.get(), "列出");
    QTest::qWait(50);
    EXPECT_EQ(listed(w.get()).size(), 15);  // the opening line and the fourteen entries
    checkPicture(*w, "日记账.png", {"选择科目编辑框", "起始日期框", "日记账超级列表框"});
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("\n").toStdString();
}

}  // namespace
}  // namespace tw::test

