// Account codes on a real set: the standard's codes of the template chart,
// the code a new account is proposed, one typed instead and the ones refused,
// the codes a set made before them gets at its first login, and the codes
// kept through a backup and a restore.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "account_set_fixture.h"
#include "accounts/account_codes.h"
#include "shell/backup.h"
#include "shell/login.h"

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
    bool hasCodesTable() const { return std::filesystem::exists(path(file::kAccountCodes)); }
    // 科目编码.edb as stored, code → full name.
    std::map<std::string, std::string> stored() const {
        std::map<std::string, std::string> out;
        for (const auto& row : rows(file::kAccountCodes)) out[row[0].text()] = row[1].text();
        return out;
    }
    // 科目编码.edb read back as full name → code.
    AccountCodes storedByName() const {
        AccountCodes out;
        for (const auto& [code, name] : stored()) out[name] = code;
        return out;
    }

    // Adds through the chart's operation, as 科目设置 does: a sub-account of
    // `parent`, or a top-level account of `category` when `parent` is empty.
    Result<std::string> add(const std::string& parent, const std::string& name,
                            const std::string& code, int category = 1) {
        NewAccount r;
        r.mode = parent.empty() ? AddMode::Sibling : AddMode::SubAccount;
        r.typed = name;
        r.direction = "借方";
        r.category = category;
        r.selectedAccount = parent;
        r.selectedLevel = 1;
        r.code = code;
        return runAction(*store, [&] { return addAccount(*store, session, r); });
    }

    // The login of the window and the commands: to work, with its step.
    Outcome logInToWork() {
        const std::string set = session.login.setName;
        return logInTo(*store, session, set,
                       {.userName = "张三",
                        .password = "mima",
                        .purpose = LoginPurpose::Work,
                        .bringUpToDate = giveAccountCodes});
    }
};

TEST_F(AccountCodesTest, TheTemplateChartTakesTheStandardsCodes) {
    ASSERT_FALSE(hasCodesTable());
    const std::vector<Account> chart = loadAccounts(*store, session);
    const AccountCodes given = codes();
    EXPECT_EQ(given, kTemplateCodes);
    EXPECT_EQ(given.size(), chart.size()) << "every account has one";
    EXPECT_EQ(standardCode("库存现金"), "1001") << "the standard's own name";
    EXPECT_EQ(standardCode("工程物资"), "1605");
    EXPECT_EQ(standardCode("应交增值税"), "") << "sub-accounts are the company's";
    // In code order each sub-account follows its parent, as the tree shows them.
    const std::vector<Account> ordered = inCodeOrder(chart, given);
    ASSERT_EQ(ordered.size(), chart.size());
    EXPECT_EQ(ordered.front().name, "现金");
    EXPECT_EQ(ordered.back().name, "所得税费用");
    for (std::size_t i = 1; i < ordered.size(); ++i)
        EXPECT_LT(given.at(ordered[i - 1].name), given.at(ordered[i].name)) << ordered[i].name;
}

// An unknown top-level account never takes a standard account's code, even
// when it comes first in the chart; a standard name in another category is
// not given a code of the wrong category.
TEST_F(AccountCodesTest, AnAccountTheStandardDoesNotKnowTakesTheNextFreeCodeOfItsCategory) {
    const std::vector<Account> chart = {
        account("现金", "", "资产类"),
        account("备用金", "", "资产类"),
        account("银行存款", "", "资产类"),
        account("本年利润", "", "资产类"),
        account("银行存款→工商银行", "银行存款", "资产类"),
        account("备用金→张三", "备用金", "资产类"),
        account("生产成本", "", "成本类"),
        account("劳务成本", "", "成本类"),
        account("杂项", "", "其他"),
        account("杂项→甲", "杂项", "其他"),
    };
    const AccountCodes expected = {
        {"现金", "1001"},         {"银行存款", "1002"},        {"备用金", "1003"},
        {"本年利润", "1004"},     {"银行存款→工商银行", "100201"}, {"备用金→张三", "100301"},
        {"生产成本", "4001"},     {"劳务成本", "4002"},
    };
    EXPECT_EQ(assignAccountCodes(chart, {}), expected) << "杂项 and what lies below it have none";
}

