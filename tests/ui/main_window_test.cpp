// The main window: its menu and picture buttons, the login gate on commands,
// the title and the backup offer at closing.
#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

#include "scripted_prompter.h"
#include "storage/dates.h"
#include "test_support.h"

namespace tw::test {
namespace {

const QString kLoginRequired = QStringLiteral("请先选择套账并登陆！");

// Menu items that refuse to run without a login.
const QStringList kGatedActions = {
    "编制凭证", "审核凭证", "查阅凭证", "凭证登账", "结转损益",   "期末结账", "撤销结账",
    "撤销登账", "撤销审核", "常用摘要", "科目管理", "账务初始化", "总分类账", "明细分类账",
    "日记账",   "编辑报表", "财务报表", "常用封面", "新建用户", "修改密码",   "备份数据", "恢复数据", "核对账目",
    "套账选项", "上机日志"};
const QStringList kOpenActions = {"新建套账", "打开套账", "关闭套账",
                                  "管理套账", "退出",     "关于软件"};
// Every picture button but 打印向导凭证按钮, which carries no command.
const QStringList kGatedButtons = {"编制凭证按钮", "审核凭证按钮", "查找凭证按钮", "凭证登账按钮",
                                   "结转损益按钮", "期末结账按钮", "总分类账按钮", "明细分类账按钮",
                                   "日记账按钮",   "收现按钮",     "支现按钮",     "收银按钮",
                                   "支银按钮",     "报表按钮"};

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.dataDir = dataDir.path();
        window = std::make_unique<MainWindow>(ctx);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    void logIn() {
        LoginState& login = session.login;
        login.loggedIn = true;
        login.setName = "测试套账";
        login.setPassword = "9时5分7秒";
        login.companyName = "某某公司";
        login.userName = "张三";
        login.permission = 1;
        login.period = dayNumber(2012, 3, 1);
        window->refreshTitle();
    }

    QAction* action(const QString& name) { return child<QAction>(window.get(), name); }
    QToolButton* button(const QString& name) { return child<QToolButton>(window.get(), name); }

    TempDataDir dataDir;
    Session session;
    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
    std::unique_ptr<MainWindow> window;
};

// A caption as shown, without its Alt letter "(&S)" (main_window_keys_test).
QString withoutMnemonic(QString caption) {
    return caption.remove(QRegularExpression(QStringLiteral("\\(&[A-Z]\\)")));
}

// Captions are stored with their blanks; an empty caption is a separator.
TEST_F(MainWindowTest, MenuCaptionsAreExactlyAsStored) {
    const QList<QPair<QString, QStringList>> expected = {
        {"  套 账  ", {"新建套账", "打开套账", "关闭套账", "管理套账", "套账选项", "", "退    出"}},
        {"  做 账  ",
         {"编制凭证", "审核凭证", "查阅凭证", "", "凭证登账", "结转损益", "期末结账", "",
          "撤销结账", "撤销登账", "撤销审核", "", "常用摘要", "科目管理", "账务初始化"}},
        {"  查  帐  ", {"总分类账", "明细分类账", "日记账"}},
        {"  报  表  ", {"编辑报表", "财务报表", "", "常用封面"}},
        {"  其 它  ", {"新建用户", "修改密码", "", "备份数据", "恢复数据", "", "核对账目", "上机日志"}},
        {"  帮  助  ", {"关于软件"}},
    };
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), expected.size());
    for (qsizetype i = 0; i < menus.size(); ++i) {
        EXPECT_EQ(withoutMnemonic(menus[i]->text()), expected[i].first);
        QStringList items;
        for (QAction* item : menus[i]->menu()->actions())
            items << (item->isSeparator() ? QString() : withoutMnemonic(item->text()));
        EXPECT_EQ(items, expected[i].second) << expected[i].first.toStdString();
    }
}

// Each menu item is either gated or deliberately open; a new item must be placed.
TEST_F(MainWindowTest, EveryMenuItemIsGatedOrKnownToBeOpen) {
    for (QAction* menu : window->menuBar()->actions())
        for (QAction* item : menu->menu()->actions()) {
            if (item->isSeparator()) continue;
            const QString name = item->objectName();
            EXPECT_TRUE(kGatedActions.contains(name) != kOpenActions.contains(name))
                << name.toStdString();
        }
}

// Menu items that are better not a key press away: undoing, restoring, and
// the ones used once in a while.
const QStringList kWithoutKeys = {"撤销结账", "撤销登账", "撤销审核", "账务初始化", "常用封面",
                                  "新建用户", "修改密码", "恢复数据", "核对账目", "套账选项",
                                  "上机日志"};

