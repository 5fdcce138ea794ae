#include "ledgers/ui/voucher_printing.h"

#include <QPrinter>
#include <QPrinterInfo>

#include "platform/ui/page_printing.h"
#include "vouchers/ui/printed_vouchers.h"

namespace tw {

VoucherSheetTexts sheetTexts(const VoucherPageTexts& page, const std::string& company) {
    VoucherSheetTexts s;
    s.company = company;
    s.date = page.date;
    s.number = page.number;
    s.page = page.page;
    s.pageCount = page.pageCount;
    s.attachments = page.attachments;
    for (int i = 0; i < 4; ++i) {
        s.summaries[i] = page.summary[i];
        s.accounts[i] = page.account[i];
        s.debits[i] = page.debit[i];
        s.credits[i] = page.credit[i];
    }
    s.debitTotal = page.debitTotal;
    s.creditTotal = page.creditTotal;
    s.preparer = page.preparer;
    s.reviewer = page.reviewer;
    s.poster = page.poster;
    return s;
}

void printVoucherPage(AppContext& ctx, QWidget* parent, const VoucherPageTexts& page) {
    const PrintJob job =
        voucherPrintJob(ctx.session, {sheetTexts(page, ctx.session.login.companyName)});
    const QPrinterInfo printerInfo = QPrinterInfo::defaultPrinter();
    if (printerInfo.isNull()) {
        printPreview(parent, job);
        return;
    }
    QPrinter printer(printerInfo, QPrinter::HighResolution);
    setUpPrinter(printer, job);
    if (!printJob(printer, job)) printPreview(parent, job);
}

}  // namespace tw
