#include <gtest/gtest.h>

#include <fstream>

#include "storage/file_operations.h"
#include "storage/record_store.h"
#include "store_fixture.h"

namespace tw {
namespace {

using test::TempDir;
using test::tableRows;

const Schema kPeople{{"姓名", FieldType::Text, 20},
                     {"年龄", FieldType::Int32},
                     {"金额", FieldType::Double},
                     {"日期", FieldType::DateTime},
                     {"在职", FieldType::Boolean}};

class RecordStoreTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordStore store{dir.path()};
    std::filesystem::path people = dir / "人员.edb";

    void SetUp() override { ASSERT_TRUE(store.createTable(people, kPeople)); }

    void fill(const std::vector<std::string>& names) {
        ASSERT_TRUE(store.openTable(people, ""));
        Action a(store);
        int age = 20;
        for (const auto& n : names) store.appendRecord({n, age++});
        a.commit();
    }
    std::string nameHere() { return store.readField("姓名").text(); }
};

TEST_F(RecordStoreTest, EmptyTableScansNothingAndFindsNothing) {
    ASSERT_TRUE(store.openTable(people, ""));
    store.goFirst();
    EXPECT_TRUE(store.isPastEnd());  // a scan loop does nothing
    store.goLast();
    EXPECT_TRUE(store.isBeforeStart());
    EXPECT_FALSE(store.findRecord([](const RecordView&) { return true; }));
    EXPECT_EQ(store.maxOf([](const RecordView& r) { return r.number("金额"); },
                          [](const RecordView&) { return true; }),
              0);
}

TEST_F(RecordStoreTest, AppendFillsMissingFieldsWithEmptyValues) {
    fill({"张三"});
    ASSERT_TRUE(store.openTable(people, ""));
    EXPECT_EQ(nameHere(), "张三");
    EXPECT_EQ(store.readField("金额").number(), 0);
    EXPECT_FALSE(store.readField("在职").boolean());
    EXPECT_EQ(store.readField(4).number(), 0);
}

TEST_F(RecordStoreTest, FailedFindLeavesThePositionWhereItWas) {
    fill({"甲", "乙", "丙"});
    ASSERT_TRUE(store.openTable(people, ""));
    store.goToRecord(2);
    EXPECT_FALSE(store.findRecord([](const RecordView& r) { return r.text("姓名") == "丁"; }));
    EXPECT_EQ(nameHere(), "乙");
    // A search starts at the current record, not at the top.
    EXPECT_FALSE(store.findRecord([](const RecordView& r) { return r.text("姓名") == "甲"; }));
    store.goFirst();
    EXPECT_TRUE(store.findRecord([](const RecordView& r) { return r.integer("年龄") >= 21; }));
    EXPECT_EQ(nameHere(), "乙");
}

TEST_F(RecordStoreTest, SkippingPastEitherEndStopsThere) {
    fill({"甲", "乙"});
    ASSERT_TRUE(store.openTable(people, ""));
    EXPECT_TRUE(store.skipRecords(1));
    EXPECT_FALSE(store.skipRecords(5));
    EXPECT_TRUE(store.isPastEnd());
    store.goLast();
    EXPECT_EQ(nameHere(), "乙");
    EXPECT_FALSE(store.skipRecords(-2));
    EXPECT_TRUE(store.isBeforeStart());
    // findRecord from before the start searches from record 1.
    EXPECT_TRUE(store.findRecord([](const RecordView&) { return true; }));
    EXPECT_EQ(nameHere(), "甲");
}

TEST_F(RecordStoreTest, ModifyWithOnlySecondValueChangesOnlyThatField) {
    fill({"甲"});
    ASSERT_TRUE(store.openTable(people, ""));
    {
        Action a(store);
        store.modifyRecord({std::nullopt, Value(99)});
        a.commit();
    }
    EXPECT_EQ(tableRows(dir.path(), people, ""),
              (std::vector<std::string>{"甲|99.000000|0.000000|0.000000|0.000000"}));
}

TEST_F(RecordStoreTest, PurgeKeepsTheOthersInOrderAcrossCommits) {
    fill({"一", "二", "三", "四", "五"});
    ASSERT_TRUE(store.openTable(people, ""));
    {
        Action a(store);
        store.goToRecord(2);
        store.deleteRecord();
        store.goToRecord(4);
        store.deleteRecord();
        store.purgeDeleted();
        store.appendRecord({"六"});
        a.commit();
    }
    store.closeTable();
    RecordStore fresh(dir.path());
    ASSERT_TRUE(fresh.openTable(people, ""));
    std::vector<std::string> names;
    for (fresh.goFirst(); !fresh.isPastEnd(); fresh.skipRecords(1))
        names.push_back(fresh.readField("姓名").text());
    EXPECT_EQ(names, (std::vector<std::string>{"一", "三", "五", "六"}));
}

TEST_F(RecordStoreTest, MaxOfCountsOnlyRecordsMeetingTheCondition) {
    fill({"甲", "乙", "丙"});
    ASSERT_TRUE(store.openTable(people, ""));
    auto age = [](const RecordView& r) { return r.number("年龄"); };
    EXPECT_EQ(store.maxOf(age, [](const RecordView& r) { return r.text("姓名") != "丙"; }), 21);
    EXPECT_EQ(store.maxOf(age, [](const RecordView&) { return false; }), 0);
}

TEST_F(RecordStoreTest, PasswordsFollowTheFile) {
    // A new table opens with the empty password only until one is set.
    ASSERT_TRUE(store.openTable(people, ""));
    EXPECT_FALSE(store.openTable(people, "x"));
    ASSERT_TRUE(store.openTable(people, ""));
    {
        Action a(store);
        store.setTablePassword("583916204718");
        a.commit();
    }
    store.closeTable();
    EXPECT_FALSE(store.openTable(people, ""));
    EXPECT_EQ(store.lastOpenFailure(), RecordStore::OpenFailure::WrongPassword);
    EXPECT_TRUE(store.openTable(people, "583916204718"));
    store.closeTable();
    // A copy opens with its source's password, and only with it.
    const auto copy = dir / "副本.edb";
    ASSERT_TRUE(copyFile(people, copy));
    EXPECT_TRUE(store.openTable(copy, "583916204718"));
    store.closeTable();
    EXPECT_FALSE(store.openTable(copy, "58391620471"));
    // The password itself is nowhere in the file.
    std::ifstream in(people, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes.find("583916204718"), std::string::npos);
}

TEST_F(RecordStoreTest, RefusesMissingForeignAndDamagedFiles) {
    EXPECT_FALSE(store.openTable(dir / "无此表.edb", ""));
    EXPECT_EQ(store.lastOpenFailure(), RecordStore::OpenFailure::Missing);
    EXPECT_FALSE(std::filesystem::exists(dir / "无此表.edb"));  // opening never creates

    const auto text = dir / "文本.edb";
    std::ofstream(text) << "这不是数据表";
    EXPECT_FALSE(store.openTable(text, ""));
    EXPECT_EQ(store.lastOpenFailure(), RecordStore::OpenFailure::NotATable);

    // A SQLite file that is not one of ours.
    const auto foreign = dir / "外来.edb";
    {
        RecordStore other(dir.path());
        ASSERT_TRUE(other.createTable(foreign, kPeople));
    }
    {
        std::fstream f(foreign, std::ios::in | std::ios::out | std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(f)), {});
        const auto at = bytes.find("tallowick-table");
        ASSERT_NE(at, std::string::npos);
        f.seekp(static_cast<std::streamoff>(at));
        f << "something-else!";
    }
    EXPECT_FALSE(store.openTable(foreign, ""));

