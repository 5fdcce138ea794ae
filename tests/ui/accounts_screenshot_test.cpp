// Pictures of the chart, summary and opening-balance windows for a person to
// look at: written only when TALLOWICK_SCREENSHOT_DIR names a folder.
#include <gtest/gtest.h>

#include <QDir>
#include <QTabWidget>

#include "accounts/chart.h"
#include "accounts/opening_balances.h"
#include "accounts/ui/chart_window.h"
#include "accounts/ui/opening_balance_window.h"
#include "accounts/ui/phrase_window.h"
#include "accounts_window_support.h"

namespace tw::test {
namespace {

class AccountScreenshots : public AccountWindowTest {
protected:
    void SetUp() override {
        folder = qEnvironmentVariable("TALLOWICK_SCREENSHOT_DIR");
        if (folder.isEmpty()) GTEST_SKIP() << "TALLOWICK_SCREENSHOT_DIR is not set";
        AccountWindowTest::SetUp();
        QDir().mkpath(folder);
    }

    void shoot(QWidget& window, const char* file) {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QString path = folder + "/" + QString::fromUtf8(file);
        EXPECT_TRUE(window.grab().save(path)) << path.toStdString();
    }

    QString folder;
};

TEST_F(AccountScreenshots, ChartSummaryAndOpeningWindows) {
    addSub("银行存款", "工商银行");
    addSub("银行存款", "建设银行");
    addSub("银行存款→工商银行", "活期");
    addSub("应收账款", "甲公司");

    ChartWindow chart(ctx);
    select(child<QTreeWidget>(&chart, "资产类树型框"), "银行存款→建设银行");
    shoot(chart, "chart_window.png");

    PhraseWindow phrases(ctx);
    select(child<QTreeWidget>(&phrases, "摘要树型框"), "收回欠款");
    shoot(phrases, "summary_window.png");

    auto rows = loadOpeningList(*store, session);
    for (OpeningRow& r : rows) {
        if (r.account == "银行存款→工商银行→活期") setRowAmounts(r, 1000.0, 0.0);
        if (r.account == "银行存款→建设银行") setRowAmounts(r, 500.0, 0.0);
        if (r.account == "现金") setRowAmounts(r, 86.5, 0.0);
        if (r.account == "短期借款") setRowAmounts(r, 0.0, 1500.0);
        if (r.account == "实收资本") setRowAmounts(r, 0.0, 86.5);
    }
    ASSERT_TRUE(runAction(*store, [&] { saveOpeningList(*store, session, rows); }).ok);
    OpeningBalanceWindow opening(ctx);
    shoot(opening, "opening_window.png");
}

}  // namespace
}  // namespace tw::test
