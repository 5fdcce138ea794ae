// The account and summary pickers from the keyboard: the chart's search box
// by name or pinyin initials across the categories, where the picker starts,
// and the summary window's search and Enter.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QTabWidget>

#include "accounts/ui/chart_window.h"
#include "accounts/ui/phrase_window.h"
#include "accounts_window_support.h"

namespace tw::test {
namespace {

class ChartSearchTest : public AccountWindowTest {
protected:
    void open(const AccountStart& start = {}) {
        window = std::make_unique<ChartWindow>(ctx, nullptr, start);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QLineEdit* search() { return child<QLineEdit>(window.get(), "科目查找编辑框"); }
    QTreeWidget* results() { return child<QTreeWidget>(window.get(), "科目查找列表框"); }
    // The accounts listed for `typed`, typed key by key into the search box.
    QStringList find(const QString& typed) {
        search()->clear();
        QTest::keyClicks(search(), typed);
        QStringList names;
        for (int i = 0; i < results()->topLevelItemCount(); ++i) names << results()->topLevelItem(i)->text(0);
        return names;
    }
    QString current() { return results()->currentItem() ? results()->currentItem()->text(0) : "<none>"; }
    std::unique_ptr<ChartWindow> window;
};

TEST_F(ChartSearchTest, InitialsFindAccountsOfEveryCategoryLeavesFirst) {
    addSub("银行存款", "工商银行");
    addSub("应收账款", "深圳鑫达公司");  // 圳 and 鑫 are GB2312 level 2
    open();
    EXPECT_EQ(window->focusWidget(), search());
    EXPECT_EQ(find("xj").value(0), "现金");
    EXPECT_EQ(find("yhck"), (QStringList{"银行存款→工商银行", "银行存款"}));
    EXPECT_EQ(find("gsyh"), QStringList{"银行存款→工商银行"});
    EXPECT_EQ(find("szxd"), QStringList{"应收账款→深圳鑫达公司"});
    // Every category at once: 费用 of assets, costs and expenses.
    const QStringList mixed = find("fy");
    EXPECT_TRUE(mixed.contains("长期待摊费用") && mixed.contains("制造费用") && mixed.contains("销售费用"))
        << mixed.join(",").toStdString();
    EXPECT_EQ(results()->topLevelItem(0)->text(1), "资产类") << "with its category";
    EXPECT_FALSE(child<QTabWidget>(window.get(), "选择夹")->isVisible());

    // No match: nothing listed, a note says so, Enter picks nothing.
    EXPECT_TRUE(find("qqqq").isEmpty());
    EXPECT_TRUE(child<QLabel>(window.get(), "科目查找提示标签")->isVisible());
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->pickedAccount().has_value());

    // Down and Enter pick the second of the list.
    find("yhck");
    QTest::keyClick(search(), Qt::Key_Down);
    EXPECT_EQ(current(), "银行存款");
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pickedAccount(), std::optional<std::string>("银行存款"));
    EXPECT_EQ(ctx.chart.selectedParent, "") << "remembered as a selection in the tree is";
}

TEST_F(ChartSearchTest, ThePickerOpensOnTheAccountItWasGivenAndEnterTakesIt) {
    addSub("银行存款", "工商银行");
    open({"主营业务收入", {}});
    auto* tabs = child<QTabWidget>(window.get(), "选择夹");
    EXPECT_EQ(tabs->currentIndex(), 4);
    EXPECT_EQ(ctx.chart.selectedAccount, "主营业务收入");
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_EQ(window->pickedAccount(), std::optional<std::string>("主营业务收入"));

    // A typed character starts the search; the next key adds to it.
    open({"银行存款→工商银行", "g"});
    EXPECT_EQ(search()->text(), "g");
    QTest::keyClicks(search(), "sy");
    EXPECT_EQ(search()->text(), "gsy");
    EXPECT_EQ(current(), "银行存款→工商银行");
    // Emptied again, the tree is back with the given account selected.
    search()->clear();
    EXPECT_TRUE(child<QTabWidget>(window.get(), "选择夹")->isVisible());
    EXPECT_EQ(ctx.chart.selectedAccount, "银行存款→工商银行");
}

// While searching, the pick button takes what the list highlights, never
// the account selected in the hidden tree (where the picker started, the
// line above's); with nothing found it picks nothing and the window stays.
// Every window that picks an account (voucher, ledger, search, journal)
// opens this picker.
TEST_F(ChartSearchTest, ThePickButtonTakesWhatTheSearchFoundOrNothing) {
    addSub("银行存款", "工商银行");
    open({"现金", {}});
    ASSERT_EQ(ctx.chart.selectedAccount, "现金");
    EXPECT_TRUE(find("gsyy").isEmpty());
    click(window.get(), "将选定科目插入到");
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->pickedAccount().has_value());

