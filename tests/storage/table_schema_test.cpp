// A table file is read only when its records have exactly the columns its
// fields describe, names are never read as texts, and texts the listings
// could not hold are refused.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <iterator>

#include "storage/record_store.h"
#include "storage/table_check.h"
#include "storage/sqlite_connection.h"
#include "store_fixture.h"

namespace tw {
namespace {

using test::TempDir;

const Schema kItems{{"名称", FieldType::Text, 20}, {"数量", FieldType::Int32}, {"金额", FieldType::Double}};

class TableSchemaTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordStore store{dir.path()};
    std::filesystem::path items = dir / "物品.edb";

    void SetUp() override {
        ASSERT_TRUE(store.createTable(items, kItems));
        ASSERT_TRUE(store.openTable(items, ""));
        Action a(store);
        for (int i = 1; i <= 50; ++i) store.appendRecord({"物品" + std::to_string(i), i, i * 1.5});
        a.commit();
        store.closeTable();
    }
    void sql(const std::string& statement) {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(items.c_str(), &db), SQLITE_OK);
        char* err = nullptr;
        EXPECT_EQ(sqlite3_exec(db, statement.c_str(), nullptr, nullptr, &err), SQLITE_OK)
            << (err ? err : "");
        sqlite3_free(err);
        sqlite3_close(db);
    }
};

TEST_F(TableSchemaTest, ColumnsMustBeTheFieldsInNameOrderAndType) {
    const std::string sound = [&] {
        std::ifstream in(items, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    const char* damages[] = {
        "ALTER TABLE records DROP COLUMN \"数量\"",
        "ALTER TABLE records ADD COLUMN \"备注\" TEXT",
        "ALTER TABLE records RENAME COLUMN \"金额\" TO \"价格\"",
        "ALTER TABLE records DROP COLUMN \"金额\"; ALTER TABLE records ADD COLUMN \"金额\" TEXT",
        "CREATE TABLE r2(\"数量\" INTEGER, \"名称\" TEXT, \"金额\" REAL); DROP TABLE records;"
        " ALTER TABLE r2 RENAME TO records",
    };
    for (const char* damage : damages) {
        SCOPED_TRACE(damage);
        std::ofstream(items, std::ios::binary | std::ios::trunc) << sound;
        ASSERT_TRUE(store.openTable(items, ""));
        store.closeTable();
        sql(damage);
        EXPECT_FALSE(store.openTable(items, ""));
        EXPECT_EQ(store.lastOpenFailure(), RecordStore::OpenFailure::NotATable);
    }
}

TEST_F(TableSchemaTest, ADoubleQuotedNameIsNeverReadAsItsOwnText) {
    detail::Connection c;
    ASSERT_EQ(sqlite3_open_v2(items.c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
    detail::configureConnection(c.db);
    EXPECT_THROW(detail::Statement(c.db, "SELECT \"审核\" FROM records"), StoreError);
    // A quote inside a name is doubled, not ended.
    EXPECT_EQ(detail::quoteName("甲\"乙"), "\"甲\"\"乙\"");
}

TEST_F(TableSchemaTest, ControlCharactersInAnyTextAreRefusedAndNothingIsWritten) {
    ASSERT_TRUE(store.openTable(items, ""));
    for (const char* text : {"物品\t甲", "第一行\n第二行", "物品\x01", "回车\r", "删除\x7f"}) {
        Action a(store);
        try {
            store.appendRecord({std::string(text), 1});
            ADD_FAILURE() << "accepted";
        } catch (const TextError& e) {
            EXPECT_EQ(e.userMessage(), "名称 不能含有换行、制表符等控制字符！");
        }
    }
    EXPECT_EQ(store.recordCount(), 50);
}

TEST_F(TableSchemaTest, QuickCheckFindsAnOverwrittenPage) {
    EXPECT_EQ(quickCheck(items), std::vector<std::string>{});
    std::string bytes = [&] {
        std::ifstream in(items, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }();
    ASSERT_GT(bytes.size(), 4096u * 3);
    for (int i = 0; i < 64; ++i) bytes[4096 * 3 + 8 + i] ^= 0x5A;  // a page's cell pointers
    std::ofstream(items, std::ios::binary | std::ios::trunc) << bytes;
    EXPECT_FALSE(quickCheck(items).empty());
    EXPECT_EQ(damagedTables(dir.path()).size(), 0u) << "物品.edb is no table of a set";
    EXPECT_FALSE(quickCheck(dir / "没有.edb").empty());
}

}  // namespace
}  // namespace tw
