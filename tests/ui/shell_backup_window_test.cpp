// The backup-and-restore window: its radio buttons, file dialogs and the
// logout that always follows.
#include <fstream>

#include "shell/backup.h"
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
    // Archives lie outside the account-set directory, where backups may go.
    QString archive(const char* name) {
        return QString::fromStdString(pathText(outside.path() / name));
    }
    std::string setPassword;
    TempDataDir outside;
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
    std::ofstream(archive("坏.zip").toStdString()) << "PK not an archive";
    BackupWindow w(ctx);
    w.show();
    prompter.openFileAnswers.enqueue(archive("坏.zip"));
    click(&w, "恢复单选框");
    click(&w, "确定");
    EXPECT_EQ(prompter.messages, QStringList{"备份文件已损坏，无法恢复！  套账未作任何改动！"});
    EXPECT_EQ(names(), std::vector<std::string>{"张三"});
    expectLoggedOutAndClosed(&w);
}

// A restore replaces the set's users: an ordinary user is refused before any
// dialog, and an archive of another company's set is restored only when the
// administrator says yes to the question naming both companies.
TEST_F(BackupWindowTest, RestoreIsForAdministratorsAndAsksAboutAnotherSet) {
    RecordStore store(session.dataDir);
    ASSERT_TRUE(addUser(store, session, {"李四", "", ""}).ok);
    logInAs("华兴", "李四", "");
    {
        BackupWindow w(ctx);
        w.show();
        click(&w, "恢复单选框");
        click(&w, "确定");
        EXPECT_TRUE(prompter.openRequests.isEmpty());
        EXPECT_EQ(prompter.messages, QStringList{"您的权限不够！"});
        expectLoggedOutAndClosed(&w);
    }
    EXPECT_EQ(names(), (std::vector<std::string>{"张三", "李四"}));

    // Another company's set, backed up outside the directory.
    NewSetRequest other{"别家", "别家贸易公司", "王五", "w", "w", dayNumber(2012, 1, 1)};
    ASSERT_TRUE(createAccountSet(session.dataDir, other).ok);
    ASSERT_TRUE(backupSet(session.dataDir, "别家", outside.path() / "别家.zip").ok);
    const QString question = QString::fromStdString(
        otherSetQuestion("别家贸易公司", "某某商贸有限公司"));
    for (const bool yes : {false, true}) {
        prompter.clearRecords();
        logInAs("华兴", "张三", "mima");
        BackupWindow w(ctx);
        w.show();
        prompter.openFileAnswers.enqueue(archive("别家.zip"));
        prompter.confirmAnswers.enqueue(yes);
        click(&w, "恢复单选框");
        click(&w, "确定");
        EXPECT_EQ(prompter.questions, QStringList{question});
        expectLoggedOutAndClosed(&w);
        if (!yes) {
            EXPECT_TRUE(prompter.messages.isEmpty()) << "不是: nothing to say";
            EXPECT_EQ(names(), (std::vector<std::string>{"张三", "李四"}));
        }
    }
    RecordStore after(session.dataDir);
    EXPECT_EQ(readBasicInfo(after, session.dataDir, "华兴").companyName, "别家贸易公司");
}

}  // namespace
}  // namespace tw::test
