// The cash and bank journal: running balances per account, the entries the
// cashier window must refuse (nothing written), the listing by exact account
// and day range, and the listing exported to .xlsx and read back.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "export_cells.h"
#include "ledger_fixture.h"
#include "ledgers/journal.h"
#include "ledgers/ledger_export.h"
#include "storage/store_fixture.h"
#include "platform/xlsx_reader.h"
#include "storage/number_text.h"

namespace tw {
namespace {

class JournalTest : public test::LedgerTest {
protected:
    void SetUp() override {
        LedgerTest::SetUp();
        addSub("银行存款", "工商银行");
    }

    static CashierEntry entry(double date, const std::string& account, CashKind kind,
                              const std::string& amount, const std::string& summary = "摘要",
                              const std::string& counter = kCounterAccountHint) {
        return {date, account, kind, amount, summary, counter};
    }
    Result<JournalEntry> save(const CashierEntry& e) {
        return runAction(*store, [&] { return saveCashierEntry(*store, session, e); });
    }
    Result<std::vector<JournalLine>> list(const std::string& account, double from, double to) {
        return runCaught([&] { return listJournal(*store, session, {account, from, to}); });
    }
    std::string journalBytes() {
        std::ifstream in(path(file::kJournal), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(JournalTest, EachAccountKeepsItsOwnRunningBalance) {
    ASSERT_TRUE(save(entry(day(2013, 3, 1), "现金", CashKind::Receipt, "100", "收到货款")).ok);
    ASSERT_TRUE(save(entry(day(2013, 3, 2), "银行存款", CashKind::Receipt, "500")).ok);
    ASSERT_TRUE(save(entry(day(2013, 3, 2), "银行存款→工商银行", CashKind::Payment, "20")).ok);
    const auto paid = save(entry(day(2013, 3, 3), "现金", CashKind::Payment, "30", "支付运费",
                                 "管理费用→运输费"));
    ASSERT_TRUE(paid.ok) << paid.message;
    EXPECT_DOUBLE_EQ(paid.value.amount, -30);
    EXPECT_DOUBLE_EQ(paid.value.balance, 70);  // the bank receipt between does not count

    const auto written = rows(file::kJournal);
    ASSERT_EQ(written.size(), 4u);
    // 日期, 科目, 种类, 金额, 余额, 编制, 摘要, 对应
    EXPECT_EQ(written[0], (std::vector<Value>{day(2013, 3, 1), "现金", "收", 100.0, 100.0, "张三",
                                           "收到货款", ""}));
    EXPECT_DOUBLE_EQ(written[1][4].number(), 500);
    // A sub-account is an account of its own: its balance starts at 0.
    EXPECT_DOUBLE_EQ(written[2][3].number(), -20);
    EXPECT_DOUBLE_EQ(written[2][4].number(), -20);
    EXPECT_EQ(written[3], (std::vector<Value>{day(2013, 3, 3), "现金", "付", -30.0, 70.0, "张三",
                                           "支付运费", "管理费用→运输费"}));
}

// Balances are kept in cents, so a long chain of small amounts never drifts.
TEST_F(JournalTest, BalancesStayInCentsOverManyEntries) {
    const auto all = runAction(*store, [&] {
        JournalEntry last;
        for (int i = 0; i < 1000; ++i)
            last = saveCashierEntry(*store, session,
                                    entry(day(2013, 3, 1), "现金",
                                          i % 3 ? CashKind::Receipt : CashKind::Payment, "0.1"));
        return last;
    });
    ASSERT_TRUE(all.ok) << all.message;
    // 666 receipts and 334 payments of 0.1; each save sees the action's earlier ones.
    EXPECT_EQ(plainDecimal(all.value.balance), "33.2");
    EXPECT_EQ(all.value.balance, roundCents(33.2));
    // A typed amount is in cents or refused, never rounded silently.
    const auto odd = save(entry(day(2013, 3, 2), "现金", CashKind::Receipt, "0.125"));
    EXPECT_EQ(odd.message, "金额最多只能有两位小数！");
    const auto even = save(entry(day(2013, 3, 2), "现金", CashKind::Receipt, "0.13"));
    ASSERT_TRUE(even.ok);
    EXPECT_EQ(plainDecimal(even.value.balance), "33.33");
}

// An entry can never be removed, so one that can only be a slip is refused
// with a message and the journal file is left byte for byte as it was.
TEST_F(JournalTest, SlipsAreRefusedAndWriteNothing) {
    ASSERT_TRUE(save(entry(day(2013, 3, 1), "现金", CashKind::Receipt, "100")).ok);
    const std::string before = journalBytes();
    struct Case {
        CashierEntry entry;
        const char* message;
    };
    const double d = day(2013, 3, 2);
    const std::vector<Case> cases{
        {entry(d, "现金", CashKind::None, "10"), "请选择收或付！"},
        {entry(d, "", CashKind::Receipt, "10"), kChooseCashAccount},
        {entry(d, "应收账款", CashKind::Receipt, "10"), kNotCashAccount},
        {entry(d, "现金→保险柜", CashKind::Receipt, "10"), kNotCashAccount},  // not in the chart
        {entry(d, "现金", CashKind::Receipt, ""), kAmountIsZero},
        {entry(d, "现金", CashKind::Receipt, "  "), kAmountIsZero},
        {entry(d, "现金", CashKind::Payment, "0"), kAmountIsZero},
        {entry(d, "现金", CashKind::Payment, "0.00"), kAmountIsZero},
        {entry(d, "现金", CashKind::Payment, "0.004"), "金额最多只能有两位小数！"},
        {entry(d, "现金", CashKind::Receipt, "-40"), kNegativeCashAmount},
        {entry(d, "现金", CashKind::Receipt, "abc"), "金额必须是数字！"},
        {entry(d, "现金", CashKind::Receipt, "12元"), "金额必须是数字！"},
        {entry(d, "现金", CashKind::Receipt, "1e5"), "金额必须是数字！"},
        {entry(d, "现金", CashKind::Receipt, "1234567890123456"), "金额最多只能有15位有效数字！"},
        {entry(d, "现金", CashKind::Receipt, "1000000000000"),
         "金额的绝对值不能超过999999999999.99！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry.account + " [" + c.entry.amountText + "]");
        const auto out = save(c.entry);
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.message, c.message);
    }
    EXPECT_EQ(journalBytes(), before);
    // A correction is an entry of the other kind.
    const auto back = save(entry(d, "现金", CashKind::Payment, "40"));
    ASSERT_TRUE(back.ok) << back.message;
    EXPECT_DOUBLE_EQ(back.value.balance, 60);
}

TEST_F(JournalTest, AFailedCommitLeavesTheJournalAsItWas) {
    ASSERT_TRUE(save(entry(day(2013, 3, 1), "现金", CashKind::Receipt, "100")).ok);
    const std::string before = journalBytes();
    store->setCommitHook([](const std::filesystem::path&) { throw StoreError("injected failure"); });
    const auto out = save(entry(day(2013, 3, 2), "现金", CashKind::Receipt, "50"));
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, kDiskMessage);
    store->setCommitHook({});
    EXPECT_EQ(journalBytes(), before);
    // The next entry follows the last one that was written.
    const auto next = save(entry(day(2013, 3, 2), "现金", CashKind::Receipt, "50"));
    ASSERT_TRUE(next.ok);
    EXPECT_DOUBLE_EQ(next.value.balance, 150);
}

TEST_F(JournalTest, ListingMatchesTheWholeAccountNameAndBothEndDays) {
    ASSERT_TRUE(save(entry(day(2013, 2, 28), "银行存款", CashKind::Receipt, "1000")).ok);
    ASSERT_TRUE(save(entry(day(2013, 3, 1), "银行存款", CashKind::Payment, "50", "付房租",
                           "管理费用")).ok);
    ASSERT_TRUE(save(entry(day(2013, 3, 1), "银行存款→工商银行", CashKind::Receipt, "7")).ok);
    // Stamped late on the last day: only the day counts.
    ASSERT_TRUE(save(entry(day(2013, 3, 31) + 0.75, "银行存款", CashKind::Receipt, "12.5")).ok);
    ASSERT_TRUE(save(entry(day(2013, 4, 1), "银行存款", CashKind::Receipt, "1")).ok);

    const auto march = list("银行存款", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_TRUE(march.ok) << march.message;
    const std::vector<JournalLine> expected{
        // What February's entry left is brought into March.
        {"2013-3-1", "", "", "1000", "", "期初余额", ""},
        {"2013-3-1", "付", "-50", "950", "张三", "付房租", "管理费用"},
        {"2013-3-31", "收", "12.5", "962.5", "张三", "摘要", ""},
    };
    EXPECT_EQ(march.value, expected);

    const auto sub = list("银行存款→工商银行", day(2013, 1, 1), day(2013, 12, 31));
    ASSERT_EQ(sub.value.size(), 2u);
    EXPECT_EQ(sub.value[1][3], "7");
    // A month without entries shows what it brings forward.
    EXPECT_EQ(list("银行存款", day(2013, 5, 1), day(2013, 5, 31)).value,
              (std::vector<JournalLine>{{"2013-5-1", "", "", "963.5", "", "期初余额", ""}}));
    EXPECT_TRUE(list(kJournalAccountPrompt, day(2013, 1, 1), day(2013, 12, 31)).value.empty());
}

TEST_F(JournalTest, AnUnreadableJournalIsARefusalNotAnEmptyList) {
    ASSERT_TRUE(save(entry(day(2013, 3, 1), "现金", CashKind::Receipt, "100")).ok);
    store.reset();
    std::ofstream(path(file::kJournal), std::ios::binary | std::ios::trunc) << "not a table";
    store = std::make_unique<RecordStore>(dataDir);
    const auto listed = list("现金", day(2013, 3, 1), day(2013, 3, 31));
    EXPECT_FALSE(listed.ok);
    EXPECT_EQ(listed.message, kUnreadableSet);
    const auto saved = save(entry(day(2013, 3, 2), "现金", CashKind::Receipt, "5"));
    EXPECT_FALSE(saved.ok);
    EXPECT_EQ(saved.message, kUnreadableSet);
}

TEST_F(JournalTest, TheAccountListOffersCashAndBankAccountsOnly) {
    addSub("现金", "备用金");
    const auto accounts = runCaught([&] { return cashAndBankAccounts(*store, session); });
    ASSERT_TRUE(accounts.ok);
    // In table order: sub-accounts added later come after the accounts made with the set.
    EXPECT_EQ(accounts.value,
              (std::vector<std::string>{"现金", "银行存款", "银行存款→工商银行", "现金→备用金"}));
}

TEST_F(JournalTest, AnExportedListOfTwoRowsFillsA1ToG2) {
    ASSERT_TRUE(save(entry(day(2013, 3, 1), "现金", CashKind::Receipt, "1500", "收到货款",
                           "应收账款")).ok);
    ASSERT_TRUE(save(entry(day(2013, 3, 2), "现金", CashKind::Payment, "200.5", "支付运费")).ok);
    const auto listed = list("现金", day(2013, 3, 1), day(2013, 3, 31));
    ASSERT_EQ(listed.value.size(), 3u);  // the opening line and the two entries
    const std::vector<JournalLine> lines(listed.value.begin() + 1, listed.value.end());

    const test::TempDir exports;
    const auto file = exports / "导出" / journalExportName({"现金", day(2013, 3, 1), day(2013, 3, 31)});
    EXPECT_EQ(file.filename().string(), "日记账 现金 2013-3-1至2013-3-31.xlsx");
    std::filesystem::create_directories(file.parent_path());
    ASSERT_TRUE(runCaught([&] { saveExport(journalWorkbook(lines), file, dataDir); }).ok);
    std::string error;
    auto cells = readXlsxSheet(file, 1, &error);
    ASSERT_TRUE(cells) << error;
    // The dates are day numbers, read back as the list shows them; the
    // amounts are numbers in the amount format.
    for (const char* at : {"A1", "A2"}) {
        EXPECT_EQ(test::cellFacts(file, at).format, "yyyy-m-d") << at;
        (*cells)[at] = formatDate(std::stod(cells->at(at)));
    }
    for (const char* at : {"C1", "D1", "C2", "D2"}) {
        EXPECT_EQ(test::cellFacts(file, at).type, "n") << at;
        EXPECT_EQ(test::cellFacts(file, at).format, "#,##0.00") << at;
    }
    const std::map<std::string, std::string> expected{
        {"A1", "2013-3-1"}, {"B1", "收"}, {"C1", "1500"},   {"D1", "1500"},   {"E1", "张三"},
        {"F1", "收到货款"}, {"G1", "应收账款"},
        {"A2", "2013-3-2"}, {"B2", "付"}, {"C2", "-200.5"}, {"D2", "1299.5"}, {"E2", "张三"},
        {"F2", "支付运费"},  // an empty counter account leaves G2 empty
    };
    EXPECT_EQ(*cells, expected);
}

}  // namespace
}  // namespace tw
