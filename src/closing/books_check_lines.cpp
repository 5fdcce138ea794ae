// Posted voucher lines against the voucher rows of 账库. Both are tallied
// by month as they stream past (a fingerprint per entry); only the months
// whose tallies differ are read again, a batch of them at a time, to tell
// which line or row is unmatched.
#include <algorithm>
#include <cmath>
#include <functional>
#include <set>
#include <tuple>

#include "closing/books_check_figures.h"
#include "storage/dates.h"
#include "storage/schemas.h"

namespace tw::bookcheck {

namespace {

// Lines and rows held at once while a batch of months is told one by one.
constexpr long kBatchEntries = 100000;

// A voucher entry as posting books it from a line, and as 账库 holds it.
struct Entry {
    long day = 0;
    std::int64_t number = 0;
    std::string account;
    Cents debit = 0, credit = 0;  // credit negative
    long row = 0;                 // 账库: its record number
    int page = 0, line = 0;       // 凭证库: the line's page and place on it
    bool creditSide = false;      // 凭证库: the line's credit (a line of two zeros gives both)
    auto key() const { return std::tie(day, number, account, debit, credit); }
    bool operator<(const Entry& o) const { return key() < o.key(); }
};

// The lines of the posted pages, each as the entries posting makes of it: a
// debit when its credit is zero, a credit when its debit is zero (a line of
// two zeros gives both, a line of two amounts neither).
void forEachPostedLine(const Table& vouchers, const std::function<void(Entry&&)>& visit) {
    const int date = vouchers.position(field::kDate), no = vouchers.position(field::kMonthNumber),
              page = vouchers.position(field::kPage), poster = vouchers.position(field::kPoster);
    struct Line {
        int account, debit, credit;
    };
    std::vector<Line> lines;
    for (int i = 1; i <= 4; ++i)
        lines.push_back({vouchers.position(field::lineAccount(i)),
                         vouchers.position(field::lineDebit(i)),
                         vouchers.position(field::lineCredit(i))});
    vouchers.forEach({}, [&](const Record& r) {
        if (r[poster].text().empty()) return true;
        const long day = static_cast<long>(std::floor(r[date].number()));
        const std::int64_t number = std::llround(r[no].number());
        const int pageNo = static_cast<int>(r[page].integer());
        for (int i = 0; i < 4; ++i) {
            const std::string& account = r[lines[i].account].text();
            if (account.empty()) continue;
            const Cents d = toCents(r[lines[i].debit].number()),
                        c = -toCents(r[lines[i].credit].number());
            if (c == 0) visit({day, number, account, d, 0, 0, pageNo, i + 1, false});
            if (d == 0) visit({day, number, account, 0, c, 0, pageNo, i + 1, true});
        }
        return true;
    });
}

Tally tallyAt(const std::map<YearMonth, Tally>& tallies, YearMonth month) {
    const auto it = tallies.find(month);
    return it == tallies.end() ? Tally{} : it->second;
}

std::string linePlace(const Entry& l) {
    return "凭证" + std::to_string(l.number) + "（" + formatDate(l.day) + "）第" +
           std::to_string(l.page) + "页第" + std::to_string(l.line) + "行 " + l.account +
           (l.creditSide ? " 贷 " + money(-l.credit) : " 借 " + money(l.debit));
}

// Reads the lines and the rows of `months` and tells those without a match.
void tellUnmatched(const Table& vouchers, const Table& ledger, const std::set<YearMonth>& months,
                   Findings& findings) {
    std::vector<Entry> lines, rows;
    forEachPostedLine(vouchers, [&](Entry&& l) {
        if (months.count(YearMonth::of(l.day))) lines.push_back(std::move(l));
    });
    const int date = ledger.position(field::kVoucherDate), no = ledger.position(field::kVoucherNo),
              account = ledger.position(field::kAccount), debit = ledger.position(field::kDebit),
              credit = ledger.position(field::kCredit);
    long row = 0;
    ledger.forEach({}, [&](const Record& r) {
        ++row;
        const std::int64_t number = r[no].integer();
        const double day = r[date].number();
        if (number == 0 || !months.count(YearMonth::of(day))) return true;
        Entry e;
        e.day = static_cast<long>(std::floor(day));
        e.number = number;
        e.account = r[account].text();
        e.debit = toCents(r[debit].number());
        e.credit = toCents(r[credit].number());
        e.row = row;
        rows.push_back(std::move(e));
        return true;
    });
    std::sort(lines.begin(), lines.end());
    std::sort(rows.begin(), rows.end());
    auto l = lines.begin();
    auto e = rows.begin();
    while (l != lines.end() || e != rows.end()) {
        if (e == rows.end() || (l != lines.end() && *l < *e)) {
            findings.push_back(linePlace(*l++) + "：已登账，账库中却没有它的记录");
        } else if (l == lines.end() || *e < *l) {
            findings.push_back(
                rowPlace("账库", e->row, e->account, e->day, "凭证" + std::to_string(e->number)) +
                "：借 " + money(e->debit) + "，贷 " + money(-e->credit) +
                "，没有对应的已登账凭证行");
            ++e;
        } else {
            ++l;
            ++e;
        }
    }
}

}  // namespace

void checkVoucherLines(const Table& vouchers, const Table& ledger, const LedgerFigures& figures,
                       Findings& findings) {
    std::map<YearMonth, Tally> lines;
    forEachPostedLine(vouchers, [&](Entry&& l) {
        lines[YearMonth::of(l.day)].add(fingerprint(l.day, l.number, l.account, l.debit, l.credit));
    });
    std::set<YearMonth> differing;
    for (const auto& [month, tally] : lines)
        if (tallyAt(figures.entries, month) != tally) differing.insert(month);
    for (const auto& [month, tally] : figures.entries)
        if (tallyAt(lines, month) != tally) differing.insert(month);

    // Batches of months, each read again in one pass over both tables.
    std::set<YearMonth> batch;
    long held = 0;
    for (const YearMonth month : differing) {
        const long size = tallyAt(lines, month).count + tallyAt(figures.entries, month).count;
        if (!batch.empty() && held + size > kBatchEntries) {
            tellUnmatched(vouchers, ledger, batch, findings);
            batch.clear();
            held = 0;
        }
        batch.insert(month);
        held += size;
    }
    if (!batch.empty()) tellUnmatched(vouchers, ledger, batch, findings);
}

}  // namespace tw::bookcheck
