// Pictures of the chart, summary and opening-balance windows: each drawn
// whole in a Chinese font, with its filled tree or list, chosen text and
// totals in sight and drawn. TALLOWICK_SCREENSHOT_DIR keeps a copy of each.
#include <gtest/gtest.h>

#include <QTabWidget>

#include "accounts/chart.h"
#include "accounts/opening_balances.h"
#include "accounts/ui/chart_window.h"
#include "accounts/ui/opening_balance_window.h"
#include "accounts/ui/phrase_window.h"
#include "accounts_window_support.h"
#include "picture_check.h"

namespace tw::test {
namespace {

using AccountScreenshots = AccountWindowTest;

TEST_F(AccountScreenshots, ChartSummaryAndOpeningWindows) {
    addSub("银行存款", "工商银行");
    addSub("银行存款", "建设银行");
    addSub("银行存款→工商银行", "活期");
    addSub("应收账款", "甲公司");

    ChartWindow chart(ctx);
    select(child<QTreeWidget>(&chart, "资产类树型框"), "银行存款→建设银行");
    // The asset tree with the new sub-accounts, and the note beside it.
    checkPicture(chart, "chart_window.png", {"资产类树型框", "说明标签"});

    PhraseWindow phrases(ctx);
    select(child<QTreeWidget>(&phrases, "摘要树型框"), "收回欠款");
    // The phrase tree, and the chosen phrase in the text box.
    checkPicture(phrases, "summary_window.png", {"摘要树型框", "摘要文本框"});

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
    // The list of accounts with their amounts, and both totals.
    checkPicture(opening, "opening_window.png", {"超级列表框", "借方合计框", "贷方合计框"});
}

}  // namespace
}  // namespace tw::test
