// A set whose opening balances are not enabled yet keeps no books: every
// bookkeeping command refuses it and leaves every table as it was, so that
// enabling it later puts the opening rows first.
#include <gtest/gtest.h>

#include "support/cli_set_fixture.h"

namespace tw {
namespace {

constexpr const char* kNotEnabled = "套账尚未启用！请先在账务初始化中录入期初余额，再启用套账。\n";

class NotEnabledCliTest : public test::CliSetTest {
protected:
    using Tables = std::vector<std::vector<std::vector<Value>>>;
    Tables tables() {
        return {rows(file::kVouchers), rows(file::kLedger),  rows(file::kBalances),
                rows(file::kGeneralLedger), rows(file::kJournal), rows(file::kCarryForward),
                rows(file::kBasicInfo)};
    }
};

TEST_F(NotEnabledCliTest, EveryBookkeepingCommandRefusesAndChangesNothing) {
    const Tables before = tables();
    const std::vector<std::vector<std::string>> commands{
        {"voucher", "add", "--day", "5", "--line", "存款|银行存款|1000|", "--line", "存款|现金||1000"},
        {"voucher", "delete", "--number", "30001", "--page", "1"},
        {"voucher", "print", "--number", "30001", "--pdf", (dataDir / "v.pdf").string()},
        {"vouchers"},
        {"vouchers", "sort"},
        {"review", "--number", "30001"},
        {"review-all"},
        {"post"},
        {"undo-post"},
        {"close"},
        {"undo-close"},
        {"carry-forward", "list"},
        {"carry-forward", "set", "管理费用", "利润分配"},
        {"carry-forward", "delete", "管理费用"},
        {"carry-forward", "year-end", "on"},
        {"journal", "add", "--day", "2013-03-05", "--account", "现金", "--kind", "收", "--amount",
         "10", "--summary", "收款"},
        {"journal", "--account", "现金", "--from", "2013-03-01", "--to", "2013-03-31"},
        {"ledger", "--account", "银行存款"},
        {"report", "--year", "2013", "--month", "3"},
        {"search"},
        {"statements", "--year", "2013", "--month", "3"},
        {"balances", "--from", "2013-03", "--to", "2013-03"},
    };
    for (const auto& args : commands) {
        const auto r = run(args);
        EXPECT_NE(r.status, 0) << args[0];
        EXPECT_EQ(r.err, kNotEnabled) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_EQ(r.out, "") << args[0];
    }
    EXPECT_EQ(tables(), before);
    EXPECT_FALSE(std::filesystem::exists(dataDir / "v.pdf"));
    EXPECT_FALSE(std::filesystem::exists(dataDir / "演示" / file::kSetOptions));

    // Enabled afterwards, the books start with the opening rows.
    enableWithCapital();
    ASSERT_EQ(run(commands[0]).status, 0);
    ASSERT_EQ(run({"review-all"}).status, 0);
    ASSERT_EQ(run({"post"}).status, 0);
    const auto ledger = rows(file::kLedger);
    ASSERT_EQ(ledger.size(), 4u);
    EXPECT_EQ(ledger[0][2].text(), "期初余额");
    EXPECT_EQ(ledger[2][3].text(), "银行存款");
    EXPECT_EQ(ledger[2][7].number(), 2000);
}

}  // namespace
}  // namespace tw
