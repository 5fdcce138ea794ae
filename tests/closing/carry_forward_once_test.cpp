// The carry-forward at the close: every account with a balance is carried
// exactly once, to the target of the nearest pair on its own path, and a close
// whose carry-forward vouchers would not fit the month's numbers is refused
// before anything is written.
#include <map>

#include "closing_fixture.h"

namespace tw::test {
namespace {

class CarryForwardOnce : public ClosingTest {
protected:
    void pair(const std::string& source, const std::string& target) {
        const Outcome out = runAction(*store, [&] {
            saveCarryForwardPair(*store, session, {source, target});
        });
        ASSERT_TRUE(out.ok) << out.message;
    }
    // 账库辅1's balance per account.
    std::map<std::string, double> balances() {
        std::map<std::string, double> out;
        for (const auto& r : rows(file::kBalances)) out[r[0].text()] = r[4].number();
        return out;
    }
    // The carry-forward vouchers: (debited, credited) → amount.
    std::map<std::pair<std::string, std::string>, std::vector<double>> carried() {
        std::map<std::pair<std::string, std::string>, std::vector<double>> out;
        for (const auto& v : rows(file::kVouchers))
            if (v[5].text() == kCarryForwardSummary)
                out[{v[9].text(), v[10].text()}].push_back(v[13].number());
        return out;
    }
};

TEST_F(CarryForwardOnce, EachAccountGoesToTheNearestPairOnItsPath) {
    enableWith({{"银行存款", 5000}, {"实收资本", -5000}});
    addSub("管理费用", "办公费");
    addSub("管理费用", "工资");
    addSub("管理费用→工资", "基本工资");
    addSub("管理费用→工资", "奖金");
    // 管理费用 → 本年利润 comes with the template; a pair on the middle level
    // and one on a leaf below it.
    pair("管理费用→工资", "利润分配");
    pair("管理费用→工资→奖金", "应付利润");
    addVoucher(30001, {{"管理费用→办公费", 100},
                       {"管理费用→工资→基本工资", 300},
                       {"管理费用→工资→奖金", 200},
                       {"银行存款", 0, 600}});
    ASSERT_EQ(post().value, 1);
    const auto closed = close();
    ASSERT_TRUE(closed.ok) << closed.message;

    using Key = std::pair<std::string, std::string>;
    EXPECT_EQ(carried(), (std::map<Key, std::vector<double>>{
                             {{"本年利润", "管理费用→办公费"}, {100}},
                             {{"利润分配", "管理费用→工资→基本工资"}, {300}},
                             {{"应付利润", "管理费用→工资→奖金"}, {200}}}));
    auto b = balances();
    for (const char* leaf : {"管理费用→办公费", "管理费用→工资→基本工资", "管理费用→工资→奖金"})
        EXPECT_EQ(b[leaf], 0) << leaf;
    EXPECT_EQ(b["本年利润"], 100);
    EXPECT_EQ(b["利润分配"], 300);
    EXPECT_EQ(b["应付利润"], 200);
    EXPECT_EQ(b["银行存款"], 4400);
}

// Pages of a month written straight into 凭证库, posted already, numbered
// from `first` on: a busy month without going through 9,999 postings.
void writePostedPages(RecordStore& store, const Session& session, double first, int count) {
    Action a(store);
    openSetTable(store, session, file::kVouchers);
    Table t = store.table(tablePath(session, file::kVouchers));
    std::vector<Value> page;
    for (const FieldDef& f : vouchersSchema()) page.push_back(emptyValue(f.type));
    page[t.position(field::kPage)] = 1;
    page[t.position(field::kPageCount)] = 1;
    page[t.position(field::kDate)] = lastDayOfMonth(session.login.period);
    for (const char* name : {field::kPreparer, field::kReviewer, field::kPoster})
        page[t.position(name)] = std::string("张三");
    for (int i = 0; i < count; ++i) {
        page[t.position(field::kMonthNumber)] = first + i;
        t.append(page);
    }
    a.commit();
    store.closeTable();
}

TEST_F(CarryForwardOnce, ACloseWhoseVouchersWouldPassTheMonthsLastNumberIsRefused) {
    enableWith({{"银行存款", 5000}, {"实收资本", -5000}});
    writePostedPages(*store, session, 30001, 9997);
    // Three accounts to carry forward; only two numbers (39999 is the last) are left.
    addVoucher(39998, {{"管理费用", 10}, {"财务费用", 20}, {"主营业务收入", 0, 40},
                       {"银行存款", 10}});
    ASSERT_EQ(post().value, 1);
    const auto tables = [&] {
        return std::vector{rows(file::kVouchers), rows(file::kLedger), rows(file::kBalances),
                           rows(file::kGeneralLedger), rows(file::kBasicInfo)};
    };
    const auto before = tables();
    const auto refused = close();
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message,
              "结转损益需要3张凭证，本月凭证已编到第39998号，只剩1个编号，不能结账！");
    EXPECT_EQ(tables(), before);
    EXPECT_EQ(session.login.period, dayNumber(2013, 3, 1));
}

TEST_F(CarryForwardOnce, CarryForwardVouchersThatJustFitTakeTheLastNumbers) {
    enableWith({{"银行存款", 5000}, {"实收资本", -5000}});
    writePostedPages(*store, session, 30001, 9996);
    addVoucher(39997, {{"管理费用", 10}, {"财务费用", 20}, {"银行存款", 0, 30}});
    ASSERT_EQ(post().value, 1);
    const auto closed = close();
    ASSERT_TRUE(closed.ok) << closed.message;
    const auto vouchers = rows(file::kVouchers);
    ASSERT_EQ(vouchers.size(), 9999u);
    EXPECT_EQ(vouchers[9997][1].number(), 39998);
    EXPECT_EQ(vouchers[9998][1].number(), 39999);
}

}  // namespace
}  // namespace tw::test
