// 财务报表窗口's third statement: the cash-flow statement of a month and of
// a quarter, and 现金流量明细, which lists what went into its lines.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>

#include "picture_check.h"
#include "platform/ui/page_grid_widget.h"
#include "scripted_prompter.h"
#include "statements/statement_fixture.h"
#include "statements/ui/statements_window.h"
#include "test_support.h"

namespace tw::test {
namespace {

class CashFlowWindowTest : public StatementTest {
protected:
    void SetUp() override {
        StatementTest::SetUp();
        enableWith({{"银行存款", 1000}, {"实收资本", -1000}});
        book("银行存款", "主营业务收入", 500, "销售");
        book("管理费用", "银行存款", 120.5);
        closeMonth();  // March closed; April is open
    }
    static void click(QWidget* w, const char* name) {
        auto* b = child<QAbstractButton>(w, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    static const PageGrid& page(QWidget* w) { return child<PageGridWidget>(w, "报表表格")->grid(); }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
};

TEST_F(CashFlowWindowTest, TheStatementOfAMonthItsDetailAndAQuarter) {
    StatementsWindow w(ctx);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* detail = child<QPushButton>(&w, "现金流量明细");
    ASSERT_NE(detail, nullptr);
    EXPECT_FALSE(detail->isVisible()) << "only with a cash-flow statement chosen";

    child<QComboBox>(&w, "报表选择框")->setCurrentIndex(StatementsWindow::CashFlowMonth);
    EXPECT_TRUE(detail->isVisible());
    click(&w, "显示");
    EXPECT_EQ(page(&w).text(1, 1), "现金流量表");
    EXPECT_EQ(page(&w).text(2, 4), "会小企03表");
    EXPECT_EQ(page(&w).text(3, 2), "2013年3月");
    EXPECT_EQ(page(&w).text(6, 3), "500.00") << "line 1, 本年累计金额";
    EXPECT_EQ(page(&w).text(29, 1), "五、期末现金余额");
    EXPECT_EQ(page(&w).text(29, 4), "1,379.50");
    checkPicture(w, "cash_flow_statement.png", {"报表表格", "现金流量明细"});

    QStringList rows;
    whenModalOpens([&](QWidget* modal) {
        checkPicture(*modal, "cash_flow_detail.png", {"现金流量明细表格"});
        if (auto* table = child<QTableWidget>(modal, "现金流量明细表格"))
            for (int r = 0; r < table->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
                rows << cells.join(QStringLiteral("|"));
            }
        modal->close();
    });
    click(&w, "现金流量明细");
    EXPECT_EQ(rows, (QStringList{"1|30001|2013-3-10|销售|500.00|主营业务收入",
                                 "6|30002|2013-3-10|业务|120.50|管理费用"}));

    child<QComboBox>(&w, "报表选择框")->setCurrentIndex(StatementsWindow::CashFlowQuarter);
    EXPECT_TRUE(child<QComboBox>(&w, "季度框")->isVisible());
    click(&w, "显示");
    EXPECT_EQ(page(&w).text(3, 2), "2013年第1季度");
    EXPECT_EQ(page(&w).text(4, 4), "本期金额");
    EXPECT_EQ(prompter.messages, QStringList{});

    // April is open: told, over the window, by the detail as by the statement.
    child<QComboBox>(&w, "报表选择框")->setCurrentIndex(StatementsWindow::CashFlowMonth);
    child<QSpinBox>(&w, "月份框")->setValue(4);
    click(&w, "现金流量明细");
    EXPECT_EQ(prompter.messages, QStringList{"无此月份数据！请检查！"});
}

}  // namespace
}  // namespace tw::test
