#pragma once
// The confirm window: one question and the buttons `是的` and `不是`. Every
// yes/no question of the program is asked in it, modally.

#include <QDialog>

class QLabel;
class QPushButton;

namespace tw {

class ConfirmWindow : public QDialog {
    Q_OBJECT
public:
    explicit ConfirmWindow(const QString& text, QWidget* parent = nullptr);

    // "是的" or "不是": the button the window was closed with. Closing it any
    // other way (title bar, Esc) answers "不是", so that nothing irreversible
    // happens because the window was dismissed.
    QString answer() const { return m_answer; }

    // Asks modally; true only for "是的".
    static bool ask(QWidget* parent, const QString& text);

private:
    QLabel* m_text;
    QPushButton* m_yes;
    QPushButton* m_no;
    QString m_answer;
};

}  // namespace tw
