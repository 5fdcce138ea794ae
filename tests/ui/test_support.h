#pragma once
// Helpers for window tests: a throw-away account-set directory, finding
// controls by name, and answering modal windows as they open.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>

namespace tw::test {

// An empty account-set directory, removed with the object.
class TempDataDir {
public:
    TempDataDir() { EXPECT_TRUE(m_dir.isValid()) << "cannot make a temporary directory"; }
    std::filesystem::path path() const { return std::filesystem::path(m_dir.path().toStdString()); }

private:
    QTemporaryDir m_dir;
};

// The child named `name` of type T, or nullptr with a test failure that says
// which control is missing. Callers ASSERT on the result.
template <typename T = QWidget>
T* child(const QObject* parent, const QString& name) {
    T* found = parent->findChild<T*>(name);
    if (!found)
        ADD_FAILURE() << "no " << T::staticMetaObject.className() << " named " << name.toStdString()
                      << " in " << parent->objectName().toStdString();
    return found;
}

// Runs `act` on the next modal window to open (one that is not the modal
// window active now). Call it before the action that opens the window; the
// action's exec() then runs the check. Fails the test if none opens in time.
inline void whenModalOpens(std::function<void(QWidget*)> act, int timeoutMs = 5000) {
    QWidget* before = QApplication::activeModalWidget();
    auto* timer = new QTimer(qApp);
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal != before && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            act(modal);
        } else if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            ADD_FAILURE() << "no modal window opened within " << timeoutMs << " ms";
        }
    });
    timer->start(10);
}

// Types text into a widget key by key, Chinese included (QTest::keyClicks
// takes Latin-1 only).
inline void typeText(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

// Where Tab takes the focus: the object names of `start` and of the widgets
// the focus lands on after each of `presses` real Tab key presses.
inline QStringList tabOrder(QWidget* start, int presses) {
    QWidget* window = start->window();
    window->activateWindow();
    (void)QTest::qWaitForWindowActive(window, 1000);
    start->setFocus(Qt::TabFocusReason);
    QStringList names{start->objectName()};
    for (int i = 0; i < presses; ++i) {
        QWidget* focus = window->focusWidget();
        if (!focus) break;
        QTest::keyClick(focus, Qt::Key_Tab);
        names << (window->focusWidget() ? window->focusWidget()->objectName() : QString("<none>"));
    }
    return names;
}

// Top-level windows that are shown, to check that a command opened nothing.
inline int visibleTopLevelCount() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible()) ++n;
    return n;
}

// The texts of the first `columns` columns of each top-level row of the
// tree widget `name` below `parent` (a test failure when there is none).
inline QList<QStringList> treeRows(const QObject* parent, const QString& name, int columns) {
    QList<QStringList> rows;
    const auto* list = child<QTreeWidget>(parent, name);
    for (int i = 0; list && i < list->topLevelItemCount(); ++i) {
        QStringList row;
        for (int c = 0; c < columns; ++c) row << list->topLevelItem(i)->text(c);
        rows << row;
    }
    return rows;
}

}  // namespace tw::test
