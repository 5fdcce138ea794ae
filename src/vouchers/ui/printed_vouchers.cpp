#include "vouchers/ui/printed_vouchers.h"

#include <optional>

#include "platform/ui/widget_helpers.h"
#include "storage/dates.h"

namespace tw {

QString printedPagesMessage(int pages) {
    return QStringLiteral("共打印%1页。").arg(pages);
}

PrintJob voucherPrintJob(const Session& session, const std::vector<VoucherSheetTexts>& sheets) {
    PrintJob job;
    job.name = qs(voucherJobName(sheets));
    const PageGrid templ = loadVoucherTemplate(session.dataDir);
    const double printDay = today();
    job.grids.reserve(sheets.size());
    for (const VoucherSheetTexts& s : sheets) job.grids.push_back(fillVoucherSheet(templ, s, printDay));
    return job;
}

int printVoucherSheets(AppContext& ctx, QWidget* parent,
                       const std::vector<VoucherSheetTexts>& sheets) {
    if (sheets.empty()) {
        ctx.prompter.showMessage(parent, QString::fromUtf8(kNothingToPrint));
        return 0;
    }
    const std::optional<int> printed =
        printWithDialog(parent, ctx.prompter, voucherPrintJob(ctx.session, sheets));
    if (!printed) return 0;
    ctx.prompter.showMessage(parent, *printed > 0 ? printedPagesMessage(*printed)
                                                  : QString::fromUtf8(kPrinterFailed));
    return *printed;
}

void previewVoucherSheets(AppContext& ctx, QWidget* parent,
                          const std::vector<VoucherSheetTexts>& sheets) {
    if (sheets.empty()) {
        ctx.prompter.showMessage(parent, QString::fromUtf8(kNothingToPrint));
        return;
    }
    printPreview(parent, voucherPrintJob(ctx.session, sheets));
}

}  // namespace tw
