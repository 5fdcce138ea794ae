// 审核人与制单人不能为同一人: with the set's option on, nobody reviews a voucher
// he prepared a page of, alone or in 审撤全部, while undoing reviews stays
// open to all. (The commands' tests show it refused and off again.)
#include <gtest/gtest.h>

#include "shell/action_log.h"
#include "shell/set_options.h"
#include "voucher_fixture.h"
#include "vouchers/review.h"

namespace tw::test {
namespace {

class ReviewerApartTest : public VoucherTest {
protected:
    void apart(bool on) {
        const Outcome set = runAction(*store, [&] { setReviewerApart(*store, session, on); });
        ASSERT_TRUE(set.ok) << set.message;
    }
    Result<std::string> toggle(std::int64_t id) {
        return runAction(*store, [&] { return toggleReview(*store, session, id); });
    }
    Result<ReviewAllResult> reviewAllIn(const char* mode) {
        return runAction(*store, [&] { return reviewAll(*store, session, mode); });
    }
    // A balanced one-page voucher of March prepared by `preparer`.
    VoucherPage by(const std::string& preparer, double number, double amount = 50) {
        VoucherPage p = page(dayNumber(2013, 3, 5), number, 1, 1, amount, amount);
        p.preparer = preparer;
        return p;
    }
    std::vector<std::string> reviewers() {
        std::vector<std::string> out;
        for (const VoucherPage& p : all()) out.push_back(p.reviewer);
        return out;
    }
};

using Strings = std::vector<std::string>;

// A page added by the reviewer makes the voucher partly his.
TEST_F(ReviewerApartTest, APageOfTheVoucherPreparedByTheReviewerIsEnough) {
    VoucherPage first = page(dayNumber(2013, 3, 5), 30001, 1, 2, 0, 0);
    first.preparer = "李四";
    const VoucherPage second = page(dayNumber(2013, 3, 5), 30001, 2, 2, 70, 70);
    writePages({first, second});
    apart(true);
    EXPECT_EQ(toggle(all()[0].id).message, kSelfReview);
    EXPECT_EQ(reviewers(), (Strings{"", ""}));
}

// Undoing reviews is not reviewing, alone or for the whole month.
TEST_F(ReviewerApartTest, UndoingAReviewOfTheOwnVoucherIsNotRefused) {
    VoucherPage reviewed = by("张三", 30001);
    reviewed.reviewer = "李四";
    VoucherPage theirs = by("李四", 30002);
    theirs.reviewer = "张三";
    writePages({reviewed, theirs});
    apart(true);
    const auto undo = reviewAllIn(kModeUndo);
    ASSERT_TRUE(undo.ok) << undo.message;
    EXPECT_EQ(undo.value.message, kAllUndone);
    EXPECT_EQ(undo.value.passedOver, 0);
    EXPECT_EQ(reviewers(), (Strings{"", ""}));
    EXPECT_EQ(toggle(all()[1].id).value, "张三");
    EXPECT_EQ(toggle(all()[1].id).value, "") << "his own review of another's voucher";
    EXPECT_EQ(toggle(all()[0].id).message, kSelfReview) << "but reviewing his own is refused";
}

TEST_F(ReviewerApartTest, ReviewAllPassesOverTheOwnVouchersAndSaysHowMany) {
    VoucherPage ownUnbalanced = by("张三", 30003);
    ownUnbalanced.creditTotal = 10;
    ownUnbalanced.lines[1].credit = 10;  // 50 against 10: it would stop the run
    writePages({by("张三", 30001), by("李四", 30002), ownUnbalanced});
    apart(true);
    const auto run = reviewAllIn(kModeReview);
    ASSERT_TRUE(run.ok) << run.message;
    EXPECT_TRUE(run.value.done);
    EXPECT_EQ(run.value.passedOver, 2);
    EXPECT_EQ(run.value.message,
              "本月凭证审核完毕；其中2张凭证由您本人编制，审核人与制单人不能为同一人，未予审核。");
    EXPECT_EQ(run.value.mode, kModeUndo);
    EXPECT_EQ(reviewers(), (Strings{"", "张三", ""}));
    const auto log = runCaught([&] { return readActionLog(*store, session, {}); });
    ASSERT_TRUE(log.ok);
    EXPECT_EQ(log.value.entries.back().what, "全部审核");
    EXPECT_EQ(log.value.entries.back().detail, "1张，2张本人编制未审核");
}

}  // namespace
}  // namespace tw::test
