// The windows that ask for a range of days (明细账/总账, 日记账, 查阅凭证):
// a date typed after the account was picked replaces the one shown, and a
// start after the end is refused with a message that names both, lists
// nothing, and leaves the start box to be corrected.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "ledgers/ledger_fixture.h"
#include "ledgers/ui/journal_window.h"
#include "ledgers/ui/ledger_window.h"
#include "platform/ui/date_box.h"
#include "platform/ui/page_grid_widget.h"
#include "scripted_prompter.h"
#include "shell/ui/app_context.h"
#include "test_support.h"
#include "typist.h"
#include "vouchers/ui/search_window.h"

namespace tw::test {
namespace {

class DateRangeTest : public LedgerTest {
protected:
    void SetUp() override {
        LedgerTest::SetUp();
        writeRows(file::kLedger,
                  {{day(2013, 3, 1), 0, "期初余额", "现金", 0, 0, "借", 1000},
                   {day(2013, 3, 9), 30002, "支付运费", "现金", 0, -300, "借", 700},
                   {day(2013, 3, 31), 0, "本月合计", "现金", 0, -300, "借", 700}});
        store.reset();  // the windows read the tables through stores of their own
    }
    template <class W>
    void show(W& w) {
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    }
    static DateBox* from(QWidget* w) { return child<DateBox>(w, "起始日期框"); }
    static DateBox* to(QWidget* w) { return child<DateBox>(w, "截至日期框"); }
    static void click(QWidget* w, const char* name) {
        auto* b = child<QPushButton>(w, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    // What a window says of 2013-4-1 to 2013-3-31, and where it leaves the focus.
    void expectRefused(QWidget* w) {
        EXPECT_EQ(prompter.messages,
                  QStringList{reversedRangeMessage(day(2013, 4, 1), day(2013, 3, 31))});
        EXPECT_EQ(prompter.messages.value(0),
                  "起始日期（2013-4-1）晚于截至日期（2013-3-31）！\n请把较早的日期填在前面。");
        EXPECT_EQ(w->focusWidget(), from(w));
        EXPECT_EQ(from(w)->selectedText(), "2013-4-1");
    }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
};

// The ledger from the keyboard: Enter on the account box opens the chart,
// "xj" finds 现金 and Enter takes it; the focus is then in 起始日期框, where
// the date typed must replace the month's first day, not follow it.
TEST_F(DateRangeTest, TheLedgerTakesTheDatesTypedAfterTheAccountAndRefusesThemReversed) {
    LedgerWindow w(ctx, LedgerMode::Detail);
    show(w);
    ASSERT_EQ(w.focusWidget(), child<QLineEdit>(&w, "选择科目编辑框"));
    Typist typist;
    typist.press(Qt::Key_Return).type("xj").press(Qt::Key_Return)  // 现金 from the chart
        .type("2013-3-9").press(Qt::Key_Tab).type("2013-3-31").press(Qt::Key_Return);
    ASSERT_TRUE(typist.play(15000));
    EXPECT_EQ(child<QLineEdit>(&w, "选择科目编辑框")->text(), "现金");
    EXPECT_EQ(from(&w)->text(), "2013-3-9");
    EXPECT_EQ(to(&w)->text(), "2013-3-31");
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
    const PageGrid& listed = child<PageGridWidget>(&w, "账页表格")->grid();
    bool freight = false;
    for (int r = 0; r < listed.rowCount(); ++r)
        for (int c = 0; c < listed.columnCount(); ++c)
            freight = freight || listed.text(r, c) == "支付运费";
    EXPECT_TRUE(freight) << "the page of 现金 was listed";

    Typist back;
    back.press(Qt::Key_Tab, Qt::ShiftModifier).type("2013-4-1").press(Qt::Key_Return);
    ASSERT_TRUE(back.play(15000));
    expectRefused(&w);
}

TEST_F(DateRangeTest, TheJournalRefusesAReversedRangeAndListsNothing) {
    JournalWindow w(ctx);
    show(w);
    child<QLineEdit>(&w, "选择科目编辑框")->setText(QStringLiteral("现金"));
    from(&w)->setDay(day(2013, 4, 1));
    to(&w)->setDay(day(2013, 3, 31));
    click(&w, "列出");
    expectRefused(&w);
    EXPECT_EQ(child<QTreeWidget>(&w, "日记账超级列表框")->topLevelItemCount(), 0);
}

TEST_F(DateRangeTest, TheVoucherSearchRefusesAReversedRange) {
    SearchWindow w(ctx);
    show(w);
    from(&w)->setDay(day(2013, 4, 1));
    to(&w)->setDay(day(2013, 3, 31));
    click(&w, "按条件查找");
    expectRefused(&w);
    EXPECT_TRUE(w.found().empty());
}

}  // namespace
}  // namespace tw::test
