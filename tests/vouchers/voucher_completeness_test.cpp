// Whether a voucher is complete, judged on all its pages: what 新建凭证
// refuses and which vouchers the voucher window names before it closes.
#include <gtest/gtest.h>

#include "voucher_fixture.h"
#include "vouchers/voucher_completeness.h"
#include "vouchers/voucher_edits.h"

namespace tw::test {
namespace {

class VoucherCompletenessTest : public VoucherTest {
protected:
    // 新建凭证 with the page `shownId` shown: its refusal, or empty.
    std::string newVoucherAfter(std::int64_t shownId) {
        return runAction(*store, [&] { return newVoucher(*store, session, shownId, 20); }).message;
    }
    std::vector<VoucherCompleteness> incomplete(const std::vector<std::int64_t>& ids) {
        const auto found = runCaught([&] { return incompleteVouchers(*store, session, ids); });
        EXPECT_TRUE(found.ok) << found.message;
        return found.value;
    }
    static double day(int d) { return dayNumber(2013, 3, d); }
};

// Page 1 of a balanced two-page voucher shows no totals, yet the voucher is
// complete and the next one may start; an unbalanced one is refused with its
// difference, whichever side is larger and whichever page is shown.
TEST_F(VoucherCompletenessTest, NewVoucherJudgesEveryPageOfTheVoucherShown) {
    multiPage(5, 2, 80);
    EXPECT_EQ(newVoucherAfter(all()[0].id), "");
    EXPECT_EQ(numbers().back(), "30002 1/1");
    EXPECT_EQ(newVoucherAfter(all()[2].id), kIncompleteVoucher) << "an empty voucher";

    writePages({page(day(6), 30003, 1, 1, 100, 0), page(day(6), 30004, 1, 2, 30, 0),
                page(day(6), 30004, 2, 2, 0, 10), page(day(6), 30005, 1, 1, 0, 12.5),
                page(day(6), 30006, 1, 2, 5, 5), page(0, 30007, 1, 1, 5, 5)});
    const auto pages = all();
    ASSERT_EQ(pages.size(), 9u);
    const std::size_t before = pages.size();
    EXPECT_EQ(newVoucherAfter(pages[3].id), "凭证 30003 借贷不平（差额 100.00），不能新建凭证！");
    EXPECT_EQ(newVoucherAfter(pages[4].id), "凭证 30004 借贷不平（差额 20.00），不能新建凭证！");
    EXPECT_EQ(newVoucherAfter(pages[6].id), "凭证 30005 借贷不平（差额 12.50），不能新建凭证！");
    EXPECT_EQ(newVoucherAfter(pages[7].id), kIncompleteVoucher) << "its last page is missing";
    EXPECT_EQ(newVoucherAfter(pages[8].id), kIncompleteVoucher) << "no date";
    EXPECT_EQ(all().size(), before) << "a refusal writes nothing";
}

// Each voucher once, by the page that shows its totals; complete ones and
// pages deleted since are passed over.
TEST_F(VoucherCompletenessTest, IncompleteVouchersAreNamedOnceEach) {
    multiPage(5, 2, 80);
    ASSERT_EQ(newVoucherAfter(all()[1].id), "");
    writePages({page(day(6), 30003, 1, 2, 30, 0), page(day(6), 30003, 2, 2, 0, 10),
                page(day(7), 30004, 1, 1, 100, 0)});
    const auto p = all();
    ASSERT_EQ(p.size(), 6u);
    const auto found = incomplete({p[2].id, p[0].id, 9999, p[3].id, p[4].id, p[5].id, p[2].id});
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].gap, VoucherGap::NoAmount);
    EXPECT_EQ(found[0].pageId, p[2].id);
    EXPECT_EQ(found[1].gap, VoucherGap::Unbalanced);
    EXPECT_EQ(found[1].pageId, p[4].id) << "its last page, where the totals show";
    EXPECT_EQ(found[1].difference, 2000);
    EXPECT_EQ(found[2].number, 30004);
    EXPECT_EQ(leaveQuestion(found[0]), "凭证 30002 还没有金额，返回修改，还是保留离开？");
    EXPECT_EQ(leaveQuestion(found[1]), "凭证 30003 借贷不平（差额 20.00），返回修改，还是保留离开？");
    EXPECT_TRUE(incomplete({p[0].id, p[1].id}).empty());
}

}  // namespace
}  // namespace tw::test
