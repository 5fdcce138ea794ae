// Account codes on a real set: the standard's codes of the template chart,
// the code a new account is proposed, one typed instead and the ones refused,
// the codes a set made before them gets at its first login, and the codes
// kept through a backup and a restore.

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>

#include "account_set_fixture.h"
#include "accounts/account_codes.h"
#include "shell/backup.h"
#include "shell/login.h"
#include "storage/store_fixture.h"

namespace tw {
namespace {

using test::AccountSetTest;

// The template chart as the small-business standard codes it (小企业会计准则,
// 2013), its sub-accounts numbered in order below their parents.
const AccountCodes kTemplateCodes = {
    // 资产类
    {"现金", "1001"}, {"银行存款", "1002"}, {"其他货币资金", "1012"}, {"短期投资", "1101"},
    {"应收票据", "1121"}, {"应收账款", "1122"}, {"预付账款", "1123"}, {"应收股利", "1131"},
    {"应收利息", "1132"}, {"其他应收款", "1221"}, {"材料采购", "1401"}, {"在途物资", "1402"},
    {"原材料", "1403"}, {"材料成本差异", "1404"}, {"库存商品", "1405"},
    {"委托加工物资", "1408"}, {"周转材料", "1411"}, {"长期股权投资", "1511"},
    {"固定资产", "1601"}, {"累计折旧", "1602"}, {"在建工程", "1604"},
    {"固定资产清理", "1606"}, {"无形资产", "1701"}, {"累计摊销", "1702"},
    {"长期待摊费用", "1801"}, {"待处理财产损溢", "1901"},
    // 负债类
    {"短期借款", "2001"}, {"应付票据", "2201"}, {"应付账款", "2202"}, {"预收账款", "2203"},
    {"应付职工薪酬", "2211"}, {"应交税费", "2221"}, {"应交税费→应交增值税", "222101"},
    {"应交税费→未交增值税", "222102"}, {"应交税费→应交所得税", "222103"},
    {"应付利息", "2231"}, {"应付利润", "2232"}, {"其他应付款", "2241"}, {"长期借款", "2501"},
    {"长期应付款", "2701"},
    // 权益类
    {"实收资本", "3001"}, {"资本公积", "3002"}, {"盈余公积", "3101"}, {"本年利润", "3103"},
    {"利润分配", "3104"}, {"利润分配→未分配利润", "310401"},
    // 成本类
    {"生产成本", "4001"}, {"制造费用", "4101"}, {"研发支出", "4301"},
    // 损益类
    {"主营业务收入", "5001"}, {"其他业务收入", "5051"}, {"投资收益", "5111"},
    {"营业外收入", "5301"}, {"主营业务成本", "5401"}, {"其他业务成本", "5402"},
    {"税金及附加", "5403"}, {"销售费用", "5601"}, {"管理费用", "5602"}, {"财务费用", "5603"},
    {"营业外支出", "5711"}, {"所得税费用", "5801"},
};

Account account(const std::string& name, const std::string& parent, const std::string& category) {
    Account a;
    a.name = name;
    a.parent = parent;
    a.category = category;
    return a;
}

class AccountCodesTest : public AccountSetTest {
protected:
    // A set made before codes existed: no codes table.
    void SetUp() override {
        AccountSetTest::SetUp();
        std::filesystem::remove(path(file::kAccountCodes));
    }
    AccountCodes codes() { return accountCodes(*store, session, loadAccounts(*store, session)); }
    // 科目编码.edb read back, full name → code; empty when there is none.
    AccountCodes stored() const {
        AccountCodes out;
        if (!std::filesystem::exists(path(file::kAccountCodes))) return out;
        for (const auto& row : rows(file::kAccountCodes)) out[row[1].text()] = row[0].text();
        return out;
    }
    // As 科目设置 adds: under `parent`, or at the top of 资产类 when it is empty.
    Result<std::string> add(const std::string& parent, const std::string& name,
                            const std::string& code) {
        NewAccount r;
        r.mode = parent.empty() ? AddMode::Sibling : AddMode::SubAccount;
        r.typed = name;
        r.direction = "借方";
        r.selectedAccount = parent;
        r.code = code;
        return runAction(*store, [&] { return addAccount(*store, session, r); });
    }
    // The login of the window and the commands.
    Outcome logInToWork() {
        const std::string set = session.login.setName;
        return logInTo(*store, session, set,
                       {.userName = "张三", .password = "mima", .bringUpToDate = giveAccountCodes});
    }
};

TEST_F(AccountCodesTest, TheTemplateChartTakesTheStandardsCodes) {
    const std::vector<Account> chart = loadAccounts(*store, session);
    const AccountCodes given = codes();
    EXPECT_EQ(given, kTemplateCodes);
    EXPECT_EQ(given.size(), chart.size()) << "every account has one";
    EXPECT_EQ(standardCode("库存现金"), "1001") << "the standard's own name";
    // In code order each sub-account follows its parent.
    const std::vector<Account> ordered = inCodeOrder(chart, given);
    for (std::size_t i = 1; i < ordered.size(); ++i)
        EXPECT_LT(given.at(ordered[i - 1].name), given.at(ordered[i].name)) << ordered[i].name;
}

// An unknown top-level account never takes a standard account's code, even
// ahead of it in the chart; a standard name in another category gets a code
// of its own category; stored codes come first, the first of two alike wins.
TEST_F(AccountCodesTest, OtherAccountsTakeTheNextFreeCodeAroundTheStoredOnes) {
    const std::vector<Account> chart = {
        account("现金", "", "资产类"),         account("备用金", "", "资产类"),
        account("银行存款", "", "资产类"),     account("本年利润", "", "资产类"),
        account("备用金→张三", "备用金", "资产类"), account("劳务成本", "", "成本类"),
        account("杂项", "", "其他"),           account("杂项→甲", "杂项", "其他"),
    };
    EXPECT_EQ(assignAccountCodes(chart, {}),
              (AccountCodes{{"现金", "1001"}, {"银行存款", "1002"}, {"备用金", "1003"},
                            {"本年利润", "1004"}, {"备用金→张三", "100301"}, {"劳务成本", "4001"}}));
    EXPECT_EQ(assignAccountCodes(chart, {{"现金", "1009"}, {"备用金", "1009"}, {"已删除", "1001"}}),
              (AccountCodes{{"现金", "1009"}, {"银行存款", "1002"}, {"备用金", "1010"},
                            {"本年利润", "1011"}, {"备用金→张三", "101001"}, {"劳务成本", "4001"}}));
}

TEST_F(AccountCodesTest, ANewAccountTakesTheNextFreeCodeOrTheOneTypedAndWrongOnesAreRefused) {
    ASSERT_TRUE(add("银行存款", "工商银行", "").ok);
    ASSERT_TRUE(add("银行存款", "建设银行", " 100205 ").ok);
    EXPECT_EQ(stored().at("银行存款→工商银行"), "100201");
    EXPECT_EQ(stored().at("银行存款→建设银行"), "100205");
    EXPECT_EQ(stored(), codes()) << "the table made with them holds every account's";
    EXPECT_EQ(proposeAccountCode(*store, session, "银行存款", 1), "100206") << "after the highest";
    EXPECT_EQ(proposeAccountCode(*store, session, "", 1), "1902");

    const auto chartBefore = rows(file::kAccounts);
    const AccountCodes codesBefore = stored();
    const std::string wrongPrefix = "科目编码应为上级科目的编码 1002 加两位数字！";
    const std::string wrongTop = "一级科目的编码应为以1开头的4位数字（资产类）！";
    const std::vector<std::array<std::string, 3>> refused = {
        {"银行存款", "100301", wrongPrefix}, {"银行存款", "10022", wrongPrefix},
        {"银行存款", "10020a", wrongPrefix}, {"银行存款", "100200", wrongPrefix},
        {"银行存款", "100201", "科目编码 100201 已被 银行存款→工商银行 使用！"},
        {"", "2009", wrongTop}, {"", "10010", wrongTop},
        {"", "1002", "科目编码 1002 已被 银行存款 使用！"},
    };
    for (const auto& [parent, code, message] : refused) {
        EXPECT_EQ(add(parent, "农业银行", code).message, message) << code;
        EXPECT_EQ(rows(file::kAccounts), chartBefore) << code;
        EXPECT_EQ(stored(), codesBefore) << code;
    }
    // Deleting takes the code along; the others keep theirs.
    ASSERT_TRUE(deleteOne("银行存款→工商银行").ok);
    EXPECT_EQ(stored().count("银行存款→工商银行"), 0u);
    EXPECT_EQ(codeOf(codes(), "银行存款→建设银行"), "100205");
}

TEST_F(AccountCodesTest, ASetWithoutCodesGetsThemAtItsFirstLoginAndLaterLoginsKeepThem) {
    ASSERT_TRUE(stored().empty());
    const Outcome first = logInToWork();
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(stored(), kTemplateCodes);
    ASSERT_TRUE(add("银行存款", "工商银行", "100209").ok);
    const AccountCodes before = stored();
    ASSERT_TRUE(logInToWork().ok);
    EXPECT_EQ(stored(), before);

    // A codes table that cannot be read locks nobody out (an administrator
    // may restore the set): the login is done and the table stays as it
    // was; reading the codes refuses as any unreadable table does.
    { std::ofstream(path(file::kAccountCodes), std::ios::binary | std::ios::trunc) << "坏"; }
    store = std::make_unique<RecordStore>(dataDir);
    const Outcome damaged = logInToWork();
    EXPECT_TRUE(damaged.ok) << damaged.message;
    EXPECT_NE(damaged.detail.find(kUnreadableSet), std::string::npos) << damaged.detail;
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(runCaught([&] { return codes(); }).message, kUnreadableSet);
    std::ifstream in(path(file::kAccountCodes), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "坏");
}

// A backup carries the codes and a restore brings them back; an archive
// without codes keeps none of the replaced set's, whose names are another
// chart's, and the next login gives the restored chart its own.
TEST_F(AccountCodesTest, CodesGoWithTheBackupAndComeBackWithTheRestore) {
    const test::TempDir archives;
    const auto before = archives / "无编码.zip", after = archives / "有编码.zip";
    ASSERT_TRUE(backupSet(dataDir, session.login.setName, before).ok);
    ASSERT_TRUE(logInToWork().ok);
    ASSERT_TRUE(add("银行存款", "工商银行", "100209").ok);
    const AccountCodes atBackup = stored();
    ASSERT_TRUE(backupSet(dataDir, session.login.setName, after).ok);
    ASSERT_TRUE(deleteOne("银行存款→工商银行").ok);

    ASSERT_TRUE(restoreSet(session, after).ok);
    EXPECT_EQ(stored(), atBackup);
    ASSERT_TRUE(restoreSet(session, before).ok);
    EXPECT_TRUE(stored().empty());
    store = std::make_unique<RecordStore>(dataDir);
    ASSERT_TRUE(logInToWork().ok);
    EXPECT_EQ(stored(), kTemplateCodes);
}

}  // namespace
}  // namespace tw
