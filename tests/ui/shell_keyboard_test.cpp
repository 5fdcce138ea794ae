// The shell's windows worked with the keyboard alone, as a bookkeeper does:
// Tab through the boxes in the order they stand, the start date typed as it
// is meant, the chooser and the login driven by arrows and Enter.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include "platform/ui/date_box.h"
#include "shell/ui/backup_window.h"
#include "shell/ui/create_set_window.h"
#include "shell/ui/login_window.h"
#include "shell/ui/new_user_window.h"
#include "shell/ui/password_window.h"
#include "shell/ui/set_chooser_window.h"
#include "shell_window_support.h"

namespace tw::test {
namespace {

class ShellKeyboardTest : public ShellWindowTest {
protected:
    // Types into the widget that has the focus, then presses Tab.
    static void typeAndTab(QWidget* window, const QString& text) {
        QWidget* box = window->focusWidget();
        ASSERT_NE(box, nullptr);
        typeText(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }
    // Fills the create window from its first box to its last with the
    // keyboard: name, company, start date, administrator, password twice.
    static void fillByKeyboard(CreateSetWindow& w, const QString& name, const QString& date) {
        w.activateWindow();
        (void)QTest::qWaitForWindowActive(&w, 1000);
        child<QLineEdit>(&w, "套账名称编辑框")->setFocus();
        for (const QString& text : {name, QStringLiteral("华兴商贸有限公司"), date,
                                    QStringLiteral("李四"), QStringLiteral("mm"), QStringLiteral("mm")})
            typeAndTab(&w, text);
    }
    double startDateOf(const std::string& set) {
        RecordStore store(session.dataDir);
        return readBasicInfo(store, session.dataDir, set).startDate;
    }
};

TEST_F(ShellKeyboardTest, TabFollowsTheLayoutOfTheCreateWindow) {
    CreateSetWindow w(ctx);
    w.show();
    EXPECT_EQ(tabOrder(child(&w, "套账名称编辑框"), 8),
              (QStringList{"套账名称编辑框", "单位名称编辑框", "启用日期框", "管理员名编辑框",
                           "管理密码编辑框", "密码效验编辑框", "确定", "取消", "套账名称编辑框"}));
}

TEST_F(ShellKeyboardTest, AStartDateTypedAfterTabbingInIsTheDateTyped) {
    CreateSetWindow w(ctx);
    w.show();
    fillByKeyboard(w, QStringLiteral("华兴"), QStringLiteral("2012-3-1"));
    EXPECT_EQ(text(&w, "启用日期框"), "2012-3-1");
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);  // 确定 is the default button
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join('|').toStdString();
    EXPECT_EQ(formatDate(startDateOf("华兴")), "2012-3-1");

