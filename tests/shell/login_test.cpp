// Logging in: what the login window reads and which record a login checks.
#include "shell/password_hash.h"
#include "shell/users.h"
#include "shell_fixture.h"

namespace tw::test {
namespace {

class LoginTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        made = create(setRequest("华兴", "张三", "mima"));
    }
    // Appends a user record directly, as another program could have.
    void appendUser(const std::string& name, const std::string& password, int permission) {
        RecordStore store(dataDir());
        Action action(store);
        ASSERT_TRUE(store.openTable(tablePath(dataDir(), "华兴", "用户"), made.setPassword));
        store.appendRecord({name, hashPassword(password), permission});
        action.commit();
    }
    LoginOutcome tryLogin(LoginState& login, const std::string& user, const std::string& pw) {
        EXPECT_TRUE(beginLogin(dataDir(), login, "华兴").ok);
        login.chosenUserName = user;
        return logIn(dataDir(), login, pw);
    }
    CreateSetOutcome made;
};

TEST_F(LoginTest, OpeningFillsTheStateAndListsUsersInTableOrder) {
    appendUser("李四", "x", 2);
    appendUser("王五", "y", 2);
    LoginState login;
    login.loggedIn = true;  // whatever came before
    login.chosenUserName = "旧";
    const BeginLoginOutcome begun = beginLogin(dataDir(), login, "华兴");
    ASSERT_TRUE(begun.ok);
    EXPECT_EQ(begun.userNames, (std::vector<std::string>{"张三", "李四", "王五"}));
    EXPECT_FALSE(login.loggedIn);
    EXPECT_TRUE(login.chosenUserName.empty());
    EXPECT_EQ(login.setName, "华兴");
    EXPECT_EQ(login.companyName, "某某商贸有限公司");
    EXPECT_EQ(login.setPassword, made.setPassword);
    EXPECT_EQ(login.period, dayNumber(2012, 3, 15));
}

TEST_F(LoginTest, SuccessFillsUserAndPermissionAndTheTitleHasNoLeadingZero) {
    LoginState login;
    const LoginOutcome out = tryLogin(login, "张三", "mima");
    ASSERT_TRUE(out.ok);
    EXPECT_TRUE(login.loggedIn);
    EXPECT_EQ(login.userName, "张三");
    EXPECT_EQ(login.permission, 1);
    EXPECT_EQ(mainWindowTitle(login), "Tallowick  会计期间：2012年3月   用户：张三  某某商贸有限公司");
    // A new set is not enabled yet: the opening balances come next.
    EXPECT_TRUE(out.openOpeningBalances);
    login.deleteMode = true;
    EXPECT_FALSE(tryLogin(login, "张三", "mima").openOpeningBalances) << "not when deleting";
}

TEST_F(LoginTest, WrongPasswordUnknownUserAndNoChoiceAreTheSameRefusal) {
    LoginState login;
    EXPECT_EQ(tryLogin(login, "张三", "MIMA").message, "密码 或 用户名 不正确！");
    EXPECT_EQ(tryLogin(login, "张三", "mima ").message, "密码 或 用户名 不正确！");
    EXPECT_EQ(tryLogin(login, "赵六", "mima").message, "密码 或 用户名 不正确！");
    EXPECT_EQ(tryLogin(login, "", "").message, "密码 或 用户名 不正确！");
    EXPECT_FALSE(login.loggedIn);
    EXPECT_TRUE(login.userName.empty());
    EXPECT_EQ(login.permission, 0);
}

TEST_F(LoginTest, ANameListedTwiceLogsInAgainstTheFirstRecord) {
    appendUser("张三", "second", 2);
    LoginState login;
    EXPECT_FALSE(tryLogin(login, "张三", "second").ok);
    const LoginOutcome out = tryLogin(login, "张三", "mima");
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(login.permission, 1);
}

TEST_F(LoginTest, AnEmptyPasswordMatchesOnlyAnEmptyBox) {
    appendUser("空口令", "", 2);
    LoginState login;
    EXPECT_FALSE(tryLogin(login, "空口令", " ").ok);
    EXPECT_TRUE(tryLogin(login, "空口令", "").ok);
}

TEST_F(LoginTest, UnreadableTablesGiveTheirOwnMessages) {
    LoginState login;
    BeginLoginOutcome missing = beginLogin(dataDir(), login, "不存在");
    EXPECT_EQ(missing.message, "无法读出套账数据！  请选择套账后重试！");
    EXPECT_TRUE(missing.closeWindow);

    fs::remove(tablePath(dataDir(), "华兴", "用户"));
    const BeginLoginOutcome noUsers = beginLogin(dataDir(), login, "华兴");
    EXPECT_EQ(noUsers.message, "无法读出套账数据！  请检查后重试！");
    EXPECT_FALSE(noUsers.closeWindow) << "the window stays with an empty list";
    EXPECT_TRUE(noUsers.userNames.empty());

    // A folder name that could reach outside the account-set directory reads nothing.
    EXPECT_FALSE(beginLogin(dataDir(), login, "../华兴").ok);
}

TEST_F(LoginTest, AnEnabledSetDoesNotAskForOpeningBalances) {
    {
        RecordStore store(dataDir());
        Action action(store);
        ASSERT_TRUE(store.openTable(tablePath(dataDir(), "华兴", "基本信息"), kFixedPassword));
        store.writeField("是否启用", true);
        action.commit();
    }
    LoginState login;
    const LoginOutcome out = tryLogin(login, "张三", "mima");
    EXPECT_TRUE(out.ok);
    EXPECT_FALSE(out.openOpeningBalances);
}

}  // namespace
}  // namespace tw::test
