#pragma once
// Every message, question, input box, file and print dialog of the program goes
// through a Prompter, so that window tests can see each text and script each
// answer. WindowPrompter shows the real windows.

#include <QString>
#include <optional>

class QPrinter;
class QWidget;

namespace tw {

class Prompter {
public:
    virtual ~Prompter() = default;
    // The message window (`提示信息`, `关闭提示`), modal.
    virtual void showMessage(QWidget* parent, const QString& text) = 0;
    // The confirm window (`是的`, `不是`), modal. True only for "是的"; closing the
    // window any other way answers "不是".
    virtual bool confirm(QWidget* parent, const QString& text) = 0;
    enum class Answer { Yes, No, Cancel };
    // The confirm window with a third button `取消`, for a question asked on
    // the way out of a window ("是否保存修改？"): 是的, 不是, or 取消 to stay.
    // Closing the window any other way answers 取消.
    virtual Answer confirmOrCancel(QWidget* parent, const QString& text) = 0;
    // The confirm window with answers of the question's own in place of 是的
    // and 不是 ("保留离开", "返回修改"). True only for `yes`; Enter, Esc and
    // closing the window answer `no`.
    virtual bool confirmWith(QWidget* parent, const QString& text, const QString& yes,
                             const QString& no) = 0;
    // A one-line input box; nullopt when cancelled.
    virtual std::optional<QString> inputText(QWidget* parent, const QString& title,
                                             const QString& prompt, const QString& initial) = 0;
    // A numeric input box for an amount, read by the amount reader
    // (storage/amount_reader.h); nullopt when cancelled.
    virtual std::optional<double> inputNumber(QWidget* parent, const QString& title,
                                              const QString& prompt, double initial) = 0;
    // Save and open file dialogs; empty when cancelled. `start` is where the
    // dialog opens: a folder, or for a save dialog the suggested file's full
    // path (its folder and name); empty: the home folder.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& defaultSuffix, const QString& start = {}) = 0;
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& filter,
                                 const QString& start = {}) = 0;
    // A folder dialog, opening at the folder `start` (empty: the home
    // folder); the folder chosen, empty when cancelled.
    virtual QString folderName(QWidget* parent, const QString& title,
                               const QString& start = {}) = 0;
    // The print dialog for a document of `pageCount` pages: the printer, the
    // copies and the page range (1 … pageCount), left chosen in `printer`.
    // False when cancelled.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer, int pageCount) = 0;
};

}  // namespace tw
