#pragma once
// `现金流量明细窗口`: what went into the lines of a month's (or a quarter's)
// cash-flow statement, in `现金流量明细表格`, a row per voucher and line:
// 行次, 凭证编号, 日期, 摘要, 金额 and the counter accounts that put it there
// (指定 for a voucher assigned by hand). A refusal is told instead.

#include "shell/ui/app_context.h"
#include "statements/statement.h"

class QWidget;

namespace tw {

// Computes the period's cash-flow statement and shows its detail modally
// over `parent`.
void runCashFlowDetail(AppContext& ctx, QWidget* parent, const StatementPeriod& period);

}  // namespace tw
