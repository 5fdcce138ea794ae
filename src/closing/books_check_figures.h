#pragma once
// What the check of a set (closing/books_check.h) reads from the books, and
// the parts of the check that compare it. The books are read as they stream
// past and kept as sums per account and month, never row by row: ten years
// of 账库 are a million rows, their sums a few ten thousand. Used by the
// check only.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/record_store.h"

namespace tw::bookcheck {

// Amounts in whole cents (storage/number_text.h toCents), as the books add them up.
using Cents = std::int64_t;
using Findings = std::vector<std::string>;

// "1234.50"
std::string money(Cents c);
// "借 100.00", "贷 50.00", "平"
std::string sided(Cents c);
const char* sideOfCents(Cents c);

// Where a row of a ledger table is: "账库第12条记录（银行存款，2013-3-31，本月合计）";
// `what` is the row's 摘要, or "凭证30001" for an entry.
std::string rowPlace(const char* table, long row, const std::string& account, double day,
                     const std::string& what);

// A debit and a credit in cents; credits negative, as the ledgers hold them.
struct Amounts {
    Cents debit = 0, credit = 0;
    Cents net() const { return debit + credit; }
    Amounts& operator+=(const Amounts& o) {
        debit += o.debit;
        credit += o.credit;
        return *this;
    }
    bool operator==(const Amounts&) const = default;
};
// A balance as the close writes it into an opening row: on its side only.
Amounts openingSides(Cents balance);

// A row of the program's own (凭证编号 0) as a ledger table holds it.
struct StoredRow {
    long row = 0;  // its record number, from 1
    double day = 0;
    Amounts amounts;
    Cents balance = 0;
    std::string side;
    // 账库 only: where its account stood when the row was read, as the
    // stored balance of the last entry and as the opening plus the entries.
    Cents chained = 0, summed = 0;
};

// One account's rows of the program's own in a ledger table, each kind by
// the month of its date.
struct SummaryRows {
    std::optional<StoredRow> start;     // the 期初余额 enabling wrote
    std::map<YearMonth, StoredRow> months;    // 本月合计
    std::map<YearMonth, StoredRow> years;     // 本年累计
    std::map<YearMonth, StoredRow> openings;  // a new year's 期初余额 (January)
};

// Voucher entries as a multiset: two tallies of the same entries are equal,
// two of different entries all but never.
struct Tally {
    long count = 0;
    std::uint64_t sum = 0;
    void add(std::uint64_t fingerprint) {
        ++count;
        sum += fingerprint;
    }
    bool operator==(const Tally&) const = default;
};
// An entry's fingerprint: its day, voucher number, account and amounts.
std::uint64_t fingerprint(long day, std::int64_t number, std::string_view account, Cents debit,
                          Cents credit);

// One account of 账库.
struct LedgerAccount {
    SummaryRows rows;
    std::map<YearMonth, Amounts> moved;  // its voucher entries, by month
    Amounts entries;               // all its voucher entries
    Cents chained = 0;             // the stored balance of its last entry (or opening)
    Cents summed = 0;              // its opening plus its entries
};

struct LedgerFigures {
    std::map<std::string, LedgerAccount> accounts;
    std::map<YearMonth, Cents> monthNet;  // the entries' debits plus credits, by month
    std::map<YearMonth, Tally> entries;   // the entries, by month
};

// 总账库 as stored.
struct GeneralRows {
    std::map<std::string, SummaryRows> tops;  // by top-level account
    std::map<YearMonth, Amounts> monthMoved;  // the 本月合计 rows added up, by month
    std::map<YearMonth, Cents> yearBalances;  // the 本年累计 rows' 余额 added up, by month
    std::optional<YearMonth> lastClosed;      // the last month with such rows, if any
};

struct BookDates {
    double start = 0;       // 启用日期, the whole day
    double period = 0;      // 会计期间
    YearMonth firstClosed;  // 启用日期's month: the first a close writes rows for
    YearMonth open;         // 会计期间's month: rows of the program's own lie before it
    YearMonth required;     // every month from firstClosed up to here has them
};

// 账库 in record order: its entries and its rows of the program's own, per
// account. Tells a voucher row whose 余额 follows neither the row before it
// nor the opening plus the entries, a 方向 that does not follow its 余额,
// and a row of 凭证编号 0 that is none of the program's or a second copy.
LedgerFigures readLedger(const Table& ledger, const BookDates& dates, Findings& findings);

// 总账库, per top-level account; tells the rows that are not the program's
// and second copies.
GeneralRows readGeneralLedger(const Table& general, const BookDates& dates, Findings& findings);

// 账库's summary rows against the entries and openings; rows missing, and
// rows no closed month calls for.
void checkLedgerSummaries(const LedgerFigures& ledger, const BookDates& dates, Findings& findings);

// 总账库's rows against 账库's entries and openings, per top-level account;
// rows missing, and rows no closed month calls for.
void checkGeneralSummaries(const LedgerFigures& ledger, const GeneralRows& general,
                           const BookDates& dates, Findings& findings);

// The posted lines of 凭证库 against the voucher rows of 账库.
void checkVoucherLines(const Table& vouchers, const Table& ledger, const LedgerFigures& figures,
                       Findings& findings);

}  // namespace tw::bookcheck
