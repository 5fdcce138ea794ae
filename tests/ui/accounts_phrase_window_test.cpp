// 摘要窗口 on a real set: categories and phrases added, renamed and deleted
// through the tree, and the window as the summary picker.
#include "accounts/ui/phrase_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <memory>

#include "accounts_window_support.h"

namespace tw::test {
namespace {

class PhraseWindowTest : public AccountWindowTest {
protected:
    void open() {
        window = std::make_unique<PhraseWindow>(ctx);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    void emptyLibrary() {
        Action a(*store);
        ASSERT_TRUE(store->openTable(path(file::kPhrases), ""));
        store->clearTable();
        a.commit();
        store->closeTable();
    }

    QTreeWidget* tree() { return child<QTreeWidget>(window.get(), "摘要树型框"); }
    QLineEdit* text() { return child<QLineEdit>(window.get(), "摘要文本框"); }

    std::unique_ptr<PhraseWindow> window;
};

TEST_F(PhraseWindowTest, TemplateTreeOpensWithItsCategoriesExpanded) {
    open();
    ASSERT_GT(tree()->topLevelItemCount(), 1);
    EXPECT_EQ(tree()->topLevelItem(0)->text(0), "收款");
    // Every phrase in sight, so that the arrows reach them all.
    for (int i = 0; i < tree()->topLevelItemCount(); ++i)
        EXPECT_TRUE(tree()->topLevelItem(i)->isExpanded()) << i;
    EXPECT_EQ(tree()->topLevelItem(0)->child(0)->text(0), "收到货款");
    EXPECT_TRUE(tree()->selectedItems().isEmpty());
}

TEST_F(PhraseWindowTest, NewLibraryGetsACategoryAndAPhrase) {
    emptyLibrary();
    open();
    click(window.get(), "增加摘要");
    prompter.textAnswers.enqueue(QStringLiteral("收款"));
    click(window.get(), "新建分类");
    select(tree(), "收款");
    EXPECT_EQ(text()->text(), "收款");
    prompter.textAnswers.enqueue(QStringLiteral("收到货款"));
    click(window.get(), "增加摘要");
    QTreeWidgetItem* category = item(tree(), "收款");
    ASSERT_NE(category, nullptr);
    ASSERT_EQ(category->childCount(), 1);
    EXPECT_EQ(category->child(0)->text(0), "收到货款");

    // A phrase selected: no phrase under a phrase. A cancelled box adds nothing.
    select(tree(), "收到货款");
    click(window.get(), "增加摘要");
    click(window.get(), "新建分类");
    EXPECT_EQ(prompter.messages,
              (QStringList{"请先为新摘要选择分类！", "请先为新摘要选择分类！"}));
    EXPECT_EQ(prompter.inputPrompts,
              (QStringList{"输入新摘要...", "输入要增设的摘要...", "输入新摘要..."}));
    EXPECT_EQ(rows(file::kPhrases).size(), 2u);
}

TEST_F(PhraseWindowTest, RenameAndDeleteTheSelectedItem) {
    open();
    click(window.get(), "修改当前");
    click(window.get(), "删除当前");
    EXPECT_EQ(prompter.messages, (QStringList{"请选侧要修改的摘要！", "请选侧要删除的摘要！"}));
    prompter.clearRecords();

    select(tree(), "收到货款");
    prompter.textAnswers.enqueue(QStringLiteral("收到预付款"));
    click(window.get(), "修改当前");
    EXPECT_EQ(prompter.inputPrompts, QStringList{"修改当前选定..."});
    EXPECT_NE(item(tree(), "收到预付款"), nullptr);
    EXPECT_EQ(item(tree(), "收到货款"), nullptr);

    // A category with phrases stays; answering 不是 keeps a phrase.
    select(tree(), "税费");
    prompter.confirmAnswers.enqueue(true);
    click(window.get(), "删除当前");
    select(tree(), "缴纳增值税");
    prompter.confirmAnswers.enqueue(false);
    click(window.get(), "删除当前");
    EXPECT_NE(item(tree(), "缴纳增值税"), nullptr);
    for (const char* phrase : {"缴纳增值税", "缴纳附加税费", "税费"}) {
        select(tree(), QString::fromUtf8(phrase));
        prompter.confirmAnswers.enqueue(true);
        click(window.get(), "删除当前");
        EXPECT_EQ(item(tree(), QString::fromUtf8(phrase)), nullptr) << phrase;
    }
    EXPECT_EQ(prompter.messages, QStringList{"税费  ，无法删除！（需先删除其下级科目）"});
    EXPECT_EQ(prompter.questions.first(), "是否要删除  税费");
}

TEST_F(PhraseWindowTest, PickerReturnsTheEditedTextOrABlank) {
    open();
    select(tree(), "收回欠款");
    EXPECT_EQ(ctx.phrases.chosenCategory, "收款");
    text()->setText(QStringLiteral("收回甲公司欠款"));
    click(window.get(), "将当前摘要插入到");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pickedSummary(), std::optional<std::string>("收回甲公司欠款"));

    open();
    EXPECT_FALSE(window->pickedSummary().has_value());
    EXPECT_EQ(ctx.phrases.chosenSummary, "");
    click(window.get(), "将当前摘要插入到");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompter.messages, QStringList{"请输入或选择摘要！"});
    click(window.get(), "插入空白");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pickedSummary(), std::optional<std::string>(""));

    // A double-click picks a phrase; on a category it picks nothing.
    open();
    const auto doubleClick = [&](QTreeWidgetItem* item) {
        const QPoint at = tree()->visualItemRect(item).center();
        QTest::mouseClick(tree()->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree()->viewport(), Qt::LeftButton, {}, at);
    };
    doubleClick(tree()->topLevelItem(0));
    EXPECT_TRUE(window->isVisible());
    tree()->topLevelItem(0)->setExpanded(true);
    doubleClick(tree()->topLevelItem(0)->child(0));
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pickedSummary(), std::optional<std::string>("收到货款"));
}

}  // namespace
}  // namespace tw::test
