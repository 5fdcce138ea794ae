// The date box: dates typed key by key as year-month-day, picked from its
// calendar with the keyboard, and a text it cannot read refused with a
// message — never replaced by another date; its text selected whenever it
// takes the focus, so that a date typed replaces the one shown; a pair of
// boxes refusing a start after its end.
#include "platform/ui/date_box.h"

#include <gtest/gtest.h>

#include <QCalendarWidget>
#include <QPointer>
#include <QTest>

#include "scripted_prompter.h"
#include "storage/dates.h"
#include "test_support.h"

namespace tw::test {
namespace {

class DateBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        box = new DateBox(prompter, QStringLiteral("日期框"), &window);
        next = new QLineEdit(&window);  // somewhere for the focus to go
        next->move(0, 40);
        window.resize(300, 120);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        box->setDay(dayNumber(2020, 6, 15));
    }
    // Clears the box and types `text` key by key, then leaves it with Tab.
    void typeAndLeave(const QString& text) {
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
        QTest::keyClick(box, Qt::Key_Tab);
    }
    std::string shown(const std::optional<double>& day) {
        return day ? formatDate(*day) : "nothing";
    }

    ScriptedPrompter prompter;
    QWidget window;
    DateBox* box = nullptr;
    QLineEdit* next = nullptr;
};

TEST_F(DateBoxTest, TypedDatesAreReadAsYearMonthDay) {
    EXPECT_EQ(box->text(), "2020-6-15");
    EXPECT_EQ(box->objectName(), "日期框");
    typeAndLeave(QStringLiteral("2012-3-1"));
    EXPECT_EQ(shown(box->checkedDay()), "2012-3-1");
    EXPECT_EQ(box->text(), "2012-3-1");
    typeAndLeave(QStringLiteral("2012/03/01"));
    EXPECT_EQ(shown(box->checkedDay()), "2012-3-1");
    EXPECT_EQ(box->text(), "2012-3-1") << "shown as the program shows dates";
    typeAndLeave(QStringLiteral("2013-12-31"));
    EXPECT_EQ(shown(box->checkedDay()), "2013-12-31");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(DateBoxTest, AnUnreadableTextIsRefusedAndKeptForCorrection) {
    for (const QString& text : {QStringLiteral("2012-13-1"), QStringLiteral("2013-2-29"),
                               QStringLiteral("3/1/2012"), QStringLiteral("")}) {
        prompter.clearRecords();
        typeAndLeave(text);
        EXPECT_EQ(box->text(), text) << "never replaced";
        EXPECT_EQ(shown(box->checkedDay()), "nothing");
        ASSERT_EQ(prompter.messages.size(), 1);
        EXPECT_EQ(prompter.messages[0], unreadableDateMessage(text));
        EXPECT_TRUE(box->hasFocus()) << "back in the box to be corrected";
        EXPECT_EQ(box->selectedText(), text);
    }
    EXPECT_EQ(unreadableDateMessage(QStringLiteral("2012-13-1")),
              "“2012-13-1” 不是有效的日期！\n请按 年-月-日 输入，例如 2012-3-1。");
}

TEST_F(DateBoxTest, TheCalendarPicksADayWithTheKeyboardAndEscLeavesTheBoxAlone) {
    box->setFocus();
    QTest::keyClick(box, Qt::Key_F4);
    ASSERT_NE(box->calendar(), nullptr);
    const QPointer<QCalendarWidget> calendar = box->calendar();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(calendar->window()));
    EXPECT_EQ(calendar->selectedDate(), QDate(2020, 6, 15)) << "opens on the day shown";
    QWidget* days = QApplication::focusWidget();
    ASSERT_NE(days, nullptr);
    QTest::keyClick(days, Qt::Key_Right);
    QTest::keyClick(days, Qt::Key_Down);  // a week later
    QTest::keyClick(days, Qt::Key_Return);
    EXPECT_EQ(box->text(), "2020-6-23");
    EXPECT_EQ(shown(box->day()), "2020-6-23");
    EXPECT_TRUE(QTest::qWaitFor([&] { return !calendar || !calendar->isVisible(); }, 2000));
    EXPECT_EQ(window.focusWidget(), box);

    QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);
    ASSERT_NE(box->calendar(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(box->calendar()->window()));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return box->calendar() == nullptr || !box->calendar()->isVisible(); }, 2000));
    EXPECT_EQ(box->text(), "2020-6-23") << "Esc picks nothing";
}

