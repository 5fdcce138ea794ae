#pragma once
// The detail ledger of an account with sub-accounts (明细账 of 银行存款 with
// 银行存款→工商银行 and 银行存款→建设银行). Posting writes 账库 rows for the
// accounts on the voucher lines only, so the parent has none of its own: its
// page gathers the rows of every account below it, as if the parent were
// posted itself. Nothing is stored.
//
// parentLedgerRows, for an account that has sub-accounts in the chart:
//   1. the opening row: "期初余额" dated the range's first day, no amounts,
//      and the parent's balance brought into the range: per account below
//      it, its last "期初余额" row before the range (enabling's, or a
//      January's) plus its voucher entries from that row's day on. Left out
//      when some account below it has a "期初余额" row dated the range's
//      first day: those rows open the page instead (step 2);
//   2. the rows dated in the range, by day; a day's rows in this order: its
//      "期初余额" rows, summed into one row that sets the parent's balance to
//      their sum; its voucher entries in record order, each with the parent's
//      running balance; its "本月合计" rows, then its "本年累计" rows, each
//      kind summed into one row with the parent's balance. Rows of 凭证编号 0
//      with any other summary are left out;
//   3. the summed rows carry the parent's name and 凭证编号 0; amounts are
//      summed in whole cents; the side follows the balance.
// Refuses kUnreadableSet when the chart or 账库 cannot be read.

#include <optional>
#include <vector>

#include "ledgers/ledger_page.h"

namespace tw {

// The rows of the parent's detail ledger for `request` (detail mode), or
// nothing when the account has no sub-accounts in the chart: then its own
// rows are its page.
std::optional<std::vector<LedgerRow>> parentLedgerRows(RecordStore& store, const Session& session,
                                                       const LedgerRequest& request);

}  // namespace tw
