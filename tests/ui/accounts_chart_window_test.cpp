// 会计科目窗口 and 科目设置窗口 on a real set: adding sub-accounts and
// siblings, the refusals, deleting, and the window as the account picker;
// setting up the chart after a search, and the direction a sub-account
// takes from its parent.
#include "accounts/ui/chart_window.h"

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabWidget>
#include <memory>

#include "accounts_window_support.h"

namespace tw::test {
namespace {

class ChartWindowTest : public AccountWindowTest {
protected:
    void open(ChartUse use = ChartUse::Picker) {
        window = std::make_unique<ChartWindow>(ctx, nullptr, AccountStart{}, use);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QLineEdit* search() { return child<QLineEdit>(window.get(), "科目查找编辑框"); }
    // Types `typed` into the search box key by key, as the user does.
    void find(const char* typed) {
        search()->setFocus();
        search()->clear();
        QTest::keyClicks(search(), typed);
    }

    QTreeWidget* tree(const char* name) { return child<QTreeWidget>(window.get(), name); }
    QTreeWidget* assets() { return tree("资产类树型框"); }

    // Presses an add button and fills in the setting window: `direction` is
    // the radio button to click (none when empty). With `cancelAfter` the
    // window is expected to stay open (a refusal) and is then cancelled.
    void addAccount(const char* addButton, const QString& name, const char* direction,
                    bool cancelAfter = false) {
        QString title;
        whenModalOpens([&](QWidget* setting) {
            title = setting->windowTitle();
            child<QLineEdit>(setting, "科目名称编辑框")->setText(name);
            if (*direction) click(setting, direction);
            click(setting, "确定");
            EXPECT_EQ(setting->isVisible(), cancelAfter) << prompter.messages.join("|").toStdString();
            if (setting->isVisible()) click(setting, "取消");
        });
        click(window.get(), addButton);
        settingTitle = title;
    }

    std::unique_ptr<ChartWindow> window;
    QString settingTitle;
};

TEST_F(ChartWindowTest, AddsSubAccountsAndSiblingsShownUnderTheirParent) {
    open();
    select(assets(), "银行存款");
    addAccount("增加下级科目", "工商银行", "借方单选框");
    EXPECT_EQ(settingTitle, "科目设置窗口  增加下级科目");
    QTreeWidgetItem* bank = item(assets(), "银行存款");
    ASSERT_NE(bank, nullptr);
    ASSERT_EQ(bank->childCount(), 1);
    EXPECT_EQ(bank->child(0)->text(0), "银行存款→工商银行");
    EXPECT_TRUE(bank->isExpanded());
    EXPECT_EQ(ctx.chart.selectedAccount, "") << "the trees were loaded afresh";

    // Beside the sub-account: a second child of the same parent, same level.
    select(assets(), "银行存款→工商银行");
    addAccount("增加同级科目", "建设银行", "贷方单选框");
    EXPECT_EQ(settingTitle, "科目设置窗口  增加同级科目");
    bank = item(assets(), "银行存款");
    ASSERT_EQ(bank->childCount(), 2);
    EXPECT_EQ(bank->child(1)->text(0), "银行存款→建设银行");
    const auto last = rows(file::kAccounts).back();
    EXPECT_EQ(last[1].text(), "银行存款");
    EXPECT_EQ(last[3].text(), "贷方");
    EXPECT_EQ(last[5].integer(), 2);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();
}

// The setting window opens on the next free code under the parent; a code
// that is not the parent's and two digits is refused and the window stays
// for another; the tree then shows the account with the code it was given.
TEST_F(ChartWindowTest, TheSettingWindowProposesTheNextFreeCodeAndRefusesAWrongOne) {
    open();
    select(assets(), "银行存款");
    QString proposed;
    whenModalOpens([&](QWidget* setting) {
        auto* code = child<QLineEdit>(setting, "科目编码编辑框");
        proposed = code->text();
        code->setText("100301");
        child<QLineEdit>(setting, "科目名称编辑框")->setText("工商银行");
        click(setting, "借方单选框");
        click(setting, "确定");
        EXPECT_TRUE(setting->isVisible());
        code->setText("100205");
        click(setting, "确定");
        EXPECT_FALSE(setting->isVisible());
    });
    click(window.get(), "增加下级科目");
    EXPECT_EQ(proposed, "100201");
    EXPECT_EQ(prompter.messages, QStringList{"科目编码应为上级科目的编码 1002 加两位数字！"});
    QTreeWidgetItem* bank = item(assets(), "银行存款→工商银行");
    ASSERT_NE(bank, nullptr);
    EXPECT_EQ(bank->text(1), "100205");
    EXPECT_EQ(item(assets(), "银行存款")->text(1), "1002");
    EXPECT_EQ(assets()->header()->visualIndex(1), 0) << "the code shows before the name";
}

TEST_F(ChartWindowTest, RefusalsShowTheirMessagesAndAddNothing) {
    open();
    const auto before = rows(file::kAccounts);
    click(window.get(), "增加下级科目");  // nothing selected: no setting window
    // Each setting window closed reloads the trees, so select again.
    select(assets(), "银行存款");
    addAccount("增加下级科目", "   ", "借方单选框", true);
    select(assets(), "银行存款");
    addAccount("增加同级科目", "农业银行", "", true);  // at the top: no direction to take
    select(assets(), "银行存款");
    addAccount("增加下级科目", "现金", "借方单选框", true);
    EXPECT_EQ(prompter.messages,
              (QStringList{"请选择，要操作的科目！", "请输入科目名称 ！", "请选择，余额方向 ！",
                           "输入的科目名称和已有科目相同 ！"}));

    // The remembered parent of a sibling lies in another category.
    prompter.clearRecords();
    child<QTabWidget>(window.get(), "选择夹")->setCurrentIndex(1);
    select(tree("负债类树型框"), "应交税费→应交增值税");
    child<QTabWidget>(window.get(), "选择夹")->setCurrentIndex(0);
    EXPECT_EQ(ctx.chart.selectedAccount, "");
    EXPECT_EQ(ctx.chart.selectedParent, "应交税费");
    click(window.get(), "增加同级科目");
    EXPECT_EQ(prompter.messages, QStringList{"请选择，要操作的科目！"});
    EXPECT_EQ(rows(file::kAccounts), before);

    // Back on its own tab the sibling is added under the remembered parent.
    child<QTabWidget>(window.get(), "选择夹")->setCurrentIndex(1);
    addAccount("增加同级科目", "应交城建税", "贷方单选框");
    EXPECT_NE(item(tree("负债类树型框"), "应交税费→应交城建税"), nullptr);
}

TEST_F(ChartWindowTest, DeletesLeavesOnlyAndNeverAUsedAccount) {
    open();
    select(assets(), "银行存款");
    addAccount("增加下级科目", "工商银行", "借方单选框");

    click(window.get(), "删除当前选定");  // nothing selected after the reload
    select(assets(), "银行存款");
    prompter.confirmAnswers.enqueue(true);
    click(window.get(), "删除当前选定");
    select(assets(), "银行存款→工商银行");
    prompter.confirmAnswers.enqueue(false);
    click(window.get(), "删除当前选定");
    EXPECT_NE(item(assets(), "银行存款→工商银行"), nullptr);
    prompter.confirmAnswers.enqueue(true);
    click(window.get(), "删除当前选定");
    EXPECT_EQ(item(assets(), "银行存款→工商银行"), nullptr);
    select(assets(), "银行存款");  // its last sub-account gone, it can go too
    prompter.confirmAnswers.enqueue(true);
    click(window.get(), "删除当前选定");
    EXPECT_EQ(item(assets(), "银行存款"), nullptr);

    append(file::kLedger, {0.0, 1, "收款", "应收账款", 10.0, 0.0, "借", 10.0});
    select(assets(), "应收账款");
    prompter.confirmAnswers.enqueue(true);
    click(window.get(), "删除当前选定");
    EXPECT_NE(item(assets(), "应收账款"), nullptr);

    EXPECT_EQ(prompter.questions,
              (QStringList{"是否要删除  银行存款科目", "是否要删除  银行存款→工商银行科目",
                           "是否要删除  银行存款→工商银行科目", "是否要删除  银行存款科目",
                           "是否要删除  应收账款科目"}));
    EXPECT_EQ(prompter.messages,
              (QStringList{"请选择，要操作的科目！", "银行存款 科目，无法删除！（需先删除其下级科目）",
                           "已经成功删除 银行存款→工商银行", "已经成功删除 银行存款",
                           "应收账款 科目，已经被登账！无法删除！"}));
}

TEST_F(ChartWindowTest, PickerResultsSurviveBetweenOpenings) {
    open();
    select(assets(), "现金");
    click(window.get(), "将选定科目插入到");
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(window->pickedAccount().value_or("<none>"), "现金");
    EXPECT_TRUE(window->pickedAccount().has_value());

    // A new window has picked nothing; a tab change clears the selection.
    open();
    EXPECT_FALSE(window->pickedAccount().has_value());
    select(assets(), "银行存款");
    child<QTabWidget>(window.get(), "选择夹")->setCurrentIndex(2);
    click(window.get(), "将选定科目插入到");
    EXPECT_EQ(window->pickedAccount().value_or("<none>"), "");
    EXPECT_TRUE(window->pickedAccount().has_value());

    open();
    doubleClick(tree("资产类树型框"), item(assets(), "库存商品"));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pickedAccount().value_or("<none>"), "库存商品");
    EXPECT_TRUE(window->pickedAccount().has_value());

