// Adding users and changing passwords in a set's 用户 table.
#include "shell/password_hash.h"
#include "shell/users.h"
#include "shell_fixture.h"

namespace tw::test {
namespace {

class UsersTest : public ShellTest {
protected:
    void SetUp() override {
        ShellTest::SetUp();
        create(setRequest("华兴", "张三", "mima"));
        admin = loggedIn(dataDir(), "华兴", "张三", "mima");
    }
    std::vector<std::string> usersTable() {
        return tableRows(dataDir(), tablePath(dataDir(), "华兴", "用户"), admin.setPassword);
    }
    LoginState admin;
};

TEST_F(UsersTest, AnAddedUserHasPermissionTwoAndCannotDeleteSets) {
    const UserOutcome out = addUser(dataDir(), admin, {"  李四 ", "lisi", "lisi"});
    ASSERT_TRUE(out.ok) << out.message;
    EXPECT_EQ(out.message, "李四 用户创建完毕！");
    EXPECT_EQ(listUsers(dataDir(), "华兴", admin.setPassword).names,
              (std::vector<std::string>{"张三", "李四"}));

    const LoginState clerk = loggedIn(dataDir(), "华兴", "李四", "lisi");
    EXPECT_EQ(clerk.permission, 2);
    EXPECT_EQ(checkDeletePermission(clerk).message, "您的权限不够！");
}

TEST_F(UsersTest, NewUserChecksAndTheirOrder) {
    const auto before = usersTable();
    struct Case {
        NewUserRequest request;
        const char* message;
    };
    const Case cases[] = {
        {{"", "a", "b"}, "用户名 必须填写！"},
        {{"   ", "a", "a"}, "用户名 必须填写！"},
        {{"李四", "a", "b"}, "密码 与 效验  必须相同！"},
        {{" 张三  ", "a", "a"}, "新用户名与已有用户名不能相同！"},  // blanks around an existing name
        {{"王😀", "a", "a"}, "用户名 含有无法保存的字符，请更换！"},
        {{"王五", "一二三四五六七八九十1", "一二三四五六七八九十1"},
         "密码 不能超过20个字节（10个汉字）！"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(checkNewUser(dataDir(), admin, c.request).message, c.message);
        EXPECT_EQ(addUser(dataDir(), admin, c.request).message, c.message);
    }
    EXPECT_EQ(usersTable(), before);
    EXPECT_EQ(newUserQuestion("王五"), "是否创建用户：王五  ？\r\n创建后将不能再删除！");
}

TEST_F(UsersTest, ChangingThePasswordNeedsTheOldOne) {
    EXPECT_EQ(changePassword(dataDir(), admin, "mima", "new1", "new2").message,
              "新密码输入的两次结果不同！");
    EXPECT_EQ(changePassword(dataDir(), admin, "wrong", "new", "new").message, "原密码不正确！");
    EXPECT_TRUE(loggedIn(dataDir(), "华兴", "张三", "mima").loggedIn) << "old password kept";

    const UserOutcome out = changePassword(dataDir(), admin, "mima", "新口令", "新口令");
    EXPECT_TRUE(out.ok);
    EXPECT_EQ(out.message, "新密码修改成功！");
    LoginState login;
    beginLogin(dataDir(), login, "华兴");
    login.chosenUserName = "张三";
    EXPECT_FALSE(logIn(dataDir(), login, "mima").ok);
    EXPECT_TRUE(logIn(dataDir(), login, "新口令").ok);
}

TEST_F(UsersTest, AnEmptyNewPasswordIsAccepted) {
    ASSERT_TRUE(changePassword(dataDir(), admin, "mima", "", "").ok);
    EXPECT_TRUE(loggedIn(dataDir(), "华兴", "张三", "").loggedIn);
}

TEST_F(UsersTest, PasswordsAreSaltedHashesNeverTheTypedText) {
    ASSERT_TRUE(addUser(dataDir(), admin, {"李四", "mima", "mima"}).ok);
    RecordStore store(dataDir());
    ASSERT_TRUE(store.openTable(tablePath(dataDir(), "华兴", "用户"), admin.setPassword));
    const std::string first = store.readField("密码").text();
    store.skipRecords(1);
    const std::string second = store.readField("密码").text();
    EXPECT_NE(first, second) << "same password, different salts";
    EXPECT_EQ(first.rfind("$argon2id$", 0), 0u);
    EXPECT_FALSE(verifyPassword("mima", "mima")) << "a plain stored text never matches";
}

}  // namespace
}  // namespace tw::test
