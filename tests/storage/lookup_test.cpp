// Look-up conditions (Where) and the open action's pending writes as the
// Table handle reads them: the same condition evaluated by SQLite on the
// file's rows and in memory on the action's rows must pick the same records,
// and a read inside an action merges both in record order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "storage/record_store.h"
#include "store_fixture.h"

namespace tw {
namespace {

using test::TempDir;

const Schema kEntries{{"科目", FieldType::Text, 40},     {"对方科目", FieldType::Text, 40},
                      {"金额", FieldType::Double},       {"编号", FieldType::Int32},
                      {"日期", FieldType::DateTime},     {"摘要", FieldType::Text, 40}};

struct Entry {
    std::string account, counter;
    double amount;
    int number;
    double date;
    std::string summary;
    std::vector<Value> values() const { return {account, counter, amount, number, date, summary}; }
};

// Texts that differ in their first byte above 0x7F, so that byte order
// (not signed char order) decides AtLeast-like comparisons of text.
const std::vector<Entry> kRows{
    {"现金", "银行存款", 100.5, 1, 41000, "收款"},
    {"银行存款", "现金", -100.5, 2, 41000.75, "付款"},
    {"现金", "", 0, 3, 41001, ""},
    {"应收账款", "现金", 0.1 + 0.2, 4, 41030, "abc"},
    {"abc", "现金", 1e9, 0, 40999, "ABC"},
    {"现金", "应收账款", 0.3, 5, 41031.5, "收款"},
};

class LookupTest : public ::testing::Test {
protected:
    TempDir dir;
    RecordStore store{dir.path()};
    std::filesystem::path inFile = dir / "文件.edb";
    std::filesystem::path pending = dir / "未提交.edb";

    void SetUp() override {
        ASSERT_TRUE(store.createTable(inFile, kEntries));
        ASSERT_TRUE(store.createTable(pending, kEntries));
        ASSERT_TRUE(store.openTable(inFile, ""));
        ASSERT_TRUE(store.openTable(pending, ""));
        Action a(store);
        Table t = store.table(inFile);
        for (const Entry& e : kRows) t.append(e.values());
        a.commit();
    }

