// The check of a set: silent on sound books, and for each fault planted in
// them (by another program writing the table files) a line that says where
// and how much. The check itself writes nothing.
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#include "closing/books_check.h"
#include "closing_fixture.h"
#include "findings.h"
#include "support/cli_runner.h"

namespace tw::test {
namespace {

class BooksCheck : public ClosingTest {
protected:
    // March closed, April's vouchers posted.
    void SetUp() override {
        ClosingTest::SetUp();
        enableWith({{"银行存款", 5000}, {"实收资本", -5000}});
        addVoucher(30001, {{"银行存款", 800}, {"主营业务收入", 0, 800}});
        addVoucher(30002, {{"管理费用", 300}, {"银行存款", 0, 300}});
        ASSERT_EQ(post().value, 2);
        ASSERT_TRUE(close().ok);
        addVoucher(40001, {{"应收账款", 1200}, {"主营业务收入", 0, 1200}});
        ASSERT_EQ(post().value, 1);
    }

    std::vector<std::string> check() {
        const auto found = runCaught([&] { return checkBooks(*store, session); });
        EXPECT_TRUE(found.ok) << found.message;
        return found.value;
    }

    std::string bytesOf(const char* file) const {
        std::ifstream in(path(file), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // The record number of the first 账库 row of `account` with voucher `number`.
    long ledgerRow(const std::string& account, std::int64_t number) {
        const auto ledger = rows(file::kLedger);
        for (size_t i = 0; i < ledger.size(); ++i)
            if (ledger[i][3].text() == account && ledger[i][1].integer() == number)
                return static_cast<long>(i) + 1;
        ADD_FAILURE() << "no row of " << account << " " << number;
        return 0;
    }
};

TEST_F(BooksCheck, SoundBooksHaveNoFindingAndAreLeftAsTheyWere) {
    const std::string ledger = bytesOf(file::kLedger), general = bytesOf(file::kGeneralLedger);
    EXPECT_EQ(check(), std::vector<std::string>{});
    EXPECT_EQ(bytesOf(file::kLedger), ledger);
    EXPECT_EQ(bytesOf(file::kGeneralLedger), general);
}

TEST_F(BooksCheck, ABrokenRunningBalanceIsFoundWithItsRowAndDifference) {
    const long row = ledgerRow("银行存款", 30002);  // 5800 − 300 = 5500
    runSql(file::kLedger, "UPDATE records SET \"余额\" = 5600 WHERE rowid = " + std::to_string(row));
    const auto found = check();
    ASSERT_FALSE(found.empty());
    EXPECT_EQ(found[0], "账库第" + std::to_string(row) +
                            "条记录（银行存款，2013-3-31，凭证30002）：余额 借 5600.00，应为 借 "
                            "5500.00，相差 100.00");
}

TEST_F(BooksCheck, ALedgerRowWithoutItsVoucherIsFound) {
    // The April voucher goes, its two rows stay.
    runSql(file::kVouchers, "DELETE FROM records WHERE \"月编号\" = 40001");
    const auto found = check();
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(has(found, "账库第" + std::to_string(ledgerRow("应收账款", 40001)) +
                               "条记录（应收账款，2013-4-30，凭证40001）：借 1200.00，贷 0.00，"
                               "没有对应的已登账凭证行"))
        << lines(found);
    EXPECT_TRUE(hasPart(found, "（主营业务收入，2013-4-30，凭证40001）：借 0.00，贷 1200.00"))
        << lines(found);
}

TEST_F(BooksCheck, APostedLineWithoutItsLedgerRowIsFound) {
    const long row = ledgerRow("应收账款", 40001);
    runSql(file::kLedger, "DELETE FROM records WHERE rowid = " + std::to_string(row));
    const auto found = check();
    EXPECT_TRUE(has(found, "凭证40001（2013-4-30）第1页第1行 应收账款 借 1200.00：已登账，"
                           "账库中却没有它的记录"))
        << lines(found);
    // 账库辅1 still holds what the row brought.
    EXPECT_TRUE(has(found, "账库辅1 应收账款：借方 1200.00，账库为 0.00，相差 1200.00"))
        << lines(found);
}

TEST_F(BooksCheck, AFlippedIndexPageIsFoundBeforeAnyFigureIsRead) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path(file::kGeneralLedger).c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name = 'i_凭证日期'", -1, &st,
                       nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    const long page = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    std::string bytes = bytesOf(file::kGeneralLedger);
    const long at = (page - 1) * 4096 + 10;  // the page's cell pointers
    for (long i = at; i < at + 64; ++i) bytes[i] = static_cast<char>(~bytes[i]);
    std::ofstream(path(file::kGeneralLedger), std::ios::binary | std::ios::trunc) << bytes;

    const auto found = check();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].starts_with("数据表“总账库.edb”已损坏：")) << found[0];
    EXPECT_EQ(bytesOf(file::kGeneralLedger), bytes);
}

// The other identities, each planted on its own in the same books.
TEST_F(BooksCheck, ClosedMonthsAndThePeriodAreChecked) {
    struct Plant {
        const char* file;
        std::string sql;
        std::string finding;
    };
    const std::vector<Plant> plants{
        {file::kGeneralLedger,
         "UPDATE records SET \"余额\" = \"余额\" + 50 WHERE \"摘要\" = '本年累计' AND \"科目\" = '银行存款'",
         "2013年3月：试算不平衡，总账库本年累计的期末余额合计为 借 50.00"},
        {file::kGeneralLedger,
         "UPDATE records SET \"借方\" = \"借方\" + 10 WHERE \"摘要\" = '本月合计' AND \"科目\" = '管理费用'",
         "2013年3月：总账库本月合计借方 2210.00，贷方 2200.00，相差 10.00"},
        {file::kLedger,
         "UPDATE records SET \"余额\" = 300, \"方向\" = '借' WHERE \"摘要\" = '本月合计' AND \"科目\" = '管理费用'",
         "2013年3月：损益类科目 管理费用 结账后余额为 借 300.00，未结转为零"},
        {file::kBasicInfo, "UPDATE records SET \"会计期间\" = \"会计期间\" + 30",
         "会计期间为2013年5月，总账库最后结账的月份却是2013年3月"},
    };
    for (const Plant& p : plants) {
        SCOPED_TRACE(p.finding);
        const std::string before = bytesOf(p.file);
        runSql(p.file, p.sql);
        const auto found = check();
        EXPECT_TRUE(has(found, p.finding)) << lines(found);
        std::ofstream(path(p.file), std::ios::binary | std::ios::trunc) << before;
        ASSERT_EQ(check(), std::vector<std::string>{});
    }
}

// `check` from a shell: exit 0 and one line on sound books; the findings,
// the count and a non-zero exit otherwise.
TEST_F(BooksCheck, TheCommandPrintsTheFindingsAndExitsNonZeroOnAFault) {
    store.reset();
    const std::vector<std::string> args{"check", session.login.setName, "--user", "张三",
                                        "--password", "mima"};
    auto r = runCli(dataDir, args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "核对完毕，未发现问题。\n");
    runSql(file::kVouchers, "DELETE FROM records WHERE \"月编号\" = 40001");
    r = runCli(dataDir, args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2);
    EXPECT_EQ(r.err, "核对发现2处问题！\n");
    store = std::make_unique<RecordStore>(dataDir);
}

}  // namespace
}  // namespace tw::test
