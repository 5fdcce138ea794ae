#pragma once
// The Prompter of the running program: the message and confirm windows, small
// input boxes of our own and the file dialogs.

#include "platform/ui/prompter.h"

namespace tw {

class WindowPrompter : public Prompter {
public:
    void showMessage(QWidget* parent, const QString& text) override;
    bool confirm(QWidget* parent, const QString& text) override;
    Answer confirmOrCancel(QWidget* parent, const QString& text) override;
    bool confirmWith(QWidget* parent, const QString& text, const QString& yes,
                     const QString& no) override;
    // A box `输入窗口` with the prompt, the line `输入编辑框` and the buttons
    // `确定` and `取消`.
    std::optional<QString> inputText(QWidget* parent, const QString& title, const QString& prompt,
                                     const QString& initial) override;
    // The same box for an amount: it takes the keys of one (digits, a sign,
    // a point, thousands separators), `确定` stays disabled until the line
    // holds a digit and reads it through the amount reader; a text the reader
    // refuses is said, and the box stays open with the text as typed.
    std::optional<double> inputNumber(QWidget* parent, const QString& title, const QString& prompt,
                                      double initial) override;
    // The filter is a dialog filter such as "*.zip"; a name typed without an
    // extension gets the default suffix.
    QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& defaultSuffix, const QString& start = {}) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                         const QString& start = {}) override;
    QString folderName(QWidget* parent, const QString& title, const QString& start = {}) override;
    // Qt's print dialog `打印`, its page range from 1 to the document's last page.
    bool choosePrinter(QWidget* parent, QPrinter& printer, int pageCount) override;
};

}  // namespace tw
