#pragma once
// Dates are day numbers counted from 1899-12-30 (the numbering spreadsheets use),
// held as doubles; only the whole day counts.

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
double lastDayOfMonth(double days);
double firstDayOfMonth(double days);
// The first day of the month after the one `days` lies in.
double firstDayOfNextMonth(double days);
// The first day of the month before.
double firstDayOfPreviousMonth(double days);
// Same year and month.
bool sameMonth(double a, double b);
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
