// 从凭证引入 on a real set whose vouchers were posted by the posting
// operation: each posted line on the account comes into the journal once,
// with its reference, counter account and running balance; refusals and a
// failed commit leave the journal file as it was.
#include <algorithm>
#include <fstream>
#include <iterator>

#include "closing/closing_fixture.h"
#include "ledgers/journal.h"
#include "ledgers/journal_import.h"

namespace tw::test {
namespace {

class JournalImportTest : public ClosingTest {
protected:
    // Cash 5000 and bank 20000 at the start; in March a withdrawal, an office
    // payment, and a sale on two expense lines against cash, posted; and one
    // voucher not yet reviewed, so not posted.
    void SetUp() override {
        ClosingTest::SetUp();
        enableWith({{"现金", 5000}, {"银行存款", 20000}, {"实收资本", -25000}});
        addVoucher(dayNumber(2013, 3, 5), 30001,
                   {{"现金", 500, 0, "提现"}, {"银行存款", 0, 500, "提现"}});
        addVoucher(dayNumber(2013, 3, 8), 30002,
                   {{"管理费用", 200, 0, "付办公费"}, {"现金", 0, 200, "付办公费"}});
        addVoucher(dayNumber(2013, 3, 9), 30003,
                   {{"管理费用", 100, 0, "报销"}, {"应付账款", 50, 0, "报销"},
                    {"现金", 0, 150, "报销"}});
        addVoucher(dayNumber(2013, 3, 20), 30004, {{"现金", 900, 0, "收到货款"},
                                                   {"主营业务收入", 0, 900, "收到货款"}},
                   false);
        ASSERT_EQ(post().value, 3);
    }
    Result<int> bringIn(const std::string& account) {
        const JournalRequest r{account, dayNumber(2013, 3, 1), dayNumber(2013, 3, 31)};
        return runAction(*store, [&] { return importVoucherLines(*store, session, r); });
    }
    std::string journalBytes() {
        std::ifstream in(path(file::kJournal), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(JournalImportTest, EachPostedLineComesInOnceAfterTheOpeningBalance) {
    const auto first = bringIn("现金");
    ASSERT_TRUE(first.ok) << first.message;
    EXPECT_EQ(first.value, 3);
    // 日期, 科目, 种类, 金额, 余额, 编制, 摘要, 对应: the balance goes on from
    // enabling's 5000; a voucher with two accounts on the other side names none.
    const std::vector<std::vector<Value>> expected{
        {dayNumber(2013, 3, 5), "现金", "收", 500.0, 5500.0, "凭证30001第1张第1行", "提现", "银行存款"},
        {dayNumber(2013, 3, 8), "现金", "付", -200.0, 5300.0, "凭证30002第1张第2行", "付办公费",
         "管理费用"},
        {dayNumber(2013, 3, 9), "现金", "付", -150.0, 5150.0, "凭证30003第1张第3行", "报销", ""}};
    EXPECT_EQ(rows(file::kJournal), expected);

    // Twice brings nothing; the unposted voucher waits.
    const auto again = bringIn("现金");
    ASSERT_TRUE(again.ok) << again.message;
    EXPECT_EQ(again.value, 0);
    EXPECT_EQ(rows(file::kJournal), expected);

    // Once posted, only the new line comes in.
    runSql(file::kVouchers, "UPDATE records SET \"审核\" = '李四' WHERE \"月编号\" = 30004");
    ASSERT_EQ(post().value, 1);
    const auto later = bringIn("现金");
    ASSERT_TRUE(later.ok) << later.message;
    EXPECT_EQ(later.value, 1);
    const auto all = rows(file::kJournal);
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[3], (std::vector<Value>{dayNumber(2013, 3, 20), "现金", "收", 900.0, 6050.0,
                                          "凭证30004第1张第1行", "收到货款", "主营业务收入"}));

    // The list opens with the opening balance and runs to the ledger's balance.
    const auto listed =
        runCaught([&] { return listJournal(*store, session, {"现金", dayNumber(2013, 3, 1), dayNumber(2013, 3, 31)}); });
    ASSERT_TRUE(listed.ok) << listed.message;
    ASSERT_EQ(listed.value.size(), 5u);
    EXPECT_EQ(listed.value[0], (JournalLine{"2013-3-1", "", "", "5000", "", "期初余额", ""}));
    EXPECT_EQ(listed.value[4][3], "6050");
    const auto ledger = ledgerText(file::kLedger);
    EXPECT_NE(std::find(ledger.begin(), ledger.end(), "2013-3-20 30004 收到货款 现金 900 0 借 6050"),
              ledger.end())
        << "the ledger's balance agrees";
}

// The bank's journal takes the other side of the same voucher, from the
// bank's own opening balance; the cash lines stay to be brought in.
TEST_F(JournalImportTest, TheBankTakesItsOwnLines) {
    const auto bank = bringIn("银行存款");
    ASSERT_TRUE(bank.ok) << bank.message;
    EXPECT_EQ(bank.value, 1);
    const auto written = rows(file::kJournal);
    ASSERT_EQ(written.size(), 1u);
    EXPECT_EQ(written[0], (std::vector<Value>{dayNumber(2013, 3, 5), "银行存款", "付", -500.0, 19500.0,
                                              "凭证30001第1张第2行", "提现", "现金"}));
    EXPECT_EQ(bringIn("现金").value, 3);
}

TEST_F(JournalImportTest, AFailedCommitWritesNothingAndATryAfterItBringsAllIn) {
    const std::string before = journalBytes();
    store->setCommitHook([](const std::filesystem::path&) { throw StoreError("injected failure"); });
    const auto failed = bringIn("现金");
    EXPECT_FALSE(failed.ok);
    EXPECT_EQ(failed.message, kDiskMessage);
    store->setCommitHook({});
    EXPECT_EQ(journalBytes(), before);
    EXPECT_TRUE(rows(file::kJournal).empty());

    const auto retried = bringIn("现金");
    ASSERT_TRUE(retried.ok) << retried.message;
    EXPECT_EQ(retried.value, 3) << "nothing of the failed try counts as brought in";
    EXPECT_EQ(rows(file::kJournal).size(), 3u);
}

TEST_F(JournalImportTest, RefusalsSayWhyAndWriteNothing) {
    const std::string before = journalBytes();
    EXPECT_EQ(bringIn("").message, kChooseCashAccount);
    EXPECT_EQ(bringIn("应收账款").message, kNotCashAccount);
    EXPECT_EQ(bringIn("现金→保险柜").message, kNotCashAccount) << "not in the chart";
    EXPECT_EQ(journalBytes(), before);
}

// Before the set is enabled nothing may be written into the journal.
class JournalImportNewSetTest : public ClosingTest {};

TEST_F(JournalImportNewSetTest, IsRefusedUntilTheSetIsEnabled) {
    const JournalRequest r{"现金", dayNumber(2013, 3, 1), dayNumber(2013, 3, 31)};
    const auto out = runAction(*store, [&] { return importVoucherLines(*store, session, r); });
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, kSetNotEnabled);
    EXPECT_TRUE(rows(file::kJournal).empty());
}

}  // namespace
}  // namespace tw::test
