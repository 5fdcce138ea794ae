// tallowick-cli driven as a user would from a shell: exact Chinese output and
// exit status, then the table files reopened.
#include "../support/cli_runner.h"
#include "shell/password_hash.h"
#include "shell_fixture.h"
#include "zip_fixture.h"

namespace tw::test {
namespace {

class ShellCliTest : public ::testing::Test {
protected:
    CliResult cli(const std::vector<std::string>& args) { return runCli(dir.path(), args); }
    void expectRefused(const CliResult& r, const std::string& message) {
        EXPECT_NE(r.status, 0);
        EXPECT_EQ(r.err, message + "\n");
        EXPECT_EQ(r.out, "");
    }
    void expectDone(const CliResult& r, const std::string& out) {
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out, out);
    }
    void makeSet() {
        expectDone(cli({"set", "create", " 华兴商贸 ", "--company", "华兴商贸有限公司", "--admin",
                        "张三", "--password", "mima", "--start", "2012-03-01"}),
                   "新套账创建成功！\n");
    }
    fs::path folder() const { return setFolder(dir.path(), "华兴商贸"); }
    std::string setPassword() const { return setPasswordOf(dir.path(), "华兴商贸"); }
    TempDir dir;
};

TEST_F(ShellCliTest, CreateThenLoginPrintsTheTitle) {
    makeSet();
    expectDone(cli({"sets"}), "华兴商贸\n");
    expectDone(cli({"login", "华兴商贸", "--user", "张三", "--password", "mima"}),
               "Tallowick  会计期间：2012年3月   用户：张三  华兴商贸有限公司\n");
    const auto basic = tableRows(dir.path(), folder() / "基本信息", kFixedPassword);
    ASSERT_EQ(basic.size(), 1u);
    EXPECT_EQ(basic[0].rfind("华兴商贸有限公司|", 0), 0u);

    expectRefused(cli({"set", "create", "华兴商贸 ", "--admin", "李四"}),
                  "华兴商贸  和已有套账同名，请更换！");
    expectRefused(cli({"set", "create", "新", "--admin", ""}), "管理员名 必须填写！");
    expectRefused(cli({"set", "create", "新", "--admin", "a", "--start", "2012-02-30"}),
                  "启用日期 不是有效的日期：2012-02-30");
    expectRefused(cli({"login", "华兴商贸", "--user", "张三", "--password", "错"}),
                  "密码 或 用户名 不正确！");
    expectRefused(cli({"login", "没有", "--user", "张三", "--password", "mima"}),
                  "无法读出套账数据！  请选择套账后重试！");
}

TEST_F(ShellCliTest, UsersPasswordsAndDeletion) {
    makeSet();
    expectDone(cli({"user", "add", "华兴商贸", " 李四 ", "--password", "lisi", "--as", "张三",
                    "--as-password", "mima"}),
               "李四 用户创建完毕！\n");
    expectRefused(cli({"user", "add", "华兴商贸", "李四", "--password", "x", "--as", "张三",
                       "--as-password", "mima"}),
                  "新用户名与已有用户名不能相同！");
    const auto users = tableRows(dir.path(), folder() / "用户", setPassword());
    ASSERT_EQ(users.size(), 2u);
    EXPECT_EQ(users[1].substr(0, users[1].find('|')), "李四");
    EXPECT_EQ(users[1].substr(users[1].rfind('|') + 1), "2.000000");

    expectDone(cli({"passwd", "华兴商贸", "--user", "李四", "--old", "lisi", "--new", "新的"}),
               "新密码修改成功！\n");
    expectRefused(cli({"login", "华兴商贸", "--user", "李四", "--password", "lisi"}),
                  "密码 或 用户名 不正确！");
    expectDone(cli({"login", "华兴商贸", "--user", "李四", "--password", "新的"}),
               "Tallowick  会计期间：2012年3月   用户：李四  华兴商贸有限公司\n");

    expectRefused(cli({"set", "delete", "华兴商贸", "--user", "李四", "--password", "新的"}),
                  "您的权限不够！");
    expectRefused(cli({"set", "delete", "华兴商贸", "--user", "张三", "--password", "x"}),
                  "密码 或 用户名 不正确！");
    EXPECT_TRUE(fs::exists(folder()));
    expectDone(cli({"set", "delete", "华兴商贸", "--user", "张三", "--password", "mima"}), "");
    EXPECT_FALSE(fs::exists(folder()));
    expectDone(cli({"sets"}), "");
}

TEST_F(ShellCliTest, BackupAndRestoreRoundTrip) {
    makeSet();
    const TempDir elsewhere;                        // outside the account-set directory
    const fs::path archive = elsewhere / "备份";  // the ".zip" is added as the dialog would
    expectDone(cli({"backup", "华兴商贸", "--user", "张三", "--password", "mima", "--to",
                    pathText(archive)}),
               "备份成功！  套账 华兴商贸 已备份到：\n" + pathText(elsewhere / "备份.zip") + "\n");
    ASSERT_TRUE(fs::exists(elsewhere / "备份.zip"));
    const auto atBackup = snapshot(dir.path(), folder());
    expectDone(cli({"user", "add", "华兴商贸", "王五", "--as", "张三", "--as-password", "mima"}),
               "王五 用户创建完毕！\n");
    ASSERT_NE(snapshot(dir.path(), folder()), atBackup);

    expectDone(cli({"restore", "华兴商贸", "--user", "张三", "--password", "mima", "--from",
                    pathText(elsewhere / "备份.zip")}),
               "恢复成功！  套账 华兴商贸 已从以下备份文件恢复：\n" + pathText(elsewhere / "备份.zip") +
                   "\n");
    EXPECT_EQ(withoutLog(snapshot(dir.path(), folder())), withoutLog(atBackup));
    const auto restored = snapshot(dir.path(), folder());

    writeFile(dir.path() / "坏.zip", "PK\x03\x04 not really");
    expectRefused(cli({"restore", "华兴商贸", "--user", "张三", "--password", "mima", "--from",
                       pathText(dir.path() / "坏.zip")}),
                  "备份文件已损坏，无法恢复！  套账未作任何改动！");
    EXPECT_EQ(snapshot(dir.path(), folder()), restored);
}

}  // namespace
}  // namespace tw::test
