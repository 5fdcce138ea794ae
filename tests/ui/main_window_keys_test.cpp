// The main window's menus from the keyboard: every menu and menu item has
// its Alt letter, none shared within the menu bar or within a menu, and the
// letters open the menus and run their items.
#include <gtest/gtest.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTest>
#include <memory>

#include "app/main_window.h"
#include "scripted_prompter.h"
#include "test_support.h"

namespace tw::test {
namespace {

const QString kLoginRequired = QStringLiteral("请先选择套账并登陆！");

// The letter of a caption "  其 它(&O)  ", or nothing.
QChar letterOf(const QString& caption) {
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("\\(&([A-Z])\\)\\s*$")).match(caption);
    return m.hasMatch() ? m.captured(1).at(0) : QChar();
}

class MainWindowKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.dataDir = dataDir.path();
        window = std::make_unique<MainWindow>(ctx);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QMenu* menu(const char* name) { return child<QMenu>(window.get(), QString::fromUtf8(name)); }

    TempDataDir dataDir;
    Session session;
    ScriptedPrompter prompter;
    AppContext ctx{session, prompter};
    std::unique_ptr<MainWindow> window;
};

TEST_F(MainWindowKeysTest, EveryMenuAndItemHasALetterOfItsOwn) {
    QList<QChar> menuLetters;
    for (QAction* m : window->menuBar()->actions()) {
        const QChar letter = letterOf(m->text());
        ASSERT_FALSE(letter.isNull()) << m->text().toStdString();
        EXPECT_FALSE(menuLetters.contains(letter)) << m->text().toStdString();
        menuLetters << letter;
        QList<QChar> itemLetters;
        for (QAction* item : m->menu()->actions()) {
            if (item->isSeparator()) continue;
            const QChar own = letterOf(item->text());
            ASSERT_FALSE(own.isNull()) << item->text().toStdString();
            EXPECT_FALSE(itemLetters.contains(own))
                << m->text().toStdString() << " " << item->text().toStdString();
            itemLetters << own;
        }
    }
    EXPECT_EQ(window->menuBar()->actions().value(0)->text(), "  套 账(&S)  ");
    ASSERT_NE(menu("套账"), nullptr);
    EXPECT_EQ(menu("套账")->actions().value(0)->text(), "新建套账(&N)");
}

// Alt and the menu's letter open it; the item's letter runs the item: here
// the login gate of 新建用户 (其它) and of 查阅凭证 (做账).
TEST_F(MainWindowKeysTest, AltAndTheLettersRunAnItem) {
    QMenu* other = menu("其它");
    ASSERT_NE(other, nullptr);
    QTest::keyClick(window.get(), Qt::Key_O, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return other->isVisible(); }, 2000)) << "Alt+O opens 其它";
    QTest::keyClick(other, Qt::Key_N);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !prompter.messages.isEmpty(); }, 2000));
    EXPECT_EQ(prompter.messages, QStringList{kLoginRequired});
    EXPECT_TRUE(QTest::qWaitFor([&] { return !other->isVisible(); }, 2000));

    prompter.clearRecords();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QMenu* books = menu("做账");
    ASSERT_NE(books, nullptr);
    QTest::keyClick(window.get(), Qt::Key_V, Qt::AltModifier);
    ASSERT_TRUE(QTest::qWaitFor([&] { return books->isVisible(); }, 2000)) << "Alt+V opens 做账";
    QTest::keyClick(books, Qt::Key_F);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !prompter.messages.isEmpty(); }, 2000));
    EXPECT_EQ(prompter.messages, QStringList{kLoginRequired});
}

}  // namespace
}  // namespace tw::test
