#include "ledgers/general_ledger_rows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "storage/dates.h"
#include "storage/ledger_convention.h"
#include "storage/ledger_fields.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

namespace {

bool isCloseRow(const LedgerRow& row, const char* summary) {
    return row.voucherNumber == 0 && row.summary == summary;
}

double januaryFirst(double day) { return dayNumber(toYmd(day).year, 1, 1); }

}  // namespace

void showYearTotalsAsMovements(RecordStore& store, const Session& session,
                               const LedgerRequest& request, std::vector<LedgerRow>& rows) {
    const double from = std::floor(request.from);
    double earliest = 0, latest = 0;  // the days of the first and the last year row
    bool anyYearTotal = false;
    for (LedgerRow& row : rows) {
        if (isCloseRow(row, kOpeningSummary)) {
            row.date = std::max(from, firstDayOfMonth(row.date));
            row.debit = row.credit = 0;
        } else if (isCloseRow(row, kYearTotal)) {
            const double day = std::floor(row.date);
            earliest = anyYearTotal ? std::min(earliest, day) : day;
            latest = anyYearTotal ? std::max(latest, day) : day;
            anyYearTotal = true;
        }
    }
    if (!anyYearTotal) return;

    // The months' movements of every year the rows reach, from its January on:
    // one row per closed month, dated its last day.
    const SetTable general(store, session, file::kGeneralLedger, SetTable::IfOpen::UseAsItIs);
    const LedgerFields f(general.table());
    const std::vector<Record> months = general->select(Where()
                                                           .equal(field::kAccount, request.account)
                                                           .atLeast(field::kVoucherDate, januaryFirst(earliest))
                                                           .below(field::kVoucherDate, latest + 1)
                                                           .equal(field::kVoucherNo, 0)
                                                           .equal(field::kSummary, kMonthTotal));
    for (LedgerRow& row : rows) {
        if (!isCloseRow(row, kYearTotal)) continue;
        const double first = januaryFirst(row.date), after = std::floor(row.date) + 1;
        std::int64_t debit = 0, credit = 0;  // cents, credits negative
        for (const Record& m : months) {
            const double day = m[f.date].number();
            if (day < first || day >= after) continue;
            debit += toCents(m[f.debit].number());
            credit += toCents(m[f.credit].number());
        }
        row.debit = fromCents(debit);
        row.credit = fromCents(credit);
    }
}

}  // namespace tw
