// Changes of voucher pages: lines, dates, numbers, and what a failure at
// commit leaves behind.
#include <gtest/gtest.h>

#include "voucher_fixture.h"
#include "vouchers/numbering.h"
#include "vouchers/voucher_edits.h"
#include "vouchers/voucher_totals.h"

namespace tw::test {
namespace {

using Strings = std::vector<std::string>;

class VoucherEditTest : public VoucherTest {
protected:
    template <class Body>
    Outcome act(Body&& body) {
        return runAction(*store, [&] { body(); });
    }
    std::int64_t newPage() {
        const auto made = runAction(*store, [&] { return newVoucher(*store, session, 0, 7); });
        EXPECT_TRUE(made.ok) << made.message;
        return made.value;
    }
};

TEST_F(VoucherEditTest, NewVoucherIsPageOneOfOneWithTotalsZeroAndNotBalanced) {
    const std::int64_t id = newPage();
    const VoucherPage p = all()[0];
    EXPECT_EQ(p.id, id);
    EXPECT_EQ(p.number, 30001);
    EXPECT_EQ(p.page, 1);
    EXPECT_EQ(p.pageCount, 1);
    EXPECT_EQ(p.date, dayNumber(2013, 3, 7));
    EXPECT_EQ(p.preparer, "张三");
    const auto totals = runCaught([&] { return voucherTotals(*store, session, p); });
    EXPECT_TRUE(totals.value.shown);
    EXPECT_EQ(totals.value.debit, 0);
    EXPECT_FALSE(totals.value.balanced());
    // The next voucher waits until this one is complete.
    EXPECT_EQ(runAction(*store, [&] { return newVoucher(*store, session, id, 8); }).message,
              kIncompleteVoucher);
    EXPECT_EQ(runAction(*store, [&] { return newVoucher(*store, session, 0, 32); }).message,
              "日期必须在1到31日之间！");
}

TEST_F(VoucherEditTest, ALineHoldsADebitOrACreditAndNeedsItsAccount) {
    const std::int64_t id = newPage();
    EXPECT_EQ(act([&] { setLineAmount(*store, session, id, 1, Side::Debit, 5); }).message,
              kAccountFirst);
    EXPECT_EQ(act([&] { setLineAccount(*store, session, id, 1, "没有的科目"); }).message,
              std::string(kUnknownAccount) + "没有的科目");
    ASSERT_TRUE(act([&] { setLineAccount(*store, session, id, 1, "现金"); }).ok);
    ASSERT_TRUE(act([&] { setLineAmount(*store, session, id, 1, Side::Credit, 500); }).ok);
    // An amount that is not exact in cents is refused, never rounded silently.
    EXPECT_EQ(act([&] { setLineAmount(*store, session, id, 1, Side::Debit, 500.004); }).message,
              "金额最多只能有两位小数！");
    ASSERT_TRUE(act([&] { setLineAmount(*store, session, id, 1, Side::Debit, 500); }).ok);
    VoucherPage p = all()[0];
    EXPECT_EQ(p.lines[0].debit, 500);
    EXPECT_EQ(p.lines[0].credit, 0);
    EXPECT_EQ(p.debitTotal, 500);
    EXPECT_EQ(act([&] { setLineAmount(*store, session, id, 1, Side::Debit, -3); }).message,
              kNegativeAmount);
    // Zero empties the side; an emptied account takes both amounts with it.
    ASSERT_TRUE(act([&] { setLineAmount(*store, session, id, 1, Side::Debit, 0); }).ok);
    ASSERT_TRUE(act([&] { setLineAmount(*store, session, id, 1, Side::Credit, 7); }).ok);
    ASSERT_TRUE(act([&] { setLineAccount(*store, session, id, 1, ""); }).ok);
    p = all()[0];
    EXPECT_EQ(p.lines[0].account, "");
    EXPECT_EQ(p.lines[0].credit, 0);
    EXPECT_EQ(p.creditTotal, 0);
}

TEST_F(VoucherEditTest, EditingAnEarlierPageKeepsTheLastPagesTotalsRight) {
    multiPage(3, 2, 80);
    const auto first = all()[0].id;
    ASSERT_TRUE(act([&] { setLineAmount(*store, session, first, 1, Side::Debit, 20); }).ok);
    const auto pages = all();
    EXPECT_EQ(pages[0].debitTotal, 0);
    EXPECT_EQ(pages[1].debitTotal, 100);
    EXPECT_EQ(pages[1].creditTotal, 80);
    // So review of the voucher now refuses, whichever page is shown.
    EXPECT_FALSE(runCaught([&] { return isBalanced(*store, session, pages[0]); }).value);
}

TEST_F(VoucherEditTest, DateAndNumberGoToEveryPageOfTheVoucher) {
    multiPage(3, 2, 80);
    simple(4, 10);
    const auto first = all()[0].id;
    ASSERT_TRUE(act([&] { setVoucherDay(*store, session, first, 29); }).ok);
    EXPECT_EQ(all()[1].date, dayNumber(2013, 3, 29));
    EXPECT_EQ(act([&] { setVoucherDay(*store, session, first, 0); }).message, "日期必须在1到31日之间！");

    // The voucher's own number and another voucher's are taken; zero says nothing.
    for (double taken : {30001.0, 30002.0})
        EXPECT_EQ(act([&] { changeVoucherNumber(*store, session, first, taken); }).message,
                  kDuplicateNumber);
    const Outcome zero = act([&] { changeVoucherNumber(*store, session, first, 0); });
    EXPECT_FALSE(zero.ok);
    EXPECT_EQ(zero.message, "");
    ASSERT_TRUE(act([&] { changeVoucherNumber(*store, session, first, 30007); }).ok);
    EXPECT_EQ(numbers(), (Strings{"30007 1/2", "30007 2/2", "30002 1/1"}));
}

// A number typed outside March's 30001 … 39999 would block the month: the
// next number is formed from the month's largest.
TEST_F(VoucherEditTest, ATypedNumberStaysInsideTheMonthsBlock) {
    simple(1, 10);
    simple(2, 20);
    const auto first = all()[0].id;
    for (double outside : {40001.0, 30000.0, 5.0, 300001.0, 130001.0}) {
        const Outcome out = act([&] { changeVoucherNumber(*store, session, first, outside); });
        EXPECT_FALSE(out.ok) << outside;
        EXPECT_EQ(out.message, "凭证编号必须在30001到39999之间！") << outside;
    }
    EXPECT_EQ(numbers(), (Strings{"30001 1/1", "30002 1/1"}));
    ASSERT_TRUE(act([&] { changeVoucherNumber(*store, session, first, 39999); }).ok);
    // The month is full at its top, yet a new voucher still finds no number.
    const auto made = runAction(*store, [&] { return newVoucher(*store, session, 0, 3); });
    EXPECT_FALSE(made.ok);
    EXPECT_EQ(made.message, kMonthFull);
    ASSERT_TRUE(act([&] { changeVoucherNumber(*store, session, first, 30005); }).ok);
    EXPECT_EQ(simple(3, 30), 30006);
}

TEST_F(VoucherEditTest, AVoucherFromAnotherMonthMovesWholeAndNeverOntoATakenNumber) {
    writePages({page(dayNumber(2013, 2, 3), 20001, 1, 2, 5, 5), page(dayNumber(2013, 2, 3), 20001, 2, 2, 5, 5)});
    ASSERT_TRUE(act([&] { setVoucherDay(*store, session, all()[0].id, 9); }).ok);
    EXPECT_EQ(all()[1].date, dayNumber(2013, 3, 9));
    // 20001 lies outside March's block: the month's first number is still 30001,
    // and last year's March voucher 30001 cannot join this March's 30001.
    EXPECT_EQ(simple(1, 10), 30001);
    writePages({page(dayNumber(2012, 3, 3), 30001, 1, 1, 5, 5)});
    EXPECT_EQ(act([&] { setVoucherDay(*store, session, all()[3].id, 9); }).message, kDuplicateNumber);
}

TEST_F(VoucherEditTest, ReviewedPagesRefuseEveryChange) {
    simple(1, 10);
    VoucherPage p = all()[0];
    EXPECT_EQ(editRefusal(VoucherPage{}), kNoVoucherToEdit);
    p.reviewer = "李四";
    EXPECT_EQ(editRefusal(p), kReviewedCannotEdit);
    EXPECT_EQ(amountRefusal(p, 3), kReviewedCannotEdit);
    p.reviewer.clear();
    EXPECT_EQ(amountRefusal(p, 3), kAccountFirst);
}

// The window asks deleteRefusal before its question; a page that holds no
// voucher cannot be edited, yet it must stay deletable.
TEST_F(VoucherEditTest, OnlyAMissingOrAReviewedPageIsKeptFromDeletion) {
    EXPECT_EQ(deleteRefusal(VoucherPage{}), kNoPage);
    VoucherPage blank = page(dayNumber(2013, 3, 2), 30001, 1, 1, 0, 0);
    blank.preparer.clear();
    writePages({blank});
    const VoucherPage stored = all()[0];
    EXPECT_EQ(editRefusal(stored), kNoVoucherToEdit);
    EXPECT_EQ(deleteRefusal(stored), "");
    VoucherPage reviewed = stored;
    reviewed.preparer = "张三";
    reviewed.reviewer = "李四";
    EXPECT_EQ(deleteRefusal(reviewed), kReviewedCannotDelete);
    EXPECT_TRUE(act([&] { deleteVoucherPage(*store, session, stored.id); }).ok);
    EXPECT_TRUE(all().empty());
}

// Only the unbalanced voucher is of the kind whose totals the command line
// prints: an account named like a total is refused as any unknown account.
TEST_F(VoucherEditTest, OnlyAnUnbalancedVoucherIsRefusedAsUnbalanced) {
    const auto unbalanced = add(3, {{"a", "现金", 10, 0}, {"b", "银行存款", 0, 9.99}});
    EXPECT_EQ(unbalanced.message, kIncompleteVoucher);
    EXPECT_EQ(unbalanced.kind, &kUnbalancedEntry);
    EXPECT_EQ(unbalanced.detail, "借方合计 10，贷方合计 9.99");
    const auto unknown = add(3, {{"a", "本月合计", 10, 0}, {"b", "银行存款", 0, 10}});
    EXPECT_EQ(unknown.message, std::string(kUnknownAccount) + "本月合计");
    EXPECT_EQ(unknown.kind, nullptr);
    EXPECT_EQ(add(3, {}).kind, nullptr) << "no lines";
    EXPECT_TRUE(all().empty());
}

TEST_F(VoucherEditTest, AFailureAtCommitLeavesTheVouchersAsTheyWere) {
    simple(1, 10);
    simple(2, 20);
    const std::string before = voucherBytes();
    store->setCommitHook([](const std::filesystem::path&) { throw StoreError("injected failure"); });
    const auto added = add(3, {{"a", "现金", 1, 0}, {"b", "现金", 2, 0}, {"c", "现金", 3, 0},
                               {"d", "现金", 4, 0}, {"e", "主营业务收入", 0, 10}});
    EXPECT_FALSE(added.ok);
    EXPECT_EQ(added.message, kDiskMessage);
    const auto removed = act([&] { deleteVoucherPage(*store, session, all()[0].id); });
    EXPECT_EQ(removed.message, kDiskMessage);
    EXPECT_EQ(voucherBytes(), before);
    store->setCommitHook({});
    EXPECT_EQ(numbers(), (Strings{"30001 1/1", "30002 1/1"}));
}

}  // namespace
}  // namespace tw::test