TEST_F(MainWindowTest, MenuItemsHaveTheirOwnKeysAndTheButtonsShowThem) {
    QStringList keys;
    for (QAction* menu : window->menuBar()->actions())
        for (QAction* item : menu->menu()->actions()) {
            if (item->isSeparator()) continue;
            const QString name = item->objectName();
            EXPECT_EQ(item->shortcut().isEmpty(), kWithoutKeys.contains(name)) << name.toStdString();
            if (!item->shortcut().isEmpty()) keys << item->shortcut().toString();
        }
    keys << "Ctrl+1" << "Ctrl+2" << "Ctrl+3" << "Ctrl+4" << "F10";
    EXPECT_EQ(QSet<QString>(keys.begin(), keys.end()).size(), keys.size()) << keys.join(" ").toStdString();
    for (const QString& name : kGatedButtons) {
        const QString tip = button(name)->toolTip();
        EXPECT_TRUE(tip.startsWith(button(name)->text() + "（") && tip.endsWith("）")) << name.toStdString();
    }

    // The keys reach the commands: here, the login gate.
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_F2);
    QTest::keyClick(window.get(), Qt::Key_3, Qt::ControlModifier);  // 收银
    EXPECT_EQ(prompter.messages, (QStringList{kLoginRequired, kLoginRequired}));
    // F10 opens the first menu, for the arrows to go on.
    QTest::keyClick(window.get(), Qt::Key_F10);
    EXPECT_EQ(window->menuBar()->activeAction(), window->menuBar()->actions().value(0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->menuBar()->actions()[0]->menu()->isVisible(); }, 2000));
    window->menuBar()->actions()[0]->menu()->close();
}

TEST_F(MainWindowTest, PictureButtonsExistWithTheirCaptions) {
    const QList<QPair<QString, QString>> buttons = {
        {"编制凭证按钮", "编制凭证"}, {"审核凭证按钮", "审核凭证"},
        {"查找凭证按钮", "查找凭证"}, {"凭证登账按钮", "凭证登账"},
        {"结转损益按钮", "结转损益"}, {"期末结账按钮", "期末结账"},
        {"总分类账按钮", "总分类账"}, {"明细分类账按钮", "明细分类账"},
        {"日记账按钮", "日记账"},     {"收现按钮", "收现"},
        {"支现按钮", "支现"},         {"收银按钮", "收银"},
        {"支银按钮", "支银"},         {"打印向导凭证按钮", "打印向导"},
        {"报表按钮", "报表"}};
    for (const auto& [name, text] : buttons) {
        QToolButton* b = button(name);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->text(), text);
        EXPECT_FALSE(b->icon().isNull()) << name.toStdString();
        EXPECT_TRUE(b->isVisible() && b->isEnabled()) << name.toStdString();
    }
    EXPECT_TRUE(child<QLabel>(window.get(), "主窗口图片框"));
}

// Before login every gated command says so once, and opens nothing.
TEST_F(MainWindowTest, GatedCommandsRefuseBeforeLogin) {
    const int shownBefore = visibleTopLevelCount();
    for (const QString& name : kGatedActions) {
        SCOPED_TRACE(name.toStdString());
        QAction* a = action(name);
        ASSERT_TRUE(a);
        prompter.clearRecords();
        a->trigger();
        EXPECT_EQ(prompter.messages, QStringList{kLoginRequired});
        EXPECT_TRUE(prompter.questions.isEmpty());
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(visibleTopLevelCount(), shownBefore);
    }
    // A real mouse click (press and release) on each picture button, the
    // cashier buttons included: 收现 opens two windows when logged in but must
    // complain only once.
    for (const QString& name : kGatedButtons) {
        SCOPED_TRACE(name.toStdString());
        QToolButton* b = button(name);
        ASSERT_TRUE(b);
        prompter.clearRecords();
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_EQ(prompter.messages, QStringList{kLoginRequired});
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
        EXPECT_EQ(visibleTopLevelCount(), shownBefore);
        EXPECT_TRUE(b->isEnabled());
    }
    EXPECT_FALSE(session.login.loggedIn);
}

TEST_F(MainWindowTest, PrintWizardButtonDoesNothing) {
    QToolButton* b = button("打印向导凭证按钮");
    ASSERT_TRUE(b);
    QTest::mouseClick(b, Qt::LeftButton);
    logIn();
    QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_TRUE(session.login.loggedIn);
}

