#pragma once
// Window tests of the account-set, login, user and backup windows: real sets
// in a throw-away account-set directory, a scripted prompter, controls found
// by their object names.

#include <QAbstractButton>
#include <QLineEdit>
#include <QTest>

#include "scripted_prompter.h"
#include "shell/account_sets.h"
#include "shell/login.h"
#include "shell/password_hash.h"
#include "shell/ui/app_context.h"
#include "shell/ui/login_window.h"
#include "startup/start_up.h"
#include "storage/dates.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/schemas.h"
#include "test_support.h"

namespace tw::test {

class ShellWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.dataDir = dataDir.path();
        prepareDataDir(session.dataDir);
        ctx.refreshTitle = [this] { titles << QString::fromStdString(mainWindowTitle(session.login)); };
        ctx.openOpeningBalances = [this](QWidget*) { ++openingBalancesOpened; };
    }

    // A set started in March 2012 with its administrator.
    std::string makeSet(const std::string& name, const std::string& admin = "张三",
                        const std::string& password = "mima") {
        NewSetRequest r{name, "某某商贸有限公司", admin, password, password, dayNumber(2012, 3, 15)};
        const auto made = createAccountSet(session.dataDir, r);
        EXPECT_TRUE(made.ok) << made.message;
        return made.value.setPassword;
    }
    // A user record written directly, as no window would (a name twice, say).
    void appendUser(const std::string& set, const std::string& name, const std::string& password,
                    int permission) {
        RecordStore store(session.dataDir);
        const std::string setPassword = readBasicInfo(store, session.dataDir, set).setPassword;
        Action action(store);
        ASSERT_TRUE(store.openTable(tablePath(session.dataDir, set, file::kUsers), setPassword));
        store.appendRecord({name, hashPassword(password), permission});
        action.commit();
    }
    // Logs `user` in as the login window would.
    void logInAs(const std::string& set, const std::string& user, const std::string& password) {
        RecordStore store(session.dataDir);
        ASSERT_TRUE(beginLogin(store, session, set).ok);
        ASSERT_TRUE(logIn(store, session, {.userName = user, .password = password}).ok);
    }
    void enable(const std::string& set) {
        RecordStore store(session.dataDir);
        Action action(store);
        ASSERT_TRUE(store.openTable(tablePath(session.dataDir, set, file::kBasicInfo), kFixedPassword));
        store.writeField(field::kEnabled, true);
        action.commit();
    }

    static void click(QWidget* window, const char* name) {
        auto* b = child<QAbstractButton>(window, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr) << name;
        ASSERT_TRUE(b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static void type(QWidget* window, const char* box, const QString& text) {
        auto* edit = child<QLineEdit>(window, QString::fromUtf8(box));
        ASSERT_NE(edit, nullptr) << box;
        edit->setText(text);
    }
    static QString text(QWidget* window, const char* box) {
        auto* edit = child<QLineEdit>(window, QString::fromUtf8(box));
        return edit ? edit->text() : QStringLiteral("<missing>");
    }
    // The user the login window `window` has chosen.
    static std::string chosenUser(QWidget* window) {
        auto* login = qobject_cast<LoginWindow*>(window);
        return login ? login->chosenUser() : "<not the login window>";
    }

    TempDataDir dataDir;
    Session session;
    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
    QStringList titles;  // every title the main window was asked to show
    int openingBalancesOpened = 0;
};

}  // namespace tw::test
