// The posting, carry-forward and close window, driven by its controls.
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "closing/closing_fixture.h"
#include "closing/ui/closing_window.h"
#include "picture_check.h"
#include "scripted_prompter.h"
#include "shell/ui/app_context.h"
#include "test_support.h"

namespace tw::test {
namespace {

class ClosingWindowTest : public ClosingTest {
protected:
    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
    QStringList titles;

    void SetUp() override {
        ClosingTest::SetUp();
        ctx.refreshTitle = [this] { titles << QString::fromStdString(mainWindowTitle(session.login)); };
    }
    void click(QWidget* w, const char* name) {
        auto* b = child<QAbstractButton>(w, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QString label(QWidget* w, const char* name) {
        auto* l = child<QLabel>(w, QString::fromUtf8(name));
        return l ? l->text() : QString();
    }
    bool enabled(QWidget* w, const char* name) {
        auto* b = child<QWidget>(w, QString::fromUtf8(name));
        return b && b->isEnabled();
    }
    QTreeWidget* pairs(QWidget* w) { return child<QTreeWidget>(w, "结转损益超级列表框"); }
};

TEST_F(ClosingWindowTest, CountersAndPosting) {
    enableWith({});
    addVoucher(30001, {{"现金", 10}, {"银行存款", 0, 10}});
    addVoucher(30002, {{"现金", 20}, {"银行存款", 0, 20}});
    addVoucher(30003, {{"现金", 30}, {"银行存款", 0, 30}}, false);
    ClosingWindow w(ctx);
    EXPECT_EQ(label(&w, "透明标签1"), "本月共有凭证     张，其中     张已被登账，还有     张未审核。");
    EXPECT_EQ(label(&w, "本月凭证总张数标签"), "3");
    EXPECT_EQ(label(&w, "已被登账数标签"), "0");
    EXPECT_EQ(label(&w, "待处理数标签"), "1");
    EXPECT_FALSE(enabled(&w, "结转损益并期末结账"));

    click(&w, "将已审核凭证按编号登账");
    EXPECT_EQ(prompter.messages, QStringList{"2张凭证被登账。"});
    EXPECT_EQ(label(&w, "已被登账数标签"), "2");
    EXPECT_FALSE(enabled(&w, "将已审核凭证按编号登账")) << "nothing reviewed waits";
    EXPECT_FALSE(enabled(&w, "结转损益并期末结账")) << "30003 is not posted";
}

// A voucher continued on a second page is one voucher: the sentence and the
// posting message count vouchers, not the records of 凭证库.
TEST_F(ClosingWindowTest, AVoucherOfTwoPagesCountsOnce) {
    enableWith({});
    addVoucher(30001, {{"现金", 10}, {"银行存款", 0, 10}, {"现金", 20}, {"银行存款", 0, 20}});
    addVoucher(30001, {{"现金", 30}, {"银行存款", 0, 30}});
    runSql(file::kVouchers, "UPDATE records SET \"共几\" = 2 WHERE \"月编号\" = 30001;"
                            "UPDATE records SET \"第几\" = 2 WHERE rowid = "
                            "(SELECT MAX(rowid) FROM records WHERE \"月编号\" = 30001)");
    addVoucher(30002, {{"现金", 40}, {"银行存款", 0, 40}});
    addVoucher(30003, {{"现金", 50}, {"银行存款", 0, 50}}, false);
    ClosingWindow w(ctx);
    EXPECT_EQ(label(&w, "本月凭证总张数标签"), "3");
    EXPECT_EQ(label(&w, "已被登账数标签"), "0");
    EXPECT_EQ(label(&w, "待处理数标签"), "1");

    click(&w, "将已审核凭证按编号登账");
    EXPECT_EQ(prompter.messages, QStringList{"2张凭证被登账。"});
    EXPECT_EQ(label(&w, "本月凭证总张数标签"), "3");
    EXPECT_EQ(label(&w, "已被登账数标签"), "2");
    EXPECT_EQ(label(&w, "待处理数标签"), "1");
    // Four pages in the table, three of them posted: what may be done still
    // follows the pages.
    EXPECT_FALSE(enabled(&w, "将已审核凭证按编号登账"));
    EXPECT_FALSE(enabled(&w, "结转损益并期末结账"));
}

TEST_F(ClosingWindowTest, PairsAreEditedOnlyAfterTheProtectionIsClicked) {
    enableWith({});
    ClosingWindow w(ctx);
    for (const char* b : {"新建", "修改", "删除"}) EXPECT_FALSE(enabled(&w, b)) << b;
    ASSERT_TRUE(enabled(&w, "结转损益设置保护"));
    click(&w, "结转损益设置保护");
    for (const char* b : {"新建", "修改", "删除"}) EXPECT_TRUE(enabled(&w, b)) << b;
    const int before = pairs(&w)->topLevelItemCount();

    pairs(&w)->clearSelection();
    click(&w, "修改");
    click(&w, "删除");
    EXPECT_EQ(prompter.messages, (QStringList{"请先选择要修改的对象！", "请先选择要删除的对象！"}));

    // 新建 with nothing selected: empty boxes; an empty box is refused, a typo too.
    whenModalOpens([&](QWidget* dialog) {
        EXPECT_EQ(dialog->objectName(), "结转损益设置窗口");
        auto* source = child<QLineEdit>(dialog, "结账前将要结转损益的科目编辑框");
        auto* target = child<QLineEdit>(dialog, "对应科目编辑框");
        ASSERT_TRUE(source && target);
        EXPECT_TRUE(source->text().isEmpty());
        click(dialog, "确定");
        source->setText(QStringLiteral("营业外收入"));
        target->setText(QStringLiteral("本年利闰"));
        click(dialog, "确定");
        EXPECT_TRUE(dialog->isVisible());
        target->setText(QStringLiteral("利润分配→未分配利润"));
        click(dialog, "确定");
    });
    click(&w, "新建");
    EXPECT_EQ(prompter.messages.mid(2), (QStringList{"请先填写科目！",
                                                     "“本年利闰”不是会计科目中的科目，请检查后重新填写！"}));
    // The source was there already: its target changed, no new row.
    ASSERT_EQ(pairs(&w)->topLevelItemCount(), before);
    const auto changed = pairs(&w)->findItems(QStringLiteral("营业外收入"), Qt::MatchExactly);
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed.first()->text(1), "利润分配→未分配利润");

    pairs(&w)->setCurrentItem(changed.first());
    prompter.confirmAnswers.enqueue(true);
    click(&w, "删除");
    EXPECT_EQ(prompter.questions.last(),
              "营业外收入  >对应科目>  利润分配→未分配利润\r\n真的要删除当前选定吗！？");
    EXPECT_EQ(pairs(&w)->topLevelItemCount(), before - 1);

    click(&w, "结转损益设置保护");
    EXPECT_FALSE(enabled(&w, "新建"));
}

TEST_F(ClosingWindowTest, ClosingTheMonthMovesThePeriodAndClosesTheWindow) {
    enableWith({{"银行存款", 100}, {"实收资本", -100}});
    addVoucher(30001, {{"银行存款", 500}, {"主营业务收入", 0, 500}});
    ASSERT_EQ(post().value, 1);
    ClosingWindow w(ctx);
    w.show();
    ASSERT_TRUE(enabled(&w, "结转损益并期末结账"));
    click(&w, "结转损益并期末结账");  // answered 不是
    EXPECT_EQ(prompter.questions, QStringList{"当前会计期间为2013年3月，是否要结转本期损益并结账！"});
    EXPECT_TRUE(enabled(&w, "结转损益并期末结账"));
    EXPECT_EQ(session.login.period, dayNumber(2013, 3, 1));

    prompter.confirmAnswers.enqueue(true);
    click(&w, "结转损益并期末结账");
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(prompter.messages,
              (QStringList{"1张凭证被登账。", "结转损益与登账完毕！\r\n会计期间进入：2013年4月"}));
    EXPECT_EQ(session.login.period, dayNumber(2013, 4, 1));
    ASSERT_FALSE(titles.isEmpty());
    EXPECT_TRUE(titles.last().contains("2013年4月")) << titles.last().toStdString();
}

TEST_F(ClosingWindowTest, UndoPostingAndUndoCloseAskThenTell) {
    enableWith({});
    addVoucher(30001, {{"现金", 10}, {"银行存款", 0, 10}});
    ASSERT_EQ(post().value, 1);
    runUndoClose(ctx, nullptr);  // a posted voucher: posting is undone first
    prompter.confirmAnswers.enqueue(true);
    runUndoPosting(ctx, nullptr);
    runUndoClose(ctx, nullptr);  // the starting month: nothing to undo
    EXPECT_EQ(prompter.questions, QStringList{"是否进行撤销登账操作？"});
    EXPECT_EQ(prompter.messages, (QStringList{"撤销结账前，应先撤销当前月登账！", "本月登账均已撤销！",
                                              QString::fromUtf8(kNothingToUndo)}));
    ASSERT_EQ(post().value, 1);
    ASSERT_TRUE(close().ok);

    prompter.messages.clear();
    prompter.confirmAnswers.enqueue(true);
    runUndoClose(ctx, nullptr);
    EXPECT_EQ(prompter.questions.last(), "是否进行撤销结账操作？");
    EXPECT_EQ(prompter.messages, QStringList{"结账已撤销，当前会计期间：2013年3月"});
    EXPECT_EQ(session.login.period, dayNumber(2013, 3, 1));
    EXPECT_TRUE(titles.last().contains("2013年3月"));
}

// The window with vouchers to post, drawn whole in a Chinese font: the counts
// in their sentence, the posting button and the carry-forward list in sight
// and drawn. TALLOWICK_SCREENSHOT_DIR keeps a copy of the picture.
TEST_F(ClosingWindowTest, PictureOfTheCountsAndThePostingButton) {
    enableWith({});
    for (int i = 1; i <= 6; ++i) addVoucher(30000 + i, {{"现金", 10.0 * i}, {"银行存款", 0, 10.0 * i}}, i != 6);
    ASSERT_EQ(post().value, 5);
    addVoucher(30007, {{"现金", 1}, {"银行存款", 0, 1}});
    ClosingWindow w(ctx);
    w.show();
    QTest::qWait(50);
    EXPECT_EQ(label(&w, "本月凭证总张数标签"), "7");
    EXPECT_EQ(label(&w, "已被登账数标签"), "5");
    EXPECT_EQ(label(&w, "待处理数标签"), "1");
    EXPECT_TRUE(enabled(&w, "将已审核凭证按编号登账"));
    checkPicture(w, "closing_window.png", {"透明标签1", "将已审核凭证按编号登账", "结转损益超级列表框"});
}

}  // namespace
}  // namespace tw::test