// While a picture button's window is open the button cannot be pressed again.
TEST_F(MainWindowTest, PictureButtonIsDisabledWhileItsWindowIsOpen) {
    logIn();
    // The ledger buttons open 明细账窗口 (tests/ui/ledgers_window_test.cpp).
    const QStringList locked = {"编制凭证按钮", "审核凭证按钮", "查找凭证按钮", "凭证登账按钮",
                                "结转损益按钮", "期末结账按钮"};
    for (const QString& name : locked) {
        SCOPED_TRACE(name.toStdString());
        QToolButton* b = button(name);
        ASSERT_TRUE(b);
        // Whatever shows first while the button's window is open: a message,
        // or the window itself (closed again at once).
        bool opened = false, enabledMeanwhile = true;
        const auto seen = [&] {
            if (!opened) enabledMeanwhile = b->isEnabled();
            opened = true;
        };
        prompter.onMessage = [&](const QString&) { seen(); };
        prompter.clearRecords();
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || modal == window.get()) return;
            seen();
            modal->close();
        });
        watch.start(10);
        QTest::mouseClick(b, Qt::LeftButton);
        watch.stop();
        ASSERT_TRUE(opened) << "no window was opened";
        EXPECT_FALSE(enabledMeanwhile);
        EXPECT_TRUE(b->isEnabled());
    }
}

TEST_F(MainWindowTest, AccountInitIsRefusedOnceLoggedIn) {
    logIn();
    action("账务初始化")->trigger();
    EXPECT_EQ(prompter.messages, QStringList{"套账启用后不能再更改初始化数据！"});
}

TEST_F(MainWindowTest, TitleFollowsTheLoginState) {
    EXPECT_EQ(window->windowTitle(), "Tallowick");
    logIn();
    EXPECT_EQ(window->windowTitle(), "Tallowick  会计期间：2012年3月   用户：张三  某某公司");
    window->logout();
    EXPECT_EQ(window->windowTitle(), "Tallowick    尚未登陆、请选择套帐！");
    EXPECT_FALSE(session.login.loggedIn);
    EXPECT_TRUE(session.login.userName.empty());
    EXPECT_TRUE(session.login.setPassword.empty());
    EXPECT_EQ(session.login.permission, 0);
}

// 打开套账, 管理套账 and 关闭套账 all end the login first.
TEST_F(MainWindowTest, SetMenuCommandsLogOut) {
    for (const QString name : {"打开套账", "管理套账", "关闭套账"}) {
        SCOPED_TRACE(name.toStdString());
        logIn();
        if (name != "关闭套账")  // the other two go on to the account-set chooser
            whenModalOpens([](QWidget* chooser) {
                EXPECT_EQ(chooser->objectName(), "套账选择窗口");
                static_cast<QDialog*>(chooser)->reject();
            });
        action(name)->trigger();
        EXPECT_FALSE(session.login.loggedIn);
        EXPECT_TRUE(session.login.setName.empty());
        EXPECT_EQ(window->windowTitle(), "Tallowick    尚未登陆、请选择套帐！");
        EXPECT_FALSE(prompter.messages.contains(kLoginRequired));
    }
    prompter.clearRecords();
    logIn();
    action("关闭套账")->trigger();
    EXPECT_TRUE(prompter.messages.isEmpty()) << "关闭套账 opens nothing";
}

TEST_F(MainWindowTest, ClosingWithNobodyLoggedInAsksNothing) {
    action("退出")->trigger();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(MainWindowTest, ClosingWhileLoggedInOffersABackupOnce) {
    logIn();
    prompter.confirmAnswers.enqueue(false);
    EXPECT_TRUE(window->close());
    EXPECT_EQ(prompter.questions,
              QStringList{"为防止意外断电、病毒、Windows不稳定或其它的数据安全隐患，"
                          "是否备份当前套账？"});
    EXPECT_TRUE(prompter.messages.isEmpty()) << "no backup window after 不是";
    EXPECT_FALSE(window->isVisible());
}

// "是的" opens the backup window before the program ends.
TEST_F(MainWindowTest, AcceptedBackupOfferOpensTheBackupWindowBeforeClosing) {
    logIn();
    prompter.confirmAnswers.enqueue(true);
    bool visibleMeanwhile = false;
    whenModalOpens([&](QWidget* backup) {
        EXPECT_EQ(backup->objectName(), "备份与恢复窗口");
        visibleMeanwhile = window->isVisible();
        static_cast<QDialog*>(backup)->reject();
    });
    EXPECT_TRUE(window->close());
    EXPECT_EQ(prompter.questions.size(), 1);
    EXPECT_TRUE(visibleMeanwhile);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, AboutWindowClosesWithItsButton) {
    bool seen = false;
    whenModalOpens([&](QWidget* modal) {
        seen = true;
        EXPECT_EQ(modal->objectName(), "关于窗口");
        QPushButton* close = child<QPushButton>(modal, "关闭");
        ASSERT_TRUE(close);
        QTest::mouseClick(close, Qt::LeftButton);
    });
    action("关于软件")->trigger();
    EXPECT_TRUE(seen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(prompter.messages.isEmpty());
}

}  // namespace
}  // namespace tw::test
