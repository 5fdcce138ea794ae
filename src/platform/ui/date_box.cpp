#include "platform/ui/date_box.h"

#include <QAction>
#include <QCalendarWidget>
#include <QDate>
#include <QFrame>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QVBoxLayout>

#include "platform/ui/prompter.h"
#include "storage/dates.h"

namespace tw {

namespace {

// A small sheet of a wall calendar: a red band over a grid of days.
QIcon calendarIcon() {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QColor(90, 90, 90));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 12);
    p.fillRect(2, 3, 12, 3, QColor(200, 60, 50));
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 4; ++col) p.fillRect(3 + col * 3, 7 + row * 2, 2, 1, QColor(90, 90, 90));
    return QIcon(pixmap);
}

QDate toQDate(double day) {
    const Ymd d = toYmd(day);
    return QDate(d.year, d.month, d.day);
}

double fromQDate(const QDate& date) { return dayNumber(date.year(), date.month(), date.day()); }

}  // namespace

QString unreadableDateMessage(const QString& text) {
    if (text.trimmed().isEmpty())
        return QStringLiteral("请输入日期！\n日期按 年-月-日 输入，例如 2012-3-1。");
    return QStringLiteral("“") + text.trimmed() +
           QStringLiteral("” 不是有效的日期！\n请按 年-月-日 输入，例如 2012-3-1。");
}

DateBox::DateBox(Prompter& prompter, const QString& objectName, QWidget* parent)
    : QLineEdit(parent), m_prompter(prompter) {
    setObjectName(objectName);
    setMaxLength(20);
    setPlaceholderText(QStringLiteral("年-月-日"));
    setToolTip(QStringLiteral("按 年-月-日 输入，例如 2012-3-1；F4 打开日历"));
    QAction* open = addAction(calendarIcon(), QLineEdit::TrailingPosition);
    open->setToolTip(QStringLiteral("日历"));
    connect(open, &QAction::triggered, this, &DateBox::showCalendar);
    // A readable date is shown the way the program shows dates; an unreadable
    // text stays as typed until the window refuses it.
    connect(this, &QLineEdit::editingFinished, this, [this] {
        // The date written as dates are shown; a selection (a refusal's) stays.
        const auto d = day();
        if (!d) return;
        const QString shown = QString::fromStdString(formatDate(*d));
        if (shown == text()) return;
        const bool selected = hasSelectedText() && selectedText() == text();
        setText(shown);
        if (selected) selectAll();
    });
}

void DateBox::setDay(double day) { setText(QString::fromStdString(formatDate(day))); }

std::optional<double> DateBox::day() const {
    double days = 0;
    if (!parseDate(text().toStdString(), days)) return std::nullopt;
    return days;
}

std::optional<double> DateBox::checkedDay() {
    const auto d = day();
    if (d) return d;
    refuse(unreadableDateMessage(text()));
    return std::nullopt;
}

void DateBox::refuse(const QString& message) {
    m_prompter.showMessage(window(), message);
    setFocus(Qt::OtherFocusReason);
    selectAll();
}

// What is typed replaces the date shown, never adds to it. A click puts the
// cursor where it lands as the button goes down: the text is selected when
// the button comes up, unless the click dragged a selection of its own.
void DateBox::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (event->reason() == Qt::MouseFocusReason)
        m_selectOnRelease = true;
    else if (event->reason() != Qt::PopupFocusReason)  // back from a menu, or the calendar (pick)
        selectAll();
}

// Another button (the context menu's) leaves the text as it is.
void DateBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) m_selectOnRelease = false;
    QLineEdit::mousePressEvent(event);
}

void DateBox::mouseReleaseEvent(QMouseEvent* event) {
    QLineEdit::mouseReleaseEvent(event);
    if (m_selectOnRelease && !hasSelectedText()) selectAll();
    m_selectOnRelease = false;
}

void DateBox::keyPressEvent(QKeyEvent* event) {
    const bool altDown = event->key() == Qt::Key_Down && event->modifiers() == Qt::AltModifier;
    if (event->key() == Qt::Key_F4 || altDown) {
        showCalendar();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateBox::showCalendar() {
    if (m_calendar && m_calendar->isVisible()) return;
    auto* popup = new QFrame(this, Qt::Popup);
    popup->setObjectName(QStringLiteral("日历弹出框"));
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->setFrameShape(QFrame::StyledPanel);
    m_calendar = new QCalendarWidget(popup);
    m_calendar->setObjectName(QStringLiteral("日历"));
    m_calendar->setGridVisible(true);
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setMinimumDate(QDate(1900, 1, 1));
    m_calendar->setMaximumDate(QDate(9999, 12, 31));
    m_calendar->setSelectedDate(toQDate(day().value_or(today())));
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_calendar);
    // A click picks a day; so does Enter on the day the arrows moved to.
    connect(m_calendar, &QCalendarWidget::clicked, this, &DateBox::pick);
    connect(m_calendar, &QCalendarWidget::activated, this, &DateBox::pick);
    auto* cancel = new QShortcut(QKeySequence(Qt::Key_Escape), popup);
    cancel->setContext(Qt::WidgetWithChildrenShortcut);
    connect(cancel, &QShortcut::activated, popup, &QWidget::close);
    connect(popup, &QObject::destroyed, this, [this] { m_calendar = nullptr; });

    popup->adjustSize();
    popup->move(mapToGlobal(QPoint(0, height())));
    popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DateBox::pick(const QDate& date) {
    if (!date.isValid()) return;
    const double picked = fromQDate(date);
    setDay(picked);
    if (m_calendar) m_calendar->parentWidget()->close();
    setFocus(Qt::PopupFocusReason);
    selectAll();
    emit dayPicked(picked);
}

QString reversedRangeMessage(double from, double to) {
    return QStringLiteral("起始日期（") + QString::fromStdString(formatDate(from)) +
           QStringLiteral("）晚于截至日期（") + QString::fromStdString(formatDate(to)) +
           QStringLiteral("）！\n请把较早的日期填在前面。");
}

std::optional<DayRange> checkedRange(DateBox& from, DateBox& to) {
    const std::optional<double> start = from.checkedDay();
    if (!start) return std::nullopt;
    const std::optional<double> end = to.checkedDay();
    if (!end) return std::nullopt;
    if (*start > *end) {
        from.refuse(reversedRangeMessage(*start, *end));
        return std::nullopt;
    }
    return DayRange{*start, *end};
}

}  // namespace tw
