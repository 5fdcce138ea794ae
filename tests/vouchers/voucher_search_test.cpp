// Finding voucher pages by conditions (查阅凭证) in March 2013: every page
// of a multi-page voucher on its own row with the amount on the last page
// only, amount ranges, summaries by a fragment, accounts on their own side,
// inclusive dates, users, and the condition boxes' texts.
#include <gtest/gtest.h>

#include "storage/dates.h"
#include "voucher_fixture.h"
#include "vouchers/voucher_search.h"

namespace tw::test {
namespace {

class VoucherSearchTest : public VoucherTest {
protected:
    void SetUp() override {
        VoucherTest::SetUp();
        simple(5, 50);           // 30001: 提现, 现金 debit / 银行存款 credit
        multiPage(9, 2, 150);    // 30002: two pages, 收款 on the last
        ASSERT_TRUE(add(12, {{"销售货物", "银行存款", 200, 0}, {"销售货物款", "主营业务收入", 0, 200}}).ok);
        // A page of April, outside the month.
        writePages({page(dayNumber(2013, 4, 2), 40001, 1, 1, 70, 70, "王五")});
    }

    VoucherConditions march() {
        VoucherConditions q;
        q.from = dayNumber(2013, 3, 1);
        q.to = dayNumber(2013, 3, 31);
        return q;
    }
    // "30002 1/2 -" per page found: number, page, count and 凭证金额 ("-" when empty).
    std::vector<std::string> found(const VoucherConditions& q) {
        const auto r = runCaught([&] { return searchVouchers(*store, session, q); });
        EXPECT_TRUE(r.ok) << r.message;
        std::vector<std::string> out;
        for (const VoucherPage& p : r.value) {
            const auto t = foundPageTexts(p);
            out.push_back(t[1] + " " + t[2] + "/" + t[3] + " " + (t[5].empty() ? "-" : t[5]));
        }
        return out;
    }
    using List = std::vector<std::string>;
};

TEST_F(VoucherSearchTest, WithoutConditionsEveryPageOfTheMonthIsListed) {
    EXPECT_EQ(found(march()), (List{"30001 1/1 50", "30002 1/2 -", "30002 2/2 150", "30003 1/1 200"}));
    const auto r = runCaught([&] { return searchVouchers(*store, session, march()); });
    ASSERT_TRUE(r.ok);
    const auto texts = foundPageTexts(r.value[3]);
    EXPECT_EQ(texts, (std::array<std::string, 6>{"2013-3-12", "30003", "1", "1", "销售货物", "200"}));
}

TEST_F(VoucherSearchTest, AmountRangeCountsPagesWithoutTotalsAsZero) {
    auto q = march();
    q.minimum = 100;
    EXPECT_EQ(found(q), (List{"30002 2/2 150", "30003 1/1 200"}));
    q.minimum = 150;  // both ends included
    q.maximum = 200;
    EXPECT_EQ(found(q), (List{"30002 2/2 150", "30003 1/1 200"}));
    q.minimum.reset();
    q.maximum = 100;
    EXPECT_EQ(found(q), (List{"30001 1/1 50", "30002 1/2 -"}));
}

TEST_F(VoucherSearchTest, SummaryFindsTheWholeTextOrAFragmentOfIt) {
    auto q = march();
    q.summary = "销售货物";
    EXPECT_EQ(found(q), (List{"30003 1/1 200"}));
    q.summary = "销售货物款";  // the second line's summary counts too
    EXPECT_EQ(found(q), (List{"30003 1/1 200"}));
    for (const char* part : {"销售", "货物", "售货", "货物款"}) {
        q.summary = part;
        EXPECT_EQ(found(q), (List{"30003 1/1 200"})) << part;
    }
    for (const char* other : {"销售货物款项", "货款", "销 售"}) {
        q.summary = other;
        EXPECT_TRUE(found(q).empty()) << other;
    }
}

TEST_F(VoucherSearchTest, AFragmentFindsEverySummaryHoldingItAndNoOther) {
    ASSERT_TRUE(add(20, {{"计提工资", "管理费用", 800, 0}, {"计提工资", "应付职工薪酬", 0, 800}}).ok);
    ASSERT_TRUE(add(25, {{"支付电费", "管理费用", 90, 0}, {"支付电费", "银行存款", 0, 90}}).ok);
    ASSERT_TRUE(add(28, {{"发放工资", "应付职工薪酬", 800, 0}, {"发放工资", "现金", 0, 800}}).ok);
    auto q = march();
    q.summary = "工资";
    EXPECT_EQ(found(q), (List{"30004 1/1 800", "30006 1/1 800"}));
    // The fragment goes with the other conditions, not in place of them.
    q.creditAccount = "现金";
    EXPECT_EQ(found(q), (List{"30006 1/1 800"}));
    q.creditAccount.reset();
    q.summary = "资";  // one character, not the bytes of a neighbour's
    EXPECT_EQ(found(q), (List{"30004 1/1 800", "30006 1/1 800"}));
    q.summary = "提";  // 提现 of 30001 and 计提工资
    EXPECT_EQ(found(q), (List{"30001 1/1 50", "30004 1/1 800"}));
}

TEST_F(VoucherSearchTest, AccountsCountOnlyOnTheirOwnSide) {
    auto q = march();
    q.debitAccount = "现金";  // page 1 of 30002 names 现金 without amounts
    EXPECT_EQ(found(q), (List{"30001 1/1 50", "30002 2/2 150"}));
    q.debitAccount.reset();
    q.creditAccount = "现金";
    EXPECT_TRUE(found(q).empty());
    q.creditAccount = "银行存款";
    EXPECT_EQ(found(q), (List{"30001 1/1 50"}));
    q.debitAccount = "银行存款";  // both on one page: none has both
    EXPECT_TRUE(found(q).empty());
}

TEST_F(VoucherSearchTest, DatesAreIncludedAtBothEnds) {
    auto q = march();
    q.from = dayNumber(2013, 3, 9);
    q.to = dayNumber(2013, 3, 12);
    EXPECT_EQ(found(q), (List{"30002 1/2 -", "30002 2/2 150", "30003 1/1 200"}));
    q.to = dayNumber(2013, 4, 30);
    EXPECT_EQ(found(q).back(), "40001 1/1 70");
    q.from = dayNumber(2013, 3, 13);
    q.to = dayNumber(2013, 3, 12);
    EXPECT_TRUE(found(q).empty());
}

TEST_F(VoucherSearchTest, UsersMatchByName) {
    auto q = march();
    q.preparer = "张三";
    EXPECT_EQ(found(q).size(), 4u);
    q.reviewer = "王五";  // nothing of March is reviewed
    EXPECT_TRUE(found(q).empty());
    q = march();
    q.to = dayNumber(2013, 4, 30);
    q.poster = "王五";
    EXPECT_EQ(found(q), (List{"40001 1/1 70"}));
}

TEST_F(VoucherSearchTest, PagesAreHandedOnAsReadAndTheActionsOwnChangesCount) {
    // The conditions go to the database; a page changed in the open action
    // (its account on line 4 now, its stamps) must be found by what it holds
    // in the action, and one changed away from the account no longer.
    const Outcome out = runAction(*store, [&] {
        VoucherTable vouchers(*store, session);
        const auto pages = vouchers.pages(monthPages(dayNumber(2013, 3, 1)));
        ASSERT_EQ(pages.size(), 4u);
        vouchers.write(pages[3].id, {{field::lineAccount(4), Value("现金")},
                                     {field::lineDebit(4), Value(5.0)},
                                     {field::kPoster, Value("王五")}});
        vouchers.write(pages[0].id, {{field::lineAccount(1), Value("库存现金")}});
        auto q = march();
        q.debitAccount = "现金";
        std::vector<std::string> streamed;
        searchVouchers(*store, session, q, [&](const VoucherPage& p) {
            streamed.push_back(plainDecimal(p.number) + " " + std::to_string(p.page));
        });
        EXPECT_EQ(streamed, (List{"30002 2", "30003 1"}));
        q.debitAccount.reset();
        q.poster = "王五";
        EXPECT_EQ(searchVouchers(*store, session, q).size(), 1u);
    });
    ASSERT_TRUE(out.ok) << out.message << " " << out.detail;
}

TEST(VoucherSearchBoxes, AnyAndEmptyBoxesRestrictNothing) {
    EXPECT_EQ(textCondition("[任意]"), std::nullopt);
    EXPECT_EQ(textCondition(""), std::nullopt);
    EXPECT_EQ(textCondition("现金"), "现金");
    EXPECT_EQ(amountCondition("[任意]"), std::nullopt);
    EXPECT_EQ(amountCondition(" "), std::nullopt);
    EXPECT_EQ(amountCondition("120.5"), 120.5);
    EXPECT_EQ(amountCondition("abc"), 0.0);  // text that is no number counts as 0
}

}  // namespace
}  // namespace tw::test
