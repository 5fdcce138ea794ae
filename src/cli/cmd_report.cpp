// tallowick-cli report SET --user U --password P --year Y --month M
//     [--out FILE.xlsx] [--print]
// The month's account summary and trial balance, as 编辑报表 makes them: the
// workbook goes to FILE (by default 报表-YYYY-MM.xlsx in the home folder,
// $HOME; never into the account-set directory), and 总账.xls and 分账.xls,
// files of the set, are written in the set folder. Without --print the
// three files are named, one a line. With --print the cells of both
// worksheets follow instead, one row a line: the sheet's name, then the
// row's cells from column a, tab-separated (amounts with two decimals).
#include <cstdlib>

#include "cli/set_login.h"
#include "ledgers/report.h"
#include "ledgers/report_workbook.h"

namespace tw::cli {

namespace {
struct ReportOptions : SetLogin {
    int year = 0;
    int month = 0;
    std::string out;
    bool print = false;
};

// Where the workbook goes without --out: the home folder (the current folder
// when HOME is not set).
std::filesystem::path homeFolder() {
    const char* home = std::getenv("HOME");
    return home && *home ? std::filesystem::path(home) : std::filesystem::path(".");
}
}  // namespace

void addReportCommand(Commands& commands) {
    auto o = std::make_shared<ReportOptions>();
    commands.add(
        "report", "把一个月的科目汇总表和试算平衡表写入报表工作簿",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--year", o->year, "年份").required();
            sub.add("--month", o->month, "月份").required();
            sub.add("--out", o->out, "报表工作簿 (.xlsx)，默认写在主文件夹 ($HOME) 中");
            sub.flag("--print", o->print, "列出两张工作表的单元格");
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            const YearMonth month{o->year, o->month};
            const std::filesystem::path workbook = o->out.empty()
                                                       ? monthReportPath(homeFolder(), month)
                                                       : std::filesystem::u8path(o->out);
            const auto exported = exportMonthReport(*c.store, c.session, month, workbook);
            if (!c.report(exported)) return;
            const ExportedReport& r = exported.value;
            if (!o->print) {
                for (const auto& f : {r.workbook, r.generalHtml, r.detailHtml})
                    c.out << pathText(f) << '\n';
                return;
            }
            for (int n = 1; n <= 2; ++n) {
                const Worksheet& sheet = *r.book.findSheet(n);
                for (const auto& row : shownRows(sheet)) {
                    c.out << sheet.name();
                    for (const std::string& cell : row) c.out << '\t' << cell;
                    c.out << '\n';
                }
            }
        });
}

}  // namespace tw::cli
