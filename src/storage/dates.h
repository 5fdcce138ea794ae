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
// Same year and month.
bool sameMonth(double a, double b);
// "2013-3-1"
std::string formatDate(double days);
// "2013年3月1日"
std::string chineseDate(double days);
// Parses "2013-3-1" or "2013-03-01"; false when it is not a real date.
bool parseDate(const std::string& text, double& days);

}  // namespace tw
