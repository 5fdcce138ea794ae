// tallowick-cli balances SET --user U --password P --from YYYY-MM --to YYYY-MM
//     [--level N] [--xlsx FILE] [--pdf FILE]
// 科目余额表 of the closed months from..to: a line per account in code order
// (its code, a blank and its full name), then the totals line "合计"; each
// with eight amounts, tab-separated: 期初余额, 本期发生额, 本年累计发生额 and 期末余额, each debit
// then credit (two decimals, empty when zero). --level 1 lists the top-level
// accounts only (n: levels 1 to n). With --xlsx or --pdf the table is written
// there instead.
#include "accounts/account_codes.h"
#include "cli/page_pdf.h"
#include "cli/set_login.h"
#include "statements/account_balances.h"
#include "statements/statement_files.h"
#include "statements/statement_sheets.h"
#include "storage/number_text.h"

namespace tw::cli {

namespace {

struct BalancesOptions : SetLogin {
    std::string from, to, xlsx, pdf;
    int level = 0;
};

std::string amountText(double x) { return isZero(x) ? std::string() : twoDecimals(x); }

void print(Context& c, const BalanceRow& r) {
    c.out << codeAndName(r.code, r.account);
    for (const SidePair* p : {&r.opening, &r.movement, &r.yearMovement, &r.closing})
        c.out << '\t' << amountText(p->debit) << '\t' << amountText(p->credit);
    c.out << '\n';
}

}  // namespace

void addBalancesCommand(Commands& commands) {
    auto o = std::make_shared<BalancesOptions>();
    commands.add(
        "balances", "科目余额表",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--from", o->from, "起始月份 (YYYY-MM)").required();
            sub.add("--to", o->to, "截止月份 (YYYY-MM)").required();
            sub.add("--level", o->level, "科目级次：1 只列一级科目，默认列出全部");
            sub.add("--xlsx", o->xlsx, "把科目余额表写入这个 .xlsx 文件");
            sub.add("--pdf", o->pdf, "把科目余额表打印到这个 PDF 文件");
        },
        [o](Context& c) {
            YearMonth from, to;
            for (const auto& [text, month] : {std::pair{&o->from, &from}, {&o->to, &to}})
                if (!parseYearMonth(*text, *month)) {
                    c.refuse("月份应写成 YYYY-MM：" + *text);
                    return;
                }
            if (o->level < 0) {
                c.refuse("科目级次不能小于0！");
                return;
            }
            if (!logInToBooks(c, *o)) return;
            const auto made =
                runCaught([&] { return accountBalances(*c.store, c.session, from, to, o->level); });
            if (!c.report(made)) return;
            const SheetLayout layout = balancesLayout(made.value);
            if (!o->xlsx.empty() && !c.report(runCaught([&] {
                    saveStatementWorkbook(c.session, layoutWorkbook({layout}),
                                          std::filesystem::u8path(o->xlsx));
                })))
                return;
            if (!o->pdf.empty() && !writePagePdf(c, layoutPage(layout), o->pdf)) return;
            if (!o->xlsx.empty() || !o->pdf.empty()) return;
            for (const BalanceRow& r : made.value.rows) print(c, r);
            print(c, made.value.total);
        });
}

}  // namespace tw::cli
