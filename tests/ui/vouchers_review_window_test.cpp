// 凭证窗口's review buttons, the month's sort, locate mode with its print
// hook, and the main window's commands that open the window.
#include <gtest/gtest.h>

#include <QAction>
#include <QToolButton>

#include "app/main_window.h"
#include "vouchers/review.h"
#include "vouchers/voucher_sort.h"
#include "vouchers_window_support.h"

namespace tw::test {
namespace {

using Strings = std::vector<std::string>;

std::vector<std::string> reviewersOf(const std::vector<VoucherPage>& pages) {
    std::vector<std::string> out;
    for (const VoucherPage& p : pages) out.push_back(p.reviewer);
    return out;
}

TEST_F(VoucherWindowTest, ReviewTogglesSingleAndMultiPageVouchers) {
    open();
    answerDay(1);
    press("新建凭证");
    press("审核或撤销");  // totals "0" and "0"
    EXPECT_EQ(prompter.messages.last(), kUnbalancedVoucher);
    EXPECT_EQ(text("审核编辑框"), "");
    prompter.confirmAnswers.enqueue(true);
    press("删除凭证");

    simple(2, 10);
    multiPage(3, 3, 80);
    window.reset();
    open();
    press("翻到上张");
    press("翻到上张");
    EXPECT_EQ(shown(), "30002 1/3");
    press("审核或撤销");
    EXPECT_EQ(text("审核编辑框"), "张三");
    EXPECT_EQ(reviewersOf(all()), (Strings{"", "张三", "张三", "张三"}));
    press("翻到上张");
    press("审核或撤销");
    press("审核或撤销");
    press("审核或撤销");
    EXPECT_EQ(text("审核编辑框"), "张三");
    press("翻到下张");
    press("翻到下张");
    press("审核或撤销");  // page 2 of 3 undoes the whole voucher
    EXPECT_EQ(reviewersOf(all()), (Strings{"张三", "", "", ""}));

    writePages({page(dayNumber(2013, 3, 4), 30003, 1, 1, 5, 5, "李四")});
    window.reset();
    open();
    press("审核或撤销");
    EXPECT_EQ(prompter.messages.last(), kPostedCannotUndo);
    EXPECT_EQ(text("审核编辑框"), "李四");
}

TEST_F(VoucherWindowTest, ReviewAllTwiceAlsoAfterAClosedMonth) {
    // February closed by hand: posted, the table's first records.
    writePages({page(dayNumber(2013, 2, 3), 20001, 1, 1, 5, 5, "李四"),
                page(dayNumber(2013, 2, 9), 20002, 1, 1, 7, 7, "李四")});
    simple(1, 10);
    multiPage(2, 2, 30);
    open();
    press("审撤全部");
    EXPECT_EQ(prompter.messages.last(), kAllReviewed);
    EXPECT_EQ(ctx.reviewAllMode, kModeUndo);
    EXPECT_EQ(window->position(), 1);  // the walk ends on the table's first record
    EXPECT_EQ(reviewersOf(all()), (Strings{"李四", "李四", "张三", "张三", "张三"}));

    // The mode outlives the window.
    window.reset();
    open();
    press("审撤全部");
    EXPECT_EQ(prompter.messages.last(), kAllUndone);
    EXPECT_EQ(reviewersOf(all()), (Strings{"李四", "李四", "", "", ""}));
    EXPECT_EQ(ctx.reviewAllMode, kModeReview);
}

TEST_F(VoucherWindowTest, ReviewAllStopsOnAnUnbalancedVoucher) {
    simple(1, 10);
    writePages({page(dayNumber(2013, 3, 2), 30002, 1, 1, 5, 4)});
    simple(3, 30);
    open();
    press("审撤全部");
    EXPECT_EQ(prompter.messages.last(), kUnbalancedInRun);
    EXPECT_EQ(shown(), "30002 1/1");
    EXPECT_EQ(reviewersOf(all()), (Strings{"", "", ""}));
    EXPECT_EQ(ctx.reviewAllMode, kModeReview);  // the next run reviews again

    // An empty table: nothing to do.
    for (int i = 0; i < 3; ++i) {
        prompter.confirmAnswers.enqueue(true);
        press("删除凭证");
    }
    EXPECT_EQ(window->position(), 0);
    press("审撤全部");
    EXPECT_EQ(prompter.messages.last(), kNothingToReview);
}

TEST_F(VoucherWindowTest, SortRenumbersByDateAndIsRefusedOnAPostedMonth) {
    simple(9, 10);
    simple(2, 20);
    open();
    press("按日期排序本月凭证");
    EXPECT_EQ(shown(), "30002 1/1");
    EXPECT_EQ(text("日期编辑框"), "2013-3-9");
    press("翻到上张");
    EXPECT_EQ(text("日期编辑框"), "2013-3-2");
    EXPECT_EQ(shown(), "30001 1/1");

    writePages({page(dayNumber(2013, 3, 1), 30003, 1, 1, 5, 5, "李四")});
    const std::string before = voucherBytes();
    press("按日期排序本月凭证");
    EXPECT_EQ(prompter.messages.last(), kPostedMonthCannotSort);
    EXPECT_EQ(voucherBytes(), before);
}

TEST_F(VoucherWindowTest, LocateModeFindsThePageAndPrintsThroughTheHook) {
    multiPage(5, 2, 80);
    simple(6, 10);
    open();
    window->locate({dayNumber(2013, 3, 5), "30001", "2", false});
    EXPECT_EQ(shown(), "30001 2/2");
    // Texts the boxes never show find nothing: the first record.
    window->locate({dayNumber(2013, 3, 6), "30002.0", "1", false});
    EXPECT_EQ(window->position(), 1);
    window->locate({dayNumber(2013, 3, 7), "30002", "1", false});
    EXPECT_EQ(window->position(), 1);
    window.reset();

    std::vector<std::string> printed;
    ctx.printVoucherPage = [&](QWidget* over, const VoucherPageTexts& p) {
        EXPECT_EQ(over->objectName(), "凭证窗口");
        printed.push_back(p.number + " " + p.page + " " + p.debitTotal);
    };
    const int windows = visibleTopLevelCount();
    runVoucherWindow(ctx, nullptr, VoucherTarget{dayNumber(2013, 3, 5), "30001", "2", true});
    runVoucherWindow(ctx, nullptr, VoucherTarget{dayNumber(2013, 3, 5), "30001", "1", true});
    EXPECT_EQ(printed, (Strings{"30001 2 80", "30001 1 "}));
    EXPECT_EQ(visibleTopLevelCount(), windows);
}

TEST_F(VoucherWindowTest, MainWindowCommandsOpenTheVoucherWindow) {
    simple(1, 10);
    MainWindow main(ctx);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    for (const char* button : {"编制凭证按钮", "审核凭证按钮"}) {
        auto* b = child<QToolButton>(&main, QString::fromUtf8(button));
        ASSERT_NE(b, nullptr);
        bool lockedMeanwhile = false;
        whenModalOpens([&](QWidget* w) {
            EXPECT_EQ(w->objectName(), "凭证窗口");
            EXPECT_EQ(child<QLineEdit>(w, "月编号编辑框")->text(), "30001");
            lockedMeanwhile = !b->isEnabled();
            static_cast<QDialog*>(w)->reject();
        });
        QTest::mouseClick(b, Qt::LeftButton);
        EXPECT_TRUE(lockedMeanwhile) << button;
    }
    for (const char* item : {"编制凭证", "审核凭证"}) {
        auto* action = main.findChild<QAction*>(QString::fromUtf8(item));
        ASSERT_NE(action, nullptr);
        bool opened = false;
        whenModalOpens([&](QWidget* w) {
            opened = w->objectName() == "凭证窗口";
            static_cast<QDialog*>(w)->reject();
        });
        action->trigger();
        EXPECT_TRUE(opened) << item;
    }
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
}

}  // namespace
}  // namespace tw::test
