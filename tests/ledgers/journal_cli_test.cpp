// tallowick-cli journal add and journal, run as a user would from a shell:
// the saved entries printed and read back from 日记账库, the listing as the
// journal window shows it, and refusals that leave the table untouched.
#include <gtest/gtest.h>

#include <sstream>

#include "ledger_cli_fixture.h"

namespace tw {
namespace {

class JournalCliTest : public test::LedgerCliFixture {
protected:
    test::CliResult add(const std::string& day, const std::string& account, const std::string& kind,
                        const std::string& amount, const std::string& summary,
                        std::vector<std::string> more = {}) {
        std::vector<std::string> args{"--day",    day,    "--account", account,   "--kind",
                                      kind,       "--amount", amount,  "--summary", summary};
        args.insert(args.end(), more.begin(), more.end());
        return run("journal add", args);
    }
};

TEST_F(JournalCliTest, EntriesAreAddedAndListedWithTheirRunningBalance) {
    const auto first = add("2013-03-01", "现金", "收", "100", "收到货款", {"--counter", "应收账款"});
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "2013-3-1\t收\t100\t100\t张三\t收到货款\t应收账款\n");
    ASSERT_EQ(add("2013-3-2", "银行存款", "收", "500", "存入").status, 0);
    const auto paid = add("2013-3-3", "现金", "付", "30.5", "支付运费");
    ASSERT_EQ(paid.status, 0) << paid.err;
    EXPECT_EQ(paid.out, "2013-3-3\t付\t-30.5\t69.5\t张三\t支付运费\t\n");

    const auto listed = run("journal", {"--account", "现金", "--from", "2013-3-1", "--to", "2013-3-31"});
    ASSERT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(listed.out,
              "2013-3-1\t\t\t0\t\t期初余额\t\n"
              "2013-3-1\t收\t100\t100\t张三\t收到货款\t应收账款\n"
              "2013-3-3\t付\t-30.5\t69.5\t张三\t支付运费\t\n");
    const auto later = run("journal", {"--account", "现金", "--from", "2013-3-2", "--to", "2013-3-2"});
    EXPECT_EQ(later.status, 0);
    EXPECT_EQ(later.out, "2013-3-2\t\t\t100\t\t期初余额\t\n");

