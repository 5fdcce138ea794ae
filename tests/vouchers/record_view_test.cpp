// The voucher window's record view: opening on the newest page without
// reading the table's order, and moving, appending and removing afterwards.
#include <gtest/gtest.h>

#include "voucher_fixture.h"
#include "vouchers/record_view.h"

namespace tw::test {
namespace {

class VoucherRecordViewTest : public VoucherTest {
protected:
    template <class Body>
    void run(Body&& body) {
        const Outcome out = runCaught([&] { body(); });
        ASSERT_TRUE(out.ok) << out.message;
    }
    VoucherRecordView view;
};

TEST_F(VoucherRecordViewTest, OpensOnTheNewestPageAndStaysWithinTheTable) {
    run([&] { view.load(*store, session); });
    EXPECT_EQ(view.position(), 0);
    EXPECT_EQ(view.current(), 0);

    simple(1, 10);
    simple(2, 20);
    simple(3, 30);
    const auto pages = all();
    run([&] { view.load(*store, session); });
    EXPECT_EQ(view.position(), 3);
    EXPECT_EQ(view.current(), pages[2].id);
    run([&] { view.move(*store, session, 1); });
    EXPECT_EQ(view.position(), 3);
    run([&] { view.move(*store, session, -5); });
    EXPECT_EQ(view.current(), pages[0].id);
    run([&] { view.move(*store, session, 1); });
    EXPECT_EQ(view.current(), pages[1].id);
}

TEST_F(VoucherRecordViewTest, RemovingTheNewestPageRightAfterOpeningShowsThePageBefore) {
    simple(1, 10);
    simple(2, 20);
    const auto pages = all();
    run([&] { view.load(*store, session); });
    const Outcome removed = runAction(*store, [&] {
        VoucherTable vouchers(*store, session);
        vouchers.table().remove(pages[1].id);
    });
    ASSERT_TRUE(removed.ok);
    run([&] { view.removed(*store, session, pages[1].id); });
    EXPECT_EQ(view.position(), 1);
    EXPECT_EQ(view.current(), pages[0].id);
    view.appended(99);
    EXPECT_EQ(view.position(), 2);
    EXPECT_EQ(view.current(), 99);
}

TEST_F(VoucherRecordViewTest, LocateMatchesTheTextsTheBoxesShow) {
    multiPage(5, 2, 80);
    const auto pages = all();
    const auto find = [&](double date, const std::string& number, const std::string& page) {
        return runCaught([&] { return locatePage(*store, session, date, number, page); }).value;
    };
    EXPECT_EQ(find(dayNumber(2013, 3, 5), "30001", "2"), pages[1].id);
    EXPECT_EQ(find(dayNumber(2013, 3, 5) + 0.5, "30001", "1"), pages[0].id);
    EXPECT_EQ(find(dayNumber(2013, 3, 5), "30001.0", "1"), std::nullopt);
    EXPECT_EQ(find(dayNumber(2013, 3, 5), "30001", "01"), std::nullopt);
    EXPECT_EQ(find(dayNumber(2013, 3, 6), "30001", "1"), std::nullopt);
    EXPECT_EQ(find(dayNumber(2013, 3, 5), "编号", "1"), std::nullopt);
}

}  // namespace
}  // namespace tw::test
