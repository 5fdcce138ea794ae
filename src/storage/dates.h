#pragma once
// Dates are day numbers counted from 1899-12-30 (the numbering spreadsheets use),
// held as doubles; only the whole day counts. A month is a YearMonth.

#include <compare>
#include <string>

namespace tw {

struct Ymd {
    int year = 1899;
    int month = 12;
    int day = 30;
};

double dayNumber(int year, int month, int day);
Ymd toYmd(double days);
double today();
int daysInMonth(int year, int month);

// A month of the calendar: the one type every layer counts, compares and
// writes months with.
struct YearMonth {
    int year = 0;
    int month = 0;  // 1..12

    // The month the day number `day` lies in.
    static YearMonth of(double day);
    // The month whose index() is `i`.
    static YearMonth fromIndex(int i);
    // year × 12 + month − 1: months counted on, for arithmetic.
    int index() const { return year * 12 + month - 1; }
    YearMonth next() const { return fromIndex(index() + 1); }
    YearMonth previous() const { return fromIndex(index() - 1); }
    // Its first and last day, as day numbers (a month of 1..12 only).
    double firstDay() const;
    double lastDay() const;
    // "2013-03"
    std::string code() const;
    // "2013年3月"
    std::string text() const;
    auto operator<=>(const YearMonth&) const = default;
};

// Reads "2013-03" or "2013-3" (years 1900..9999); false, leaving `m` alone,
// for anything else.
bool parseYearMonth(const std::string& text, YearMonth& m);

// The first and the last day of the month `days` lies in.
double firstDayOfMonth(double days);
double lastDayOfMonth(double days);
// "2013-3-1"
std::string formatDate(double days);
// "2013年3月1日"
std::string chineseDate(double days);
// Reads a date typed as year-month-day: a four-digit year, then month and day
// with or without leading zeros, separated by "-" or by "/" (the same both
// times); blanks around it are ignored. "2013-3-1", "2013-03-01", "2013/3/1".
// False, leaving `days` alone, for any other text and for a day the calendar
// does not have (2013-2-29).
bool parseDate(const std::string& text, double& days);

}  // namespace tw