    // The numbers (编号) of the records `where` picks, in record order.
    static std::vector<int> numbers(const Table& t, const Where& where) {
        std::vector<int> out;
        for (const Record& r : t.select(where)) out.push_back(static_cast<int>(r[3].integer()));
        return out;
    }
};

TEST_F(LookupTest, EveryConditionPicksTheSameRecordsFromTheFileAndFromTheAction) {
    // (condition, the records it must pick) — the expectation keeps both
    // evaluations from agreeing on a wrong answer.
    const std::vector<std::pair<Where, std::vector<int>>> cases{
        {Where(), {1, 2, 3, 4, 0, 5}},
        {Where().equal("科目", "现金"), {1, 3, 5}},
        {Where().equal("科目", "现"), {}},  // a prefix is not equal
        {Where().equal("金额", 0.3), {5}},  // 0.1 + 0.2 is another double
        {Where().equal("编号", 2), {2}},
        {Where().equal("编号", 2.0), {2}},  // integers and doubles compare as numbers
        {Where().notEqual("摘要", ""), {1, 2, 4, 0, 5}},
        {Where().notEqual("科目", "现金").notEqual("科目", "abc"), {2, 4}},
        {Where().atLeast("日期", 41000.75), {2, 3, 4, 5}},
        {Where().below("日期", 41000.75), {1, 0}},
        {Where().atMost("日期", 41001), {1, 2, 3, 0}},
        {Where().between("日期", 41000, 41001), {1, 2, 3}},
        {Where().below("金额", 0), {2}},
        {Where().oneOf("摘要", {Value("收款"), Value("abc")}), {1, 4, 5}},
        {Where().oneOf("摘要", {}), {}},
        {Where().oneOf("编号", {Value(0), Value(5.0), Value(9)}), {0, 5}},
        {Where().anyFieldEqual({"科目", "对方科目"}, "应收账款"), {4, 5}},
        {Where().anyFieldEqual({"科目", "对方科目"}, "现金").below("编号", 3), {1, 2, 0}},
        {Where().equal("摘要", "abc"), {4}},  // texts compare byte for byte: case counts
    };
    Action a(store);
    Table file = store.table(inFile);
    Table held = store.table(pending);
    for (const Entry& e : kRows) held.append(e.values());
    for (const auto& [where, expected] : cases) {
        EXPECT_EQ(numbers(file, where), expected);
        EXPECT_EQ(numbers(held, where), expected);
        EXPECT_EQ(file.count(where), static_cast<long>(expected.size()));
        EXPECT_EQ(held.count(where), static_cast<long>(expected.size()));
    }
}

TEST_F(LookupTest, AFieldTheTableDoesNotHaveIsAProgrammingError) {
    const Table t = store.table(inFile);
    EXPECT_THROW(t.select(Where().equal("余额", 0)), std::logic_error);
    EXPECT_THROW(t.count(Where().anyFieldEqual({"科目", "科目9"}, "现金")), std::logic_error);
}

// The action's changes, removals and appends over the file's rows: every
// read sees the table as the action left it, in record order, and the file
// is untouched until the commit.
TEST_F(LookupTest, PendingWritesMergeWithTheFileRowsInRecordOrder) {
    Action a(store);
    Table t = store.table(inFile);
    const auto rows = t.select();
    ASSERT_EQ(rows.size(), kRows.size());
    const int account = t.position("科目"), number = t.position("编号");

    t.update(rows[1].id, {{account, Value("现金")}});       // now matches 科目 = 现金
    t.update(rows[2].id, {{account, Value("库存商品")}});   // no longer matches, though the file row does
    t.remove(rows[4].id);
    const std::int64_t added = t.append(Entry{"现金", "", 7, 6, 41040, "新增"}.values());
    t.append(Entry{"库存商品", "", 8, 7, 41041, ""}.values());

    const Where cash = Where().equal("科目", "现金");
    EXPECT_EQ(numbers(t, cash), (std::vector<int>{1, 2, 5, 6}));
    EXPECT_EQ(t.count(cash), 4);
    EXPECT_EQ(numbers(t, Where()), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(t.first(cash)->id, rows[0].id);
    EXPECT_EQ(t.last(cash)->id, added);
    EXPECT_EQ((*t.last(Where().equal("科目", "库存商品").below("编号", 7)))[number].integer(), 3);
    EXPECT_FALSE(t.get(rows[4].id));
    EXPECT_EQ((*t.get(rows[2].id))[account].text(), "库存商品");
    EXPECT_FALSE(t.any(Where().equal("科目", "abc")));

    // forEach stops where it is told to, in the same merged order.
    std::vector<int> seen;
    t.forEach(cash, [&](const Record& r) {
        seen.push_back(static_cast<int>(r[number].integer()));
        return seen.size() < 3;
    });
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 5}));

