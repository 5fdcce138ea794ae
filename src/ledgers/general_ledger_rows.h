#pragma once
// The general ledger page as a bookkeeper reads it. 总账库 keeps, per
// top-level account, the year's opening inside its "本年累计" rows
// (closing/period_close.h, step 4), and dates enabling's "期初余额" row on the
// month's last day. The page shows those rows of the close (凭证编号 0) as
// follows; the stored rows stay as they are:
//   1. a "本年累计" row carries the year's movements: the debits and credits of
//      its account's "本月合计" rows from January 1st of its year (or the
//      start of the books) up to its own day; its side and balance stay those
//      of the month's end;
//   2. a "期初余额" row is dated the first day of its month, or the range's
//      first day when that is later, and carries no movement (both amounts
//      0): its balance is where the books or the year start.

#include <vector>

#include "ledgers/ledger_page.h"

namespace tw {

// Rewrites the general-mode rows of `request` in place as above. Refuses
// kUnreadableSet when 总账库 cannot be read.
void showYearTotalsAsMovements(RecordStore& store, const Session& session,
                               const LedgerRequest& request, std::vector<LedgerRow>& rows);

}  // namespace tw
