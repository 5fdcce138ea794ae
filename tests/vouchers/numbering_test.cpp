// Voucher numbers within a month, pages added and deleted, and the month's
// sort: checked in 凭证库 as the operations leave it.
#include <gtest/gtest.h>

#include "voucher_fixture.h"
#include "vouchers/numbering.h"
#include "vouchers/review.h"
#include "vouchers/voucher_edits.h"
#include "vouchers/voucher_sort.h"

namespace tw::test {
namespace {

using Strings = std::vector<std::string>;

class VoucherNumberingTest : public VoucherTest {
protected:
    Result<double> next() { return runCaught([&] { return nextVoucherNumber(*store, session); }); }
    Outcome remove(std::int64_t id) {
        return runAction(*store, [&] { deleteVoucherPage(*store, session, id); });
    }
    Outcome sort() { return runAction(*store, [&] { renumberAll(*store, session); }); }
};

TEST_F(VoucherNumberingTest, MonthPrefixAndFourDigitSequence) {
    EXPECT_EQ(simple(1, 10), 30001);
    EXPECT_EQ(simple(2, 10), 30002);
    // Another month's numbers do not count; the largest of this month does.
    writePages({page(dayNumber(2013, 2, 5), 20077, 1, 1, 5, 5), page(dayNumber(2013, 3, 9), 30009, 1, 1, 5, 5)});
    EXPECT_EQ(next().value, 30010);
    session.login.period = dayNumber(2013, 12, 1);
    EXPECT_EQ(next().value, 120001);
}

TEST_F(VoucherNumberingTest, NoVoucherPast9999OrOnATakenNumber) {
    writePages({page(dayNumber(2013, 3, 9), 39999, 1, 1, 5, 5)});
    const std::string before = voucherBytes();
    const auto full = add(10, {{"提现", "现金", 5, 0}, {"提现", "银行存款", 0, 5}});
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.message, kMonthFull);
    EXPECT_EQ(voucherBytes(), before);

    // A number outside the month's block (50003, from before numbers were kept
    // inside it) does not push the month on: the next is formed from 40004.
    writePages({page(dayNumber(2013, 4, 1), 40004, 1, 1, 5, 5)});
    session.login.period = dayNumber(2013, 4, 1);
    writePages({page(dayNumber(2013, 4, 2), 50003, 1, 1, 5, 5)});
    EXPECT_EQ(next().value, 40005);
}

TEST_F(VoucherNumberingTest, AddingAPageToPageOneOfThreeMakesPageFourOfFour) {
    multiPage(3, 3, 80);
    simple(4, 10);
    const auto pages = all();
    const auto added =
        runAction(*store, [&] { return addVoucherPage(*store, session, pages[0].id); });
    ASSERT_TRUE(added.ok) << added.message;
    EXPECT_EQ(numbers(), (Strings{"30001 1/4", "30001 2/4", "30001 3/4", "30002 1/1", "30001 4/4"}));
    // The totals moved to the new last page; page 3 holds none any more.
    const auto after = all();
    EXPECT_EQ(after[4].debitTotal, 80);
    EXPECT_EQ(after[4].creditTotal, 80);
    EXPECT_EQ(after[2].debitTotal, 0);
    EXPECT_EQ(after[4].date, after[0].date);
    EXPECT_EQ(after[4].preparer, "张三");
}

TEST_F(VoucherNumberingTest, DeletingPagesClosesGapsWithinTheVoucherAndTheMonth) {
    multiPage(1, 3, 50);
    simple(2, 10);
    simple(3, 20);
    simple(4, 30);
    // Page 2 of three: the former page 3 becomes page 2 of 2; later numbers stay.
    ASSERT_TRUE(remove(all()[1].id).ok);
    EXPECT_EQ(numbers(), (Strings{"30001 1/2", "30001 2/2", "30002 1/1", "30003 1/1", "30004 1/1"}));
    EXPECT_EQ(all()[1].debitTotal, 50);

    // The single-page voucher 30002: 30003 and 30004 move down.
    ASSERT_TRUE(remove(all()[2].id).ok);
    EXPECT_EQ(numbers(), (Strings{"30001 1/2", "30001 2/2", "30002 1/1", "30003 1/1"}));
    EXPECT_EQ(all()[2].lines[0].debit, 20);
}

TEST_F(VoucherNumberingTest, PostedVouchersKeepTheirNumbersWhenAnEarlierOneGoes) {
    simple(1, 10);
    writePages({page(dayNumber(2013, 3, 2), 30002, 1, 1, 5, 5, "李四")});
    simple(3, 30);
    ASSERT_TRUE(remove(all()[0].id).ok);
    // The ledger rows of 30002 refer to its number: the gap stays.
    EXPECT_EQ(numbers(), (Strings{"30002 1/1", "30003 1/1"}));
    EXPECT_EQ(next().value, 30004);
}

TEST_F(VoucherNumberingTest, ReviewedPagesAreNotDeleted) {
    simple(1, 10);
    const auto id = all()[0].id;
    ASSERT_TRUE(runAction(*store, [&] { return toggleReview(*store, session, id); }).ok);
    const std::string before = voucherBytes();
    EXPECT_EQ(remove(id).message, kReviewedCannotDelete);
    EXPECT_EQ(voucherBytes(), before);
}

TEST_F(VoucherNumberingTest, SortOrdersAndRenumbersThisMonthOnly) {
    // A closed February stays as it is, in its place.
    writePages({page(dayNumber(2013, 2, 20), 20001, 1, 1, 5, 5, "李四")});
    simple(2, 10);      // 30001 on the 2nd
    multiPage(1, 2, 40);  // 30002 on the 1st, two pages
    ASSERT_TRUE(sort().ok);
    EXPECT_EQ(numbers(), (Strings{"20001 1/1", "30001 1/2", "30001 2/2", "30002 1/1"}));
    const auto pages = all();
    EXPECT_EQ(pages[1].date, dayNumber(2013, 3, 1));
    EXPECT_EQ(pages[2].debitTotal, 40);
    EXPECT_EQ(pages[3].date, dayNumber(2013, 3, 2));
    EXPECT_EQ(pages[3].lines[0].debit, 10);
    EXPECT_EQ(pages[0].poster, "李四");
}

TEST_F(VoucherNumberingTest, SortIsRefusedInAMonthWithPostedVouchers) {
    simple(2, 10);
    writePages({page(dayNumber(2013, 3, 1), 30002, 1, 1, 5, 5, "李四")});
    const std::string before = voucherBytes();
    EXPECT_EQ(sort().message, kPostedMonthCannotSort);
    EXPECT_EQ(voucherBytes(), before);
}

// The paper voucher names the month's sequence, not the month in front of it.
TEST(VoucherWordNumber, TheMonthsSequenceAsBookkeepersReadIt) {
    EXPECT_EQ(voucherWordNumber(30001), "记字第1号");
    EXPECT_EQ(voucherWordNumber(39999), "记字第9999号");
    EXPECT_EQ(voucherWordNumber(120012), "记字第12号");
    EXPECT_EQ(voucherWordNumber(10105), "记字第105号");
    // Outside every month's block the number reads whole.
    EXPECT_EQ(voucherWordNumber(5), "记字第5号");
    EXPECT_EQ(voucherWordNumber(30000), "记字第30000号");
    EXPECT_EQ(voucherWordNumber(130001), "记字第130001号");
    EXPECT_EQ(voucherWordNumber(30001.5), "记字第30001.5号");
    EXPECT_EQ(voucherWordNumber(0), "");
}

}  // namespace
}  // namespace tw::test
