#pragma once
// Window tests of the voucher window: a real set logged in (March 2013), the
// scripted prompter, vouchers made through the core or written by hand, and
// clicks on the window's boxes and buttons by their object names.

#include <QAbstractButton>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "scripted_prompter.h"
#include "shell/ui/app_context.h"
#include "test_support.h"
#include "vouchers/ui/voucher_window.h"
#include "vouchers/voucher_fixture.h"

namespace tw::test {

class VoucherWindowTest : public VoucherTest {
protected:
    void TearDown() override {
        window.reset();
        VoucherTest::TearDown();
    }

    void open() {
        window = std::make_unique<VoucherWindow>(ctx);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    QLineEdit* box(const QString& name) { return child<QLineEdit>(window.get(), name); }
    QString text(const QString& name) {
        QLineEdit* b = box(name);
        return b ? b->text() : QStringLiteral("<missing>");
    }
    void clickBox(const QString& name) {
        QLineEdit* b = box(name);
        ASSERT_NE(b, nullptr);
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    }
    static void click(QWidget* parent, const char* name) {
        auto* b = child<QAbstractButton>(parent, QString::fromUtf8(name));
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isEnabled()) << name;
        QTest::mouseClick(b, Qt::LeftButton, {}, b->rect().center());
    }
    void press(const char* button) { click(window.get(), button); }

    // "30001 1/2": the number and page boxes of the page shown.
    QString shown() {
        return text("月编号编辑框") + " " + text("第几编辑框") + "/" + text("共几编辑框");
    }

    // Answers the next amount or attachment dialog by typing `typed` and
    // pressing `button` (确定 or 清除).
    void answerNumber(const QString& typed, const char* button = "确定") {
        whenModalOpens([=](QWidget* dialog) {
            auto* input = dialog->findChild<QLineEdit*>();
            ASSERT_NE(input, nullptr);
            typeText(input, typed);
            click(dialog, button);
        });
    }
    // Answers the next day dialog with `day`.
    void answerDay(int day) {
        whenModalOpens([=](QWidget* dialog) {
            auto* input = child<QLineEdit>(dialog, "日期输入框");
            ASSERT_NE(input, nullptr);
            input->selectAll();
            typeText(input, QString::number(day));
            click(dialog, "确定");
        });
    }
    // Picks `account` in the chart window that opens next.
    void answerAccount(const QString& account, const char* tree = "资产类树型框") {
        whenModalOpens([=](QWidget* chart) {
            auto* t = child<QTreeWidget>(chart, QString::fromUtf8(tree));
            ASSERT_NE(t, nullptr);
            if (auto* tabs = chart->findChild<QTabWidget*>()) tabs->setCurrentWidget(t);
            const auto found = t->findItems(account, Qt::MatchExactly | Qt::MatchRecursive);
            ASSERT_FALSE(found.isEmpty()) << account.toStdString();
            t->setCurrentItem(found.first());
            click(chart, "将选定科目插入到");
        });
    }

    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
    std::unique_ptr<VoucherWindow> window;
};

}  // namespace tw::test
