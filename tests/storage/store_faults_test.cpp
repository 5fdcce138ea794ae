// The record store's own edges: updates from stale copies of a record,
// committed work that must never be reported as failed, schemas the change
// mask cannot describe, table files of a newer format, and what lies at the
// name of a table made anew.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>

#include "storage/outcome.h"
#include "storage/record_store.h"
#include "store_fixture.h"

namespace tw {
namespace {

using test::TempDir;
using test::tableRows;

const Schema kAccounts{{"科目", FieldType::Text, 40},
                       {"借方", FieldType::Double},
                       {"贷方", FieldType::Double}};

void sql(const std::filesystem::path& file, const std::string& statement) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* err = nullptr;
    EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &err), SQLITE_OK)
        << (err ? err : "") << " in " << statement;
    sqlite3_free(err);
    sqlite3_close(db);
}

class StoreFaultsTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordStore store{dir.path()};
    std::filesystem::path accounts = dir / "科目.edb";

    void SetUp() override {
        ASSERT_TRUE(store.createTable(accounts, kAccounts));
        ASSERT_TRUE(store.openTable(accounts, ""));
        Action a(store);
        store.appendRecord({"现金", 1.0, 2.0});
        a.commit();
    }
};

TEST_F(StoreFaultsTest, TwoUpdatesFromCopiesOfOneRecordBothLand) {
    // Two parts of one action each read the record and change their own field.
    for (bool appendedInTheAction : {false, true}) {
        SCOPED_TRACE(appendedInTheAction ? "a record appended in the action" : "a record of the file");
        Action a(store);
        Table t = store.table(accounts);
        if (appendedInTheAction) t.append({"银行存款", 1.0, 2.0});
        const Record first = *t.last(), second = *t.last();
        t.update(first, {{1, Value(10.0)}});
        t.update(second, {{2, Value(20.0)}});
        const Record seen = *t.get(first.id);
        EXPECT_EQ(seen[1].number(), 10.0);
        EXPECT_EQ(seen[2].number(), 20.0);
        a.commit();
        EXPECT_EQ(tableRows(dir.path(), accounts, "").back(),
                  std::string(appendedInTheAction ? "银行存款" : "现金") + "|10.000000|20.000000");
    }
}

TEST_F(StoreFaultsTest, ManyRecordsGivenTheSameValuesLandTogetherOrNotAtAll) {
    // 1,200 records: most stamped alike (written several hundred to a
    // statement), a few given values of their own.
    {
        Action a(store);
        Table t = store.table(accounts);
        for (int i = 1; i < 1200; ++i) t.append({"科目" + std::to_string(i), 0.0, 0.0});
        a.commit();
    }
    std::vector<std::int64_t> ids;
    {
        Action a(store);
        Table t = store.table(accounts);
        for (const Record& r : t.select(Where(), std::vector<int>{0})) ids.push_back(r.id);
        for (std::size_t i = 0; i < ids.size(); ++i)
            t.change(ids[i], i % 100 == 7 ? std::vector<std::pair<int, Value>>{{1, Value(double(i))}}
                                          : std::vector<std::pair<int, Value>>{{2, Value(9.5)}});
        a.commit();
    }
    auto rows = tableRows(dir.path(), accounts, "");
    ASSERT_EQ(rows.size(), 1200u);
    EXPECT_EQ(rows[0], "现金|1.000000|9.500000");
    EXPECT_EQ(rows[7], "科目7|7.000000|0.000000");
    EXPECT_EQ(rows[1199], "科目1199|0.000000|9.500000");
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const std::string& r) { return r.ends_with("|9.500000"); }),
              1188);

    // A record among those stamped vanishes under the action (another
    // program deleted it): the commit fails and no record is stamped.
    Outcome out = runAction(store, [&] {
        Table t = store.table(accounts);
        for (const std::int64_t id : ids) t.change(id, {{1, Value(3.0)}});
        sql(accounts, "DELETE FROM records WHERE rowid=" + std::to_string(ids[900]));
    });
    EXPECT_FALSE(out.ok);
    rows = tableRows(dir.path(), accounts, "");
    EXPECT_EQ(rows.size(), 1199u);
    EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                            [](const std::string& r) { return r.find("|3.000000|") != std::string::npos; }),
              0);
}

TEST_F(StoreFaultsTest, ATableThatCannotBeReadAgainAfterItsCommitIsNoFailedCommit) {
    // The file of a table made in the action goes away while it is being
    // written: the commit has landed, so it reports success; the next read
    // of the table is what fails, and it fails loudly.
    const auto made = dir / "新表.edb";
    store.setCommitHook([&](const std::filesystem::path& p) {
        if (p == made) std::filesystem::remove(made);
    });
    Outcome out = runAction(store, [&] {
        ASSERT_TRUE(store.createTable(made, kAccounts));
        ASSERT_TRUE(store.openTable(made, ""));
        store.appendRecord({"现金", 1.0, 2.0});
        store.selectTable(accounts);
        store.goFirst();
        store.writeField("借方", 5.0);
    });
    store.setCommitHook({});
    EXPECT_TRUE(out.ok) << out.detail;
    EXPECT_EQ(tableRows(dir.path(), accounts, "").front(), "现金|5.000000|2.000000");
    EXPECT_THROW(store.table(made).count(), StoreError);
}

