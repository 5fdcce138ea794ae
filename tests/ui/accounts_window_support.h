#pragma once
// Window tests of the chart, summary and opening-balance windows: a real set
// logged in, a scripted prompter, and clicking by object name.

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "accounts/account_set_fixture.h"
#include "scripted_prompter.h"
#include "shell/ui/app_context.h"
#include "test_support.h"

namespace tw::test {

class AccountWindowTest : public AccountSetTest {
protected:
    void click(QWidget* window, const char* name) {
        auto* b = child<QAbstractButton>(window, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << name;
        // A radio button answers to its indicator and caption, not to the
        // empty room a layout gives it beyond them.
        const QPoint at = qobject_cast<QRadioButton*>(b) ? QPoint(8, b->height() / 2)
                                                         : b->rect().center();
        QTest::mouseClick(b, Qt::LeftButton, {}, at);
    }

    static QTreeWidgetItem* item(QTreeWidget* tree, const QString& text) {
        const auto found = tree->findItems(text, Qt::MatchExactly | Qt::MatchRecursive);
        return found.isEmpty() ? nullptr : found.first();
    }

    // Selects the item as a click on it does.
    static void select(QTreeWidget* tree, const QString& text) {
        QTreeWidgetItem* i = item(tree, text);
        ASSERT_NE(i, nullptr) << text.toStdString();
        tree->setCurrentItem(i);
    }

    static void doubleClick(QTreeWidget* tree, QTreeWidgetItem* i) {
        ASSERT_NE(i, nullptr);
        tree->scrollToItem(i);
        const QPoint at = tree->visualItemRect(i).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
    }

    // Presses `button` of `window` (科目设置) and, in the chart window it
    // opens, adds the debit sub-account `name` under the asset `parent`.
    void addSubThroughChart(QWidget* window, const char* button, const char* parent,
                            const char* name) {
        whenModalOpens([&](QWidget* chart) {
            EXPECT_EQ(chart->objectName(), "会计科目窗口");
            select(child<QTreeWidget>(chart, "资产类树型框"), QString::fromUtf8(parent));
            whenModalOpens([&](QWidget* setting) {
                child<QLineEdit>(setting, "科目名称编辑框")->setText(QString::fromUtf8(name));
                click(setting, "借方单选框");
                click(setting, "确定");
            });
            click(chart, "增加下级科目");
            static_cast<QDialog*>(chart)->reject();
        });
        click(window, button);
    }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
};

}  // namespace tw::test
