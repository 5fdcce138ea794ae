// The close and the tables around it from a shell: a planted link cannot
// turn the close's working copy into another table, the last period the
// books can hold, indexes that only an action writes, and a table of a newer
// format.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "ledgers/user_files_fixture.h"

namespace tw::test {
namespace {

// The names of the indexes a table file holds.
std::vector<std::string> indexesOf(const std::filesystem::path& file) {
    std::vector<std::string> names;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type='index' AND name NOT LIKE 'sqlite%'", -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return names;
}

void sql(const std::filesystem::path& file, const std::string& statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << statement;
    sqlite3_close(db);
}

using CloseFilesTest = ClosedMonthCli;

TEST_F(CloseFilesTest, ALinkWhereTheWorkingCopyWasLeavesTheTableItPointsTo) {
    // The working copy of 总账库 once lay beside the tables under a fixed
    // name; a link planted there made the close write over the journal.
    std::filesystem::remove(inSet("总账库-temp.edb"));
    std::filesystem::create_symlink("日记账库.edb", inSet("总账库-temp.edb"));
    const std::string journal = digest(fileBytes(inSet("日记账库.edb")));
    const auto r = run({"close"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(digest(fileBytes(inSet("日记账库.edb"))), journal);
    EXPECT_EQ(std::filesystem::read_symlink(inSet("总账库-temp.edb")), "日记账库.edb");
    EXPECT_EQ(run({"status"}).out.substr(0, 7), "2013-05");
    // Nothing of the copy is left beside the tables or in a work folder.
    for (const auto& [name, what] : fileTree(dataDir))
        EXPECT_EQ(name.find(".tallowick-temp"), std::string::npos) << name;
}

TEST_F(CloseFilesTest, ReadingATableWithoutItsIndexesWritesNothing) {
    // An openable table that lacks its indexes, say one from another program.
    const auto vouchers = inSet("凭证库.edb");
    for (const std::string& index : indexesOf(vouchers)) sql(vouchers, "DROP INDEX \"" + index + "\"");
    ASSERT_TRUE(indexesOf(vouchers).empty());
    const auto before = fileTree(dataDir);
    EXPECT_EQ(run({"vouchers"}).status, 0);
    EXPECT_EQ(run({"search", "--summary", "销售"}).status, 0);
    EXPECT_NE(run({"voucher", "delete", "--number", "40009"}).status, 0);  // refused: no such voucher
    EXPECT_EQ(fileTree(dataDir), before);
    // The action that writes the table makes them.
    ASSERT_EQ(run({"voucher", "add", "--day", "3", "--line", "提现|现金|80|", "--line",
                   "提现|银行存款||80"})
                  .status,
              0);
    EXPECT_FALSE(indexesOf(vouchers).empty());
}

TEST_F(CloseFilesTest, ATableOfANewerFormatIsRefusedByName) {
    sql(inSet("账库.edb"), "UPDATE meta SET value='2' WHERE key='version'");
    const auto before = fileTree(dataDir);
    const auto r = run({"ledger", "--account", "银行存款", "--from", "2013-03-01", "--to", "2013-03-31"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "“账库.edb”是更新版本的程序保存的，本程序不能读写它，请使用新版本的程序！\n");
    EXPECT_EQ(fileTree(dataDir), before);
}

TEST(CloseLimit, TheCloseThatWouldPassDecember9999IsRefused) {
    const auto dataDir = freshTempDir("last-period");
    ASSERT_EQ(runCli(dataDir, {"set", "create", "末年", "--admin", "张三", "--password", "1",
                               "--start", "9999-12-01"})
                  .status,
              0);
    const auto as = [&](std::vector<std::string> args, std::size_t words) {
        return runCli(dataDir, withSetLogin(std::move(args), words, "末年", "张三", "1"));
    };
    ASSERT_EQ(as({"opening", "enable"}, 2).status, 0);
    const auto before = fileTree(dataDir);
    const auto r = as({"close"}, 1);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "会计期间已到9999年12月，不能再结账！\n");
    EXPECT_EQ(fileTree(dataDir), before);
    std::filesystem::remove_all(dataDir);
}

}  // namespace
}  // namespace tw::test