    // The file still holds what it held; a second store reads it as it was.
    {
        RecordStore other(dir.path());
        ASSERT_TRUE(other.openTable(inFile, ""));
        EXPECT_EQ(numbers(other.table(inFile), cash), (std::vector<int>{1, 3, 5}));
    }
    a.commit();
    RecordStore reread(dir.path());
    ASSERT_TRUE(reread.openTable(inFile, ""));
    EXPECT_EQ(numbers(reread.table(inFile), cash), (std::vector<int>{1, 2, 5, 6}));
    EXPECT_EQ(numbers(reread.table(inFile), Where()), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(LookupTest, ChangesToTheSameRecordAccumulateAndARolledBackActionLeavesTheFileRows) {
    {
        Action a(store);
        Table t = store.table(inFile);
        const Record before = *t.first(Where().equal("编号", 3));
        const int amount = t.position("金额"), summary = t.position("摘要");
        t.update(before.id, {{amount, Value(9.0)}});
        // A copy read before the first change still carries the old amount;
        // only the field it changes is taken.
        t.update(before, {{summary, Value("改过")}});
        const Record now = *t.get(before.id);
        EXPECT_EQ(now[amount].number(), 9.0);
        EXPECT_EQ(now[summary].text(), "改过");
        EXPECT_EQ(numbers(t, Where().equal("金额", 9.0).equal("摘要", "改过")),
                  (std::vector<int>{3}));
        // An appended record changed and removed again leaves no trace.
        const std::int64_t id = t.append(Entry{"现金", "", 1, 8, 41050, ""}.values());
        t.update(id, {{amount, Value(2.0)}});
        EXPECT_EQ(numbers(t, Where().equal("编号", 8).equal("金额", 2.0)), (std::vector<int>{8}));
        t.remove(id);
        EXPECT_EQ(t.count(Where().equal("编号", 8)), 0);
    }  // not committed
    const Table t = store.table(inFile);
    EXPECT_EQ(numbers(t, Where()), (std::vector<int>{1, 2, 3, 4, 0, 5}));
    EXPECT_EQ(t.count(Where().equal("金额", 9.0)), 0);
    EXPECT_EQ((*t.first(Where().equal("编号", 3)))[t.position("摘要")].text(), "");
}

// Reading a few fields: the file's rows carry only those, the action's rows
// all of theirs; in any order the same records come, each once.
TEST_F(LookupTest, AReadOfSomeFieldsSeesTheActionsWritesInEitherOrder) {
    Action a(store);
    Table t = store.table(inFile);
    const int account = t.position("科目"), number = t.position("编号"), summary = t.position("摘要");
    const auto rows = t.select();
    t.update(rows[0].id, {{account, Value("库存商品")}});  // leaves 科目 = 现金
    t.update(rows[1].id, {{account, Value("现金")}});      // joins it
    t.remove(rows[2].id);
    t.append(Entry{"现金", "", 7, 6, 41040, "新增"}.values());
    const Where cash = Where().equal("科目", "现金");

    std::vector<int> inOrder;
    t.forEach(cash, {number}, [&](const Record& r) {
        inOrder.push_back(static_cast<int>(r[number].integer()));
        if (r.id == rows[5].id) {
            EXPECT_EQ(r[summary].text(), "");  // not read
        }
        return true;
    });
    EXPECT_EQ(inOrder, (std::vector<int>{2, 5, 6}));

    std::vector<int> anyOrder;
    t.forEach(
        cash, {number, summary},
        [&](const Record& r) {
            anyOrder.push_back(static_cast<int>(r[number].integer()));
            return true;
        },
        RowOrder::Any);
    std::sort(anyOrder.begin(), anyOrder.end());
    EXPECT_EQ(anyOrder, inOrder);
    EXPECT_THROW(t.forEach(cash, {99}, [](const Record&) { return true; }), std::logic_error);
}

// first/last ask SQLite for only a few rows: those the action removed or
// changed are passed over, however many lie at that end.
TEST_F(LookupTest, FirstAndLastPassOverTheRowsTheActionTookAway) {
    Action a(store);
    Table t = store.table(inFile);
    const auto rows = t.select();
    const int account = t.position("科目"), number = t.position("编号");
    const Where cash = Where().equal("科目", "现金");
    t.remove(rows[0].id);
    t.change(rows[2].id, {{account, Value("库存商品")}});
    EXPECT_EQ((*t.first(cash))[number].integer(), 5);
    EXPECT_EQ((*t.last(Where().equal("科目", "库存商品")))[number].integer(), 3);
    t.remove(rows[5].id);
    EXPECT_FALSE(t.first(cash));
    EXPECT_FALSE(t.last(cash));
    EXPECT_EQ((*t.last())[number].integer(), 0);
}

// Fields changed without reading the record (posting's 登账 on pages read
// with a few fields): later reads in the action see the whole record, the
// commit writes only the changed fields.
TEST_F(LookupTest, FieldsChangedWithoutReadingTheRecordAreSeenWholeAndWrittenAlone) {
    {
        Action a(store);
        Table t = store.table(inFile);
        const int account = t.position("科目"), amount = t.position("金额"), summary = t.position("摘要");
        const auto rows = t.select(Where(), {t.position("编号")});
        t.change(rows[0].id, {{account, Value("库存商品")}});
        t.change(rows[1].id, {{summary, Value("改")}});
        t.change(rows[1].id, {{amount, Value(1.0)}});
        t.change(rows[2].id, {{summary, Value("删")}});
        t.remove(rows[2].id);
        EXPECT_EQ(numbers(t, Where().equal("科目", "现金")), (std::vector<int>{5}));
        const Record changed = *t.get(rows[1].id);
        EXPECT_EQ(changed[account].text(), "银行存款");
        EXPECT_EQ(changed[summary].text(), "改");
        EXPECT_EQ(changed[amount].number(), 1.0);
        EXPECT_EQ(t.count(Where().equal("摘要", "改").equal("对方科目", "现金")), 1);
        a.commit();
    }
    RecordStore reread(dir.path());
    ASSERT_TRUE(reread.openTable(inFile, ""));
    const Table t = reread.table(inFile);
    EXPECT_EQ(numbers(t, Where()), (std::vector<int>{1, 2, 4, 0, 5}));
    EXPECT_EQ(numbers(t, Where().equal("科目", "库存商品").equal("摘要", "收款")), (std::vector<int>{1}));
    EXPECT_EQ(numbers(t, Where().equal("摘要", "改").equal("金额", 1.0).equal("科目", "银行存款")),
              (std::vector<int>{2}));
}

}  // namespace
}  // namespace tw
