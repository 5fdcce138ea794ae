// 账务初始化窗口 on a real set: editing rows, the totals and 启用套账, saving,
// 科目设置, enabling, and the logout when the window is left unenabled.
#include "accounts/ui/opening_balance_window.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <memory>

#include <QComboBox>

#include "accounts/chart.h"
#include "accounts_window_support.h"
#include "shell/ui/login_window.h"
#include "app/main_window.h"

namespace tw::test {
namespace {

class OpeningWindowTest : public AccountWindowTest {
protected:
    void open() {
        window = std::make_unique<OpeningBalanceWindow>(ctx);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }
    QTreeWidget* list() { return child<QTreeWidget>(window.get(), "超级列表框"); }
    QString total(const char* box) { return child<QLineEdit>(window.get(), box)->text(); }
    bool enableAllowed() { return child<QPushButton>(window.get(), "启用套账")->isEnabled(); }

    // Double-clicks the row of `account`, answering the two amount boxes.
    void edit(const QString& account, std::optional<double> debit, std::optional<double> credit) {
        prompter.numberAnswers.clear();
        prompter.numberAnswers << debit << credit;
        doubleClick(list(), item(list(), account));
    }
    // The four amount columns of a row, joined by "|".
    QString amounts(const QString& account) {
        QTreeWidgetItem* i = item(list(), account);
        if (!i) return "no row";
        return QStringList{i->text(1), i->text(2), i->text(3), i->text(4)}.join('|');
    }

    std::unique_ptr<OpeningBalanceWindow> window;
};

TEST_F(OpeningWindowTest, RowsTakeDirectionsBalancesAndBlanks) {
    open();
    EXPECT_EQ(list()->headerItem()->text(4), "期初余额");
    EXPECT_EQ(total("借方合计框"), "0");
    EXPECT_EQ(total("贷方合计框"), "0");
    EXPECT_TRUE(enableAllowed()) << "no amounts at all: the totals agree";

    edit("现金", 100.0, 100.0);
    EXPECT_EQ(prompter.inputPrompts, (QStringList{"科目：现金  的期初借方金额为......",
                                                  "科目：现金  的期初贷方金额为......"}));
    EXPECT_EQ(amounts("现金"), "100|100|平|0");
    edit("现金", -50.0, 0.0);
    EXPECT_EQ(amounts("现金"), "50|0|借|50");
    EXPECT_EQ(total("借方合计框"), "50");
    EXPECT_FALSE(enableAllowed());
    edit("现金", std::nullopt, std::nullopt);  // both cancelled
    EXPECT_EQ(amounts("现金"), "50|0|借|50");
    edit("短期借款", 0.0, 50.0);
    EXPECT_EQ(amounts("短期借款"), "0|50|贷|50");
    EXPECT_TRUE(enableAllowed());
    edit("现金", 0.0, 0.0);
    EXPECT_EQ(amounts("现金"), "|||");
    EXPECT_FALSE(enableAllowed());
}

TEST_F(OpeningWindowTest, ParentRowsTakeNoAmountAndSavedAmountsComeBack) {
    addSub("银行存款", "工商银行");
    open();
    prompter.clearRecords();
    doubleClick(list(), item(list(), "银行存款"));
    EXPECT_EQ(prompter.messages, QStringList{"本科目无需设置金额，如需请在其下级科目添加！"});
    EXPECT_TRUE(prompter.inputPrompts.isEmpty());

    edit("银行存款→工商银行", 0.1, 0.0);
    edit("现金", 0.2, 0.0);
    edit("短期借款", 0.0, 0.3);
    EXPECT_EQ(total("借方合计框"), "0.3");
    EXPECT_TRUE(enableAllowed());
    click(window.get(), "保存修改");

    open();
    EXPECT_EQ(amounts("银行存款→工商银行"), "0.1|0|借|0.1");
    EXPECT_EQ(amounts("银行存款"), "|||");
    EXPECT_EQ(total("贷方合计框"), "0.3");
}

TEST_F(OpeningWindowTest, ChartSettingsKeepsTypedAmountsAndBlanksNewParents) {
    open();
    edit("现金", 80.0, 0.0);
    edit("应收账款", 20.0, 0.0);  // typed, not saved yet
    addSubThroughChart(window.get(), "科目设置", "现金", "零用金");
    EXPECT_EQ(amounts("现金"), "|||");
    EXPECT_EQ(amounts("现金→零用金"), "|||");
    EXPECT_EQ(amounts("应收账款"), "20|0|借|20");
    EXPECT_EQ(total("借方合计框"), "20");
    EXPECT_TRUE(session.login.loggedIn) << "the chart window is no way out";
}

TEST_F(OpeningWindowTest, EnablingClosesTheWindowAndKeepsTheLogin) {
    addSub("银行存款", "工商银行");
    addSub("银行存款", "建设银行");
    open();
    edit("银行存款→工商银行", 1000.0, 0.0);
    edit("银行存款→建设银行", 500.0, 0.0);
    edit("短期借款", 0.0, 1500.0);

    prompter.confirmAnswers.enqueue(false);
    click(window.get(), "启用套账");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(prompter.questions, QStringList{"是否启用当前套账？"});
    EXPECT_TRUE(rows(file::kLedger).empty());
    EXPECT_FALSE(rows(file::kBasicInfo)[0][3].boolean());

    prompter.confirmAnswers.enqueue(true);
    click(window.get(), "启用套账");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(session.login.loggedIn);
    EXPECT_TRUE(window->enabledTheSet());
    EXPECT_TRUE(rows(file::kBasicInfo)[0][3].boolean());
    EXPECT_EQ(rows(file::kLedger).size(), 3u);
    EXPECT_EQ(rows(file::kGeneralLedger).size(), 2u);
    EXPECT_EQ(rows(file::kGeneralLedger)[0][4].number(), 1500.0);
}

TEST_F(OpeningWindowTest, LeavingWithoutEnablingLogsOut) {
    bool titleRefreshed = false;
    whenModalOpens([&](QWidget* w) {
        EXPECT_EQ(w->objectName(), "账务初始化窗口");
        w->close();
    });
    ctx.refreshTitle = [&] { titleRefreshed = true; };
    runOpeningBalanceWindow(ctx, nullptr);
    EXPECT_FALSE(session.login.loggedIn);
    EXPECT_EQ(session.login.userName, "");
    EXPECT_EQ(session.login.setName, "");
    EXPECT_EQ(mainWindowTitle(session.login), "Tallowick    尚未登陆、请选择套帐！");
    EXPECT_TRUE(titleRefreshed);
}

TEST_F(OpeningWindowTest, LoginToAnUnenabledSetLeadsInAndLeavingLogsOut) {
    const std::string set = session.login.setName;
    session.login.logout();
    MainWindow main(ctx);
    main.show();
    QString titleInside;
    whenModalOpens([&](QWidget* login) {
        child<QComboBox>(login, "用户名选择")->setCurrentIndex(0);
        child<QLineEdit>(login, "密码框")->setText(QStringLiteral("mima"));
        whenModalOpens([&](QWidget* opening) {
            EXPECT_EQ(opening->objectName(), "账务初始化窗口");
            titleInside = main.windowTitle();
            opening->close();
        });
        click(login, "登陆");
    });
    LoginWindow::run(ctx, set, &main);
    EXPECT_EQ(titleInside, "Tallowick  会计期间：2013年3月   用户：张三  测试公司");
    EXPECT_FALSE(session.login.loggedIn);
    EXPECT_EQ(main.windowTitle(), "Tallowick    尚未登陆、请选择套帐！");
}

}  // namespace
}  // namespace tw::test
