// The commands of 上机日志 and of the reviewer option: `log` lists the set's
// entries for an administrator, filtered by --by and the days of --from and
// --to; `set option --reviewer-apart` keeps the preparer of a voucher from
// reviewing it, in `review` and in `review-all`.
#include <sstream>

#include "shell/action_log.h"
#include "support/cli_set_fixture.h"
#include "vouchers/review.h"

namespace tw::test {
namespace {

class ActionLogCliTest : public CliSetTest {
protected:
    CliResult as(const std::string& user, const std::string& password,
                 const std::vector<std::string>& args) {
        return runCli(dataDir, withSetLogin(args, commandWords(args), "演示", user, password));
    }
    void addClerk() {
        const auto added = runCli(dataDir, {"user", "add", "演示", "李四", "--password", "2", "--as",
                                            "张三", "--as-password", "1"});
        ASSERT_EQ(added.status, 0) << added.err;
    }
    // An entry written straight into the set's log, at a time of our choosing.
    void plant(const LogEntry& entry) {
        const auto folder = dataDir / "演示";
        const std::string setPassword =
            tableRows(folder / file::kBasicInfo, kFixedPassword)[0][2].text();
        RecordStore store(dataDir);
        const Outcome out = recordOnItsOwn(store, folder, setPassword, entry);
        ASSERT_TRUE(out.ok) << out.message << " " << out.detail;
    }
    // The 操作 columns of a listing.
    static std::vector<std::string> whats(const std::string& listing) {
        std::vector<std::string> out;
        std::istringstream lines(listing);
        for (std::string line; std::getline(lines, line);) {
            const auto first = line.find('\t'), second = line.find('\t', first + 1);
            const auto third = line.find('\t', second + 1);
            out.push_back(line.substr(second + 1, third - second - 1) + " " +
                          line.substr(first + 1, second - first - 1));
        }
        return out;
    }
};

using Lines = std::vector<std::string>;

TEST_F(ActionLogCliTest, TheLogListsWhatWasDoneAndFiltersByUserAndDays) {
    addClerk();
    ASSERT_EQ(run({"login"}).status, 0);
    EXPECT_EQ(as("李四", "错", {"login"}).status, 1);
    ASSERT_EQ(run({"accounts"}).status, 0) << "a command's own login is not logged";
    plant({dayNumber(2013, 3, 2) + 0.5, "王五", "登录", ""});
    plant({dayNumber(2013, 3, 4) + 0.25, "李四", "新建凭证", "30001"});

    const auto all = run({"log"});
    ASSERT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(whats(all.out), (Lines{"新建用户 张三", "登录 张三", "登录失败 李四", "登录 王五",
                                     "新建凭证 李四"}));
    EXPECT_NE(all.out.find("\t张三\t新建用户\t李四\n"), std::string::npos) << all.out;
    EXPECT_NE(all.out.find("2013-3-2 12:00:00\t王五\t登录\t\n"), std::string::npos) << all.out;

    EXPECT_EQ(whats(run({"log", "--by", "李四"}).out), (Lines{"登录失败 李四", "新建凭证 李四"}));
    EXPECT_EQ(run({"log", "--from", "2013-03-01", "--to", "2013-03-03"}).out,
              "2013-3-2 12:00:00\t王五\t登录\t\n");
    EXPECT_EQ(run({"log", "--by", "李四", "--from", "2013-3-4", "--to", "2013-03-31"}).out,
              "2013-3-4 06:00:00\t李四\t新建凭证\t30001\n");
    EXPECT_EQ(run({"log", "--by", "赵六"}).out, "");

    const auto clerk = as("李四", "2", {"log"});
    EXPECT_EQ(clerk.status, 1);
    EXPECT_EQ(clerk.err, "您的权限不够！\n");
    EXPECT_EQ(clerk.out, "");
    const auto badDay = run({"log", "--from", "2013-02-30"});
    EXPECT_EQ(badDay.status, 1);
    EXPECT_EQ(badDay.err, "起始日期 不是有效的日期：2013-02-30\n");
}

TEST_F(ActionLogCliTest, TheReviewerOptionKeepsThePreparerFromReviewing) {
    enableWithCapital();
    addClerk();
    ASSERT_EQ(run({"voucher", "add", "--day", "5", "--line", "提现|现金|500|", "--line",
                   "提现|银行存款||500"})
                  .out,
              "30001\n");
    EXPECT_EQ(run({"set", "option"}).out, "审核人与制单人不能为同一人：否\n");
    const auto clerkSets = as("李四", "2", {"set", "option", "--reviewer-apart", "on"});
    EXPECT_EQ(clerkSets.status, 1);
    EXPECT_EQ(clerkSets.err, "您的权限不够！\n");
    EXPECT_EQ(as("李四", "2", {"set", "option"}).out, "审核人与制单人不能为同一人：否\n");
    EXPECT_EQ(run({"set", "option", "--reviewer-apart", "on"}).out, "审核人与制单人不能为同一人：是\n");

    const auto own = run({"review", "--number", "30001"});
    EXPECT_EQ(own.status, 1);
    EXPECT_EQ(own.err, "审核人与制单人不能为同一人！\n");
    const auto all = run({"review-all"});
    EXPECT_EQ(all.status, 0) << all.err;
    EXPECT_EQ(all.out, passedOverMessage(1) + "\n");
    EXPECT_EQ(as("李四", "2", {"review", "--number", "30001"}).out, "30001\t李四\n");

    // Off again: the preparer reviews his own voucher, as before the option.
    EXPECT_EQ(run({"set", "option", "--reviewer-apart", "off"}).out, "审核人与制单人不能为同一人：否\n");
    EXPECT_EQ(run({"review", "--number", "30001"}).out, "30001\t\n");
    EXPECT_EQ(run({"review", "--number", "30001"}).out, "30001\t张三\n");
    EXPECT_EQ(run({"review-all"}).out, "本月凭证全部被审核。\n");

    const auto log = run({"log"});
    EXPECT_NE(log.out.find("\t张三\t修改套账选项\t审核人与制单人不能为同一人：是\n"), std::string::npos)
        << log.out;
    EXPECT_NE(log.out.find("\t李四\t审核凭证\t30001\n"), std::string::npos) << log.out;
}

}  // namespace
}  // namespace tw::test