TEST_F(AccountCodesTest, StoredCodesComeFirstAndTheRestAreGivenAroundThem) {
    const std::vector<Account> chart = {
        account("现金", "", "资产类"),
        account("银行存款", "", "资产类"),
        account("其他货币资金", "", "资产类"),
        account("银行存款→工商银行", "银行存款", "资产类"),
    };
    // 1012 was an account's that is gone: free again.
    EXPECT_EQ(assignAccountCodes(chart, {{"现金", "1002"}, {"银行存款", "1001"}, {"已删除", "1012"}}),
              (AccountCodes{{"现金", "1002"},
                            {"银行存款", "1001"},
                            {"其他货币资金", "1012"},
                            {"银行存款→工商银行", "100101"}}));
    // A code stored twice stays with the first account in the chart; the
    // other is given the next free one after the highest of the category.
    EXPECT_EQ(assignAccountCodes(chart, {{"现金", "1002"}, {"银行存款", "1002"}}),
              (AccountCodes{{"现金", "1002"},
                            {"银行存款", "1013"},
                            {"其他货币资金", "1012"},
                            {"银行存款→工商银行", "101301"}}));
}

TEST_F(AccountCodesTest, ANewAccountIsProposedTheNextFreeCodeOrTakesTheOneTyped) {
    ASSERT_TRUE(add("银行存款", "工商银行", "").ok);
    EXPECT_EQ(codeOf(codes(), "银行存款→工商银行"), "100201");
    // The table was made with the account, holding every account's code.
    ASSERT_TRUE(hasCodesTable());
    EXPECT_EQ(stored().at("100201"), "银行存款→工商银行");
    EXPECT_EQ(stored().size(), loadAccounts(*store, session).size());

    EXPECT_EQ(proposeAccountCode(*store, session, "银行存款", 1), "100202");
    ASSERT_TRUE(add("银行存款", "建设银行", "100205").ok);
    EXPECT_EQ(stored().at("100205"), "银行存款→建设银行");
    EXPECT_EQ(proposeAccountCode(*store, session, "银行存款", 1), "100206")
        << "after the highest, not into the gap";
    EXPECT_EQ(proposeAccountCode(*store, session, "银行存款→建设银行", 1), "10020501");
    EXPECT_EQ(proposeAccountCode(*store, session, "", 1), "1902");
    EXPECT_EQ(proposeAccountCode(*store, session, "", 4), "4302");

    // Blanks around a typed code do not count; a top-level account takes its
    // category's first digit.
    ASSERT_TRUE(add("", "备用金", " 1009 ").ok);
    EXPECT_EQ(codeOf(codes(), "备用金"), "1009");
    ASSERT_TRUE(add("", "劳务成本", "", 4).ok);
    EXPECT_EQ(codeOf(codes(), "劳务成本"), "4302");
    EXPECT_EQ(storedByName(), codes()) << "the table holds every code";
}

TEST_F(AccountCodesTest, ACodeThatDoesNotExtendTheParentsOrIsTakenIsRefusedAndChangesNothing) {
    ASSERT_TRUE(add("银行存款", "工商银行", "").ok);  // 100201
    const auto chartBefore = rows(file::kAccounts);
    const auto codesBefore = stored();
    const std::string wrongPrefix = "科目编码应为上级科目的编码 1002 加两位数字！";
    const std::string wrongTop = "一级科目的编码应为以1开头的4位数字（资产类）！";
    struct Case {
        std::string parent, code, message;
    };
    const Case cases[] = {
        {"银行存款", "100301", wrongPrefix},  // another parent's
        {"银行存款", "1002", wrongPrefix},
        {"银行存款", "10022", wrongPrefix},
        {"银行存款", "1002011", wrongPrefix},
        {"银行存款", "10020a", wrongPrefix},
        {"银行存款", "100200", wrongPrefix},
        {"银行存款", "100201", "科目编码 100201 已被 银行存款→工商银行 使用！"},
        {"", "2009", wrongTop},
        {"", "10010", wrongTop},
        {"", "1000", wrongTop},
        {"", "1002", "科目编码 1002 已被 银行存款 使用！"},
    };
    for (const Case& c : cases) {
        const auto added = add(c.parent, "农业银行", c.code);
        EXPECT_FALSE(added.ok) << c.code;
        EXPECT_EQ(added.message, c.message) << c.code;
        EXPECT_EQ(rows(file::kAccounts), chartBefore) << c.code;
        EXPECT_EQ(stored(), codesBefore) << c.code;
    }
    // The name is checked before the code.
    EXPECT_EQ(add("银行存款", "工商银行", "100201").message, "输入的科目名称和已有科目相同 ！");
}

