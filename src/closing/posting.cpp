#include "closing/posting.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "accounts/opening_balances.h"
#include "closing/period.h"
#include "shell/action_log.h"
#include "storage/amount_reader.h"
#include "storage/ledger_convention.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// Refuses a balance or total that would leave the range where cents are exact.
std::int64_t checked(std::int64_t cents, const std::string& account) {
    if (!centsInRange(cents))
        refuse(beyondCentsMessage("科目“" + account + "”的余额或发生额合计"),
               account + ": " + std::to_string(cents) + " cents");
    return cents;
}

// The running totals of 账库辅1, in whole cents, read once per action and
// written back at the end.
class RunningTotals {
public:
    RunningTotals(RecordStore& store, const Session& session)
        : balances_(store, session, file::kBalances),
          table_(balances_.table()),
          account_(table_.position(field::kAccount)),
          debit_(table_.position(field::kDebit)),
          credit_(table_.position(field::kCredit)),
          side_(table_.position(field::kBalanceSide)),
          balance_(table_.position(field::kBalance)) {
        for (Record& r : table_.select()) {
            Totals t;
            t.debit = toCents(r[debit_].number());
            t.credit = toCents(r[credit_].number());
            t.balance = toCents(r[balance_].number());
            t.record = std::move(r);
            totals_.emplace(t.record[account_].text(), std::move(t));
        }
    }

    struct Totals {
        Record record;  // id 0 until the account's record is appended
        std::int64_t debit = 0, credit = 0, balance = 0;  // cents
        bool changed = false;
    };

    // The account's totals; an account seen for the first time gets its
    // record appended now, so records keep the order of first posting.
    Totals& of(const std::string& account) {
        auto it = totals_.find(account);
        if (it != totals_.end()) return it->second;
        Totals t;
        t.record.id = table_.append({account});
        t.record.values = table_.get(t.record.id)->values;
        return totals_.emplace(account, std::move(t)).first->second;
    }
    Totals* find(const std::string& account) {
        auto it = totals_.find(account);
        return it == totals_.end() ? nullptr : &it->second;
    }

    void write() {
        for (auto& [account, t] : totals_) {
            if (!t.changed) continue;
            const double balance = fromCents(checked(t.balance, account));
            table_.update(t.record, {{debit_, fromCents(checked(t.debit, account))},
                                     {credit_, fromCents(checked(t.credit, account))},
                                     {side_, sideOf(balance)},
                                     {balance_, balance}});
        }
    }

private:
    SetTable balances_;
    Table& table_;
    int account_, debit_, credit_, side_, balance_;
    std::map<std::string, Totals> totals_;
};

}  // namespace

PostingCounts refreshPostingCounts(RecordStore& store, const Session& session) {
    const SetTable voucherTable(store, session, file::kVouchers);
    const Table& vouchers = voucherTable.table();
    // Counted by the database: a stamp is set when its text is not empty.
    const Where month = monthOf(field::kDate, session.login.period);
    PostingCounts c;
    c.total = vouchers.count(month);
    c.posted = c.total - vouchers.count(Where(month).equal(field::kPoster, ""));
    c.unreviewed = vouchers.count(Where(month).equal(field::kReviewer, ""));
    return c;
}

VoucherCounts countMonthVouchers(RecordStore& store, const Session& session) {
    const SetTable voucherTable(store, session, file::kVouchers);
    const Table& vouchers = voucherTable.table();
    const int number = vouchers.position(field::kMonthNumber),
              reviewer = vouchers.position(field::kReviewer),
              poster = vouchers.position(field::kPoster);
    struct Seen {
        bool allPosted = true, someUnreviewed = false;
    };
    std::map<std::int64_t, Seen> seen;
    vouchers.forEach(monthOf(field::kDate, session.login.period), [&](const Record& page) {
        Seen& s = seen[page[number].integer()];
        s.allPosted = s.allPosted && !page[poster].text().empty();
        s.someUnreviewed = s.someUnreviewed || page[reviewer].text().empty();
        return true;
    });
    VoucherCounts c;
    c.total = static_cast<long>(seen.size());
    for (const auto& voucher : seen) {
        c.posted += voucher.second.allPosted ? 1 : 0;
        c.unreviewed += voucher.second.someUnreviewed ? 1 : 0;
    }
    return c;
}

