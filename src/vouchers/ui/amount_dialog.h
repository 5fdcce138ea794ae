#pragma once
// The small input dialogs for one number: the amount dialog (`金额输入框`,
// `元`, `确定`, `清除`) that the voucher window and the cashier window open
// for an amount box, and the attachment dialog (`附件输入框`) for 附件数.
//
// Amount dialog typing rules:
//  - a box whose whole text is "-" is emptied (no minus sign first);
//  - once two decimals are typed (the third character from the end is "."),
//    the focus moves to 确定; a digit typed next still goes into the box;
//  - a third decimal is refused as it is typed, with the amount reader's
//    message; the box keeps it, to be corrected;
//  - Enter in a box that is not empty is 确定;
//  - "=" puts the amount that balances the voucher into the box (when the
//    caller gave one), and is never typed itself.
// Opened on the line that balances the voucher, the box starts with that
// amount, selected, so that typing replaces it and Enter takes it.
// 确定 reads the amount box through the program's one amount reader
// (storage/amount_reader.h): an empty box gives 0; a text the reader refuses
// (not a number, more than two decimals, too many digits, too large) shows
// its message and the dialog stays open with the text as typed. 清除 empties
// the box and gives 0, which empties the amount box it was opened for.
// Closing the dialog any other way gives nothing, and the amount box stays as
// it was. The attachment dialog takes the whole part of its number.

#include <QDialog>
#include <QString>
#include <optional>
#include <string>

class QLineEdit;
class QPushButton;

namespace tw {

class Prompter;

// How the dialog starts.
struct NumberStart {
    double balancing = 0;  // the amount that balances the voucher; 0 for none
    QString typed;         // a character typed on the box that opened the dialog
};

class NumberInputDialog : public QDialog {
    Q_OBJECT
public:
    enum class Kind { Amount, Attachments };
    // Messages go through `prompter`; without one, through the program's windows.
    NumberInputDialog(Kind kind, QWidget* parent = nullptr, Prompter* prompter = nullptr,
                      const NumberStart& start = {});
    // The number accepted (0 after 清除); nothing when closed without a button.
    const std::optional<double>& result() const { return m_result; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onEdited(const QString& text);
    void showRefusal(const std::string& message);
    void offerBalancing();
    void onConfirm();
    void onClear();

    Kind m_kind;
    Prompter* m_prompter;
    double m_balancing = 0;
    QLineEdit* m_box;
    QPushButton* m_confirm;
    std::optional<double> m_result;
};

// Opens the amount dialog over `parent`: the amount, 0 after 清除, or nothing.
std::optional<double> askAmount(QWidget* parent, Prompter& prompter, const NumberStart& start = {});
// Opens the attachment dialog: the whole number typed (2.9 gives 2), 0
// after 清除, or nothing.
std::optional<long long> askAttachments(QWidget* parent, const QString& typed = {});

}  // namespace tw