    open();
    select(assets(), "原材料");
    click(window.get(), "插入空白");
    EXPECT_EQ(window->pickedAccount().value_or("<none>"), "");
    EXPECT_TRUE(window->pickedAccount().has_value());

    // The parent and level of the last selection outlive the window: a
    // sibling added in the next opening goes beside 原材料 at the top.
    EXPECT_EQ(ctx.chart.selectedParent, "");
    EXPECT_EQ(ctx.chart.selectedLevel, 1);
    open();
    addAccount("增加同级科目", "低值易耗品", "借方单选框");
    const auto last = rows(file::kAccounts).back();
    EXPECT_EQ(last[0].text(), "低值易耗品");
    EXPECT_EQ(last[5].integer(), 1);
    EXPECT_NE(item(assets(), "低值易耗品"), nullptr);
}

// Setting up the chart (科目管理): Enter in the search box makes what it
// found the selection, in its tree, and closes nothing; 增加下级科目 then adds
// under it.
TEST_F(ChartWindowTest, SettingUpEnterInTheSearchSelectsTheAccountFound) {
    addSub("银行存款", "工商银行");
    open(ChartUse::Settings);
    find("yhck");
    QTest::keyClick(search(), Qt::Key_Down);  // 银行存款, below its sub-account
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible()) << "Enter closes nothing";
    EXPECT_FALSE(window->pickedAccount().has_value());
    EXPECT_EQ(search()->text(), "");
    EXPECT_TRUE(child<QTabWidget>(window.get(), "选择夹")->isVisible());
    EXPECT_EQ(ctx.chart.selectedAccount, "银行存款");
    ASSERT_FALSE(assets()->selectedItems().isEmpty());
    EXPECT_EQ(assets()->selectedItems().first()->text(0), "银行存款");