std::string postedMessage(int count) { return std::to_string(count) + kPostedCount; }

int postReviewedVouchers(RecordStore& store, const Session& session) {
    requireEnabledSet(store, session);
    SetTable voucherTable(store, session, file::kVouchers);
    SetTable ledgerTable(store, session, file::kLedger);
    Table& vouchers = voucherTable.table();
    Table& ledger = ledgerTable.table();
    RunningTotals totals(store, session);

    const int date = vouchers.position(field::kDate), number = vouchers.position(field::kMonthNumber),
              reviewer = vouchers.position(field::kReviewer),
              poster = vouchers.position(field::kPoster);
    struct Line {
        int summary, account, debit, credit;
    };
    std::vector<Line> lines;
    for (int i = 1; i <= 4; ++i)
        lines.push_back({vouchers.position(field::lineSummary(i)),
                         vouchers.position(field::lineAccount(i)),
                         vouchers.position(field::lineDebit(i)),
                         vouchers.position(field::lineCredit(i))});

    // Only the pages not posted yet are read, with only the fields posting
    // uses; the vouchers they belong to are counted.
    std::set<std::int64_t> posted;
    std::vector<int> read{date, number, reviewer};
    for (const Line& l : lines) read.insert(read.end(), {l.summary, l.account, l.debit, l.credit});
    const Where unposted = monthOf(field::kDate, session.login.period).equal(field::kPoster, "");
    for (const Record& page : vouchers.select(unposted, read)) {
        if (page[reviewer].text().empty()) break;  // this one and every later one wait
        const double day = page[date].number();
        const std::int64_t no = page[number].integer();
        for (const Line& l : lines) {
            const std::string& account = page[l.account].text();
            if (account.empty()) continue;
            // In cents: the running balance stays exact however large it grows.
            const std::int64_t d = toCents(page[l.debit].number()), c = -toCents(page[l.credit].number());
            const double debit = fromCents(d), credit = fromCents(c);
            auto& t = totals.of(account);
            const std::int64_t start = t.balance, debitTotal = t.debit, creditTotal = t.credit;
            if (c == 0) {
                const double n = fromCents(checked(start + d, account));
                ledger.append({day, no, page[l.summary].text(), account, debit, credit, sideOf(n), n});
                t.debit = checked(debitTotal + d, account);
                t.balance = start + d;
                t.changed = true;
            }
            if (d == 0) {
                const double n = fromCents(checked(start + c, account));
                ledger.append({day, no, page[l.summary].text(), account, debit, credit, sideOf(n), n});
                t.credit = checked(creditTotal + c, account);
                t.balance = start + c;
                t.changed = true;
            }
        }
        vouchers.change(page.id, {{poster, session.login.userName}});
        posted.insert(no);
    }
    totals.write();
    logAction(store, session, logged::kPosted, std::to_string(posted.size()) + "张");
    return static_cast<int>(posted.size());
}

void undoPosting(RecordStore& store, const Session& session) {
    SetTable ledgerTable(store, session, file::kLedger);
    Table& ledger = ledgerTable.table();
    RunningTotals totals(store, session);
    const int account = ledger.position(field::kAccount), debit = ledger.position(field::kDebit),
              credit = ledger.position(field::kCredit);
    // The voucher entries only: the opening rows (凭证编号 0) stay, and a
    // line its writer summarised "期初余额" goes like any other.
    for (const Record& row : ledger.select(monthOf(field::kVoucherDate, session.login.period)
                                               .notEqual(field::kVoucherNo, 0))) {
        ledger.remove(row.id);
        auto* t = totals.find(row[account].text());
        if (!t) continue;  // posting always makes the record; nothing to take out of
        t->debit -= toCents(row[debit].number());
        t->credit -= toCents(row[credit].number());
        t->balance = t->debit + t->credit;
        t->changed = true;
    }
    totals.write();

    SetTable vouchers(store, session, file::kVouchers);
    const int poster = vouchers->position(field::kPoster);
    for (const Record& page :
         vouchers->select(monthOf(field::kDate, session.login.period).notEqual(field::kPoster, "")))
        vouchers->update(page, {{poster, std::string()}});
    logAction(store, session, logged::kPostingUndone, YearMonth::of(session.login.period).text());
}

}  // namespace tw
