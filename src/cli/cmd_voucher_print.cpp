// tallowick-cli voucher print SET --user U --password P [--month YYYY-MM]
//     [--number N [--page K]] --pdf FILE
// With --number: page K (default 1) of voucher N of the current month (or of
// the month given) on the paper voucher form (标准凭证.grd), into a PDF.
// Without: every voucher page of that month in number order, then the
// binding cover (凭证封面), into one PDF (ledgers/voucher_book.h).
#include <limits>

#include "cli/page_pdf.h"
#include "cli/set_login.h"
#include "ledgers/voucher_book.h"
#include "ledgers/voucher_sheet.h"
#include "storage/dates.h"

namespace tw::cli {

namespace {
// Options not given keep these values.
constexpr std::int64_t kNoNumber = std::numeric_limits<std::int64_t>::min();
constexpr int kNoPage = std::numeric_limits<int>::min();

struct VoucherPrintOptions : SetLogin {
    std::int64_t number = kNoNumber;
    int page = kNoPage;
    std::string month;
    std::string pdf;
};
}  // namespace

void addVoucherPrintCommand(Commands& commands) {
    auto o = std::make_shared<VoucherPrintOptions>();
    commands.in("voucher", "凭证").add(
        "print", "打印凭证的一页，或一个月的全部凭证和封面",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--month", o->month, "凭证所在的月份 (YYYY-MM，默认本月)");
            sub.add("--number", o->number, "凭证编号 (月编号)；不给出时打印整月的凭证和封面");
            sub.add("--page", o->page, "第几张 (默认 1，须与 --number 一起给出)");
            sub.add("--pdf", o->pdf, "PDF 文件").required();
        },
        [o](Context& c) {
            YearMonth month;
            if (!readMonthOption(c, o->month, month)) return;
            if (o->number == kNoNumber && o->page != kNoPage)
                return c.refuse("--page 须与 --number 一起给出。");
            if (!logInToBooks(c, *o)) return;
            if (o->month.empty()) month = YearMonth::of(c.session.login.period);
            if (o->number != kNoNumber) {
                const int page = o->page == kNoPage ? 1 : o->page;
                const auto sheet = runCaught([&] {
                    return fillVoucherSheet(loadVoucherTemplate(c.session.dataDir),
                                            readVoucherPage(*c.store, c.session, month, o->number, page),
                                            today());
                });
                if (!c.report(sheet)) return;
                writePagePdf(c, sheet.value, o->pdf);
                return;
            }
            const auto sheets = runCaught([&] {
                return voucherBookSheets(monthVoucherBook(*c.store, c.session, month),
                                         loadVoucherTemplate(c.session.dataDir),
                                         c.session.login.companyName, today());
            });
            if (!c.report(sheets)) return;
            writePagePdf(c, sheets.value, o->pdf);
        });
}

}  // namespace tw::cli
