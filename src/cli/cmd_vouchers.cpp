// tallowick-cli vouchers SET --user U --password P [--month YYYY-MM]: every
// page of the current month (or of the month given, open or closed) in record
// order, one a line, tab-separated: 月编号, 第几, 共几, date
// (YYYY-MM-DD), 附件数, then 摘要, 科目, 借, 贷 of lines 1–4, then 借方合计,
// 贷方合计, 编制, 审核, 登账. Amounts are plain decimal texts, empty where
// empty; the totals stand on a voucher's last page only.
#include <cstdio>

#include "cli/set_login.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "vouchers/voucher_texts.h"

namespace tw::cli {

namespace {
struct VouchersOptions : SetLogin {
    std::string month;
};

std::string isoDate(double day) {
    if (day == 0) return {};
    const Ymd d = toYmd(day);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", d.year, d.month, d.day);
    return buf;
}
}  // namespace

void addVouchersCommand(Commands& commands) {
    auto o = std::make_shared<VouchersOptions>();
    commands.add(
        "vouchers", "列出本月凭证（vouchers sort：按日期排序本月凭证）",
        [o](Options& sub) {
            // `vouchers sort SET` names the set after its own subcommand.
            addSetLoginOptions(sub, *o, /*setRequired=*/false);
            sub.add("--month", o->month, "列出这个月的凭证 (YYYY-MM，默认本月)");
        },
        [o](Context& c) {
            if (o->set.empty()) return c.refuse("请给出套账名称。");
            YearMonth month;
            if (!readMonthOption(c, o->month, month)) return;
            if (!logInToBooks(c, *o)) return;
            if (o->month.empty()) month = YearMonth::of(c.session.login.period);
            for (const VoucherPage& p : monthVoucherPages(*c.store, c.session, month)) {
                VoucherTotals stored;
                stored.shown = p.isLastPage();
                stored.debit = p.debitTotal;
                stored.credit = p.creditTotal;
                const VoucherPageTexts t = pageTexts(p, stored);
                c.out << t.number << '\t' << t.page << '\t' << t.pageCount << '\t' << isoDate(p.date)
                      << '\t' << t.attachments;
                for (int i = 0; i < kLinesPerPage; ++i)
                    c.out << '\t' << t.summary[i] << '\t' << t.account[i] << '\t' << t.debit[i]
                          << '\t' << t.credit[i];
                c.out << '\t' << t.debitTotal << '\t' << t.creditTotal << '\t' << t.preparer << '\t'
                      << t.reviewer << '\t' << t.poster << '\n';
            }
        });
}

}  // namespace tw::cli
