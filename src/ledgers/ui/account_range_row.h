#pragma once
// The row the ledger and journal windows open with:
//   科目：[account box]  从 [date]  至 [date]  [buttons…]

#include <QList>
#include <functional>

class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QWidget;

namespace tw {

class DateBox;
class Prompter;

struct AccountRangeRow {
    QLineEdit* account = nullptr;  // read-only; a click runs the picker
    DateBox* from = nullptr;       // 起始日期框
    DateBox* to = nullptr;         // 截至日期框
    QHBoxLayout* layout = nullptr;
};

// Makes the row's controls in `window`: the account box showing `prompt`
// until an account is picked, running `pick` on a click or Enter, and the two
// date boxes on the first and last day of the month of `month` (a day
// number). Tab goes along the row; the account box has the focus.
AccountRangeRow makeAccountRangeRow(QWidget* window, Prompter& prompter, const char* prompt,
                                    double month, std::function<void()> pick,
                                    const QList<QPushButton*>& buttons);

}  // namespace tw
