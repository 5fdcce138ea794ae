// A table opened for a scope is closed again however the scope is left, and a
// table the caller had open stays open.
#include <gtest/gtest.h>

#include <stdexcept>

#include "storage/scoped_table.h"
#include "store_fixture.h"

namespace tw {
namespace {

using test::TempDir;

const Schema kNames{{"姓名", FieldType::Text, 20}};

class ScopedTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.createTable(first, kNames));
        ASSERT_TRUE(store.createTable(second, kNames));
    }
    TempDir dir;
    RecordStore store{dir.path()};
    std::filesystem::path first = dir / "甲.edb";
    std::filesystem::path second = dir / "乙.edb";
};

TEST_F(ScopedTableTest, ClosesWhenTheScopeEndsAndWhenAnExceptionLeavesIt) {
    {
        ScopedTable t(store);
        ASSERT_TRUE(t.open(first, "", kNames));
        EXPECT_TRUE(store.isOpen(first));
        EXPECT_EQ(t.table().count(), 0);
    }
    EXPECT_FALSE(store.isOpen(first));
    try {
        ScopedTable t(store);
        ASSERT_TRUE(t.open(first, ""));
        throw std::runtime_error("a read failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(store.isOpen(first));
}

TEST_F(ScopedTableTest, ATableOpenBeforeStaysOpen) {
    ASSERT_TRUE(store.openTable(first, ""));
    {
        ScopedTable t(store);
        ASSERT_TRUE(t.open(first, ""));
    }
    EXPECT_TRUE(store.isOpen(first));
}

TEST_F(ScopedTableTest, OpeningAnotherClosesTheFirstAndAFailedOpenHoldsNothing) {
    ScopedTable t(store);
    ASSERT_TRUE(t.open(first, ""));
    ASSERT_TRUE(t.open(second, ""));
    EXPECT_FALSE(store.isOpen(first));
    EXPECT_TRUE(store.isOpen(second));
    EXPECT_FALSE(t.open(dir / "丙.edb", ""));
    EXPECT_EQ(store.lastOpenFailure(), RecordStore::OpenFailure::Missing);
    EXPECT_FALSE(store.isOpen(second));
}

}  // namespace
}  // namespace tw
