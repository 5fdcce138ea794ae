#pragma once
// The confirm window: one question and the buttons `是的` and `不是`. Every
// yes/no question of the program is asked in it, modally. A question asked on
// the way out of a window has a third button, `取消`, that stays. A question
// may name its own two answers in place of 是的 and 不是 (`保留离开`,
// `返回修改`).

#include <QDialog>

#include "platform/ui/prompter.h"

class QLabel;
class QPushButton;

namespace tw {

class ConfirmWindow : public QDialog {
    Q_OBJECT
public:
    explicit ConfirmWindow(const QString& text, QWidget* parent = nullptr, bool withCancel = false);

    // "是的", "不是" or "取消": the button the window was closed with. Closing
    // it any other way (title bar, Esc) answers "不是" — or "取消" where that
    // button is offered — so that nothing irreversible happens because the
    // window was dismissed.
    QString answer() const { return m_answer; }

    // Asks modally; true only for "是的".
    static bool ask(QWidget* parent, const QString& text);
    // Asks modally with the third button `取消`.
    static Prompter::Answer askOrCancel(QWidget* parent, const QString& text);
    // Asks modally with the buttons `yes` and `no` (named by their captions);
    // true only for `yes`. Enter, Esc and closing the window answer `no`.
    static bool askWith(QWidget* parent, const QString& text, const QString& yes,
                        const QString& no);

private:
    struct Captions {
        QString yes, no;
    };
    ConfirmWindow(const QString& text, const Captions& captions, QWidget* parent, bool withCancel);

    QLabel* m_text;
    QPushButton* m_yes;
    QPushButton* m_no;
    QString m_answer;
};

}  // namespace tw
