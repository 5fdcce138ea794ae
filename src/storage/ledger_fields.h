#pragma once
// Where the fields of the ledger layout (账库 and 总账库 share it) stand in a
// table, resolved once so that rows are read by position.

#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

struct LedgerFields {
    int date, number, summary, account, debit, credit, side, balance;
    explicit LedgerFields(const Table& t)
        : date(t.position(field::kVoucherDate)),
          number(t.position(field::kVoucherNo)),
          summary(t.position(field::kSummary)),
          account(t.position(field::kAccount)),
          debit(t.position(field::kDebit)),
          credit(t.position(field::kCredit)),
          side(t.position(field::kBalanceSide)),
          balance(t.position(field::kBalance)) {}
};

}  // namespace tw
