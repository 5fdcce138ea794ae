// tallowick-cli ledger SET --user U --password P --account A [--from YYYY-MM-DD]
//     [--to YYYY-MM-DD] [--general] [--xlsx FILE] [--pdf FILE]
// The ledger page of an account: its data rows, one a line, seven
// tab-separated columns as the page shows them (日期, 凭证号, 摘要, 借方, 贷方,
// 方向, 余额). With --xlsx the page's export is written to FILE, with --pdf
// the printed page; the rows are then not printed. The dates default to the
// current period's month, as the ledger window opens.
#include "cli/day_range.h"
#include "cli/page_pdf.h"
#include "cli/set_login.h"
#include "ledgers/ledger_export.h"
#include "ledgers/ledger_page.h"

namespace tw::cli {

namespace {
struct LedgerOptions : SetLogin {
    std::string account, xlsx, pdf;
    DayRangeOptions days;
    bool general = false;
};
}  // namespace

void addLedgerCommand(Commands& commands) {
    auto o = std::make_shared<LedgerOptions>();
    commands.add(
        "ledger", "列出科目的明细账或总账",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--account", o->account, "科目全名");
            addDayRangeOptions(sub, o->days);
            sub.flag("--general", o->general, "总账 (总账库)，否则明细账 (账库)");
            sub.add("--xlsx", o->xlsx, "把账页导出到这个 .xlsx 文件");
            sub.add("--pdf", o->pdf, "把账页打印到这个 PDF 文件");
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            LedgerRequest request;
            request.mode = o->general ? LedgerMode::General : LedgerMode::Detail;
            request.account = o->account;
            if (!readDayRange(c, o->days, request.from, request.to)) return;
            const auto listed =
                runCaught([&] { return listLedgerPage(*c.store, c.session, request); });
            if (!c.report(listed)) return;
            if (!o->xlsx.empty() &&
                !c.report(runCaught([&] { saveExport(ledgerWorkbook(listed.value.page), std::filesystem::u8path(o->xlsx), c.dataDir); })))
                return;
            if (!o->pdf.empty() &&
                !writePagePdf(c, listed.value.page, o->pdf, ledgerFooter(c.session)))
                return;
            if (!o->xlsx.empty() || !o->pdf.empty()) return;
            for (const LedgerLine& line : listed.value.lines)
                for (int k = 0; k < 7; ++k) c.out << line.cells[k] << (k < 6 ? '\t' : '\n');
        });
}

}  // namespace tw::cli
