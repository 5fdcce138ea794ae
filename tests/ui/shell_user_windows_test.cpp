// The new-user window, the user list and the password window.
#include <QListWidget>

#include "shell/ui/new_user_window.h"
#include "shell/ui/password_window.h"
#include "shell/ui/user_list_window.h"
#include "shell/users.h"
#include "shell_window_support.h"

namespace tw::test {
namespace {

class UserWindowsTest : public ShellWindowTest {
protected:
    void SetUp() override {
        ShellWindowTest::SetUp();
        makeSet("华兴");
        logInAs("华兴", "张三", "mima");
    }
    std::vector<std::string> names() {
        RecordStore store(session.dataDir);
        return userNames(store, session);
    }
    bool canLogIn(const std::string& user, const std::string& password) {
        Session probe;
        probe.dataDir = session.dataDir;
        RecordStore store(session.dataDir);
        beginLogin(store, probe, "华兴");
        return logIn(store, probe, {.userName = user, .password = password}).ok;
    }
};

TEST_F(UserWindowsTest, NewUserChecksThenAsksThenAddsAndEmptiesTheBoxes) {
    NewUserWindow w(ctx);
    w.show();
    click(&w, "确定");
    type(&w, "用户名编辑框", "李四");
    type(&w, "用户密码编辑框", "a");
    type(&w, "用户密码效验编辑框", "b");
    click(&w, "确定");
    type(&w, "用户名编辑框", "  张三 ");
    type(&w, "用户密码效验编辑框", "a");
    click(&w, "确定");
    EXPECT_EQ(prompter.messages, (QStringList{"用户名 必须填写！", "密码 与 效验  必须相同！",
                                              "新用户名与已有用户名不能相同！"}));
    EXPECT_TRUE(prompter.questions.isEmpty());

    // 不是 adds nothing and keeps what was typed.
    prompter.clearRecords();
    type(&w, "用户名编辑框", " 李四 ");
    click(&w, "确定");
    EXPECT_EQ(prompter.questions, QStringList{"是否创建用户：李四  ？\r\n创建后将不能再删除！"});
    EXPECT_EQ(names(), std::vector<std::string>{"张三"});
    EXPECT_EQ(text(&w, "用户名编辑框"), " 李四 ");
    EXPECT_EQ(text(&w, "用户密码编辑框"), "a");

    prompter.confirmAnswers.enqueue(true);
    click(&w, "确定");
    EXPECT_EQ(prompter.messages, QStringList{"李四 用户创建完毕！"});
    EXPECT_EQ(names(), (std::vector<std::string>{"张三", "李四"}));
    for (const char* box : {"用户名编辑框", "用户密码编辑框", "用户密码效验编辑框"})
        EXPECT_EQ(text(&w, box), "") << box;
    EXPECT_TRUE(w.isVisible()) << "the window stays for the next user";
    EXPECT_TRUE(canLogIn("李四", "a"));
}

TEST_F(UserWindowsTest, UserListShowsTheNamesAndPicksOneByDoubleClickOrEnter) {
    appendUser("华兴", "李四", "", 2);
    NewUserWindow w(ctx);
    w.show();
    QStringList listed;
    whenModalOpens([&](QWidget* list) {
        EXPECT_EQ(list->objectName(), "用户列表窗口");
        auto* box = child<QListWidget>(list, "用户列表框");
        ASSERT_NE(box, nullptr);
        for (int i = 0; i < box->count(); ++i) listed << box->item(i)->text();
        QListWidgetItem* second = box->item(1);
        const QPoint at = box->visualItemRect(second).center();
        QTest::mouseClick(box->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(box->viewport(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(list->isVisible());
        auto* window = qobject_cast<UserListWindow*>(list);
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(window->pickedUser(), std::optional<std::string>("李四"));
    });
    click(&w, "用户列表");
    EXPECT_EQ(listed, (QStringList{"张三", "李四"}));

    // From the keyboard: the first name is current, Down and Enter pick the next.
    whenModalOpens([&](QWidget* list) {
        auto* box = child<QListWidget>(list, "用户列表框");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->currentRow(), 0);
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Return);
        EXPECT_FALSE(list->isVisible());
        if (list->isVisible()) qobject_cast<QDialog*>(list)->reject();  // not to hang the test
        EXPECT_EQ(qobject_cast<UserListWindow*>(list)->pickedUser(),
                  std::optional<std::string>("李四"));
    });
    click(&w, "用户列表");
}

TEST_F(UserWindowsTest, PasswordWindowChecksAndChanges) {
    PasswordWindow w(ctx);
    w.show();
    type(&w, "原密码编辑框", "mima");
    type(&w, "新密码编辑框", "new1");
    type(&w, "重复新编辑框", "new2");
    click(&w, "确定");
    type(&w, "原密码编辑框", "wrong");
    type(&w, "重复新编辑框", "new1");
    click(&w, "确定");
    EXPECT_EQ(prompter.messages, (QStringList{"新密码输入的两次结果不同！", "原密码不正确！"}));
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(canLogIn("张三", "mima")) << "the old password is kept";

    type(&w, "原密码编辑框", "mima");
    click(&w, "确定");
    EXPECT_EQ(prompter.messages.last(), "新密码修改成功！");
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(canLogIn("张三", "new1"));
    EXPECT_FALSE(canLogIn("张三", "mima"));
}

TEST_F(UserWindowsTest, PasswordWindowAcceptsAnEmptyNewPasswordAndCancelCloses) {
    PasswordWindow w(ctx);
    w.show();
    type(&w, "原密码编辑框", "mima");
    click(&w, "确定");
    EXPECT_EQ(prompter.messages, QStringList{"新密码修改成功！"});
    EXPECT_TRUE(canLogIn("张三", ""));

    PasswordWindow again(ctx);
    again.show();
    click(&again, "取消");
    EXPECT_FALSE(again.isVisible());
}

}  // namespace
}  // namespace tw::test
