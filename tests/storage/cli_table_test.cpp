// tallowick-cli sets and table, driven as a user would from a shell.
#include <gtest/gtest.h>

#include "startup/start_up.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/schemas.h"
#include "store_fixture.h"
#include "support/cli_runner.h"

namespace tw {
namespace {

using test::runCli;
using test::TempDir;

TEST(CliTable, PrintsFieldsAndRecordsOfATable) {
    TempDir dir;
    const auto path = dir / "用户";
    {
        RecordStore store(dir.path());
        ASSERT_TRUE(store.createTable(path, usersSchema()));
        ASSERT_TRUE(store.openTable(path, ""));
        Action a(store);
        store.appendRecord({"管理员", "", 1});
        store.appendRecord({"张三", "x", 2});
        store.setTablePassword("12时5分3秒");
        a.commit();
    }
    const auto r = runCli(dir.path(), {"table", path.string(), "--password", "12时5分3秒"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "字段\n用户名\ttext\n密码\ttext\n权限\tbyte\n记录\t2\n管理员\t\t1\n张三\tx\t2\n");
}

TEST(CliTable, RefusesAWrongPasswordAndADamagedFile) {
    TempDir dir;
    prepareDataDir(dir.path());
    const auto chart = templatePath(dir.path(), file::kAccounts);
    auto r = runCli(dir.path(), {"table", chart.string(), "--password", "1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "数据表密码不正确：" + chart.string() + "\n");

    std::filesystem::resize_file(chart, 100);
    r = runCli(dir.path(), {"table", chart.string(), "--password", kFixedPassword});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "不是数据表文件，或者文件已损坏：" + chart.string() + "\n");
}

TEST(CliSets, ListsTheSetFoldersOnly) {
    TempDir dir;
    std::filesystem::create_directories(dir / "甲公司");
    std::filesystem::create_directories(dir / ".正在恢复");  // the program's work folder
    const auto r = runCli(dir.path(), {"sets"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "甲公司\n");
    // The first command on a new directory makes the template files.
    EXPECT_TRUE(std::filesystem::exists(dir / "会计科目.edb"));
}

}  // namespace
}  // namespace tw
