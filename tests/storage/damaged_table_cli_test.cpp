// Table files damaged behind the program's back: a column dropped, a page of
// an index overwritten. Every command that meets one refuses with the
// unreadable-table message and writes nothing; a backup names the damaged
// table instead of archiving it.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "support/cli_set_fixture.h"

namespace tw {
namespace {

constexpr const char* kUnreadable = "无法读出套账数据！  请检查后重试！\n";

std::string bytesOf(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Runs SQL on a table file directly, as another program could.
void sql(const std::filesystem::path& file, const std::string& statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &err);
    EXPECT_EQ(rc, SQLITE_OK) << (err ? err : "");
    sqlite3_free(err);
    sqlite3_close(db);
}

// The first page of the index `name` in a table file: its byte offset.
long indexPageOffset(const std::filesystem::path& file, const std::string& name) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT rootpage FROM sqlite_master WHERE name=?", -1, &st, nullptr);
    sqlite3_bind_text(st, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    const long page = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "PRAGMA page_size", -1, &st, nullptr);
    const long size = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : 0;
    sqlite3_finalize(st);
    sqlite3_close(db);
    return page > 0 ? (page - 1) * size : -1;
}

// Inverts `count` bytes of a file from `offset` on.
void flipBytes(const std::filesystem::path& file, long offset, int count) {
    std::string bytes = bytesOf(file);
    ASSERT_LE(offset + count, static_cast<long>(bytes.size()));
    for (int i = 0; i < count; ++i) bytes[offset + i] = static_cast<char>(~bytes[offset + i]);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

class DamagedTableCliTest : public test::CliSetTest {
protected:
    void SetUp() override {
        CliSetTest::SetUp();
        if (!HasFatalFailure()) enableWithCapital();
    }
    std::filesystem::path file(const char* name) const { return dataDir / "演示" / name; }
    void addVoucher(const std::string& day, const std::string& account, const std::string& amount) {
        ASSERT_EQ(run({"voucher", "add", "--day", day, "--line", "x|" + account + "|" + amount + "|",
                       "--line", "x|银行存款||" + amount})
                      .status,
                  0);
    }
    // A command that must meet the damaged table `damaged`: refused, the
    // damaged file byte for byte as it was, the other tables' records too.
    void refusedWithoutWriting(const std::vector<std::string>& args, const char* damaged,
                               const std::vector<const char*>& others) {
        const std::string before = bytesOf(file(damaged));
        std::vector<std::vector<std::vector<Value>>> othersBefore;
        for (const char* f : others) othersBefore.push_back(rows(f));
        const auto r = run(args);
        EXPECT_EQ(r.status, 1) << r.out;
        EXPECT_EQ(r.err, kUnreadable);
        EXPECT_EQ(bytesOf(file(damaged)), before) << damaged;
        for (size_t i = 0; i < others.size(); ++i) EXPECT_EQ(rows(others[i]), othersBefore[i]) << others[i];
    }
};

// SQLite reads a double-quoted name that matches no column as a string:
// without 审核, every voucher would read as reviewed by "审核".
TEST_F(DamagedTableCliTest, AVoucherTableWithoutItsReviewerColumnIsNotPosted) {
    addVoucher("5", "管理费用", "100");
    sql(file(file::kVouchers), "ALTER TABLE records DROP COLUMN \"审核\"");
    refusedWithoutWriting({"post"}, file::kVouchers, {file::kLedger, file::kBalances});
}

// Without 余额, every balance would read as 0 and nothing would be carried.
TEST_F(DamagedTableCliTest, TotalsWithoutTheirBalanceColumnAreNotClosed) {
    addVoucher("5", "管理费用", "100");
    ASSERT_EQ(run({"review-all"}).status, 0);
    ASSERT_EQ(run({"post"}).status, 0);
    sql(file(file::kBalances), "ALTER TABLE records DROP COLUMN \"余额\"");
    refusedWithoutWriting({"close"}, file::kBalances,
                          {file::kVouchers, file::kLedger, file::kGeneralLedger, file::kBasicInfo});
}

// 64 bytes of the cell pointers of 总账库's date index overwritten: SQLite
// answers its look-ups with rows missing unless it checks the cells.
TEST_F(DamagedTableCliTest, ADamagedIndexPageStopsTheCloseAndTheBackup) {
    for (const char* day : {"5", "6"}) {
        addVoucher(day, "管理费用", "100");
        ASSERT_EQ(run({"review-all"}).status, 0);
        ASSERT_EQ(run({"post"}).status, 0);
        ASSERT_EQ(run({"close"}).status, 0);
    }
    const long page = indexPageOffset(file(file::kGeneralLedger), "i_凭证日期");
    ASSERT_GT(page, 0);
    flipBytes(file(file::kGeneralLedger), page + 10, 64);
    refusedWithoutWriting({"close"}, file::kGeneralLedger,
                          {file::kVouchers, file::kLedger, file::kBalances, file::kBasicInfo});

    const auto archive = dataDir.parent_path() / (dataDir.filename().string() + ".zip");
    const auto backup = run({"backup", "--to", archive.string()});
    EXPECT_EQ(backup.status, 1);
    EXPECT_EQ(backup.err, "套账中的数据表“总账库.edb”已损坏，未作备份！  请用以前的备份恢复后再试。\n");
    EXPECT_FALSE(std::filesystem::exists(archive));
}

}  // namespace
}  // namespace tw