namespace tw::test {
namespace {

class BalancingTest : public VoucherTest {
protected:
    double balancing(const VoucherPage& page, int line, bool debit) {
        const auto got = runCaught([&] { return balancingAmount(*store, session, page, line, debit); });
        EXPECT_TRUE(got.ok) << got.message;
        return got.value;
    }
};

TEST_F(BalancingTest, TheOtherSideOfTheVoucherIsOfferedOnlyWhereItBalances) {
    // Written as the window writes it, line by line, unbalanced on the way.
    const Outcome written = runAction(*store, [&] {
        const std::int64_t id = newVoucher(*store, session, 0, 3);
        const std::pair<const char*, double> lines[] = {{"管理费用", 120.3}, {"管理费用", 80.2}, {"现金", -50}};
        for (int n = 1; n <= 3; ++n) {
            setLineAccount(*store, session, id, n, lines[n - 1].first);
            const double a = lines[n - 1].second;
            setLineAmount(*store, session, id, n, a > 0 ? Side::Debit : Side::Credit, a > 0 ? a : -a);
        }
    });
    ASSERT_TRUE(written.ok) << written.message;
    const VoucherPage p = all()[0];
    EXPECT_DOUBLE_EQ(balancing(p, 4, false), 150.5);
    EXPECT_EQ(balancing(p, 4, true), 0) << "a debit cannot balance more debits";
    // A line's own amount does not count: line 3 would take 200.5.
    EXPECT_DOUBLE_EQ(balancing(p, 3, false), 200.5);
    EXPECT_DOUBLE_EQ(balancing(p, 1, true), 0) << "without line 1 the credit is still short";
    EXPECT_DOUBLE_EQ(balancing(p, 1, false), 30.2) << "80.2 debit against 50 credit";
    EXPECT_EQ(balancing(VoucherPage{}, 1, true), 0) << "no voucher on the page";
}

TEST_F(BalancingTest, EveryPageOfTheVoucherCounts) {
    // Two pages: the first carries four debits of 25, the last a credit of 100.
    std::vector<EntryLine> lines(4, {"收款", "现金", 25, 0});
    lines.push_back({"收款", "主营业务收入", 0, 100});
    ASSERT_TRUE(add(4, lines).ok);
    const auto pages = all();
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_DOUBLE_EQ(balancing(pages[1], 1, false), 100);
    EXPECT_DOUBLE_EQ(balancing(pages[1], 2, false), 0) << "balanced already";
    EXPECT_DOUBLE_EQ(balancing(pages[0], 4, true), 25) << "75 of other debits against 100";
}

}  // namespace
}  // namespace tw::test
