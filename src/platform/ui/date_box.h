#pragma once
// The date box of every window that asks for a date.
//
// A date is typed as year-month-day — "2012-3-1", "2012-03-01", "2012/3/1"
// (parseDate of storage/dates.h) — or picked from the calendar that opens
// from the button at the box's right end, or with F4 or Alt+Down (arrows move
// through the days, Enter picks, Esc closes). The box shows dates as
// "2012-3-1". The box selects its whole text when it takes the focus, by the
// keyboard or by a click, so that a date typed replaces the one shown.
//
// A text the box cannot read as a date is never turned into another date: the
// window asks for checkedDay(), which refuses such a text with a message
// through the prompter and returns nothing, and the window stops there.
//
//     auto* start = new DateBox(ctx.prompter, QStringLiteral("启用日期框"), this);
//     start->setDay(today());
//     ...
//     const std::optional<double> day = start->checkedDay();
//     if (!day) return;
//
// A window with a pair of boxes, from and to, reads them with checkedRange,
// which refuses a start after the end as well.

#include <QLineEdit>
#include <optional>

class QCalendarWidget;

namespace tw {

class Prompter;

class DateBox : public QLineEdit {
    Q_OBJECT
public:
    DateBox(Prompter& prompter, const QString& objectName, QWidget* parent = nullptr);

    // Shows `day` (a day number of storage/dates.h).
    void setDay(double day);
    // The day the text names; nothing when it names none.
    std::optional<double> day() const;
    // The same, for a window about to use the day: a text that names none is
    // refused with a message through the prompter, and the box takes the
    // focus with its text selected so that it can be corrected.
    std::optional<double> checkedDay();
    // Shows `message` through the prompter, and the box takes the focus with
    // its text selected so that it can be corrected.
    void refuse(const QString& message);

    // Opens the calendar on the day shown (today when the text names none).
    void showCalendar();
    // The calendar while it is open, else nullptr.
    QCalendarWidget* calendar() const { return m_calendar; }

signals:
    // A day was picked from the calendar and is now shown.
    void dayPicked(double day);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void pick(const QDate& date);

    Prompter& m_prompter;
    QCalendarWidget* m_calendar = nullptr;
    bool m_selectOnRelease = false;  // the focus came with a left click
};

// The refusal of a date box for a text that names no date.
QString unreadableDateMessage(const QString& text);

struct DayRange {
    double from = 0;  // day numbers, both included
    double to = 0;
};

// The days of a pair of boxes, from and to, for a window about to use them:
// each box is checked as checkedDay() does, in that order, and a start after
// the end is refused with reversedRangeMessage, the start box taking the
// focus. Nothing when refused.
std::optional<DayRange> checkedRange(DateBox& from, DateBox& to);
// "起始日期（2013-4-1）晚于截至日期（2013-3-1）！…"
QString reversedRangeMessage(double from, double to);

}  // namespace tw