    addAccount("增加下级科目", "建设银行", "");
    EXPECT_NE(item(assets(), "银行存款→建设银行"), nullptr);
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();

    // Of another category: its tab is shown. Enter with nothing found, or
    // with the box empty, does nothing.
    find("dqjk");
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_EQ(child<QTabWidget>(window.get(), "选择夹")->currentIndex(), 1);
    EXPECT_EQ(ctx.chart.selectedAccount, "短期借款");
    find("qqqq");
    QTest::keyClick(search(), Qt::Key_Return);
    search()->clear();
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ctx.chart.selectedAccount, "短期借款");
}

// In either use, the buttons that act on the selection act on the account a
// search highlights, without Enter; a search that found nothing gives none.
TEST_F(ChartWindowTest, AfterASearchTheButtonsActOnTheAccountItHighlights) {
    open();
    find("yhck");
    addAccount("增加下级科目", "农业银行", "");
    EXPECT_EQ(settingTitle, "科目设置窗口  增加下级科目");
    const auto last = rows(file::kAccounts).back();
    EXPECT_EQ(last[0].text(), "银行存款→农业银行");
    EXPECT_EQ(last[3].text(), "借方") << "its parent's";
    EXPECT_TRUE(prompter.messages.isEmpty()) << prompter.messages.join("|").toStdString();

    // A selection in the trees, then a search that finds nothing: refused,
    // never the hidden selection.
    select(assets(), "现金");
    find("qqqq");
    const auto before = rows(file::kAccounts);
    click(window.get(), "增加下级科目");
    click(window.get(), "删除当前选定");
    EXPECT_EQ(prompter.messages, (QStringList{"请选择，要操作的科目！", "请选择，要操作的科目！"}));
    EXPECT_TRUE(prompter.questions.isEmpty());
    EXPECT_EQ(rows(file::kAccounts), before);

    // 删除当前选定 asks about the account found.
    prompter.clearRecords();
    find("nyyh");
    prompter.confirmAnswers.enqueue(false);
    click(window.get(), "删除当前选定");
    EXPECT_EQ(prompter.questions, QStringList{"是否要删除  银行存款→农业银行科目"});
}

