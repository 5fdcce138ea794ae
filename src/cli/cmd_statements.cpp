// tallowick-cli statements SET --user U --password P --year Y (--month M | --quarter Q)
//     [--xlsx FILE] [--pdf FILE]
// The month's (or the quarter's) 资产负债表 and 利润表, as 财务报表 makes them:
// each statement a heading line (its name, its date, the two column heads),
// then a line a row: 行次, 项目, the two amounts (two decimals, empty when
// zero), tab-separated; the notices follow as lines starting with "注：".
// A quarter's balance sheet is that of its last month. With --xlsx the two
// statements are written to FILE as two worksheets, with --pdf as two pages;
// the rows are then not printed.
//
// tallowick-cli statement-rules: the line rules of 报表项目.txt, one a line,
// its five fields tab-separated.
#include "cli/page_pdf.h"
#include "cli/set_login.h"
#include "statements/statement.h"
#include "statements/statement_files.h"
#include "statements/statement_sheets.h"
#include "storage/number_text.h"

namespace tw::cli {

namespace {

struct StatementOptions : SetLogin {
    int year = 0;
    int month = 0;
    int quarter = 0;
    std::string xlsx, pdf;
};

std::string amountText(const StatementLine& l, int column) {
    return l.computed && !isZero(l.amounts[column]) ? twoDecimals(l.amounts[column]) : std::string();
}

// The form's indentation is for the page.
std::string itemText(std::string item) {
    while (item.starts_with("　")) item.erase(0, std::string("　").size());
    return item;
}

void print(Context& c, const Statement& s) {
    c.out << s.title << '\t' << s.date << '\t' << s.columns[0] << '\t' << s.columns[1] << '\n';
    for (const StatementLine& l : s.lines)
        if (l.line)
            c.out << l.line << '\t' << itemText(l.item) << '\t' << amountText(l, 0) << '\t'
                  << amountText(l, 1) << '\n';
    for (const std::string& n : s.notices) c.out << "注：" << n << '\n';
}

}  // namespace

void addStatementsCommand(Commands& commands) {
    auto o = std::make_shared<StatementOptions>();
    commands.add(
        "statements", "一个月（或一个季度）的资产负债表和利润表",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--year", o->year, "年份").required();
            Option& month = sub.add("--month", o->month, "月份");
            Option& quarter = sub.add("--quarter", o->quarter, "季度 (1-4)");
            month.excludes(quarter);
            quarter.excludes(month);
            sub.add("--xlsx", o->xlsx, "把两张报表写入这个 .xlsx 文件");
            sub.add("--pdf", o->pdf, "把两张报表打印到这个 PDF 文件");
        },
        [o](Context& c) {
            if (o->month == 0 && o->quarter == 0) {
                c.refuse("请用 --month 或 --quarter 指定报表的月份或季度！");
                return;
            }
            if (!logInToBooks(c, *o)) return;
            const auto made = runCaught([&] {
                const StatementPeriod period = o->quarter ? quarterPeriod(o->year, o->quarter)
                                                          : monthPeriod({o->year, o->month});
                return std::pair{balanceSheet(*c.store, c.session, period.last),
                                 incomeStatement(*c.store, c.session, period)};
            });
            if (!c.report(made)) return;
            const auto& [sheet, income] = made.value;
            const std::vector<SheetLayout> layouts{statementLayout(sheet), statementLayout(income)};
            if (!o->xlsx.empty() && !c.report(runCaught([&] {
                    saveStatementWorkbook(c.session, layoutWorkbook(layouts),
                                          std::filesystem::u8path(o->xlsx));
                })))
                return;
            if (!o->pdf.empty() &&
                !writePagePdf(c, {layoutPage(layouts[0]), layoutPage(layouts[1])}, o->pdf))
                return;
            if (!o->xlsx.empty() || !o->pdf.empty()) return;
            print(c, sheet);
            print(c, income);
        });
}

void addStatementRulesCommand(Commands& commands) {
    commands.add(
        "statement-rules", "列出报表项目（资产负债表和利润表各行的取数）",
        [](Options&) {},
        [](Context& c) {
            const auto rules = runCaught([&] { return loadStatementRules(c.dataDir); });
            if (!c.report(rules)) return;
            for (const auto* list : {&rules.value.balanceSheet, &rules.value.incomeStatement})
                for (const LineRule& r : *list) c.out << ruleLine(r) << '\n';
        });
}

}  // namespace tw::cli
