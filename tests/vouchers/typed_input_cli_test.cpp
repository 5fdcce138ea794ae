// Amounts and texts typed on the command line: every amount goes through the
// one reader (at most 15 significant digits, at most two decimals, never
// rounded silently), and texts with control characters are refused. A refusal
// writes nothing.
#include <gtest/gtest.h>

#include "support/cli_set_fixture.h"

namespace tw {
namespace {

constexpr const char* kTooManyDigits = "金额最多只能有15位有效数字！\n";
constexpr const char* kTooManyDecimals = "金额最多只能有两位小数！\n";

class TypedInputCliTest : public test::CliSetTest {
protected:
    void SetUp() override {
        CliSetTest::SetUp();
        if (!HasFatalFailure()) enableWithCapital();
    }
    using Tables = std::vector<std::vector<std::vector<Value>>>;
    Tables tables() {
        return {rows(file::kVouchers), rows(file::kLedger), rows(file::kJournal),
                rows(file::kAccounts), rows(file::kBalances)};
    }
    // Runs a command that must be refused with `err`, leaving every table as it was.
    void refused(const std::vector<std::string>& args, const std::string& err) {
        SCOPED_TRACE(args[0] + " " + args[1]);
        const Tables before = tables();
        const auto r = run(args);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, err);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(tables(), before);
    }
};

TEST_F(TypedInputCliTest, VoucherAmountsHaveTheLimitsOfEveryOtherAmount) {
    // Twenty-one digits would be posted and swallow the opening balance.
    refused({"voucher", "add", "--day", "5", "--line", "x|现金|100000000000000000000|",
             "--line", "x|实收资本||100000000000000000000"},
            kTooManyDigits);
    // 1.234 against 1.2349 would balance as 1.23 once rounded.
    refused({"voucher", "add", "--day", "5", "--line", "x|现金|1.234|", "--line",
             "x|实收资本||1.2349"},
            kTooManyDecimals);
    refused({"voucher", "add", "--day", "5", "--line", "x|现金|1e3|", "--line", "x|实收资本||1000"},
            "金额必须是数字！\n");
    // What the reader accepts is kept exactly.
    const auto added = run({"voucher", "add", "--day", "5", "--line", "x|现金| 999999999999.99|",
                            "--line", "x|实收资本||999999999999.990"});
    ASSERT_EQ(added.status, 0) << added.err;
    ASSERT_EQ(rows(file::kVouchers).size(), 1u);
    EXPECT_EQ(rows(file::kVouchers)[0][13].number(), 999999999999.99);
}

TEST_F(TypedInputCliTest, JournalAndSearchAmountsGoThroughTheSameReader) {
    refused({"journal", "add", "--day", "2013-03-05", "--account", "现金", "--kind", "收",
             "--amount", "1.234", "--summary", "收款"},
            kTooManyDecimals);
    refused({"journal", "add", "--day", "2013-03-05", "--account", "现金", "--kind", "收",
             "--amount", "1234567890123456", "--summary", "收款"},
            kTooManyDigits);
    refused({"search", "--min", "1.005"}, kTooManyDecimals);
    refused({"search", "--max", "abc"}, "金额必须是数字！\n");
}

TEST_F(TypedInputCliTest, ControlCharactersInSummariesAndNamesAreRefused) {
    refused({"voucher", "add", "--day", "5", "--line", "提现\t备用金|现金|10|", "--line",
             "提现|实收资本||10"},
            "摘要1 不能含有换行、制表符等控制字符！\n");
    refused({"journal", "add", "--day", "2013-03-05", "--account", "现金", "--kind", "收",
             "--amount", "10", "--summary", "第一行\n第二行"},
            "摘要 不能含有换行、制表符等控制字符！\n");
    refused({"account", "add", "--name", std::string("工商\x01银行"), "--parent", "银行存款",
             "--category", "资产类", "--direction", "借方"},
            "科目名称 不能含有换行、制表符等控制字符！\n");
}

// Before the set is enabled: the opening amounts follow the same rules.
class OpeningInputCliTest : public test::CliSetTest {};

TEST_F(OpeningInputCliTest, OpeningAmountsWithMoreThanTwoDecimalsAreRefused) {
    const auto before = rows(file::kBasicInfo);
    for (const char* amount : {"1.234", "0.001"}) {
        const auto r = run({"opening", "set", "--account", "银行存款", "--debit", amount});
        EXPECT_EQ(r.status, 1) << amount;
        EXPECT_EQ(r.err, kTooManyDecimals) << amount;
    }
    EXPECT_FALSE(std::filesystem::exists(dataDir / "演示" / file::kOpening));
    EXPECT_EQ(rows(file::kBasicInfo), before);
}

}  // namespace
}  // namespace tw