    CreateSetWindow again(ctx);
    again.show();
    fillByKeyboard(again, QStringLiteral("华兴二"), QStringLiteral("2012/03/01"));
    QTest::keyClick(again.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(formatDate(startDateOf("华兴二")), "2012-3-1");
}

TEST_F(ShellKeyboardTest, AStartDateThatIsNoDateIsRefusedAndLeftAsTyped) {
    CreateSetWindow w(ctx);
    w.show();
    fillByKeyboard(w, QStringLiteral("华兴"), QStringLiteral("2012-13-1"));
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(prompter.messages, QStringList{unreadableDateMessage("2012-13-1")});
    EXPECT_EQ(text(&w, "启用日期框"), "2012-13-1");
    EXPECT_EQ(w.focusWidget(), child(&w, "启用日期框")) << "back in the box to correct it";
    EXPECT_TRUE(listAccountSets(session.dataDir).empty());

    // Corrected in place, the set is made with it.
    QTest::keyClicks(w.focusWidget(), "2012-12-1");
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(formatDate(startDateOf("华兴")), "2012-12-1");
}

TEST_F(ShellKeyboardTest, DotDotIsRefusedAsANameNotAsADuplicate) {
    CreateSetWindow w(ctx);
    w.show();
    fillByKeyboard(w, QStringLiteral(".."), QStringLiteral("2012-3-1"));
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(prompter.messages, QStringList{"套账名称 不能是“.”或“..”，请更换！"});
    EXPECT_TRUE(w.isVisible());
}

TEST_F(ShellKeyboardTest, TheChooserStartsOnTheFirstSetArrowsMoveAndEnterOpens) {
    makeSet("甲公司");
    makeSet("乙公司");
    SetChooserWindow chooser(ctx);
    chooser.show();
    auto* list = child<QListWidget>(&chooser, "套账列表框");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 2);
    const QString first = list->item(0)->text(), second = list->item(1)->text();
    EXPECT_EQ(list->selectedItems(), QList<QListWidgetItem*>{list->item(0)});
    EXPECT_EQ(chooser.selectedSet(), first.toStdString());
    EXPECT_EQ(chooser.focusWidget(), list);

    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(chooser.selectedSet(), second.toStdString());
    QString heading;
    whenModalOpens([&](QWidget* login) {
        heading = child<QLabel>(login, "套账名称标签")->text();
        static_cast<QDialog*>(login)->reject();
    });
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(heading, QStringLiteral("套账：") + second);
}

TEST_F(ShellKeyboardTest, TheOnlyUserOfASetIsChosenAndThePasswordAsked) {
    makeSet("华兴");
    whenModalOpens([&](QWidget* w) {
        auto* users = child<QComboBox>(w, "用户名选择");
        EXPECT_EQ(users->currentText(), "张三");
        EXPECT_EQ(chosenUser(w), "张三");
        ASSERT_EQ(w->focusWidget(), child(w, "密码框"));
        QTest::keyClicks(w->focusWidget(), "mima");
        QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    });
    LoginWindow::run(ctx, "华兴", nullptr);
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(session.login.userName, "张三");
}

TEST_F(ShellKeyboardTest, ArrowsMoveThroughTheUsersAndTheListKeepsTheFocus) {
    makeSet("华兴");
    appendUser("华兴", "李四", "lisi", 2);
    appendUser("华兴", "王五", "wangwu", 2);
    whenModalOpens([&](QWidget* w) {
        auto* users = child<QComboBox>(w, "用户名选择");
        EXPECT_EQ(users->currentIndex(), -1) << "several users: nobody is chosen for the user";
        ASSERT_EQ(w->focusWidget(), users);
        QTest::keyClick(users, Qt::Key_Down);
        QTest::keyClick(users, Qt::Key_Down);
        QTest::keyClick(users, Qt::Key_Down);
        QTest::keyClick(users, Qt::Key_Up);
        EXPECT_EQ(chosenUser(w), "李四");
        EXPECT_EQ(w->focusWidget(), users);
        QTest::keyClick(users, Qt::Key_Tab);
        ASSERT_EQ(w->focusWidget(), child(w, "密码框"));
        QTest::keyClicks(w->focusWidget(), "lisi");
        QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    });
    LoginWindow::run(ctx, "华兴", nullptr);
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(session.login.userName, "李四");
}

TEST_F(ShellKeyboardTest, TabFollowsTheLayoutOfTheOtherShellWindows) {
    makeSet("华兴");
    appendUser("华兴", "李四", "lisi", 2);
    {
        SetChooserWindow chooser(ctx);
        chooser.show();
        EXPECT_EQ(tabOrder(child(&chooser, "套账列表框"), 4),
                  (QStringList{"套账列表框", "打开", "新建", "删除", "套账列表框"}));
    }
    whenModalOpens([&](QWidget* w) {
        EXPECT_EQ(tabOrder(child(w, "用户名选择"), 4),
                  (QStringList{"用户名选择", "密码框", "登陆", "取消", "用户名选择"}));
        static_cast<QDialog*>(w)->reject();
    });
    LoginWindow::run(ctx, "华兴", nullptr);

    logInAs("华兴", "张三", "mima");
    {
        NewUserWindow w(ctx);
        w.show();
        EXPECT_EQ(tabOrder(child(&w, "用户名编辑框"), 5),
                  (QStringList{"用户名编辑框", "用户密码编辑框", "用户密码效验编辑框", "用户列表",
                               "确定", "用户名编辑框"}));
    }
    {
        PasswordWindow w(ctx);
        w.show();
        EXPECT_EQ(tabOrder(child(&w, "原密码编辑框"), 5),
                  (QStringList{"原密码编辑框", "新密码编辑框", "重复新编辑框", "确定", "取消",
                               "原密码编辑框"}));
    }
    {
        BackupWindow w(ctx);
        w.show();
        QTest::keyClick(child(&w, "备份单选框"), Qt::Key_Space);
        EXPECT_EQ(tabOrder(child(&w, "备份单选框"), 2),
                  (QStringList{"备份单选框", "确定", "备份单选框"}));
    }
}

}  // namespace
}  // namespace tw::test