TEST_F(AccountCodesTest, DeletingAnAccountTakesItsCodeAlongAndLeavesTheOthers) {
    ASSERT_TRUE(add("银行存款", "工商银行", "").ok);
    ASSERT_TRUE(add("银行存款", "建设银行", "").ok);
    ASSERT_EQ(stored().at("100202"), "银行存款→建设银行");
    ASSERT_TRUE(deleteOne("银行存款→工商银行").ok);
    EXPECT_EQ(stored().count("100201"), 0u);
    EXPECT_EQ(codeOf(codes(), "银行存款→建设银行"), "100202") << "kept, not given afresh";
    EXPECT_EQ(storedByName(), codes());
}

TEST_F(AccountCodesTest, DeletingInASetWithoutCodesStoresTheOthersCodes) {
    ASSERT_FALSE(hasCodesTable());
    ASSERT_TRUE(deleteOne("研发支出").ok);
    AccountCodes expected = kTemplateCodes;
    expected.erase("研发支出");
    EXPECT_EQ(storedByName(), expected);
}

TEST_F(AccountCodesTest, ASetWithoutCodesGetsThemAtItsFirstLoginAndKeepsThem) {
    ASSERT_FALSE(hasCodesTable());
    const Outcome first = logInToWork();
    ASSERT_TRUE(first.ok) << first.message;
    ASSERT_TRUE(hasCodesTable());
    EXPECT_EQ(storedByName(), kTemplateCodes);

    // A later login finds them and leaves them as they are: a code of the
    // user's own is not given afresh.
    ASSERT_TRUE(add("银行存款", "工商银行", "100209").ok);
    const auto before = stored();
    ASSERT_TRUE(logInToWork().ok);
    EXPECT_EQ(stored(), before);
    EXPECT_EQ(codeOf(codes(), "银行存款→工商银行"), "100209");
}

TEST_F(AccountCodesTest, AnUnreadableCodesTableRefusesTheLogin) {
    { std::ofstream(path(file::kAccountCodes), std::ios::binary) << "不是数据表"; }
    const Outcome refused = logInToWork();
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, kUnreadableSet);
    EXPECT_FALSE(session.login.loggedIn);
    std::ifstream in(path(file::kAccountCodes), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "不是数据表") << "left as it was";
}

TEST_F(AccountCodesTest, CodesGoIntoTheBackupAndComeBackWithTheRestore) {
    ASSERT_TRUE(logInToWork().ok);
    ASSERT_TRUE(add("银行存款", "工商银行", "100209").ok);
    const auto atBackup = stored();
    const auto archive = test::freshTempDir("codes-backup") / "备份.zip";
    const Outcome backedUp = backupSet(dataDir, session.login.setName, archive);
    ASSERT_TRUE(backedUp.ok) << backedUp.message << " " << backedUp.detail;

    ASSERT_TRUE(add("银行存款", "建设银行", "").ok);
    ASSERT_TRUE(deleteOne("银行存款→工商银行").ok);
    ASSERT_NE(stored(), atBackup);
    const Outcome restored = restoreSet(session, archive);
    ASSERT_TRUE(restored.ok) << restored.message << " " << restored.detail;
    store = std::make_unique<RecordStore>(dataDir);
    EXPECT_EQ(stored(), atBackup);
    EXPECT_EQ(codeOf(codes(), "银行存款→工商银行"), "100209");
    std::filesystem::remove_all(archive.parent_path());
}

// The codes of the set a restore replaces would name another chart's
// accounts: an archive without codes brings none, and the next login gives
// the restored chart its own.
TEST_F(AccountCodesTest, AnArchiveWithoutCodesKeepsNoneOfTheReplacedSets) {
    const auto archive = test::freshTempDir("codes-backup") / "备份.zip";
    ASSERT_TRUE(backupSet(dataDir, session.login.setName, archive).ok);
    ASSERT_TRUE(logInToWork().ok);
    ASSERT_TRUE(add("银行存款", "工商银行", "100209").ok);

    ASSERT_TRUE(restoreSet(session, archive).ok);
    store = std::make_unique<RecordStore>(dataDir);
    EXPECT_FALSE(hasCodesTable());
    EXPECT_EQ(codes(), kTemplateCodes);
    ASSERT_TRUE(logInToWork().ok);
    EXPECT_EQ(storedByName(), kTemplateCodes);
    std::filesystem::remove_all(archive.parent_path());
}

}  // namespace
}  // namespace tw
