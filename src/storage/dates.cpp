#include "storage/dates.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace tw {

using namespace std::chrono;

namespace {
const sys_days kEpoch = sys_days(year(1899) / December / 30);
}

double dayNumber(int y, int m, int d) {
    return static_cast<double>((sys_days(year(y) / month(m) / day(d)) - kEpoch).count());
}

Ymd toYmd(double days) {
    const year_month_day ymd(kEpoch + std::chrono::days(static_cast<long>(std::floor(days))));
    return {static_cast<int>(ymd.year()), static_cast<int>(static_cast<unsigned>(ymd.month())),
            static_cast<int>(static_cast<unsigned>(ymd.day()))};
}

double today() {
    const auto now = system_clock::to_time_t(system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

int daysInMonth(int y, int m) {
    return static_cast<int>(static_cast<unsigned>((year(y) / month(m) / last).day()));
}

YearMonth YearMonth::of(double day) {
    const Ymd d = toYmd(day);
    return {d.year, d.month};
}

YearMonth YearMonth::fromIndex(int i) {
    const int y = i >= 0 ? i / 12 : (i - 11) / 12;  // rounded down, for months before year 0
    return {y, i - y * 12 + 1};
}

double YearMonth::firstDay() const { return dayNumber(year, month, 1); }

double YearMonth::lastDay() const { return dayNumber(year, month, daysInMonth(year, month)); }

std::string YearMonth::code() const {
    char code[32];
    std::snprintf(code, sizeof code, "%04d-%02d", year, month);
    return code;
}

std::string YearMonth::text() const {
    return std::to_string(year) + "年" + std::to_string(month) + "月";
}

bool parseYearMonth(const std::string& text, YearMonth& m) {
    int year = 0, month = 0;
    char tail = 0;
    if (text.size() < 6 || text.size() > 7 || text[4] != '-') return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (i != 4 && (text[i] < '0' || text[i] > '9')) return false;
    if (std::sscanf(text.c_str(), "%4d-%2d%c", &year, &month, &tail) != 2) return false;
    if (year < 1900 || year > 9999 || month < 1 || month > 12) return false;
    m = {year, month};
    return true;
}

double firstDayOfMonth(double days) { return YearMonth::of(days).firstDay(); }

double lastDayOfMonth(double days) { return YearMonth::of(days).lastDay(); }

std::string formatDate(double days) {
    const Ymd d = toYmd(days);
    return std::to_string(d.year) + "-" + std::to_string(d.month) + "-" + std::to_string(d.day);
}

std::string chineseDate(double days) {
    const Ymd d = toYmd(days);
    return std::to_string(d.year) + "年" + std::to_string(d.month) + "月" + std::to_string(d.day) +
           "日";
}

bool parseDate(const std::string& text, double& days) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t at = 0, end = text.size();
    while (at < end && blank(text[at])) ++at;
    while (end > at && blank(text[end - 1])) --end;
    // Reads between `least` and `most` digits at `at` into `value`.
    const auto number = [&](std::size_t least, std::size_t most, int& value) {
        std::size_t n = 0;
        value = 0;
        while (at < end && n < most && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + (text[at++] - '0');
            ++n;
        }
        return n >= least && (at == end || text[at] < '0' || text[at] > '9');
    };
    int y = 0, m = 0, d = 0;
    if (!number(4, 4, y) || at == end || (text[at] != '-' && text[at] != '/')) return false;
    const char separator = text[at++];
    if (!number(1, 2, m) || at == end || text[at++] != separator) return false;
    if (!number(1, 2, d) || at != end) return false;
    const year_month_day ymd{year(y), month(static_cast<unsigned>(m)), day(static_cast<unsigned>(d))};
    if (!ymd.ok() || y < 1900) return false;
    days = dayNumber(y, m, d);
    return true;
}

}  // namespace tw