TEST_F(DateBoxTest, AClickOnADayPicksIt) {
    QDate picked;
    QObject::connect(box, &DateBox::dayPicked, [&](double day) {
        const Ymd d = toYmd(day);
        picked = QDate(d.year, d.month, d.day);
    });
    box->showCalendar();
    ASSERT_NE(box->calendar(), nullptr);
    emit box->calendar()->clicked(QDate(2021, 1, 4));
    EXPECT_EQ(box->text(), "2021-1-4");
    EXPECT_EQ(picked, QDate(2021, 1, 4));
}

// "2013-4-12013-3-1" was what typing into a box that got the focus from the
// window (after a picker) or from a click made of the date shown.
TEST_F(DateBoxTest, ADateTypedReplacesTheOneShownHoweverTheBoxTookTheFocus) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    next->setFocus();
    box->setFocus(Qt::OtherFocusReason);  // as a window puts it there
    ASSERT_TRUE(box->hasFocus());
    EXPECT_EQ(box->selectedText(), "2020-6-15");
    QTest::keyClicks(box, "2013-3-1");
    EXPECT_EQ(box->text(), "2013-3-1");

    QTest::keyClick(box, Qt::Key_Tab);
    ASSERT_TRUE(next->hasFocus());
    QTest::keyClick(next, Qt::Key_Backtab);
    ASSERT_TRUE(box->hasFocus());
    QTest::keyClicks(box, "2013-4-2");
    EXPECT_EQ(box->text(), "2013-4-2");

    // A click into the box selects its text once the button is up.
    next->setFocus();
    const QPoint inText(box->width() / 4, box->height() / 2);
    QTest::mouseClick(box, Qt::LeftButton, {}, inText);
    ASSERT_TRUE(box->hasFocus());
    EXPECT_EQ(box->selectedText(), "2013-4-2");
    QTest::keyClicks(box, "2013-5-3");
    EXPECT_EQ(box->text(), "2013-5-3");

    // A day picked from the calendar is replaced by the next date typed, too.
    box->showCalendar();
    ASSERT_NE(box->calendar(), nullptr);
    emit box->calendar()->clicked(QDate(2021, 1, 4));
    EXPECT_EQ(box->selectedText(), "2021-1-4");
    QTest::keyClicks(box, "2021-2-5");
    EXPECT_EQ(box->text(), "2021-2-5");
    EXPECT_TRUE(prompter.messages.isEmpty());
}

TEST_F(DateBoxTest, APairOfBoxesRefusesAStartAfterItsEnd) {
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* to = new DateBox(prompter, QStringLiteral("截至日期框"), &window);
    to->move(0, 80);
    to->show();
    box->setText(QStringLiteral("2013-3-1"));
    to->setText(QStringLiteral("2013-3-31"));
    std::optional<DayRange> range = checkedRange(*box, *to);
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->from, dayNumber(2013, 3, 1));
    EXPECT_EQ(range->to, dayNumber(2013, 3, 31));
    to->setText(QStringLiteral("2013-3-1"));  // one day, both ends
    EXPECT_TRUE(checkedRange(*box, *to).has_value());
    EXPECT_TRUE(prompter.messages.isEmpty());

    box->setText(QStringLiteral("2013-4-1"));
    EXPECT_FALSE(checkedRange(*box, *to).has_value());
    ASSERT_EQ(prompter.messages.size(), 1);
    EXPECT_EQ(prompter.messages[0], reversedRangeMessage(dayNumber(2013, 4, 1), dayNumber(2013, 3, 1)));
    EXPECT_EQ(prompter.messages[0],
              "起始日期（2013-4-1）晚于截至日期（2013-3-1）！\n请把较早的日期填在前面。");
    EXPECT_TRUE(box->hasFocus()) << "the start, to be corrected";
    EXPECT_EQ(box->selectedText(), "2013-4-1");

    // An unreadable box is said first, as such.
    prompter.clearRecords();
    to->setText(QStringLiteral("2013-2-30"));
    EXPECT_FALSE(checkedRange(*box, *to).has_value());
    EXPECT_EQ(prompter.messages, QStringList{unreadableDateMessage(QStringLiteral("2013-2-30"))});
}

}  // namespace
}  // namespace tw::test
