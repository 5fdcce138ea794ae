// Pictures of the voucher window for a person to look at: a filled four-line
// voucher, and the last page of a two-page voucher. Written only when
// TALLOWICK_SCREENSHOT_DIR names a folder; TALLOWICK_SCREENSHOT_HOLD_MS keeps
// each picture on screen that long.
#include <gtest/gtest.h>

#include <QDir>

#include "vouchers/ui/amount_dialog.h"
#include "vouchers/ui/number_dialog.h"
#include "vouchers_window_support.h"

namespace tw::test {
namespace {

class VoucherScreenshots : public VoucherWindowTest {
protected:
    void SetUp() override {
        folder = qEnvironmentVariable("TALLOWICK_SCREENSHOT_DIR");
        if (folder.isEmpty()) GTEST_SKIP() << "TALLOWICK_SCREENSHOT_DIR is not set";
        VoucherWindowTest::SetUp();
        QDir().mkpath(folder);
    }

    void shoot(const char* file) {
        const QString path = folder + "/" + QString::fromUtf8(file);
        EXPECT_TRUE(window->grab().save(path)) << path.toStdString();
        // Time for a picture of the whole screen (xvfb-run and `import -window root`).
        const int hold = qEnvironmentVariableIntValue("TALLOWICK_SCREENSHOT_HOLD_MS");
        if (hold > 0) QTest::qWait(hold);
    }

    QString folder;
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
    shoot("voucher_four_lines.png");

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
    shoot("voucher_last_page_of_two.png");

    NumberDialog number(prompter, "30002", "2", "2", [](double) { return Outcome::done(); });
    number.show();
    EXPECT_TRUE(number.grab().save(folder + "/voucher_number_dialog.png"));
    NumberInputDialog amount(NumberInputDialog::Kind::Amount);
    amount.show();
    EXPECT_TRUE(amount.grab().save(folder + "/voucher_amount_dialog.png"));
}

}  // namespace
}  // namespace tw::test
