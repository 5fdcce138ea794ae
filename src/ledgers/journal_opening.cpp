#include "ledgers/journal_opening.h"

#include <cmath>
#include <cstdint>
#include <optional>

#include "storage/ledger_convention.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

double accountOpening(RecordStore& store, const Session& session, const std::string& account) {
    double start = 0;
    {
        const SetTable basic(store, session, file::kBasicInfo, SetTable::IfOpen::UseAsItIs);
        const std::optional<Record> info = basic->first();
        if (!info) refuse(kUnreadableSet, "基本信息 is empty");
        start = std::floor((*info)[basic->position(field::kStartDate)].number());
    }
    // Enabling's row, told from a January's "期初余额" row by its day.
    const SetTable ledger(store, session, file::kLedger, SetTable::IfOpen::UseAsItIs);
    const std::optional<Record> opening = ledger->first(Where()
                                                            .equal(field::kAccount, account)
                                                            .atLeast(field::kVoucherDate, start)
                                                            .below(field::kVoucherDate, start + 1)
                                                            .equal(field::kVoucherNo, 0)
                                                            .equal(field::kSummary, kOpeningSummary));
    return opening ? (*opening)[ledger->position(field::kBalance)].number() : 0.0;
}

double journalOpening(RecordStore& store, const Session& session, const std::string& account,
                      double day) {
    std::int64_t cents = toCents(accountOpening(store, session, account));
    const SetTable journal(store, session, file::kJournal, SetTable::IfOpen::UseAsItIs);
    const int amount = journal->position(field::kAmount);
    journal->forEach(Where().equal(field::kAccount, account).below(field::kDate, std::floor(day)),
                     [&](const Record& r) {
                         cents += toCents(r[amount].number());
                         return true;
                     });
    return fromCents(cents);
}

}  // namespace tw
