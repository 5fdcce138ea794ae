#pragma once
// Printing the voucher page shown in the voucher window in locate mode with
// the print flag: the page's texts fill 标准凭证.grd and the sheet goes to
// the default printer as a job named for it ("凭证 30001 第1张"); without a
// printer the print preview opens, from which it can be printed to a file.

#include "ledgers/voucher_sheet.h"
#include "shell/ui/app_context.h"
#include "vouchers/voucher_texts.h"

namespace tw {

// The sheet's texts: the voucher window's boxes and the set's company.
VoucherSheetTexts sheetTexts(const VoucherPageTexts& page, const std::string& company);

void printVoucherPage(AppContext& ctx, QWidget* parent, const VoucherPageTexts& page);

}  // namespace tw
