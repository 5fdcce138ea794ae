// tallowick-cli voucher print SET --user U --password P --number N [--page K] --pdf FILE
// Prints page K (default 1) of voucher N of the current month on the paper
// voucher form (标准凭证.grd), into a PDF.
#include "cli/page_pdf.h"
#include "cli/set_login.h"
#include "ledgers/voucher_sheet.h"

namespace tw::cli {

namespace {
struct VoucherPrintOptions : SetLogin {
    std::int64_t number = 0;
    int page = 1;
    std::string pdf;
};
}  // namespace

void addVoucherPrintCommand(Commands& commands) {
    auto o = std::make_shared<VoucherPrintOptions>();
    commands.in("voucher", "凭证").add(
        "print", "打印凭证的一页",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--number", o->number, "本月的凭证编号 (月编号)").required();
            sub.add("--page", o->page, "第几张 (默认 1)");
            sub.add("--pdf", o->pdf, "PDF 文件").required();
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            const auto sheet =
                runCaught([&] { return voucherSheet(*c.store, c.session, o->number, o->page); });
            if (!c.report(sheet)) return;
            writePagePdf(c, sheet.value, o->pdf);
        });
}

}  // namespace tw::cli
