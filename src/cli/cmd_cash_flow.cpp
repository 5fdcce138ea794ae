// tallowick-cli cash-flow SET --user U --password P --year Y (--month M | --quarter Q)
//     [--xlsx FILE] [--pdf FILE] [--detail]
// The month's (or the quarter's) 现金流量表, printed as `statements` prints
// it: a heading line (its name, its date, 本年累计金额 and 本月金额 or
// 本期金额), then a line a row: 行次, 项目, the two amounts; the notices as
// lines starting with "注：". With --xlsx or --pdf it is written there
// instead. --detail then prints what went into the month's (the quarter's)
// lines: a heading line "现金流量明细", the date, then a line per voucher and
// line: 行次, 凭证编号, 日期, 摘要, 金额 (two decimals) and the counter
// accounts that put it there (joined by "、"), or 指定 for a voucher assigned
// by hand, tab-separated. `cash-flow assign` (cmd_cash_flow_assign.cpp) is
// its subcommand.
//
// tallowick-cli cash-flow-rules: the rules of 现金流量项目.txt, one a line,
// their fields tab-separated.
#include "cli/page_pdf.h"
#include "cli/set_login.h"
#include "cli/statement_output.h"
#include "statements/cash_flow.h"
#include "statements/statement_files.h"
#include "statements/statement_sheets.h"
#include "storage/dates.h"
#include "storage/number_text.h"

namespace tw::cli {

namespace {

struct CashFlowOptions : SetLogin, PeriodOptions {
    std::string xlsx, pdf;
    bool detail = false;
};

void printDetail(Context& c, const CashFlow& flow) {
    c.out << "现金流量明细\t" << flow.statement.date << '\n';
    for (const CashFlowEntry& e : flow.entries)
        c.out << e.line << '\t' << plainDecimal(e.number) << '\t' << formatDate(e.date) << '\t' << e.summary
              << '\t' << twoDecimals(e.amount) << '\t' << e.source() << '\n';
}

}  // namespace

void addCashFlowCommand(Commands& commands) {
    auto o = std::make_shared<CashFlowOptions>();
    commands.add(
        "cash-flow", "一个月（或一个季度）的现金流量表（cash-flow assign：指定凭证的现金流量项目）",
        [o](Options& sub) {
            // `cash-flow assign SET` names the set after its own subcommand.
            addSetLoginOptions(sub, *o, /*setRequired=*/false);
            addPeriodOptions(sub, *o, /*yearRequired=*/false);
            sub.add("--xlsx", o->xlsx, "把现金流量表写入这个 .xlsx 文件");
            sub.add("--pdf", o->pdf, "把现金流量表打印到这个 PDF 文件");
            sub.flag("--detail", o->detail, "列出计入各行的凭证");
        },
        [o](Context& c) {
            if (o->set.empty()) return c.refuse("请给出套账名称。");
            // Required here rather than by the parser: `cash-flow assign` shares this command's options.
            if (o->year == 0) return c.refuse("请给出年份 (--year)。");
            if (!requirePeriod(c, *o)) return;
            if (!logInToBooks(c, *o)) return;
            const auto made = runCaught([&] { return cashFlow(*c.store, c.session, periodOf(*o)); });
            if (!c.report(made)) return;
            const SheetLayout layout = statementLayout(made.value.statement);
            if (!o->xlsx.empty() && !c.report(runCaught([&] {
                    saveStatementWorkbook(c.session, layoutWorkbook({layout}), std::filesystem::u8path(o->xlsx));
                })))
                return;
            if (!o->pdf.empty() && !writePagePdf(c, layoutPage(layout), o->pdf)) return;
            if (o->xlsx.empty() && o->pdf.empty()) printStatement(c, made.value.statement);
            if (o->detail) printDetail(c, made.value);
        });
}

void addCashFlowRulesCommand(Commands& commands) {
    commands.add(
        "cash-flow-rules", "列出现金流量项目（现金科目和各对方科目计入的行次）",
        [](Options&) {},
        [](Context& c) {
            const auto rules = runCaught([&] { return loadCashFlowRules(c.dataDir); });
            if (!c.report(rules)) return;
            for (const std::string& line : cashFlowRuleLines(rules.value)) c.out << line << '\n';
        });
}

}  // namespace tw::cli
