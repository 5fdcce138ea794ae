// 核对账目窗口: opened from the main window's menu 其它, it shows whether the
// books are sound and, when they are not, one line per finding.
#include <sqlite3.h>

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include "app/main_window.h"
#include "closing/closing_fixture.h"
#include "closing/ui/check_window.h"
#include "scripted_prompter.h"
#include "shell/ui/app_context.h"
#include "test_support.h"

namespace tw::test {
namespace {

class CheckWindowTest : public ClosingTest {
protected:
    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};

    void books() {
        enableWith({{"银行存款", 5000}, {"实收资本", -5000}});
        addVoucher(30001, {{"银行存款", 800}, {"主营业务收入", 0, 800}});
        addVoucher(30002, {{"管理费用", 300}, {"银行存款", 0, 300}});
        ASSERT_EQ(post().value, 2);
        ASSERT_TRUE(close().ok);
    }
    // Another program writes a wrong balance into a voucher row of 账库.
    void breakABalance() {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path(file::kLedger).c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "UPDATE records SET \"余额\" = 5600 WHERE rowid = 6", nullptr, nullptr,
                     nullptr);
        sqlite3_close(db);
    }
    static QStringList lines(QWidget* w) {
        QStringList out;
        auto* list = child<QListWidget>(w, "核对结果列表框");
        for (int i = 0; list && i < list->count(); ++i) out << list->item(i)->text();
        return out;
    }
    static QString summary(QWidget* w) {
        auto* l = child<QLabel>(w, "核对结果标签");
        return l ? l->text() : QString();
    }
};

TEST_F(CheckWindowTest, SoundBooksSayTheyAreSound) {
    books();
    store.reset();
    CheckWindow w(ctx);
    EXPECT_EQ(w.objectName(), "核对账目窗口");
    EXPECT_EQ(summary(&w), "核对完毕，未发现问题。");
    EXPECT_TRUE(lines(&w).isEmpty());
}

TEST_F(CheckWindowTest, FindingsAreListedAndTheCheckRunsAgain) {
    books();
    store.reset();
    CheckWindow w(ctx);
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    ASSERT_EQ(summary(&w), "核对完毕，未发现问题。");
    breakABalance();
    QTest::mouseClick(child<QPushButton>(&w, "重新核对"), Qt::LeftButton);
    EXPECT_EQ(summary(&w), "核对发现1处问题！");
    EXPECT_EQ(lines(&w).value(0),
              "账库第6条记录（银行存款，2013-3-31，凭证30002）：余额 借 5600.00，应为 借 5500.00，相差 100.00");
    const QString folder = qEnvironmentVariable("TALLOWICK_SCREENSHOT_DIR");
    if (!folder.isEmpty()) {
        QDir().mkpath(folder);
        EXPECT_TRUE(w.grab().save(folder + "/核对账目窗口.png"));
    }
    QTest::mouseClick(child<QPushButton>(&w, "关闭"), Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(CheckWindowTest, TheMainWindowOffersItInItsLastMenu) {
    books();
    store.reset();
    MainWindow main(ctx);
    QAction* item = child<QAction>(&main, "核对账目");
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->parent()->objectName(), "其它");
    QString opened;
    whenModalOpens([&](QWidget* window) {
        opened = window->objectName() + " " + summary(window);
        window->close();
    });
    item->trigger();
    EXPECT_EQ(opened, "核对账目窗口 核对完毕，未发现问题。");
}

}  // namespace
}  // namespace tw::test
