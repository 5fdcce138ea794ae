#include "cli/statement_output.h"

#include "storage/number_text.h"

namespace tw::cli {

namespace {

std::string amountText(const StatementLine& l, int column) {
    return l.computed && !isZero(l.amounts[column]) ? twoDecimals(l.amounts[column]) : std::string();
}

// The form's indentation is for the page.
std::string itemText(std::string item) {
    while (item.starts_with("　")) item.erase(0, std::string("　").size());
    return item;
}

}  // namespace

void addPeriodOptions(Options& sub, PeriodOptions& o, bool yearRequired) {
    Option& year = sub.add("--year", o.year, "年份");
    if (yearRequired) year.required();
    Option& month = sub.add("--month", o.month, "月份");
    Option& quarter = sub.add("--quarter", o.quarter, "季度 (1-4)");
    month.excludes(quarter);
    quarter.excludes(month);
}

bool requirePeriod(Context& c, const PeriodOptions& o) {
    if (o.month != 0 || o.quarter != 0) return true;
    c.refuse("请用 --month 或 --quarter 指定报表的月份或季度！");
    return false;
}

StatementPeriod periodOf(const PeriodOptions& o) {
    return o.quarter ? quarterPeriod(o.year, o.quarter) : monthPeriod({o.year, o.month});
}

void printStatement(Context& c, const Statement& s) {
    c.out << s.title << '\t' << s.date << '\t' << s.columns[0] << '\t' << s.columns[1] << '\n';
    for (const StatementLine& l : s.lines)
        if (l.line)
            c.out << l.line << '\t' << itemText(l.item) << '\t' << amountText(l, 0) << '\t'
                  << amountText(l, 1) << '\n';
    for (const std::string& n : s.notices) c.out << "注：" << n << '\n';
}

}  // namespace tw::cli
