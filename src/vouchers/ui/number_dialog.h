#pragma once
// The number dialog (`月编号输入框`, `第几输入框`, `共几输入框`, label `编号`,
// `确定`, `取消`): a new number for the voucher shown. The page and the page
// count are shown but kept as they are: they follow from 增加子页 and 删除, and
// a page typed out of its voucher would split it.
//
// 确定 hands the number to `apply` (the core change in its own action): a
// refusal keeps the dialog open, showing its message when it has one (a zero
// number is refused without one); success closes it. 取消 changes nothing.

#include <QDialog>
#include <functional>
#include <string>

#include "storage/outcome.h"

class QLineEdit;

namespace tw {

class Prompter;

class NumberDialog : public QDialog {
    Q_OBJECT
public:
    using Apply = std::function<Outcome(double number)>;
    NumberDialog(Prompter& prompter, const std::string& number, const std::string& page,
                 const std::string& pageCount, Apply apply, QWidget* parent = nullptr);

private:
    void onConfirm();

    Prompter& m_prompter;
    Apply m_apply;
    QLineEdit* m_number;
};

}  // namespace tw
