#include "vouchers/voucher_entry.h"

#include "storage/number_text.h"
#include "vouchers/voucher_edits.h"
#include "vouchers/voucher_totals.h"

namespace tw {

double addVoucher(RecordStore& store, const Session& session, const VoucherEntry& entry) {
    if (entry.lines.empty()) refuse(kIncompleteVoucher, "no lines");
    for (size_t i = 0; i < entry.lines.size(); ++i)
        if (!isZero(entry.lines[i].debit) && !isZero(entry.lines[i].credit))
            refuse(kDebitAndCredit, "line " + std::to_string(i + 1));

    VoucherTable vouchers(store, session);
    std::int64_t id = newVoucher(store, session, 0, entry.day);
    const double number = vouchers.page(id).number;
    setAttachments(store, session, id, entry.attachments);
    for (size_t i = 0; i < entry.lines.size(); ++i) {
        const int line = static_cast<int>(i % kLinesPerPage) + 1;
        if (i > 0 && line == 1) id = addVoucherPage(store, session, id);
        const EntryLine& l = entry.lines[i];
        if (!l.account.empty()) setLineAccount(store, session, id, line, l.account);
        setLineSummary(store, session, id, line, l.summary);
        if (!isZero(l.debit)) setLineAmount(store, session, id, line, Side::Debit, l.debit);
        if (!isZero(l.credit)) setLineAmount(store, session, id, line, Side::Credit, l.credit);
    }
    const VoucherPage last = vouchers.page(id);
    const VoucherTotals totals = voucherTotals(vouchers, last);
    if (!isBalanced(vouchers, last))
        refuse(kUnbalancedEntry, kIncompleteVoucher,
               "借方合计 " + plainDecimal(totals.debit) + "，贷方合计 " + plainDecimal(totals.credit));
    return number;
}

}  // namespace tw
