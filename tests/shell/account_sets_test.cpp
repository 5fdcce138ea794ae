// Creating and deleting account sets on disk.
#include <fstream>

#include "shell/password_hash.h"
#include "shell/set_folders.h"
#include "shell_fixture.h"

namespace tw::test {
namespace {

class AccountSetsTest : public ShellTest {};

TEST_F(AccountSetsTest, NewSetHoldsBasicInfoTheAdministratorAndProtectedCopies) {
    const auto made = create(setRequest("  华兴商贸 ", "张三", "口令12"));
    ASSERT_TRUE(made.ok);
    EXPECT_EQ(made.value.setName, "华兴商贸");  // blanks around the name are dropped
    const fs::path folder = setFolder(dataDir(), "华兴商贸");

    // The set password is a time of day: "9时5分3秒".
    EXPECT_NE(made.value.setPassword.find("时"), std::string::npos);
    EXPECT_NE(made.value.setPassword.find("秒"), std::string::npos);

    RecordStore store(dataDir());
    ASSERT_FALSE(store.openTable(folder / "基本信息", "")) << "基本信息 needs the fixed password";
    ASSERT_TRUE(store.openTable(folder / "基本信息", kFixedPassword));
    ASSERT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.readField("单位名称").text(), "某某商贸有限公司");
    EXPECT_EQ(store.readField("启用日期").number(), dayNumber(2012, 3, 15));
    EXPECT_EQ(store.readField("会计期间").number(), store.readField("启用日期").number());
    EXPECT_FALSE(store.readField("是否启用").boolean());
    EXPECT_EQ(store.readField("本账密码").text(), made.value.setPassword);
    store.closeTable();

    ASSERT_TRUE(store.openTable(folder / "用户", made.value.setPassword));
    ASSERT_EQ(store.recordCount(), 1);
    EXPECT_EQ(store.readField("用户名").text(), "张三");
    EXPECT_EQ(store.readField("权限").integer(), 1);
    const std::string stored = store.readField("密码").text();
    EXPECT_EQ(stored.find("口令12"), std::string::npos) << "the password is never kept as typed";
    EXPECT_TRUE(verifyPassword(stored, "口令12"));
    store.closeTable();

    for (const char* name : {"用户", "会计科目.edb", "凭证库.edb", "账库.edb", "总账库.edb",
                             "日记账库.edb", "账库辅1.edb", "结转损益.edb"}) {
        EXPECT_FALSE(store.openTable(folder / name, kFixedPassword)) << name;
        EXPECT_TRUE(store.openTable(folder / name, made.value.setPassword)) << name;
        store.closeTable();
    }
    for (const char* name : {"摘要库.edb", "报表临时1.edb"}) {
        EXPECT_TRUE(store.openTable(folder / name, "")) << name;
        store.closeTable();
    }
    ASSERT_TRUE(store.openTable(folder / "总账库.edb", made.value.setPassword));
    EXPECT_EQ(store.schema().size(), ledgerSchema().size());
    store.closeTable();
    EXPECT_TRUE(fs::exists(folder / "报表.xlsx"));
    EXPECT_TRUE(fs::exists(folder / "常用封面.xlsx"));
    // The template chart came along.
    EXPECT_EQ(tableRows(dataDir(), folder / "会计科目.edb", made.value.setPassword),
              tableRows(dataDir(), templatePath(dataDir(), "会计科目.edb"), kFixedPassword));
}

TEST_F(AccountSetsTest, TextTheDiskOrGbkCannotHoldIsRefusedNotMangled) {
    const auto before = entryNames(dataDir());
    NewSetRequest emoji = setRequest("新账");
    emoji.companyName = "笑脸😀公司";
    NewSetRequest slash = setRequest("上/下");
    NewSetRequest dot = setRequest(".隐藏");
    NewSetRequest longPassword = setRequest("新账", "张三", "一二三四五六七八九十一");  // 22 bytes
    NewSetRequest emojiAdmin = setRequest("新账", "张😀");
    EXPECT_EQ(createAccountSet(dataDir(), emoji).message, "单位名称 含有无法保存的字符，请更换！");
    EXPECT_EQ(createAccountSet(dataDir(), slash).message,
              "套账名称 不能含有 \\ / : * ? \" < > | 这九个字符！");
    EXPECT_EQ(createAccountSet(dataDir(), dot).message, "套账名称 不能以“.”开头！");
    EXPECT_EQ(createAccountSet(dataDir(), longPassword).message,
              "密码 不能超过20个字节（10个汉字）！");
    EXPECT_EQ(createAccountSet(dataDir(), emojiAdmin).message, "管理员名 含有无法保存的字符，请更换！");
    EXPECT_TRUE(createAccountSet(dataDir(), setRequest("新账", "张三", "一二三四五六七八九十")).ok)
        << "exactly 20 GBK bytes is allowed";
    auto after = entryNames(dataDir());
    after.erase(std::find(after.begin(), after.end(), "新账"));
    EXPECT_EQ(after, before);
}

TEST_F(AccountSetsTest, ControlCharactersInASetNameAreRefused) {
    // A line break would make one set read as two wherever sets are listed.
    const auto before = entryNames(dataDir());
    for (const std::string& name : std::vector<std::string>{"华兴\n伪造", "华兴\r", "甲\t乙",
                                                          "甲\x7f", "\x1b[31m红"}) {
        const auto made = createAccountSet(dataDir(), setRequest(name));
        EXPECT_FALSE(made.ok) << name;
        EXPECT_EQ(made.message, "套账名称 不能含有换行等控制字符！") << name;
    }
    EXPECT_EQ(entryNames(dataDir()), before);
    EXPECT_TRUE(listAccountSets(dataDir()).empty());
    // Blanks around the name are still only trimmed.
    EXPECT_TRUE(createAccountSet(dataDir(), setRequest("\t华兴 ")).ok);
    EXPECT_EQ(listAccountSets(dataDir()), std::vector<std::string>{"华兴"});
}

TEST_F(AccountSetsTest, AFailingStepLeavesNoFolderAndReportsTheDiskMessage) {
    const auto before = entryNames(dataDir());
    // A template that is missing fails a copy; one that is not a table fails
    // later, when the copy gets the set password.
    ASSERT_TRUE(fs::remove(templatePath(dataDir(), "结转损益.edb")));
    EXPECT_EQ(createAccountSet(dataDir(), setRequest("半成品")).message,
              "数据无法写入磁盘！ 请检测您对计算机使用的权限！");
    std::ofstream(templatePath(dataDir(), "结转损益.edb"), std::ios::trunc) << "not a table";
    EXPECT_EQ(createAccountSet(dataDir(), setRequest("半成品")).message,
              "数据无法写入磁盘！ 请检测您对计算机使用的权限！");
    EXPECT_EQ(entryNames(dataDir()), before) << "no set folder and no work folder left";
}

}  // namespace
}  // namespace tw::test
