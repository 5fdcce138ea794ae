#pragma once
// The message window: one text and a button `关闭提示`. Every message of the
// program is shown in it, modally.

#include <QDialog>

class QLabel;
class QPushButton;

namespace tw {

class MessageWindow : public QDialog {
    Q_OBJECT
public:
    explicit MessageWindow(const QString& text, QWidget* parent = nullptr);

    // Shows the text modally and returns when the window is closed.
    static void run(QWidget* parent, const QString& text);

private:
    QLabel* m_text;
    QPushButton* m_close;
};

// Texts carry "\r\n" line breaks as stored; a label wants "\n".
QString displayText(const QString& text);

}  // namespace tw
