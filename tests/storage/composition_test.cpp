// Operations composed into one action, table copies inside an action, and the
// commit path refusing what would otherwise vanish or be lost silently.
#include <gtest/gtest.h>
#include <fstream>

#include "storage/number_text.h"
#include "storage/outcome.h"
#include "storage/record_store.h"
#include "store_fixture.h"

namespace tw {
namespace {

using test::TempDir;
using test::tableRows;

const Schema kLines{{"科目", FieldType::Text, 100}, {"金额", FieldType::Double}};

class CompositionTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordStore store{dir.path()};
    std::filesystem::path ledger = dir / "账库.edb", totals = dir / "账库辅1.edb",
                          vouchers = dir / "凭证库.edb";

    void SetUp() override {
        for (const auto& p : {ledger, totals, vouchers}) ASSERT_TRUE(store.createTable(p, kLines));
    }
    std::vector<std::string> rows(const std::filesystem::path& p) {
        return tableRows(dir.path(), p, "");
    }

    // Three operations in the shape of the month-end close: the innermost
    // posts, the middle one writes a voucher and posts, the outer one closes.
    void post() {
        ASSERT_TRUE(store.openTable(ledger, ""));
        store.table(ledger).append({"银行存款", 100.0});
        ASSERT_TRUE(store.openTable(totals, ""));
        store.appendRecord({"银行存款", 100.0});
    }
    void carryForward() {
        ASSERT_TRUE(store.openTable(vouchers, ""));
        store.appendRecord({"本年利润", 5.0});
        post();
    }
    void close() {
        carryForward();
        store.selectTable(ledger);
        store.appendRecord({"本月合计", 100.0});
    }
};

TEST_F(CompositionTest, ANestedCloseIsOneActionThatAnInjectedFailureUndoesEntirely) {
    for (int failAt = 0; failAt < 3; ++failAt) {
        store.setCommitHook([n = 0, failAt](const std::filesystem::path&) mutable {
            if (n++ == failAt) throw StoreError("injected");
        });
        const Outcome out = runAction(store, [&] { close(); });
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.message, kDiskMessage);
        for (const auto& p : {ledger, totals, vouchers}) EXPECT_TRUE(rows(p).empty()) << p;
    }
    store.setCommitHook({});
    ASSERT_TRUE(runAction(store, [&] { close(); }).ok);
    EXPECT_EQ(rows(ledger).size(), 2u);
    EXPECT_EQ(rows(totals).size(), 1u);
    EXPECT_EQ(rows(vouchers).size(), 1u);
}

TEST_F(CompositionTest, ARefusalDeepInsideWritesNothingAndCarriesItsMessage) {
    const Outcome out = runAction(store, [&] {
        carryForward();
        refuse("借、贷方不平！无法通过审核！。", "voucher 30002");
    });
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.message, "借、贷方不平！无法通过审核！。");
    EXPECT_EQ(out.detail, "voucher 30002");
    EXPECT_TRUE(rows(vouchers).empty());
    EXPECT_TRUE(rows(ledger).empty());
}

TEST_F(CompositionTest, ACopyInsideTheActionHoldsItsWritesAndLandsWithItsCommit) {
    // The close's pattern: rows written, the table copied, the copy read back.
    const auto copy = dir / "总账库-temp.edb";
    {
        Action a(store);
        ASSERT_TRUE(store.openTable(ledger, ""));
        store.appendRecord({"现金", 1.0});
        store.table(ledger).append({"银行存款", 2.0});
        store.copyTable(ledger, copy);
        ASSERT_TRUE(store.openTable(copy, ""));
        EXPECT_EQ(store.recordCount(), 2);
        EXPECT_EQ(store.table(copy).select(Where().equal("科目", "银行存款")).size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(copy)) << "nothing on disk before the commit";
        // Left without commit: neither the rows nor the copy remain.
    }
    EXPECT_TRUE(rows(ledger).empty());
    EXPECT_FALSE(std::filesystem::exists(copy));

    Action a(store);
    ASSERT_TRUE(store.openTable(ledger, ""));
    store.appendRecord({"现金", 1.0});
    store.copyTable(ledger, copy);
    store.sortToFile(dir / "排序.edb", {"金额"});
    a.commit();
    EXPECT_EQ(rows(copy), (std::vector<std::string>{"现金|1.000000"}));
    EXPECT_EQ(rows(dir / "排序.edb"), (std::vector<std::string>{"现金|1.000000"}));
}

