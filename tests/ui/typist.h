#pragma once
// Types into whatever has the focus, as a person at the keyboard does: one
// key at a time, through the modal dialogs the keys open, waiting whenever a
// window that just opened has not taken the focus yet. Counts the keys typed
// and every mouse click the program received meanwhile.

#include <QApplication>
#include <QKeySequence>
#include <QList>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <memory>

namespace tw::test {

class Typist : public QObject {
public:
    Typist() { qApp->installEventFilter(this); }
    ~Typist() override { qApp->removeEventFilter(this); }

    // Characters typed one key each ("gsyh", "1200", "=").
    Typist& type(const QString& text) {
        for (const QChar c : text) m_keys.append({0, {}, c});
        return *this;
    }
    // One key, with modifiers: Qt::Key_Return, Qt::Key_F5, Qt::Key_Tab.
    Typist& press(int key, Qt::KeyboardModifiers mods = {}) {
        m_keys.append({key, mods, QChar()});
        return *this;
    }
    // Types every key queued; false when they were not all typed in time.
    bool play(int timeoutMs = 30000) {
        m_next = 0;
        m_expired = false;
        m_before = QApplication::activeModalWidget();
        m_baseDepth = QThread::currentThread()->loopLevel();
        // A key that did not do what the test expected can leave a dialog
        // open, whose event loop would never return: close such dialogs.
        QTimer::singleShot(timeoutMs, this, [this] {
            m_expired = true;
            rescue();
        });
        schedule();
        const bool typed = QTest::qWaitFor([this] { return m_next >= m_keys.size() || m_expired; },
                                           timeoutMs + 5000);
        QTest::qWait(50);  // time for the last key's dialog to close and its result to land
        return typed && !m_expired && openedByKeys() == 0;
    }

    int keys() const { return m_typed; }
    int mouseClicks() const { return m_clicks; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto t = event->type();
        if ((t == QEvent::MouseButtonPress || t == QEvent::MouseButtonDblClick) && watched->isWidgetType())
            ++m_clicks;
        return QObject::eventFilter(watched, event);
    }

private:
    struct Key {
        int key;
        Qt::KeyboardModifiers mods;
        QChar text;
    };

    // A fresh timer per key: the key may open a modal dialog, whose event
    // loop must be able to deliver the next one.
    void schedule() { QTimer::singleShot(15, this, [this] { tick(); }); }

    void tick() {
        if (m_next >= m_keys.size() || m_expired) return;
        // Between a dialog hiding and its exec() returning, the key would
        // land in the window below: wait until every modal dialog shown is
        // one whose event loop runs, and no more.
        if (QThread::currentThread()->loopLevel() != m_baseDepth + openedByKeys()) {
            schedule();
            return;
        }
        // The key goes to the topmost modal window, where its focus is.
        QWidget* top = QApplication::activeModalWidget();
        if (!top) top = QApplication::activeWindow();
        if (!top || !top->isVisible()) {
            schedule();  // a window is still opening
            return;
        }
        // The offscreen platform does not make the window below a dialog that
        // closed active again, as a desktop does, and activateWindow() takes
        // effect later: shortcuts find their window through the active one.
        if (!top->isActiveWindow()) {
            top->activateWindow();
#if QT_VERSION < QT_VERSION_CHECK(6, 5, 0)
            QApplication::setActiveWindow(top);
#else
            QTest::qWaitForWindowActive(top);
#endif
        }
        QWidget* focus = top->focusWidget() ? top->focusWidget() : top;
        const Key k = m_keys[m_next++];
        ++m_typed;
        schedule();
        if (k.key)
            QTest::keyClick(focus, static_cast<Qt::Key>(k.key), k.mods);
        else
            QTest::keyClick(focus, k.text.toLatin1());
    }

    // The modal dialogs shown besides the window the keys started in.
    int openedByKeys() const {
        int shown = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != m_before && w->isVisible() && w->isModal()) ++shown;
        return shown;
    }

    void rescue() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == m_before) return;
        modal->close();
        QTimer::singleShot(50, this, [this] { rescue(); });
    }

    QList<Key> m_keys;
    qsizetype m_next = 0;
    int m_typed = 0;
    int m_clicks = 0;
    bool m_expired = false;
    QWidget* m_before = nullptr;  // the modal window the keys start in, left open
    int m_baseDepth = 0;
};

}  // namespace tw::test
