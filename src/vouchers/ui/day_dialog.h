#pragma once
// The day dialog (`日期输入框`, `日`, `确定`, `取消`): a voucher is always dated
// in the current period's month, so only the day is asked.
//
// Typing rules, with D the box's value and L the number of days of the month
// (leap years by the Gregorian rule): D > L empties the box; D ≤ 0 (an empty
// box included) turns it into "1". 确定 on an empty box keeps the dialog open
// with the focus in the box. 取消 closes without a day: nothing changes.

#include <QDialog>
#include <optional>

class QLineEdit;

namespace tw {

class DayDialog : public QDialog {
    Q_OBJECT
public:
    // `initialDay` 0 leaves the box empty.
    DayDialog(int daysInMonth, int initialDay, QWidget* parent = nullptr);
    const std::optional<int>& day() const { return m_day; }

private:
    void onEdited(const QString& text);
    void onConfirm();

    int m_days;
    QLineEdit* m_box;
    std::optional<int> m_day;
};

// Opens the day dialog: the day accepted, or nothing.
std::optional<int> askDay(QWidget* parent, int daysInMonth, int initialDay);

}  // namespace tw