// 科目设置窗口 opens with the parent's direction chosen: a credit account's
// sub-account is a credit account unless the user chooses otherwise.
TEST_F(ChartWindowTest, ASubAccountOpensWithItsParentsDirection) {
    open(ChartUse::Settings);
    child<QTabWidget>(window.get(), "选择夹")->setCurrentIndex(1);
    select(tree("负债类树型框"), "短期借款");
    bool debitChosen = true, creditChosen = false;
    whenModalOpens([&](QWidget* setting) {
        debitChosen = child<QRadioButton>(setting, "借方单选框")->isChecked();
        creditChosen = child<QRadioButton>(setting, "贷方单选框")->isChecked();
        child<QLineEdit>(setting, "科目名称编辑框")->setText(QStringLiteral("工商银行"));
        QTest::keyClick(child<QLineEdit>(setting, "科目名称编辑框"), Qt::Key_Return);
        EXPECT_FALSE(setting->isVisible()) << prompter.messages.join("|").toStdString();
    });
    click(window.get(), "增加下级科目");
    EXPECT_FALSE(debitChosen);
    EXPECT_TRUE(creditChosen);
    EXPECT_EQ(rows(file::kAccounts).back()[0].text(), "短期借款→工商银行");
    EXPECT_EQ(rows(file::kAccounts).back()[3].text(), "贷方");

    // Beside it, chosen otherwise.
    select(tree("负债类树型框"), "短期借款→工商银行");
    addAccount("增加同级科目", "借款利息", "借方单选框");
    EXPECT_EQ(rows(file::kAccounts).back()[3].text(), "借方");
    // At the top nothing is chosen for the user.
    select(tree("负债类树型框"), "短期借款");
    whenModalOpens([&](QWidget* setting) {
        debitChosen = child<QRadioButton>(setting, "借方单选框")->isChecked();
        creditChosen = child<QRadioButton>(setting, "贷方单选框")->isChecked();
        click(setting, "取消");
    });
    click(window.get(), "增加同级科目");
    EXPECT_FALSE(debitChosen || creditChosen);
}

}  // namespace
}  // namespace tw::test
