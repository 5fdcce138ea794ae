// tallowick-cli statements SET --user U --password P --year Y (--month M | --quarter Q)
//     [--xlsx FILE] [--pdf FILE]
// The month's (or the quarter's) 资产负债表, 利润表 and 现金流量表, as 财务报表
// makes them: each statement a heading line (its name, its date, the two
// column heads), then a line a row: 行次, 项目, the two amounts (two
// decimals, empty when zero), tab-separated; the notices follow as lines
// starting with "注：". A quarter's balance sheet is that of its last month.
// With --xlsx the three statements are written to FILE as three worksheets,
// with --pdf as three pages; the rows are then not printed.
//
// tallowick-cli statement-rules: the line rules of 报表项目.txt, one a line,
// its five fields tab-separated.
#include <tuple>

#include "cli/page_pdf.h"
#include "cli/set_login.h"
#include "cli/statement_output.h"
#include "statements/cash_flow.h"
#include "statements/statement_files.h"
#include "statements/statement_sheets.h"

namespace tw::cli {

namespace {

struct StatementOptions : SetLogin, PeriodOptions {
    std::string xlsx, pdf;
};

}  // namespace

void addStatementsCommand(Commands& commands) {
    auto o = std::make_shared<StatementOptions>();
    commands.add(
        "statements", "一个月（或一个季度）的资产负债表、利润表和现金流量表",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            addPeriodOptions(sub, *o);
            sub.add("--xlsx", o->xlsx, "把三张报表写入这个 .xlsx 文件");
            sub.add("--pdf", o->pdf, "把三张报表打印到这个 PDF 文件");
        },
        [o](Context& c) {
            if (!requirePeriod(c, *o)) return;
            if (!logInToBooks(c, *o)) return;
            const auto made = runCaught([&] {
                const StatementPeriod period = periodOf(*o);
                return std::tuple{balanceSheet(*c.store, c.session, period.last),
                                  incomeStatement(*c.store, c.session, period),
                                  cashFlowStatement(*c.store, c.session, period)};
            });
            if (!c.report(made)) return;
            const auto& [sheet, income, cash] = made.value;
            const std::vector<SheetLayout> layouts{statementLayout(sheet), statementLayout(income),
                                                   statementLayout(cash)};
            if (!o->xlsx.empty() && !c.report(runCaught([&] {
                    saveStatementWorkbook(c.session, layoutWorkbook(layouts),
                                          std::filesystem::u8path(o->xlsx));
                })))
                return;
            if (!o->pdf.empty() &&
                !writePagePdf(c, {layoutPage(layouts[0]), layoutPage(layouts[1]), layoutPage(layouts[2])},
                              o->pdf))
                return;
            if (!o->xlsx.empty() || !o->pdf.empty()) return;
            printStatement(c, sheet);
            printStatement(c, income);
            printStatement(c, cash);
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
