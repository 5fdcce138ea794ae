// The backup-and-restore window: its radio buttons, file dialogs and the
// logout that always follows.
#include <QDate>
#include <QDir>
#include <QFile>
#include <QSettings>
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
    EXPECT_EQ(prompter.messages, QStringList{QStringLiteral("备份成功！  套账 华兴 已备份到：\n") +
                                             archive("备份.zip")})
        << "success is announced, naming the file";
    prompter.clearRecords();
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
    EXPECT_EQ(prompter.messages,
              QStringList{QStringLiteral("恢复成功！  套账 华兴 已从以下备份文件恢复：\n") +
                          archive("备份.zip")});
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

// The save dialog suggests "<set>-<yyyymmdd>.zip" in the folder of the last
// archive (the home folder at first); the open dialog starts there too; the
// folder of an archive made or restored is kept in the program's settings
// file for the next run.
class BackupFolderTest : public BackupWindowTest {
protected:
    void SetUp() override {
        BackupWindowTest::SetUp();
        QSettings(QStringLiteral("Tallowick"), QStringLiteral("Tallowick")).clear();
    }
    // Runs the window once with `choice`, answering its dialog with `file`.
    void run(const char* choice, const QString& file) {
        if (!session.login.loggedIn) logInAs("华兴", "张三", "mima");
        BackupWindow w(ctx);
        w.show();
        if (std::string(choice) == "备份单选框") prompter.saveFileAnswers.enqueue(file);
        else prompter.openFileAnswers.enqueue(file);
        click(&w, choice);
        click(&w, "确定");
        expectLoggedOutAndClosed(&w);
    }
    static QString today() { return QDate::currentDate().toString(QStringLiteral("yyyyMMdd")); }
    TempDataDir archives;  // a folder outside the account-set directory
};

TEST_F(BackupFolderTest, SuggestsSetNameAndDateInTheFolderLastUsed) {
    run("备份单选框", QString());  // cancelled
    ASSERT_EQ(prompter.saveRequests.size(), 1);
    EXPECT_EQ(prompter.saveRequests[0].start,
              QDir(QDir::homePath()).filePath(QStringLiteral("华兴-") + today() + ".zip"));

    const QString folder = QString::fromStdString(pathText(archives.path()));
    const QString elsewhere = QDir(folder).filePath(QStringLiteral("华兴-旧.zip"));
    run("备份单选框", elsewhere);
    EXPECT_TRUE(std::filesystem::exists(elsewhere.toStdString()));
    run("备份单选框", QString());
    ASSERT_EQ(prompter.saveRequests.size(), 3);
    EXPECT_EQ(prompter.saveRequests[2].start,
              QDir(folder).filePath(QStringLiteral("华兴-") + today() + ".zip"));
    run("恢复单选框", QString());
    ASSERT_EQ(prompter.openRequests.size(), 1);
    EXPECT_EQ(prompter.openRequests[0].start, folder);

    // Kept in the settings file, for the next start of the program.
    QSettings settings(QStringLiteral("Tallowick"), QStringLiteral("Tallowick"));
    settings.sync();
    EXPECT_EQ(settings.value(QStringLiteral("backup/folder")).toString(), folder);
    QFile file(settings.fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << settings.fileName().toStdString();
    EXPECT_TRUE(file.readAll().contains(folder.toUtf8()));
}

TEST_F(BackupFolderTest, AFolderThatIsGoneFallsBackToTheHomeFolder) {
    const std::filesystem::path gone = archives.path() / "gone";
    std::filesystem::create_directory(gone);
    run("备份单选框", QString::fromStdString(pathText(gone / "a.zip")));
    std::filesystem::remove_all(gone);
    run("恢复单选框", QString());
    ASSERT_EQ(prompter.openRequests.size(), 1);
    EXPECT_EQ(prompter.openRequests[0].start, QDir::homePath());
}

}  // namespace
}  // namespace tw::test
