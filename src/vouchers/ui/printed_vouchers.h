#pragma once
// Vouchers printed from the windows: 打印当前 and 打印预览 of the voucher
// window (every page of the voucher shown), 打印全部 and 预览全部 of 查阅凭证
// (every page listed). The pages fill the set's 标准凭证.grd as printed today
// and go out as one print job named for them (voucherJobName): through the
// prompter's print dialog, which asks for the printer, the copies and the
// range, or in one print preview.

#include <QString>
#include <vector>

#include "ledgers/voucher_sheet.h"
#include "platform/ui/page_printing.h"
#include "shell/ui/app_context.h"

namespace tw {

inline constexpr const char* kNothingToPrint = "没有可打印的凭证！";
inline constexpr const char* kPrinterFailed = "打印机无法开始打印！";
// "共打印4页。"
QString printedPagesMessage(int pages);

// The sheets filled and named as one job.
PrintJob voucherPrintJob(const Session& session, const std::vector<VoucherSheetTexts>& sheets);

// Asks for the printer and prints the sheets; then says how many pages were
// printed, or kPrinterFailed. Says kNothingToPrint for no sheets; says
// nothing when the dialog is cancelled. Returns the pages printed.
int printVoucherSheets(AppContext& ctx, QWidget* parent,
                       const std::vector<VoucherSheetTexts>& sheets);
// The sheets in one print preview (kNothingToPrint for none).
void previewVoucherSheets(AppContext& ctx, QWidget* parent,
                          const std::vector<VoucherSheetTexts>& sheets);

}  // namespace tw
