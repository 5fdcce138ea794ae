#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <sstream>

#include "startup/start_up.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/schemas.h"
#include "storage/store_fixture.h"
#include "support/built_programs.h"
#include "support/file_tree.h"
#include "support/spawn.h"

namespace tw {
namespace {

using test::TempDir;

// Column names of the `records` table as the sqlite3 tool sees them.
std::vector<std::string> sqliteColumns(const std::filesystem::path& path) {
    sqlite3* db = nullptr;
    std::vector<std::string> cols;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "SELECT name FROM pragma_table_info('records') ORDER BY cid", -1,
                           &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW)
            cols.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return cols;
}

TEST(Templates, FirstStartMakesEveryTemplateWithItsSchemaAndOnlyItsPassword) {
    TempDir root;
    const auto dataDir = root / "套账目录";
    prepareDataDir(dataDir);
    RecordStore store(dataDir);
    for (const TemplateTable& t : templateTables()) {
        const auto path = templatePath(dataDir, t.fileName);
        std::vector<std::string> expected;
        for (const auto& f : t.schema()) expected.push_back(f.name);
        EXPECT_EQ(sqliteColumns(path), expected) << t.fileName;
        EXPECT_TRUE(store.openTable(path, t.password)) << t.fileName;
        store.closeTable();
        EXPECT_FALSE(store.openTable(path, std::string(t.password).empty() ? "x" : ""))
            << t.fileName;
    }
    for (const char* f : {file::kReportWorkbook, file::kCoverWorkbook, file::kCalculator})
        EXPECT_GT(std::filesystem::file_size(templatePath(dataDir, f)), 0u) << f;
    EXPECT_EQ(sqliteColumns(templatePath(dataDir, file::kLedger)).at(8), "备用");
}

TEST(Templates, ChartHoldsTheAccountsOtherWindowsRelyOn) {
    TempDir root;
    prepareDataDir(root.path());
    RecordStore store(root.path());
    ASSERT_TRUE(store.openTable(templatePath(root.path(), file::kAccounts), kFixedPassword));
    std::map<std::string, std::string> category;
    std::vector<std::string> profitAndLoss;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1)) {
        const std::string name = store.readField(field::kAccountName).text();
        const std::string parent = store.readField(field::kParent).text();
        category[name] = store.readField(field::kCategory).text();
        const std::string dir = store.readField(4).text();
        EXPECT_TRUE(dir == "借方" || dir == "贷方") << name;
        // A sub-account follows its parent and carries its name.
        if (!parent.empty()) {
            EXPECT_TRUE(category.count(parent)) << name;
            EXPECT_EQ(name.rfind(parent + "→", 0), 0u) << name;
        } else if (category[name] == "损益类") {
            profitAndLoss.push_back(name);
        }
    }
    EXPECT_EQ(category["现金"], "资产类");
    EXPECT_EQ(category["银行存款"], "资产类");
    EXPECT_EQ(category["本年利润"], "权益类");
    EXPECT_GE(profitAndLoss.size(), 6u);
    store.closeTable();

    // Every top-level profit-and-loss account is carried forward to 本年利润.
    ASSERT_TRUE(store.openTable(templatePath(root.path(), file::kCarryForward), kFixedPassword));
    std::vector<std::string> from;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1)) {
        from.push_back(store.readField(field::kFromAccount).text());
        EXPECT_EQ(store.readField(field::kToAccount).text(), "本年利润");
    }
    EXPECT_EQ(from, profitAndLoss);
}

// A set is made from the templates: a power loss must not take one that the
// first start put in place. The directory is synced after the last of them.
TEST(Templates, TheFirstStartSyncsTheDirectoryAfterPlacingTheTemplates) {
    TempDir root;
    const auto dataDir = root / "套账目录";
    const auto log = root / "changes.log";
    const auto started = test::waitProcess(test::startProcess(
        {test::kCliPath, "--data-dir", dataDir.string(), "sets"},
        {"LD_PRELOAD=" + std::string(test::kKillShimPath), "TALLOWICK_SHIM_UNDER=" + dataDir.string(),
         "TALLOWICK_SHIM_LOG=" + log.string()},
        root.path(), "sets"));
    ASSERT_EQ(started.status, 0) << started.err;
    long line = 0, lastPlaced = 0, lastSynced = 0, placed = 0;
    std::istringstream changes(test::fileBytes(log));
    for (std::string change; std::getline(changes, change);) {
        ++line;
        const auto space = change.find(' ');
        const std::string call = change.substr(0, space);
        const std::filesystem::path path = change.substr(space + 1);
        if ((call == "rename" || call == "link") && path.parent_path() == dataDir) {
            lastPlaced = line;
            ++placed;
        }
        if (call == "dirsync" && path == dataDir) lastSynced = line;
    }
    EXPECT_GE(placed, static_cast<long>(templateTables().size()) + 6)
        << "the tables, two workbooks, the calculator, two pages and the statements' rules";
    EXPECT_GT(lastSynced, lastPlaced) << test::fileBytes(log);
}

TEST(Templates, AnExistingFileIsNeverOverwritten) {
    TempDir root;
    std::ofstream(root / "会计科目.edb") << "用户自己的文件";
    std::ofstream(root / "报表.xlsx") << "x";
    prepareDataDir(root.path());
    std::ifstream in(root / "会计科目.edb");
    std::string content;
    std::getline(in, content);
    EXPECT_EQ(content, "用户自己的文件");
    EXPECT_EQ(std::filesystem::file_size(root / "报表.xlsx"), 1u);
    EXPECT_TRUE(std::filesystem::exists(root / "凭证库.edb"));
}

}  // namespace
}  // namespace tw