TEST_F(StoreFaultsTest, ASchemaOfSixtyFourFieldsIsRefused) {
    Schema wide;
    for (int i = 0; i < 63; ++i) wide.push_back({"f" + std::to_string(i), FieldType::Double});
    const auto widest = dir / "63.edb";
    ASSERT_TRUE(store.createTable(widest, wide));
    ASSERT_TRUE(store.openTable(widest, ""));
    {
        Action a(store);
        store.appendRecord({});
        store.goFirst();
        store.writeField("f62", 7.0);  // the last bit of the change mask
        a.commit();
    }
    EXPECT_EQ(store.readField("f62").number(), 7.0);
    EXPECT_TRUE(tableRows(dir.path(), widest, "").front().ends_with("|7.000000"));

    wide.push_back({"f63", FieldType::Double});
    EXPECT_FALSE(store.createTable(dir / "64.edb", wide));
    EXPECT_FALSE(std::filesystem::exists(dir / "64.edb"));

    // A file that holds so many fields anyway does not open.
    store.closeTable(widest);
    sql(widest, "ALTER TABLE records ADD COLUMN f63 REAL");
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(widest.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "SELECT value FROM meta WHERE key='fields'", -1, &st, nullptr);
    ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
    std::string fields = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    sqlite3_close(db);
    fields.insert(fields.size() - 1, ",{\"name\":\"f63\",\"type\":\"double\"}");
    sql(widest, "UPDATE meta SET value='" + fields + "' WHERE key='fields'");
    EXPECT_FALSE(store.openTable(widest, ""));
}

TEST_F(StoreFaultsTest, ATableMadeWhereALinkLiesReplacesTheLinkNotItsTarget) {
    // A link planted at the name of a table about to be made (a sorted copy,
    // a working copy) must not carry the new table into the file it names.
    store.closeTable(accounts);
    const auto link = dir / "排序.edb";
    std::filesystem::create_symlink(accounts, link);
    const auto before = test::tableRows(dir.path(), accounts, "");
    ASSERT_TRUE(store.createTable(link, kAccounts));
    EXPECT_EQ(test::tableRows(dir.path(), accounts, ""), before);
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(store.openTable(link, ""));
    EXPECT_EQ(store.recordCount(), 0);
}

TEST_F(StoreFaultsTest, ATableMadeWhereSomethingNotOursLiesStopsAndLeavesItThere) {
    // Another program's file, a newer program's table, a folder: none is the
    // store's to delete, whether or not its commit would land.
    const auto bytes = [](const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const auto foreign = dir / "外来.edb";
    std::ofstream(foreign, std::ios::binary) << "另一个程序的文件";
    const auto newer = dir / "新版.edb";
    ASSERT_TRUE(store.createTable(newer, kAccounts));
    sql(newer, "UPDATE meta SET value='2' WHERE key='version'");
    const auto folder = dir / "文件夹.edb";
    std::filesystem::create_directory(folder);
    for (const auto& path : {foreign, newer}) {
        SCOPED_TRACE(path.filename().string());
        const std::string before = bytes(path);
        const Outcome out = runAction(store, [&] { store.createTable(path, kAccounts); });
        EXPECT_FALSE(out.ok);
        EXPECT_EQ(out.message, kUnreadableTable);
        EXPECT_EQ(bytes(path), before);
    }
    EXPECT_FALSE(store.createTable(folder, kAccounts));
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

TEST_F(StoreFaultsTest, AFailedCommitLeavesWhatLayAtTheNameOfATableMadeAnew) {
    // An empty file (what an interrupted commit leaves) is written in place,
    // and a link is replaced: a commit that fails leaves either as it was.
    store.closeTable(accounts);
    const auto empty = dir / "空.edb";
    std::ofstream(empty).close();
    const auto link = dir / "链接.edb";
    std::filesystem::create_symlink(accounts, link);
    store.setCommitHook([](const std::filesystem::path&) { throw StoreError("injected"); });
    EXPECT_FALSE(store.createTable(empty, kAccounts));
    EXPECT_FALSE(store.createTable(link, kAccounts));
    store.setCommitHook({});
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(empty)));
    EXPECT_EQ(std::filesystem::file_size(empty), 0u);
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::read_symlink(link), accounts);

    ASSERT_TRUE(store.createTable(empty, kAccounts));
    EXPECT_TRUE(store.openTable(empty, ""));
    EXPECT_EQ(store.recordCount(), 0);
}

TEST_F(StoreFaultsTest, ATableOfANewerFormatIsRefusedWithItsOwnReason) {
    store.closeTable(accounts);
    const std::string before = [&] {
        std::ifstream in(accounts, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    sql(accounts, "UPDATE meta SET value='2' WHERE key='version'");
    EXPECT_FALSE(store.openTable(accounts, ""));
    EXPECT_EQ(store.lastOpenFailure(), RecordStore::OpenFailure::NewerFormat);
    sql(accounts, "UPDATE meta SET value='1' WHERE key='version'");
    EXPECT_TRUE(store.openTable(accounts, ""));
}

}  // namespace
}  // namespace tw
