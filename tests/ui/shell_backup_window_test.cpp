// The backup-and-restore window: its radio buttons, file dialogs and the
// logout that always follows.
#include <fstream>

#include "shell/ui/backup_window.h"
#include "shell/users.h"
#include "shell_window_support.h"

namespace tw::test {
namespace {

class BackupWindowTest : public ShellWindowTest {
protected:
    void SetUp() override {
        ShellWindowTest::SetUp();
        makeSet("华兴");
        logInAs("华兴", "张三", "mima");
        setPassword = session.login.setPassword;
    }
    std::vector<std::string> names() {
        RecordStore store(session.dataDir);
        Session s = session;
        s.login.setName = "华兴";
        s.login.setPassword = setPassword;
        return userNames(store, s);
    }
    void expectLoggedOutAndClosed(QWidget* w) {
        EXPECT_FALSE(w->isVisible());
        EXPECT_FALSE(session.login.loggedIn);
        EXPECT_TRUE(session.login.setName.empty());
        EXPECT_EQ(titles.last(), "Tallowick    尚未登陆、请选择套帐！");
    }
    QString archive(const char* name) {
        return QString::fromStdString(pathText(session.dataDir / name));
    }
    std::string setPassword;
};

TEST_F(BackupWindowTest, ConfirmNeedsARadioButtonFirst) {
    BackupWindow w(ctx);
    w.show();
    auto* confirm = child<QAbstractButton>(&w, "确定");
    ASSERT_NE(confirm, nullptr);
    EXPECT_FALSE(confirm->isEnabled());
    click(&w, "恢复单选框");
    EXPECT_TRUE(confirm->isEnabled());
}

TEST_F(BackupWindowTest, CancellingTheSaveDialogStillLogsOutAndCloses) {
    BackupWindow w(ctx);
    w.show();
    click(&w, "备份单选框");
    click(&w, "确定");
    ASSERT_EQ(prompter.saveRequests.size(), 1);
    EXPECT_EQ(prompter.saveRequests[0].filter, "*.zip");
    EXPECT_EQ(prompter.saveRequests[0].defaultSuffix, "zip");
    EXPECT_TRUE(prompter.messages.isEmpty());
    expectLoggedOutAndClosed(&w);
}

TEST_F(BackupWindowTest, BackupThenRestoreBringsTheUsersBack) {
    {
        BackupWindow w(ctx);
        w.show();
        prompter.saveFileAnswers.enqueue(archive("备份.zip"));
        click(&w, "备份单选框");
        click(&w, "确定");
        expectLoggedOutAndClosed(&w);
    }
    EXPECT_TRUE(prompter.messages.isEmpty()) << "success is not announced";
    logInAs("华兴", "张三", "mima");
    RecordStore store(session.dataDir);
    ASSERT_TRUE(addUser(store, session, {"李四", "", ""}).ok);

    BackupWindow w(ctx);
    w.show();
    prompter.openFileAnswers.enqueue(archive("备份.zip"));
    click(&w, "恢复单选框");
    click(&w, "确定");
    ASSERT_EQ(prompter.openRequests.size(), 1);
    EXPECT_EQ(prompter.openRequests[0].filter, "*.zip");
    EXPECT_TRUE(prompter.messages.isEmpty());
    EXPECT_EQ(names(), std::vector<std::string>{"张三"});
    expectLoggedOutAndClosed(&w);
}

TEST_F(BackupWindowTest, ADamagedArchiveIsReportedAndChangesNothing) {
    std::ofstream(session.dataDir / "坏.zip") << "PK not an archive";
    BackupWindow w(ctx);
    w.show();
    prompter.openFileAnswers.enqueue(archive("坏.zip"));
    click(&w, "恢复单选框");
    click(&w, "确定");
    EXPECT_EQ(prompter.messages, QStringList{"备份文件已损坏，无法恢复！  套账未作任何改动！"});
    EXPECT_EQ(names(), std::vector<std::string>{"张三"});
    expectLoggedOutAndClosed(&w);
}

}  // namespace
}  // namespace tw::test
