// The login window: the user list, the password check and the title.
#include <QComboBox>

#include "shell/ui/login_window.h"
#include "shell_window_support.h"

namespace tw::test {
namespace {

class LoginWindowTest : public ShellWindowTest {
protected:
    void SetUp() override {
        ShellWindowTest::SetUp();
        makeSet("华兴");
    }
    // Opens the login window for `set` and hands it to `act` while it is open.
    void withLoginWindow(const std::string& set, const std::function<void(QWidget*)>& act) {
        bool opened = false;
        whenModalOpens([&](QWidget* w) {
            opened = true;
            act(w);
            if (w->isVisible()) static_cast<QDialog*>(w)->reject();
        });
        LoginWindow::run(ctx, set, nullptr);
        EXPECT_TRUE(opened);
    }
    static QStringList users(QWidget* w) {
        QStringList names;
        auto* box = child<QComboBox>(w, "用户名选择");
        for (int i = 0; box && i < box->count(); ++i) names << box->itemText(i);
        return names;
    }
    static void choose(QWidget* w, int index) {
        auto* box = child<QComboBox>(w, "用户名选择");
        ASSERT_NE(box, nullptr);
        box->setCurrentIndex(index);
    }
};

TEST_F(LoginWindowTest, ListsUsersInTableOrderWithNobodyChosen) {
    appendUser("华兴", "李四", "lisi", 2);
    // Someone of another set was logged in: while the window is open nobody is.
    session.login.loggedIn = true;
    session.login.userName = "别的套账的用户";
    session.login.permission = 1;
    withLoginWindow("华兴", [&](QWidget* w) {
        EXPECT_EQ(w->objectName(), "登录窗口");
        EXPECT_TRUE(session.login.userName.empty());
        EXPECT_EQ(session.login.permission, 0);
        EXPECT_EQ(titles.last(), "Tallowick    尚未登陆、请选择套帐！");
        EXPECT_EQ(users(w), (QStringList{"张三", "李四"}));
        EXPECT_EQ(child<QComboBox>(w, "用户名选择")->currentIndex(), -1);
        EXPECT_TRUE(chosenUser(w).empty());
        choose(w, 1);
        EXPECT_EQ(chosenUser(w), "李四");
        EXPECT_EQ(w->focusWidget(), child<QLineEdit>(w, "密码框")) << "focus moves to the password";
        EXPECT_EQ(child<QAbstractButton>(w, "登陆")->text(), "确定");
    });
    EXPECT_FALSE(session.login.loggedIn) << "closing the window logs nobody in";
}

TEST_F(LoginWindowTest, WrongPasswordClearsTheBoxAndKeepsTheWindow) {
    withLoginWindow("华兴", [&](QWidget* w) {
        choose(w, 0);
        type(w, "密码框", "MIMA");
        click(w, "登陆");
        EXPECT_EQ(prompter.messages, QStringList{"密码 或 用户名 不正确！"});
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(text(w, "密码框"), "");
        EXPECT_EQ(w->focusWidget(), child<QLineEdit>(w, "密码框"));
        // No user chosen: looks for an empty name and finds none.
        child<QComboBox>(w, "用户名选择")->setCurrentIndex(-1);
        type(w, "密码框", "mima");
        click(w, "登陆");
        EXPECT_EQ(prompter.messages.size(), 2);
    });
    EXPECT_FALSE(session.login.loggedIn);
    EXPECT_EQ(titles.last(), "Tallowick    尚未登陆、请选择套帐！");
}

TEST_F(LoginWindowTest, SuccessSetsTheTitleWithoutALeadingZeroAndClosesTheWindow) {
    withLoginWindow("华兴", [&](QWidget* w) {
        choose(w, 0);
        type(w, "密码框", "mima");
        click(w, "登陆");
        EXPECT_FALSE(w->isVisible());
    });
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(session.login.permission, 1);
    EXPECT_EQ(titles.last(), "Tallowick  会计期间：2012年3月   用户：张三  某某商贸有限公司");
    EXPECT_EQ(openingBalancesOpened, 1);
}

TEST_F(LoginWindowTest, ANameListedTwiceLogsInAgainstTheFirstRecord) {
    appendUser("华兴", "张三", "second", 2);
    withLoginWindow("华兴", [&](QWidget* w) {
        choose(w, 1);  // the second 张三 in the list
        type(w, "密码框", "second");
        click(w, "登陆");
        EXPECT_TRUE(w->isVisible()) << "its password is not the first record's";
        type(w, "密码框", "mima");
        click(w, "登陆");
    });
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(session.login.permission, 1);
}

TEST_F(LoginWindowTest, UnreadableSetTablesGiveTheirMessages) {
    // 基本信息 unreadable: the message, and the window never stays open.
    bool opened = false;
    {
        QObject guard;
        QTimer::singleShot(500, &guard, [&] {
            if (auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = true;
                modal->reject();
            }
        });
        LoginWindow::run(ctx, "没有这个套账", nullptr);
    }
    EXPECT_FALSE(opened);
    EXPECT_EQ(prompter.messages, QStringList{"无法读出套账数据！  请选择套账后重试！"});

    // 用户 unreadable: the message, then the window with an empty list.
    prompter.clearRecords();
    std::filesystem::remove(tablePath(session.dataDir, "华兴", file::kUsers));
    withLoginWindow("华兴", [&](QWidget* w) { EXPECT_TRUE(users(w).isEmpty()); });
    EXPECT_EQ(prompter.messages, QStringList{"无法读出套账数据！  请检查后重试！"});
}

}  // namespace
}  // namespace tw::test
