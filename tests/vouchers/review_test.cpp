// Review of one voucher and of the month, in 凭证库.
#include <gtest/gtest.h>

#include "voucher_fixture.h"
#include "vouchers/review.h"
#include "vouchers/voucher_edits.h"

namespace tw::test {
namespace {

class VoucherReviewTest : public VoucherTest {
protected:
    Result<std::string> toggle(std::int64_t id) {
        return runAction(*store, [&] { return toggleReview(*store, session, id); });
    }
    Result<ReviewAllResult> reviewAllOnce() {
        auto run = runAction(*store, [&] { return reviewAll(*store, session, mode); });
        if (run.ok) mode = run.value.mode;
        return run;
    }
    std::vector<std::string> reviewers() {
        std::vector<std::string> out;
        for (const VoucherPage& p : all()) out.push_back(p.reviewer);
        return out;
    }
    std::string mode;
};

using Strings = std::vector<std::string>;

TEST_F(VoucherReviewTest, ToggleSingleAndMultiPageVouchers) {
    simple(1, 10);
    multiPage(2, 3, 80);
    EXPECT_EQ(toggle(all()[0].id).value, "张三");
    EXPECT_EQ(toggle(all()[0].id).value, "");
    EXPECT_EQ(toggle(all()[0].id).value, "张三");
    // Page 1 of three: all three pages.
    EXPECT_EQ(toggle(all()[1].id).value, "张三");
    EXPECT_EQ(reviewers(), (Strings{"张三", "张三", "张三", "张三"}));
    EXPECT_EQ(toggle(all()[2].id).value, "");
    EXPECT_EQ(reviewers(), (Strings{"张三", "", "", ""}));
}

TEST_F(VoucherReviewTest, EmptyUnbalancedAndPostedVouchersAreRefused) {
    const auto empty = runAction(*store, [&] { return newVoucher(*store, session, 0, 3); });
    EXPECT_EQ(toggle(empty.value).message, kUnbalancedVoucher);
    writePages({page(dayNumber(2013, 3, 4), 30002, 1, 1, 5, 5, "李四")});
    EXPECT_EQ(toggle(all()[1].id).message, kPostedCannotUndo);
    const std::string before = voucherBytes();
    EXPECT_EQ(toggle(999).message, kNoPage);
    EXPECT_EQ(voucherBytes(), before);
}

TEST_F(VoucherReviewTest, ReviewAllTwiceReviewsThenUndoesTheMonth) {
    simple(1, 10);
    multiPage(2, 2, 30);
    auto run = reviewAllOnce();
    ASSERT_TRUE(run.ok) << run.message;
    EXPECT_TRUE(run.value.done);
    EXPECT_EQ(run.value.message, kAllReviewed);
    EXPECT_EQ(reviewers(), (Strings{"张三", "张三", "张三"}));
    EXPECT_EQ(run.value.shownId, all()[0].id);
    run = reviewAllOnce();
    EXPECT_EQ(run.value.message, kAllUndone);
    EXPECT_EQ(reviewers(), (Strings{"", "", ""}));
    EXPECT_EQ(mode, kModeReview);
}

TEST_F(VoucherReviewTest, ReviewAllPassesOverClosedMonthsAndPostedPages) {
    // February closed by hand: its vouchers posted, the first record among them.
    writePages({page(dayNumber(2013, 2, 3), 20001, 1, 1, 5, 5, "李四"),
                page(dayNumber(2013, 2, 4), 20002, 1, 1, 7, 7, "李四")});
    simple(1, 10);
    writePages({page(dayNumber(2013, 3, 2), 30002, 1, 1, 5, 5, "李四")});
    simple(3, 30);
    for (const char* expected : {kAllReviewed, kAllUndone, kAllReviewed}) {
        const auto run = reviewAllOnce();
        ASSERT_TRUE(run.ok) << run.message;
        EXPECT_EQ(run.value.message, expected);
    }
    EXPECT_EQ(reviewers(), (Strings{"李四", "李四", "张三", "李四", "张三"}));
    EXPECT_EQ(all()[3].poster, "李四");
}

TEST_F(VoucherReviewTest, ReviewAllStopsOnAnUnbalancedVoucherWritingNothing) {
    simple(1, 10);
    // Unbalanced vouchers are left by the window while they are written.
    writePages({page(dayNumber(2013, 3, 2), 30002, 1, 1, 5, 4)});
    simple(3, 30);
    const std::string before = voucherBytes();
    const auto run = reviewAllOnce();
    ASSERT_TRUE(run.ok);
    EXPECT_FALSE(run.value.done);
    EXPECT_EQ(run.value.message, kUnbalancedInRun);
    EXPECT_EQ(run.value.shownId, all()[1].id);
    EXPECT_EQ(mode, kModeReview);
    EXPECT_EQ(voucherBytes(), before);
}

TEST_F(VoucherReviewTest, NothingToReviewWhenTheLastRecordHoldsNoVoucher) {
    EXPECT_EQ(reviewAllOnce().message, kNothingToReview);
    simple(1, 10);
    VoucherPage blank;
    blank.date = dayNumber(2013, 3, 1);
    writePages({blank});
    EXPECT_EQ(reviewAllOnce().message, kNothingToReview);
    EXPECT_EQ(mode, "");
}

TEST_F(VoucherReviewTest, AFailureAtCommitLeavesNoReviewBehind) {
    simple(1, 10);
    simple(2, 20);
    const std::string before = voucherBytes();
    store->setCommitHook([](const std::filesystem::path&) { throw StoreError("injected failure"); });
    EXPECT_EQ(reviewAllOnce().message, kDiskMessage);
    EXPECT_EQ(toggle(all()[0].id).message, kDiskMessage);
    EXPECT_EQ(voucherBytes(), before);
    EXPECT_EQ(mode, "");
}

}  // namespace
}  // namespace tw::test
