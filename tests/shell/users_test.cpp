// What the users table keeps: hashes, never the typed text, and only text that
// GBK and the field can hold.
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
    Session admin;
};

TEST_F(UsersTest, TextTheTableCannotHoldIsRefusedAndNothingIsWritten) {
    const auto before = tableRows(dataDir(), tablePath(dataDir(), "华兴", "用户"), admin.login.setPassword);
    EXPECT_EQ(addUser(dataDir(), admin, {"王😀", "a", "a"}).message,
              "用户名 含有无法保存的字符，请更换！");
    EXPECT_EQ(addUser(dataDir(), admin, {"王五", "一二三四五六七八九十1", "一二三四五六七八九十1"}).message,
              "密码 不能超过20个字节（10个汉字）！");
    EXPECT_EQ(changePassword(dataDir(), admin, "mima", "一二三四五六七八九十1", "一二三四五六七八九十1")
                  .message,
              "密码 不能超过20个字节（10个汉字）！");
    EXPECT_EQ(tableRows(dataDir(), tablePath(dataDir(), "华兴", "用户"), admin.login.setPassword), before);
    // A name that could reach outside the account-set directory reads nothing.
    Session probe;
    probe.dataDir = dataDir();
    RecordStore store(dataDir());
    EXPECT_FALSE(beginLogin(store, probe, "../华兴").ok);
}

TEST_F(UsersTest, PasswordsAreSaltedHashesAndAnEmptyOneMatchesOnlyAnEmptyBox) {
    ASSERT_TRUE(addUser(dataDir(), admin, {"李四", "mima", "mima"}).ok);
    ASSERT_TRUE(addUser(dataDir(), admin, {"王五", "", ""}).ok);
    RecordStore store(dataDir());
    ASSERT_TRUE(store.openTable(tablePath(dataDir(), "华兴", "用户"), admin.login.setPassword));
    const std::string first = store.readField("密码").text();
    store.skipRecords(1);
    const std::string second = store.readField("密码").text();
    store.skipRecords(1);
    const std::string empty = store.readField("密码").text();
    EXPECT_NE(first, second) << "same password, different salts";
    EXPECT_EQ(first.rfind("$argon2id$", 0), 0u);
    EXPECT_FALSE(verifyPassword("mima", "mima")) << "a plain stored text never matches";
    EXPECT_TRUE(verifyPassword(empty, ""));
    EXPECT_FALSE(verifyPassword(empty, " "));
}

}  // namespace
}  // namespace tw::test
