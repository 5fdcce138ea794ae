// The chart, summary and opening-balance windows as a bookkeeper uses them:
// Enter and F2 edit an opening row, amounts typed are not lost on the way
// out, a parent's cleared amount is told, long names can be read, and the
// summary box follows what is selected.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTabWidget>
#include <memory>

#include "accounts/opening_balances.h"
#include "accounts/ui/chart_window.h"
#include "accounts/ui/opening_balance_window.h"
#include "accounts/ui/phrase_window.h"
#include "accounts_window_support.h"

namespace tw::test {
namespace {

// Wider than any window: a bank account named as the bank names it.
const QString kLongName = QStringLiteral(
    "中国工商银行股份有限公司北京市海淀区中关村支行营业部人民币基本存款账户（一般纳税人专用结算户）");

class OpeningKeyboardTest : public AccountWindowTest {
protected:
    void SetUp() override {
        AccountWindowTest::SetUp();
        loggedIn = session;  // the login is gone once the window is left
    }
    void open() {
        window = std::make_unique<OpeningBalanceWindow>(ctx);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QTreeWidget* list() { return child<QTreeWidget>(window.get(), "超级列表框"); }
    // Makes `account` the current row and presses `key` on the list.
    void press(const QString& account, Qt::Key key, std::optional<double> debit,
               std::optional<double> credit) {
        prompter.numberAnswers.clear();
        prompter.numberAnswers << debit << credit;
        QTreeWidgetItem* row = item(list(), account);
        ASSERT_NE(row, nullptr) << account.toStdString();
        list()->setFocus();
        list()->setCurrentItem(row);
        QTest::keyClick(list(), key);
    }
    QString amounts(const QString& account) {
        QTreeWidgetItem* i = item(list(), account);
        return i ? QStringList{i->text(1), i->text(2), i->text(3), i->text(4)}.join('|')
                 : QString("no row");
    }
    std::string savedDebit(const std::string& account) {
        for (const OpeningRow& r : loadOpeningList(*store, loggedIn))
            if (r.account == account) return r.debit;
        return "no row";
    }

    Session loggedIn;
    std::unique_ptr<OpeningBalanceWindow> window;
};

TEST_F(OpeningKeyboardTest, EnterOrF2OnARowOpensItsAmountBoxes) {
    open();
    press("现金", Qt::Key_Return, 80.0, 0.0);
    EXPECT_EQ(prompter.inputPrompts, (QStringList{"科目：现金  的期初借方金额为......",
                                                  "科目：现金  的期初贷方金额为......"}));
    EXPECT_EQ(amounts("现金"), "80|0|借|80");
    press("短期借款", Qt::Key_F2, 0.0, 80.0);
    EXPECT_EQ(amounts("短期借款"), "0|80|贷|80");
    press("应收账款", Qt::Key_Enter, 5.0, 0.0);
    EXPECT_EQ(amounts("应收账款"), "5|0|借|5");
    EXPECT_TRUE(window->isVisible()) << "Enter is the row's, not the window's";
}

TEST_F(OpeningKeyboardTest, LeavingWithUnsavedAmountsAsksAndCancelStays) {
    open();
    press("现金", Qt::Key_Return, 80.0, 0.0);
    QTest::keyClick(list(), Qt::Key_Escape);  // no answer queued: the question was cancelled
    EXPECT_EQ(prompter.questions, QStringList{"是否保存修改？"});
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_EQ(amounts("现金"), "80|0|借|80");

    window->close();  // the title bar's close button: asked again, cancelled again
    EXPECT_EQ(prompter.questions.size(), 2);
    EXPECT_TRUE(window->isVisible());

    prompter.choiceAnswers.enqueue(Prompter::Answer::Yes);
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(savedDebit("现金"), "80");
    EXPECT_FALSE(session.login.loggedIn) << "the set is still not enabled";
}

TEST_F(OpeningKeyboardTest, AnsweringNoLeavesWithoutSavingAndNothingTypedAsksNothing) {
    open();
    press("现金", Qt::Key_Return, 80.0, 0.0);
    prompter.choiceAnswers.enqueue(Prompter::Answer::No);
    window->close();
    EXPECT_EQ(prompter.questions, QStringList{"是否保存修改？"});
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(savedDebit("现金"), "");
    EXPECT_FALSE(session.login.loggedIn);

    // Saved, or typed back to what was saved: nothing to ask.
    session = loggedIn;
    prompter.clearRecords();
    open();
    press("现金", Qt::Key_Return, 80.0, 0.0);
    click(window.get(), "保存修改");
    press("应收账款", Qt::Key_Return, 5.0, 0.0);
    press("应收账款", Qt::Key_Return, 0.0, 0.0);
    QTest::keyClick(list(), Qt::Key_Escape);
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(savedDebit("现金"), "80");
}

TEST_F(OpeningKeyboardTest, AParentWhoseAmountIsClearedIsNamed) {
    open();
    press("现金", Qt::Key_Return, 80.0, 0.0);
    addSubThroughChart(window.get(), "科目设置", "现金", "零用金");
    EXPECT_EQ(prompter.messages,
              QStringList{"科目 现金 已有下级科目，其期初金额已清除，请在下级科目中录入。"});
    EXPECT_EQ(amounts("现金"), "|||");
}

// Drags the right edge of a header section by `dx` pixels with the mouse.
void dragSectionEdge(QHeaderView* header, int section, int dx) {
    QWidget* area = header->viewport();
    const int edge = header->sectionViewportPosition(section) + header->sectionSize(section) - 1;
    const QPoint from(edge, header->height() / 2), to(edge + dx, header->height() / 2);
    const auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, at, area->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(area, &e);
    };
    send(QEvent::MouseMove, from, Qt::NoButton);
    send(QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (int step = 1; step <= 4; ++step)
        send(QEvent::MouseMove, from + QPoint(dx * step / 4, 0), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, to, Qt::NoButton);
}

TEST_F(OpeningKeyboardTest, LongNamesShowInFullAndTheNameColumnWidens) {
    addSub("银行存款", kLongName.toStdString());
    open();
    const QString full = QStringLiteral("银行存款→") + kLongName;
    QTreeWidgetItem* row = item(list(), full);
    ASSERT_NE(row, nullptr);
    EXPECT_EQ(row->toolTip(0), full);
    EXPECT_TRUE(QTest::qWaitFor([&] { return list()->horizontalScrollBar()->maximum() > 0; }, 2000));

    QHeaderView* header = list()->header();
    const int before = header->sectionSize(0);
    dragSectionEdge(header, 0, 120);
    EXPECT_GE(header->sectionSize(0), before + 100) << "the name column is the user's to widen";
}

class ChartKeyboardTest : public AccountWindowTest {};

TEST_F(ChartKeyboardTest, LongNamesShowInFullInATooltipAndTheTreeScrolls) {
    addSub("银行存款", kLongName.toStdString());
    ChartWindow window(ctx);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    auto* tree = child<QTreeWidget>(&window, "资产类树型框");
    const QString full = QStringLiteral("银行存款→") + kLongName;
    QTreeWidgetItem* leaf = item(tree, full);
    ASSERT_NE(leaf, nullptr);
    EXPECT_EQ(leaf->toolTip(0), full);
    EXPECT_TRUE(QTest::qWaitFor([&] { return tree->horizontalScrollBar()->maximum() > 0; }, 2000))
        << "column " << tree->columnWidth(0) << ", view " << tree->viewport()->width();
    EXPECT_GE(tree->columnWidth(0), tree->fontMetrics().horizontalAdvance(full));
}

TEST_F(ChartKeyboardTest, AddingUnderAnAccountWithAnOpeningAmountSaysItWasCleared) {
    ASSERT_TRUE(runAction(*store, [&] {
                    return setOpeningAmounts(*store, session, "应收账款", 20.0, 0.0);
                }).ok);
    ChartWindow window(ctx);
    window.show();
    select(child<QTreeWidget>(&window, "资产类树型框"), "应收账款");
    whenModalOpens([&](QWidget* setting) {
        QTest::keyClicks(child<QLineEdit>(setting, "科目名称编辑框"), "A");
        click(setting, "借方单选框");
        click(setting, "确定");
    });
    click(&window, "增加下级科目");
    EXPECT_EQ(prompter.messages,
              QStringList{"科目 应收账款 已有下级科目，其期初金额已清除，请在下级科目中录入。"});
    // Without an amount there is nothing to tell.
    prompter.clearRecords();
    select(child<QTreeWidget>(&window, "资产类树型框"), "现金");
    whenModalOpens([&](QWidget* setting) {
        QTest::keyClicks(child<QLineEdit>(setting, "科目名称编辑框"), "B");
        click(setting, "借方单选框");
        click(setting, "确定");
    });
    click(&window, "增加下级科目");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(ChartKeyboardTest, TabFollowsTheLayoutOfTheAccountWindows) {
    {
        ChartWindow window(ctx);
        window.show();
        const QStringList order = tabOrder(child(&window, "资产类树型框"), 5);
        EXPECT_EQ(order, (QStringList{"资产类树型框", "将选定科目插入到", "插入空白", "增加下级科目",
                                      "增加同级科目", "删除当前选定"}));
    }
    {
        OpeningBalanceWindow window(ctx);
        window.show();
        EXPECT_EQ(tabOrder(child(&window, "超级列表框"), 5),
                  (QStringList{"超级列表框", "借方合计框", "贷方合计框", "保存修改", "科目设置",
                               "启用套账"}));
    }
    {
        PhraseWindow window(ctx);
        window.show();
        EXPECT_EQ(tabOrder(child(&window, "摘要树型框"), 7),
                  (QStringList{"摘要树型框", "摘要文本框", "新建分类", "增加摘要", "修改当前",
                               "删除当前", "将当前摘要插入到", "插入空白"}));
    }
    {
        AccountSettingWindow window(ctx, AddMode::Sibling);
        window.show();
        QTest::keyClick(child(&window, "借方单选框"), Qt::Key_Space);
        EXPECT_EQ(tabOrder(child(&window, "科目名称编辑框"), 3),
                  (QStringList{"科目名称编辑框", "借方单选框", "确定", "取消"}));
    }
}

class PhraseBoxTest : public AccountWindowTest {
protected:
    void SetUp() override {
        AccountWindowTest::SetUp();
        window = std::make_unique<PhraseWindow>(ctx);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QTreeWidget* tree() { return child<QTreeWidget>(window.get(), "摘要树型框"); }
    QString text() { return child<QLineEdit>(window.get(), "摘要文本框")->text(); }
    std::unique_ptr<PhraseWindow> window;
};

TEST_F(PhraseBoxTest, TheTextBoxFollowsTheSelectionAfterARenameOrADelete) {
    select(tree(), "收到货款");
    ASSERT_EQ(text(), "收到货款");
    prompter.textAnswers.enqueue(QStringLiteral("收到预付款"));
    click(window.get(), "修改当前");
    ASSERT_NE(item(tree(), "收到预付款"), nullptr);
    EXPECT_TRUE(tree()->selectedItems().isEmpty());
    EXPECT_EQ(text(), "") << "not the old name of the renamed phrase";

    select(tree(), "收到预付款");
    prompter.confirmAnswers.enqueue(true);
    click(window.get(), "删除当前");
    EXPECT_EQ(item(tree(), "收到预付款"), nullptr);
    EXPECT_EQ(text(), "") << "not the text of the deleted phrase";
}

TEST_F(PhraseBoxTest, ARefusedPhraseComesBackInTheBoxAsTyped) {
    const QString typed = QStringLiteral("收到货款😀");  // outside GBK
    select(tree(), "收款");
    prompter.textAnswers.enqueue(typed);
    click(window.get(), "增加摘要");  // refused; asked again, then cancelled
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.inputInitials, (QStringList{"", typed}));

    select(tree(), "收到货款");
    prompter.clearRecords();
    prompter.textAnswers << std::optional<QString>(typed) << std::optional<QString>("收到货款（改）");
    click(window.get(), "修改当前");
    EXPECT_EQ(prompter.inputInitials, (QStringList{"收到货款", typed}));
    EXPECT_NE(item(tree(), "收到货款（改）"), nullptr) << "the corrected text is taken";
}

}  // namespace
}  // namespace tw::test
