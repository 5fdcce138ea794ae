// Pictures of the voucher window: a filled four-line voucher and the last
// page of a two-page voucher, each drawn whole in a Chinese font with its
// written boxes in sight and drawn, and of the number and amount dialogs.
// TALLOWICK_SCREENSHOT_DIR keeps a copy of each; TALLOWICK_SCREENSHOT_HOLD_MS
// keeps each voucher on screen that long.
#include <gtest/gtest.h>

#include "picture_check.h"
#include "vouchers/ui/amount_dialog.h"
#include "vouchers/ui/number_dialog.h"
#include "vouchers_window_support.h"

namespace tw::test {
namespace {

class VoucherScreenshots : public VoucherWindowTest {
protected:
    void shoot(const char* file, std::initializer_list<const char*> shownControls) {
        checkPicture(*window, QString::fromUtf8(file), shownControls);
        // Time for a picture of the whole screen (xvfb-run and `import -window root`).
        const int hold = qEnvironmentVariableIntValue("TALLOWICK_SCREENSHOT_HOLD_MS");
        if (hold > 0) QTest::qWait(hold);
    }
};

TEST_F(VoucherScreenshots, FourLineVoucherAndLastPageOfTwo) {
    addSub("银行存款", "工商银行");
    addSub("应收账款", "华东贸易有限公司");
    ASSERT_TRUE(add(12,
                    {{"收到华东公司前欠货款", "银行存款→工商银行", 11700, 0},
                     {"销售商品一批", "应收账款→华东贸易有限公司", 23400, 0},
                     {"销售商品一批", "主营业务收入", 0, 30000},
                     {"销项税额", "应交税费→应交增值税", 0, 5100}},
                    3)
                    .ok);
    open();
    EXPECT_EQ(shown(), "30001 1/1");
    shoot("voucher_four_lines.png", {"月编号编辑框", "日期编辑框", "摘要1编辑框", "科目2编辑框",
                                     "借方金额1编辑框", "贷方金额4编辑框", "借方金额合计编辑框"});

    ASSERT_TRUE(add(15,
                    {{"购入原材料", "原材料", 8000, 0},
                     {"进项税额", "应交税费→应交增值税", 1360, 0},
                     {"支付运费", "原材料", 240.5, 0},
                     {"以存款支付", "银行存款→工商银行", 0, 5000},
                     {"余款暂欠", "应付账款", 0, 4600.5}},
                    1)
                    .ok);
    window.reset();
    open();
    EXPECT_EQ(shown(), "30002 2/2");
    shoot("voucher_last_page_of_two.png",
          {"月编号编辑框", "摘要1编辑框", "科目1编辑框", "贷方金额1编辑框", "贷方金额合计编辑框"});

    NumberDialog number(prompter, "30002", "2", "2", [](double) { return Outcome::done(); });
    checkPicture(number, "voucher_number_dialog.png", {"编号", "月编号输入框"});
    NumberInputDialog amount(NumberInputDialog::Kind::Amount);
    checkPicture(amount, "voucher_amount_dialog.png", {"确定", "清除"});
}

}  // namespace
}  // namespace tw::test