    fill({"甲", "乙"});
    store.closeTable();
    std::filesystem::resize_file(people, 1000);  // truncated
    EXPECT_FALSE(store.openTable(people, ""));
}

TEST_F(RecordStoreTest, TextOutsideGbkOrTooLongIsRefusedAndNothingWritten) {
    fill({"甲"});
    ASSERT_TRUE(store.openTable(people, ""));
    {
        Action a(store);
        store.appendRecord({"乙"});
        EXPECT_THROW(store.appendRecord({"笑脸😀"}), TextError);
        // 10 Chinese characters are 20 GBK bytes: the limit; 11 are too many.
        store.appendRecord({"一二三四五六七八九十"});
        EXPECT_THROW(store.writeField("姓名", "一二三四五六七八九十一"), TextError);
        EXPECT_EQ(nameHere(), "一二三四五六七八九十");
        // The action as a whole is abandoned: the file keeps its one record.
    }
    EXPECT_EQ(tableRows(dir.path(), people, "").size(), 1u);
    EXPECT_EQ(store.recordCount(), 1);  // the open table shows the file again
}

TEST_F(RecordStoreTest, WritesOutsideAnActionAreRefused) {
    fill({"甲"});
    ASSERT_TRUE(store.openTable(people, ""));
    EXPECT_THROW(store.appendRecord({"乙"}), std::logic_error);
    EXPECT_THROW(store.writeField("姓名", "乙"), std::logic_error);
}

