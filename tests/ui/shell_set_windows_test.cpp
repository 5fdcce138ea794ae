// The account-set chooser, the create window and deleting a set.
#include <QComboBox>
#include <QListWidget>

#include "platform/ui/date_box.h"
#include "shell/ui/create_set_window.h"
#include "shell/ui/set_chooser_window.h"
#include "shell_window_support.h"

namespace tw::test {
namespace {

class SetWindowsTest : public ShellWindowTest {
protected:
    static QStringList items(QWidget* chooser) {
        QStringList names;
        auto* list = child<QListWidget>(chooser, "套账列表框");
        for (int i = 0; list && i < list->count(); ++i) names << list->item(i)->text();
        names.sort();
        return names;
    }
    static void select(QWidget* chooser, const QString& name) {
        auto* list = child<QListWidget>(chooser, "套账列表框");
        ASSERT_NE(list, nullptr);
        const auto found = list->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name.toStdString();
        list->setCurrentItem(found.first());
    }
    // Answers the login window that opens next with a user and a password.
    void loginWhenAsked(const QString& user, const QString& password) {
        whenModalOpens([=](QWidget* login) {
            EXPECT_EQ(login->objectName(), "登录窗口");
            auto* users = child<QComboBox>(login, "用户名选择");
            ASSERT_NE(users, nullptr);
            users->setCurrentIndex(users->findText(user));
            type(login, "密码框", password);
            click(login, "登陆");
        });
    }
    void fillCreateWindow(QWidget* w, const QString& name, const QString& admin,
                          const QString& password, const QString& check) {
        type(w, "套账名称编辑框", name);
        type(w, "单位名称编辑框", "华兴商贸有限公司");
        type(w, "管理员名编辑框", admin);
        type(w, "管理密码编辑框", password);
        type(w, "密码效验编辑框", check);
    }
};

TEST_F(SetWindowsTest, ChooserListsTheSetsAndOpensNothingWithoutASelection) {
    makeSet("甲公司");
    makeSet("乙公司");
    SetChooserWindow chooser(ctx);
    chooser.show();
    // The first set listed is selected at once.
    auto* list = child<QListWidget>(&chooser, "套账列表框");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(chooser.selectedSet(), list->item(0)->text().toStdString());
    EXPECT_EQ(items(&chooser), (QStringList{"乙公司", "甲公司"}));
    list->clearSelection();
    EXPECT_TRUE(chooser.selectedSet().empty());
    const int before = visibleTopLevelCount();
    click(&chooser, "打开");
    EXPECT_TRUE(chooser.isVisible());
    EXPECT_EQ(visibleTopLevelCount(), before);
    select(&chooser, "乙公司");
    EXPECT_EQ(chooser.selectedSet(), "乙公司");
}

TEST_F(SetWindowsTest, OpeningASetLogsInClosesTheChooserAndLeadsToTheOpeningBalances) {
    makeSet("甲公司");
    SetChooserWindow chooser(ctx);
    chooser.show();
    select(&chooser, "甲公司");
    loginWhenAsked("张三", "mima");
    click(&chooser, "打开");
    EXPECT_EQ(chooser.result(), SetChooserWindow::LoggedIn);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(titles.last(), "Tallowick  会计期间：2012年3月   用户：张三  某某商贸有限公司");
    EXPECT_EQ(openingBalancesOpened, 1) << "a new set is not enabled yet";
}

TEST_F(SetWindowsTest, DoubleClickOpensAnEnabledSetWithoutOpeningBalances) {
    makeSet("甲公司");
    enable("甲公司");
    SetChooserWindow chooser(ctx);
    chooser.show();
    select(&chooser, "甲公司");
    loginWhenAsked("张三", "mima");
    auto* list = child<QListWidget>(&chooser, "套账列表框");
    const QPoint at = list->visualItemRect(list->currentItem()).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(openingBalancesOpened, 0);
}

TEST_F(SetWindowsTest, CreateWindowRefusesFileNameCharactersAsTheyAreTyped) {
    CreateSetWindow w(ctx);
    w.show();
    auto* name = child<QLineEdit>(&w, "套账名称编辑框");
    ASSERT_NE(name, nullptr);
    name->setFocus();
    QTest::keyClicks(name, "a\\b/c:d*e?f\"g<h>i|j k");
    EXPECT_EQ(name->text(), "abcdefghij k");
    auto* start = child<DateBox>(&w, "启用日期框");
    ASSERT_NE(start, nullptr);
    ASSERT_TRUE(start->day());
    EXPECT_EQ(*start->day(), today());
}

TEST_F(SetWindowsTest, CreateWindowChecksInOrderAndStaysOpen) {
    makeSet("华兴");
    CreateSetWindow w(ctx);
    w.show();
    click(&w, "确定");
    fillCreateWindow(&w, "华兴 ", "", "1", "2");  // a trailing blank still names 华兴
    click(&w, "确定");
    fillCreateWindow(&w, "新华", "", "1", "2");
    click(&w, "确定");
    fillCreateWindow(&w, "新华", "李四", "1", "2");
    click(&w, "确定");
    EXPECT_EQ(prompter.messages,
              (QStringList{"套账名称 不能为空！", "华兴  和已有套账同名，请更换！",
                           "管理员名 必须填写！", "管理密码 与 密码效验  必须相同！"}));
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(listAccountSets(session.dataDir), std::vector<std::string>{"华兴"});
}

TEST_F(SetWindowsTest, NewFromTheChooserCreatesASetAndShowsTheChooserAgain) {
    makeSet("甲公司");
    QStringList listedAfterwards;
    whenModalOpens([&](QWidget* chooser) {
        EXPECT_EQ(chooser->objectName(), "套账选择窗口");
        whenModalOpens([&](QWidget* create) {
            EXPECT_EQ(create->objectName(), "新建套账");
            fillCreateWindow(create, " 乙公司 ", "李四", "", "");  // an empty password is allowed
            whenModalOpens([&](QWidget* again) {
                listedAfterwards = items(again);
                static_cast<QDialog*>(again)->reject();
            });
            click(create, "确定");
        });
        click(chooser, "新建");
    });
    runSetChooser(ctx, nullptr);
    EXPECT_EQ(prompter.messages, QStringList{"新套账创建成功！"});
    EXPECT_EQ(listedAfterwards, (QStringList{"乙公司", "甲公司"}));
    EXPECT_FALSE(session.login.loggedIn) << "the new set is logged in to from the chooser";
}

// 删除: the login in delete mode, the permission check and the confirmation;
// the user is logged out in every case.
class DeleteSetTest : public SetWindowsTest {
protected:
    void SetUp() override {
        SetWindowsTest::SetUp();
        makeSet("甲公司");
        appendUser("甲公司", "李四", "lisi", 2);
    }
    // Runs the chooser, deletes 甲公司 as `user`; returns the sets listed by the
    // chooser shown after that (empty when none was shown again).
    QStringList deleteAs(const QString& user, const QString& password) {
        QStringList reopened;
        whenModalOpens([&, user, password](QWidget* chooser) {
            select(chooser, "甲公司");
            loginWhenAsked(user, password);
            QTimer::singleShot(0, chooser, [&, chooser] {
                click(chooser, "删除");
                if (chooser->isVisible()) {
                    static_cast<QDialog*>(chooser)->reject();
                    return;
                }
                whenModalOpens([&](QWidget* again) {
                    reopened = items(again);
                    reopened << "(reopened)";
                    static_cast<QDialog*>(again)->reject();
                });
            });
        });
        runSetChooser(ctx, nullptr);
        return reopened;
    }
    bool exists() const { return std::filesystem::exists(setFolder(session.dataDir, "甲公司")); }
    void expectLoggedOut() {
        EXPECT_FALSE(session.login.loggedIn);
        EXPECT_TRUE(session.login.userName.empty());
        EXPECT_EQ(session.login.permission, 0);
        EXPECT_EQ(titles.last(), "Tallowick    尚未登陆、请选择套帐！");
    }
};

TEST_F(DeleteSetTest, AnOrdinaryUserMayNotDelete) {
    EXPECT_TRUE(deleteAs("李四", "lisi").isEmpty());
    EXPECT_EQ(prompter.messages, QStringList{"您的权限不够！"});
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_TRUE(exists());
    expectLoggedOut();
    EXPECT_EQ(openingBalancesOpened, 0) << "a login in delete mode stops after the check";
}

TEST_F(DeleteSetTest, OpeningAfterARefusedDeletionIsALoginToWork) {
    SetChooserWindow chooser(ctx);
    chooser.show();
    select(&chooser, "甲公司");
    loginWhenAsked("李四", "lisi");
    click(&chooser, "删除");
    EXPECT_EQ(prompter.messages, QStringList{"您的权限不够！"});
    EXPECT_TRUE(chooser.isVisible());
    loginWhenAsked("李四", "lisi");
    click(&chooser, "打开");
    EXPECT_EQ(chooser.result(), SetChooserWindow::LoggedIn);
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(openingBalancesOpened, 1) << "the deletion's purpose ended with its login";
}

TEST_F(DeleteSetTest, AnsweringNoOrClosingTheQuestionKeepsTheSet) {
    deleteAs("张三", "mima");  // no answer queued: the window was closed
    EXPECT_EQ(prompter.questions, QStringList{"是否要删除  甲公司"});
    EXPECT_TRUE(exists());
    expectLoggedOut();
    prompter.confirmAnswers.enqueue(false);
    deleteAs("张三", "mima");
    EXPECT_TRUE(exists());
}

TEST_F(DeleteSetTest, YesDeletesTheFolderAndReopensTheChooser) {
    makeSet("乙公司");
    prompter.confirmAnswers.enqueue(true);
    EXPECT_EQ(deleteAs("张三", "mima"), (QStringList{"乙公司", "(reopened)"}));
    EXPECT_FALSE(exists());
    expectLoggedOut();
}

TEST_F(DeleteSetTest, AFailedLoginDeletesNothing) {
    whenModalOpens([&](QWidget* chooser) {
        select(chooser, "甲公司");
        whenModalOpens([&](QWidget* login) {
            type(login, "密码框", "错");
            click(login, "登陆");  // refused; the window stays
            static_cast<QDialog*>(login)->reject();
        });
        QTimer::singleShot(0, chooser, [&, chooser] {
            click(chooser, "删除");
            static_cast<QDialog*>(chooser)->reject();
        });
    });
    runSetChooser(ctx, nullptr);
    EXPECT_EQ(prompter.messages, QStringList{"密码 或 用户名 不正确！"});
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_TRUE(exists());
    expectLoggedOut();
}

}  // namespace
}  // namespace tw::test