    EXPECT_EQ(find("gsyh"), QStringList{"银行存款→工商银行"});
    click(window.get(), "将选定科目插入到");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pickedAccount(), std::optional<std::string>("银行存款→工商银行"));
}

// Bookkeepers type codes: the beginning of one lists the account and what
// lies below it, the whole code of a leaf lists it alone for Enter to pick.
TEST_F(ChartSearchTest, ACodeFindsItsAccountsAndEnterPicksTheLeafItNames) {
    addSub("银行存款", "工商银行");  // 100201
    addSub("银行存款", "建设银行");  // 100202
    open();
    EXPECT_EQ(find("1002"), (QStringList{"银行存款→工商银行", "银行存款→建设银行", "银行存款"}));
    EXPECT_EQ(results()->topLevelItem(0)->text(2), "100201") << "with its code";
    EXPECT_EQ(results()->topLevelItem(0)->text(1), "资产类");
    EXPECT_EQ(results()->header()->visualIndex(2), 0) << "the code shows first";
    auto* assets = child<QTreeWidget>(window.get(), "资产类树型框");
    EXPECT_EQ(item(assets, "银行存款→建设银行")->text(1), "100202") << "the tree shows codes too";
    EXPECT_TRUE(find("1003").isEmpty());

    EXPECT_EQ(find("100202"), QStringList{"银行存款→建设银行"});
    QTest::keyClick(search(), Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->pickedAccount(), std::optional<std::string>("银行存款→建设银行"));
}

class PhraseSearchTest : public AccountWindowTest {
protected:
    void open(const PhraseStart& start = {}) {
        window = std::make_unique<PhraseWindow>(ctx, nullptr, start);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QLineEdit* box() { return child<QLineEdit>(window.get(), "摘要文本框"); }
    QTreeWidget* tree() { return child<QTreeWidget>(window.get(), "摘要树型框"); }
    QStringList shownPhrases() {
        QStringList out;
        for (int i = 0; i < tree()->topLevelItemCount(); ++i)
            for (int k = 0; k < tree()->topLevelItem(i)->childCount(); ++k)
                if (!tree()->topLevelItem(i)->child(k)->isHidden()) out << tree()->topLevelItem(i)->child(k)->text(0);
        return out;
    }
    std::unique_ptr<PhraseWindow> window;
};

TEST_F(PhraseSearchTest, LettersFindAPhraseAndEnterInsertsIt) {
    open({"", "s"});
    EXPECT_EQ(box()->text(), "s");
    QTest::keyClicks(box(), "dhk");
    EXPECT_EQ(shownPhrases(), QStringList{"收到货款"});
    EXPECT_EQ(box()->text(), "sdhk") << "the search stays as typed";
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(window->pickedSummary(), std::optional<std::string>("收到货款"));
}

TEST_F(PhraseSearchTest, TheSummaryGivenIsOfferedAndATextOfOnesOwnGoesInAsTyped) {
    open({"提取现金", {}});
    EXPECT_EQ(box()->text(), "提取现金");
    EXPECT_EQ(box()->selectedText(), "提取现金") << "typing replaces it";
    ASSERT_FALSE(tree()->selectedItems().isEmpty());
    EXPECT_EQ(tree()->selectedItems().first()->text(0), "提取现金");
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(window->pickedSummary(), std::optional<std::string>("提取现金"));

    // Chinese typed is a summary of one's own: shown phrases narrow, but Enter
    // takes the text; Down chooses a phrase instead.
    open();
    typeText(box(), "支付");
    EXPECT_EQ(shownPhrases(),
              (QStringList{"支付货款", "支付运费", "支付办公费", "支付水电费", "支付银行手续费"}));
    QTest::keyClick(box(), Qt::Key_Down);
    QTest::keyClick(box(), Qt::Key_Down);
    EXPECT_EQ(box()->text(), "支付运费");
    box()->setText("支付");
    QTest::keyClick(box(), Qt::Key_Return);
    EXPECT_EQ(window->pickedSummary(), std::optional<std::string>("支付"));

    // Enter on a phrase of the tree inserts it; on a category it folds.
    open();
    tree()->setFocus();
    tree()->setCurrentItem(tree()->topLevelItem(0));
    QTest::keyClick(tree(), Qt::Key_Return);
    EXPECT_FALSE(tree()->topLevelItem(0)->isExpanded());
    EXPECT_TRUE(window->isVisible());
    tree()->setCurrentItem(tree()->topLevelItem(1)->child(0));
    QTest::keyClick(tree(), Qt::Key_Return);
    EXPECT_EQ(window->pickedSummary(), std::optional<std::string>("支付货款"));
}

}  // namespace
}  // namespace tw::test
