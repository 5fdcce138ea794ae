#include "platform/ui/widget_helpers.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <utility>

namespace tw {

namespace {

// Presses the focused button it watches on Enter or Return: the keyboard habit
// of Windows users, which Qt keeps for default buttons only.
class EnterPressesButton : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            auto* button = qobject_cast<QAbstractButton*>(watched);
            if ((key == Qt::Key_Return || key == Qt::Key_Enter) && button && button->isEnabled()) {
                button->click();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Runs an action on a left click released over the widget it watches, and
// on Enter pressed on it.
class ClickRunsAction : public QObject {
public:
    ClickRunsAction(QObject* parent, std::function<void()> act)
        : QObject(parent), m_act(std::move(act)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            m_act();
            return true;
        }
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
                !(key->modifiers() & ~Qt::KeypadModifier)) {
                m_act();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_act;
};

// Turns the first focus-in that selects everything into a plain one.
class KeepTypedText : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::FocusIn) return QObject::eventFilter(watched, event);
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason &&
            reason != Qt::ShortcutFocusReason)
            return QObject::eventFilter(watched, event);
        watched->removeEventFilter(this);
        deleteLater();
        QFocusEvent plain(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(watched, &plain);
        return true;
    }
};

}  // namespace

void keepTypedText(QLineEdit* box) {
    box->deselect();
    box->end(false);
    box->installEventFilter(new KeepTypedText(box));
}

void showKeyboardFocus(QWidget* widget) {
    widget->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    widget->setFocus(Qt::TabFocusReason);
}

void whenClicked(QWidget* box, std::function<void()> act) {
    box->installEventFilter(new ClickRunsAction(box, std::move(act)));
}

QPushButton* namedButton(QWidget* parent, const char* name, const char* caption) {
    auto* b = new QPushButton(QString::fromUtf8(caption ? caption : name), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    b->installEventFilter(new EnterPressesButton(b));
    return b;
}

OkCancelRow okCancelRow(QDialog* dialog, const char* okName) {
    OkCancelRow buttons{new QHBoxLayout, namedButton(dialog, okName, "确定"),
                        namedButton(dialog, "取消")};
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    buttons.row->addStretch();
    buttons.row->addWidget(buttons.ok);
    buttons.row->addWidget(buttons.cancel);
    return buttons;
}

}  // namespace tw