TEST_F(RecordStoreTest, SortToFileOrdersTextByGbkBytes) {
    fill({"埃", "阿", "啊", "Z"});
    ASSERT_TRUE(store.openTable(people, ""));
    {
        Action a(store);
        store.setTablePassword("密");
        a.commit();
    }
    const auto sorted = dir / "排序.edb";
    ASSERT_TRUE(store.sortToFile(sorted, {"姓名"}));
    EXPECT_EQ(nameHere(), "埃");  // the current table is unchanged
    auto rows = tableRows(dir.path(), sorted, "密");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].substr(0, 1), "Z");
    EXPECT_EQ(rows[1].substr(0, 3), "啊");
    EXPECT_EQ(rows[2].substr(0, 3), "阿");
    EXPECT_EQ(rows[3].substr(0, 3), "埃");
}

TEST_F(RecordStoreTest, TablesKeepTheirOwnPositions) {
    fill({"甲", "乙", "丙"});
    const auto other = dir / "另表.edb";
    ASSERT_TRUE(store.createTable(other, kPeople));
    ASSERT_TRUE(store.openTable(people, ""));
    store.goToRecord(3);
    ASSERT_TRUE(store.openTable(other, ""));
    EXPECT_TRUE(store.isPastEnd());
    ASSERT_TRUE(store.selectTable(people));
    EXPECT_EQ(nameHere(), "丙");
    store.closeTable();
    EXPECT_FALSE(store.selectTable(people));
}

TEST(RemoveDirectory, RefusesAnythingButAFolderInsideTheRoot) {
    TempDir dir;
    const auto set = dir / "某公司";
    std::filesystem::create_directories(set / "子目录");
    std::ofstream(set / "子目录" / "a.edb") << "x";
    const auto outside = dir / "外面";
    std::filesystem::create_directories(outside);
    const auto root = dir / "套账目录";
    std::filesystem::create_directories(root / "某公司");

    EXPECT_FALSE(removeDirectory("", root));
    EXPECT_FALSE(removeDirectory("/", root));
    EXPECT_FALSE(removeDirectory(root, root));
    EXPECT_FALSE(removeDirectory(outside, root));
    EXPECT_FALSE(removeDirectory(root / ".." / "外面", root));
    EXPECT_FALSE(removeDirectory(root.string() + "x", root));  // a sibling sharing the prefix
    EXPECT_TRUE(std::filesystem::exists(outside));
    EXPECT_TRUE(removeDirectory(root / "某公司", root));
    EXPECT_FALSE(std::filesystem::exists(root / "某公司"));
}

}  // namespace
}  // namespace tw