TEST_F(CompositionTest, IndexedWritesAndTheCursorSeeEachOther) {
    Action a(store);
    ASSERT_TRUE(store.openTable(ledger, ""));
    Table t = store.table(ledger);
    const auto id = t.append({"现金", 1.0});
    store.goFirst();
    EXPECT_EQ(store.readField("科目").text(), "现金");
    store.writeField("金额", 7.5);
    EXPECT_EQ(t.get(id)->values[1].number(), 7.5);
    t.set(id, "金额", 8.0);
    EXPECT_EQ(store.readField("金额").number(), 8.0);
    t.remove(id);
    store.goFirst();
    EXPECT_TRUE(store.isPastEnd());
    a.commit();
    EXPECT_TRUE(rows(ledger).empty());
}

TEST_F(CompositionTest, TheCommitPathRefusesWhatWouldVanish) {
    // Deleted marks without purgeDeleted would be dropped: refused.
    ASSERT_TRUE(runAction(store, [&] {
                    ASSERT_TRUE(store.openTable(ledger, ""));
                    store.appendRecord({"现金", 1.0});
                }).ok);
    {
        Action a(store);
        ASSERT_TRUE(store.openTable(ledger, ""));
        store.deleteRecord();
        EXPECT_THROW(a.commit(), std::logic_error);
    }
    EXPECT_EQ(rows(ledger).size(), 1u);

    // A file replaced under an open table: the write fails loudly.
    ASSERT_TRUE(store.openTable(ledger, ""));
    const auto other = dir / "另一个.edb";
    ASSERT_TRUE(store.createTable(other, kLines));
    std::filesystem::rename(other, ledger);
    Action a(store);
    store.selectTable(ledger);
    store.writeField("金额", 2.0);
    EXPECT_THROW(a.commit(), StoreError);
}

TEST_F(CompositionTest, AnEleventhTableIsAProgrammingErrorAtItsFirstWrite) {
    Action a(store);
    for (int i = 0; i < 10; ++i) {
        const auto p = dir / ("表" + std::to_string(i) + ".edb");
        ASSERT_TRUE(store.createTable(p, kLines));
        ASSERT_TRUE(store.openTable(p, ""));
        store.appendRecord({"现金", 1.0});
    }
    ASSERT_TRUE(store.openTable(ledger, ""));
    EXPECT_THROW(store.appendRecord({"现金", 1.0}), std::logic_error);
}

TEST_F(CompositionTest, AFailureOfAnyKindLeavesNoTableAttached) {
    // A hook throwing something other than StoreError: the next commit works.
    store.setCommitHook([](const std::filesystem::path&) { throw std::runtime_error("boom"); });
    EXPECT_THROW(runAction(store, [&] { post(); }), std::runtime_error);
    store.setCommitHook({});
    for (int i = 0; i < 12; ++i) ASSERT_TRUE(runAction(store, [&] { post(); }).ok);
    EXPECT_EQ(rows(ledger).size(), 12u);
}

TEST(AnchorTest, AnAnchorThatCannotBeMadeIsRefusedWithAMessage) {
    // Without its anchor a commit would not be atomic across files: no store.
    TempDir dir;
    const auto notAFolder = dir / "文件";
    std::ofstream(notAFolder) << "x";
    try {
        RecordStore store(notAFolder);
        ADD_FAILURE() << "a store without its anchor";
    } catch (const StoreError& e) {
        EXPECT_NE(e.userMessage().find("套账目录无法写入"), std::string::npos);
    }
}

TEST(AnchorTest, AMissingAnchorFolderIsRefused) {
    TempDir dir;
    EXPECT_THROW(RecordStore(dir.path() / "不存在"), StoreError);
}

TEST(CentsTest, AChainOfThousandsOfRoundedBalancesNeverDrifts) {
    // Amounts with cents, posted 100,000 times: the running balance rounded at
    // each step equals the exact sum kept in whole cents.
    double balance = 0;
    long long cents = 0;
    unsigned seed = 7;
    for (int i = 0; i < 100000; ++i) {
        seed = seed * 1103515245u + 12345u;
        const long long c = static_cast<long long>(seed % 2000001) - 1000000;  // ±10,000.00
        cents += c;
        balance = roundCents(balance + c / 100.0);
    }
    EXPECT_EQ(plainDecimal(balance), plainDecimal(cents / 100.0));
    EXPECT_EQ(std::llround(balance * 100), cents);
}

}  // namespace
}  // namespace tw
