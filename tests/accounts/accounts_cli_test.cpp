// tallowick-cli's chart, phrase and opening commands run from a shell as a
// user would: exact output and exit status, then the table files checked.

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <map>

#include "support/cli_set_fixture.h"

namespace tw {
namespace {

using test::runCli;

using AccountsCliTest = test::CliSetTest;

TEST_F(AccountsCliTest, ChartAndPhrasesAreListedTabSeparated) {
    const auto accounts = run({"accounts"});
    EXPECT_EQ(accounts.status, 0);
    EXPECT_TRUE(accounts.out.starts_with("1001\t现金\t\t资产类\t借方\t1\n"
                                         "1002\t银行存款\t\t资产类\t借方\t1\n"))
        << accounts.out;
    EXPECT_NE(accounts.out.find("222101\t应交税费→应交增值税\t应交税费\t负债类\t贷方\t2\n"),
              std::string::npos);

    const auto phrases = run({"phrases"});
    EXPECT_EQ(phrases.status, 0);
    EXPECT_TRUE(phrases.out.starts_with("收款\t收到货款\n收款\t收回欠款\n")) << phrases.out;

    const auto wrong = runCli(dataDir, {"accounts", "演示", "--user", "张三", "--password", "x"});
    EXPECT_EQ(wrong.status, 1);
    EXPECT_EQ(wrong.err, "密码 或 用户名 不正确！\n");
    EXPECT_EQ(wrong.out, "");
}

TEST_F(AccountsCliTest, AddingAndDeletingAccounts) {
    auto r = run({"account", "add", "--name", "工商银行", "--parent", "银行存款", "--category",
                  "资产类", "--direction", "借方"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "银行存款→工商银行\n");
    r = run({"account", "add", "--name", "劳务成本", "--category", "成本类", "--direction", "借方"});
    EXPECT_EQ(r.out, "劳务成本\n");
    EXPECT_NE(run({"accounts"}).out.find("4302\t劳务成本\t\t成本类\t借方\t0\n"), std::string::npos);

    struct Refusal {
        std::vector<std::string> args;
        std::string message;
    };
    const Refusal refusals[] = {
        {{"account", "add", "--name", "现金", "--parent", "银行存款", "--category", "资产类",
          "--direction", "借方"},
         "输入的科目名称和已有科目相同 ！"},
        {{"account", "add", "--name", "农业银行", "--category", "资产类"}, "请选择，余额方向 ！"},
        {{"account", "add", "--name", "农业银行", "--parent", "短期借款", "--category", "资产类",
          "--direction", "借方"},
         "请选择，要操作的科目！"},
        {{"account", "add", "--name", " ", "--category", "资产类", "--direction", "借方"},
         "请输入科目名称 ！"},
        {{"account", "delete", "--name", "银行存款"},
         "银行存款 科目，无法删除！（需先删除其下级科目）"},
    };
    for (const Refusal& x : refusals) {
        r = run(x.args);
        EXPECT_EQ(r.status, 1) << x.message;
        EXPECT_EQ(r.err, x.message + "\n");
        EXPECT_EQ(r.out, "");
    }

    r = run({"account", "delete", "--name", "银行存款→工商银行"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "已经成功删除 银行存款→工商银行\n");
    EXPECT_EQ(run({"accounts"}).out.find("工商银行"), std::string::npos);
}

// The first command of a set made without codes stores them; `account add`
// proposes the next free code or takes --code, and refuses a wrong one.
TEST_F(AccountsCliTest, CodesAreGivenAtTheFirstLoginAndTakenOrProposedByAccountAdd) {
    ASSERT_FALSE(std::filesystem::exists(dataDir / "演示" / file::kAccountCodes));
    ASSERT_EQ(run({"phrases"}).status, 0);
    EXPECT_EQ(rows(file::kAccountCodes).size(), rows(file::kAccounts).size());

    const auto add = [&](const char* name, const char* code) {
        std::vector<std::string> args{"account", "add", "--name", name, "--parent", "银行存款",
                                      "--category", "资产类", "--direction", "借方"};
        if (*code) args.insert(args.end(), {"--code", code});
        return run(args);
    };
    ASSERT_EQ(add("工商银行", "").status, 0);
    ASSERT_EQ(add("建设银行", "100205").out, "银行存款→建设银行\n");
    for (const auto& [code, message] :
         {std::pair<const char*, const char*>{"100301", "科目编码应为上级科目的编码 1002 加两位数字！\n"},
          {"100205", "科目编码 100205 已被 银行存款→建设银行 使用！\n"}}) {
        const auto r = add("农业银行", code);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, message);
    }
    EXPECT_NE(run({"accounts"}).out.find("1002\t银行存款\t\t资产类\t借方\t1\n"
                                         "100201\t银行存款→工商银行\t银行存款\t资产类\t借方\t2\n"
                                         "100205\t银行存款→建设银行\t银行存款\t资产类\t借方\t2\n"
                                         "1012\t其他货币资金\t"),
              std::string::npos);
    std::map<std::string, std::string> stored;
    for (const auto& row : rows(file::kAccountCodes)) stored[row[0].text()] = row[1].text();
    EXPECT_EQ(stored["100205"], "银行存款→建设银行");
    EXPECT_EQ(stored.size(), rows(file::kAccounts).size());
}

TEST_F(AccountsCliTest, OpeningAmountsAndEnabling) {
    for (const char* bank : {"工商银行", "建设银行"})
        ASSERT_EQ(run({"account", "add", "--name", bank, "--parent", "银行存款", "--category",
                       "资产类", "--direction", "借方"})
                      .status,
                  0);
    auto r = run({"opening", "set", "--account", "银行存款→工商银行", "--debit", "1000"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "银行存款→工商银行\t1000\t0\t借\t1000\n借方合计\t1000\n贷方合计\t0\n");
    r = run({"opening", "set", "--account", "银行存款→建设银行", "--debit", "-500"});
    EXPECT_EQ(r.out, "银行存款→建设银行\t500\t0\t借\t500\n借方合计\t1500\n贷方合计\t0\n");

    r = run({"opening", "set", "--account", "银行存款", "--debit", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "本科目无需设置金额，如需请在其下级科目添加！\n");
    r = run({"opening", "enable"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "期初借方合计 1500 与期初贷方合计 0 不相等，不能启用套账！\n");
    EXPECT_TRUE(rows(file::kLedger).empty());

    r = run({"opening", "set", "--account", "短期借款", "--credit", "1500"});
    EXPECT_EQ(r.out, "短期借款\t0\t1500\t贷\t1500\n借方合计\t1500\n贷方合计\t1500\n");
    r = run({"opening", "enable"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "套账已启用：演示\n借方合计\t1500\n贷方合计\t1500\n");

    const double start = dayNumber(2013, 3, 1), monthEnd = dayNumber(2013, 3, 31);
    using V = std::vector<Value>;
    EXPECT_EQ(rows(file::kLedger),
              (std::vector<V>{
                  {start, 0, "期初余额", "银行存款→建设银行", 500.0, 0.0, "借", 500.0, ""},
                  {start, 0, "期初余额", "银行存款→工商银行", 1000.0, 0.0, "借", 1000.0, ""},
                  {start, 0, "期初余额", "短期借款", 0.0, -1500.0, "贷", -1500.0, ""}}));
    EXPECT_EQ(rows(file::kBalances).size(), 3u);
    EXPECT_EQ(rows(file::kGeneralLedger),
              (std::vector<V>{{monthEnd, 0, "期初余额", "银行存款", 1500.0, 0.0, "借", 1500.0, ""},
                              {monthEnd, 0, "期初余额", "短期借款", 0.0, -1500.0, "贷", -1500.0,
                               ""}}));
    EXPECT_TRUE(rows(file::kBasicInfo)[0][3].boolean());

    // Enabled: the openings are fixed, and the accounts that carry them stay.
    for (const auto& args : {std::vector<std::string>{"opening", "enable"},
                             {"opening", "set", "--account", "现金", "--debit", "1"}}) {
        r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "套账启用后不能再更改初始化数据！\n");
    }
    r = run({"account", "delete", "--name", "短期借款"});
    EXPECT_EQ(r.err, "短期借款 科目，已经被登账！无法删除！\n");
    EXPECT_EQ(rows(file::kLedger).size(), 3u);
}

// An amount the program cannot keep exactly is refused, never saved as 0 or
// as a neighbouring number, nor rounded to cents.
TEST_F(AccountsCliTest, OpeningAmountsBeyondWhatIsKeptExactlyAreRefused) {
    ASSERT_EQ(run({"opening", "set", "--account", "现金", "--debit", "300"}).status, 0);
    const auto before = rows(file::kOpening);
    const std::pair<const char*, const char*> refused[] = {
        {"123456789012345678", "金额最多只能有15位有效数字！"},
        {"1000000000000", "金额的绝对值不能超过999999999999.99！"},
        {"-1000000000000.5", "金额的绝对值不能超过999999999999.99！"},
        {"1e400", "金额必须是数字！"},
        {"0.0049999999", "金额最多只能有两位小数！"},
    };
    for (const auto& [amount, message] : refused) {
        const auto r = run({"opening", "set", "--account", "现金", "--debit", amount});
        EXPECT_EQ(r.status, 1) << amount;
        EXPECT_EQ(r.err, std::string(message) + "\n") << amount;
        EXPECT_EQ(rows(file::kOpening), before) << amount;
    }
    auto r = run({"opening", "set", "--account", "现金", "--debit", "999999999999.99"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "现金\t999999999999.99\t0\t借\t999999999999.99\n借方合计\t999999999999.99\n"
                     "贷方合计\t0\n");
    r = run({"opening", "set", "--account", "现金", "--debit", "0"});
    EXPECT_EQ(r.out, "现金\t\t\t\t\n借方合计\t0\n贷方合计\t0\n");
}

// A damaged table refuses the command before anything is written: the set
// is never enabled without its openings, nor a list saved over the amounts.
TEST_F(AccountsCliTest, AnUnreadableTableRefusesAndWritesNothing) {
    ASSERT_EQ(run({"opening", "set", "--account", "现金", "--debit", "10"}).status, 0);
    ASSERT_EQ(run({"opening", "set", "--account", "短期借款", "--credit", "10"}).status, 0);
    const auto folder = dataDir / "演示";
    const auto keep = dataDir / "保存";
    std::filesystem::create_directory(keep);
    for (const char* f : {file::kAccounts, file::kOpening})
        std::filesystem::copy_file(folder / f, keep / f);
    const auto restore = [&] {
        for (const char* f : {file::kAccounts, file::kOpening})
            std::filesystem::copy_file(keep / f, folder / f,
                                       std::filesystem::copy_options::overwrite_existing);
    };
    const auto expectNothingWritten = [&](const std::string& what) {
        EXPECT_FALSE(rows(file::kBasicInfo)[0][3].boolean()) << what;
        EXPECT_TRUE(rows(file::kLedger).empty()) << what;
        restore();
        EXPECT_EQ(rows(file::kOpening).size(), rows(file::kAccounts).size()) << what;
    };
    // Removed, truncated, or not a table at all.
    const std::vector<std::pair<std::string, std::function<void(const std::filesystem::path&)>>>
        damages = {
            {"removed", [](const std::filesystem::path& p) { std::filesystem::remove(p); }},
            {"truncated",
             [](const std::filesystem::path& p) { std::filesystem::resize_file(p, 1000); }},
            {"garbage", [](const std::filesystem::path& p) { std::ofstream(p) << "不是数据表"; }},
        };
    for (const char* file : {file::kAccounts, file::kOpening}) {
        for (const auto& [how, damage] : damages) {
            // A list never saved has no file yet: missing is not damage there.
            if (file == std::string(file::kOpening) && how == "removed") continue;
            const std::string what = std::string(file) + " " + how;
            for (const auto& args : {std::vector<std::string>{"opening", "enable"},
                                     {"opening", "set", "--account", "现金", "--debit", "5"},
                                     {"account", "add", "--name", "零用金", "--parent", "现金",
                                      "--category", "资产类", "--direction", "借方"}}) {
                damage(folder / file);
                const auto r = run(args);
                EXPECT_EQ(r.status, 1) << what << " " << args[1];
                EXPECT_EQ(r.err, "无法读出套账数据！  请检查后重试！\n") << what << " " << args[1];
                expectNothingWritten(what);
            }
        }
    }
    // The set is whole again and enables with its amounts.
    EXPECT_EQ(run({"opening", "enable"}).status, 0);
    EXPECT_EQ(rows(file::kLedger).size(), 2u);
}

TEST_F(AccountsCliTest, ATableWithOtherFieldsIsRefusedNotAnAbort) {
    // A foreign 用户 (copied from elsewhere) that opens with the set password.
    const auto folder = dataDir / "演示";
    const std::string password = rows(file::kBasicInfo)[0][2].text();
    {
        RecordStore store(dataDir);
        const auto path = folder / file::kUsers;
        Action a(store);
        ASSERT_TRUE(store.createTable(path, {{"姓名", FieldType::Text, 10}}));
        ASSERT_TRUE(store.openTable(path, ""));
        store.appendRecord({"张三"});
        store.setTablePassword(password);
        a.commit();
    }
    const auto r = run({"accounts"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "无法读出套账数据！  请检查后重试！\n");
}

TEST_F(AccountsCliTest, AnAccountAndItsOpeningListLandTogether) {
    // A sub-account blanks its parent's amount in the same action: after the
    // command the list holds the new account and no amount for 现金.
    ASSERT_EQ(run({"opening", "set", "--account", "现金", "--debit", "10"}).status, 0);
    const auto r = run({"account", "add", "--name", "零用金", "--parent", "现金", "--category",
                        "资产类", "--direction", "借方"});
    ASSERT_EQ(r.status, 0) << r.err;
    bool found = false;
    for (const auto& row : rows(file::kOpening)) {
        if (row[3].text() == "现金") {
            EXPECT_EQ(row[4].number(), 0);
        }
        found = found || row[3].text() == "现金→零用金";
    }
    EXPECT_TRUE(found);
}

}  // namespace
}  // namespace tw