    // What the commands wrote, read back from the table file.
    const auto written = rows(file::kJournal);
    ASSERT_EQ(written.size(), 3u);
    EXPECT_EQ(written[2], (std::vector<Value>{day(2013, 3, 3), "现金", "付", -30.5, 69.5, "张三",
                                              "支付运费", ""}));
}

TEST_F(JournalCliTest, RefusedEntriesSayWhyAndWriteNothing) {
    ASSERT_EQ(add("2013-3-1", "现金", "收", "100", "收到货款").status, 0);
    struct Case {
        std::vector<std::string> args;  // day, account, kind, amount
        std::string err;
    };
    const std::vector<Case> cases{
        {{"2013-3-2", "现金", "借", "10"}, "请选择收或付！\n"},
        {{"2013-3-2", "", "收", "10"}, "请选择收付科目！\n"},
        {{"2013-3-2", "应付账款", "收", "10"}, "收付科目只能是现金或银行存款科目！\n"},
        {{"2013-3-2", "现金", "收", "0"}, "请输入金额！金额不能为零。\n"},
        {{"2013-3-2", "现金", "付", "五十"}, "金额必须是数字！\n"},
        {{"2013-2-30", "现金", "收", "10"}, "日期不是有效的日期 (YYYY-MM-DD)：2013-2-30\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        const auto out = add(c.args[0], c.args[1], c.args[2], c.args[3], "摘要");
        EXPECT_EQ(out.status, 1);
        EXPECT_EQ(out.err, c.err);
        EXPECT_EQ(out.out, "");
    }
    EXPECT_EQ(rows(file::kJournal).size(), 1u);

    // The listing names what it misses.
    const auto noRange = run("journal", {"--account", "现金", "--to", "2013-3-31"});
    EXPECT_EQ(noRange.status, 1);
    EXPECT_EQ(noRange.err, "请给出起始日期 (--from YYYY-MM-DD)。\n");
    const auto badDay = run("journal", {"--account", "现金", "--from", "2013-3-1", "--to", "3-31"});
    EXPECT_EQ(badDay.err, "截至日期不是有效的日期 (YYYY-MM-DD)：3-31\n");
}

// journal import brings the posted lines in once and says how many; the
// listing then shows them, and a second run adds nothing.
TEST_F(JournalCliTest, ImportBringsInThePostedLinesOnce) {
    writeVoucherPage({{field::kDate, day(2013, 3, 5)}, {field::kMonthNumber, 30001.0},
                      {field::kPage, 1}, {field::kPageCount, 1},
                      {field::lineSummary(1), "提现"}, {field::lineAccount(1), "现金"},
                      {field::lineDebit(1), 500.0},
                      {field::lineSummary(2), "提现"}, {field::lineAccount(2), "银行存款"},
                      {field::lineCredit(2), 500.0},
                      {field::kPreparer, "张三"}, {field::kReviewer, "李四"}, {field::kPoster, "李四"}});
    const std::vector<std::string> march{"--account", "现金", "--from", "2013-3-1", "--to", "2013-3-31"};
    const auto first = run("journal import", march);
    ASSERT_EQ(first.status, 0) << first.err;
    EXPECT_EQ(first.out, "已从凭证引入1笔收付。\n");
    const auto again = run("journal import", march);
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "已从凭证引入0笔收付。\n");
    EXPECT_EQ(run("journal", march).out,
              "2013-3-1\t\t\t0\t\t期初余额\t\n"
              "2013-3-5\t收\t500\t500\t凭证30001第1张第1行\t提现\t银行存款\n");
    // The bank's side of the voucher comes into the bank's journal.
    const auto bank = run("journal import", {"--account", "银行存款", "--from", "2013-3-1", "--to", "2013-3-31"});
    EXPECT_EQ(bank.out, "已从凭证引入1笔收付。\n");

    const auto written = rows(file::kJournal);
    ASSERT_EQ(written.size(), 2u);
    EXPECT_EQ(written[0], (std::vector<Value>{day(2013, 3, 5), "现金", "收", 500.0, 500.0,
                                              "凭证30001第1张第1行", "提现", "银行存款"}));
    EXPECT_EQ(written[1], (std::vector<Value>{day(2013, 3, 5), "银行存款", "付", -500.0, -500.0,
                                              "凭证30001第1张第2行", "提现", "现金"}));

    const auto refused = run("journal import", {"--account", "应收账款", "--from", "2013-3-1",
                                                "--to", "2013-3-31"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "收付科目只能是现金或银行存款科目！\n");
    const auto noRange = run("journal import", {"--account", "现金", "--to", "2013-3-31"});
    EXPECT_EQ(noRange.status, 1);
    EXPECT_EQ(noRange.err, "请给出起始日期 (--from YYYY-MM-DD)。\n");
    EXPECT_EQ(rows(file::kJournal), written);
}

// A receipt of −20 would lower the cash balance, and an entry is never
// removed: a mistaken slip is corrected by a slip of the other kind.
TEST_F(JournalCliTest, NegativeAmountsAreRefusedForBothKinds) {
    ASSERT_EQ(add("2013-3-1", "现金", "收", "100", "收到货款").status, 0);
    const auto before = rows(file::kJournal);
    for (const char* kind : {"收", "付"}) {
        const auto out = add("2013-3-2", "现金", kind, "-20", "冲错");
        EXPECT_EQ(out.status, 1) << kind;
        EXPECT_EQ(out.err, "金额不能是负数！填错的收付单请另填一张相反的收付单更正。\n") << kind;
    }
    EXPECT_EQ(rows(file::kJournal), before);
    const auto paid = add("2013-3-2", "现金", "付", "20", "冲错");
    ASSERT_EQ(paid.status, 0) << paid.err;
    EXPECT_EQ(paid.out, "2013-3-2\t付\t-20\t80\t张三\t冲错\t\n");
}

}  // namespace
}  // namespace tw
