#include "ledgers/journal_import.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "accounts/opening_balances.h"
#include "storage/amount_reader.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/schemas.h"
#include "vouchers/voucher_page.h"

namespace tw {

namespace {

// The one account other than `account` with an amount on the side opposite
// the line's (the credits of a line in the debit column, and the other way
// round) on any page of the voucher; empty when there are several or none.
std::string counterAccountOf(const std::vector<VoucherPage>& voucher, const std::string& account,
                             bool lineOnDebit) {
    std::string found;
    for (const VoucherPage& page : voucher)
        for (const VoucherLine& line : page.lines) {
            if (line.account.empty() || line.account == account) continue;
            if (toCents(lineOnDebit ? line.credit : line.debit) == 0) continue;
            if (found.empty()) found = line.account;
            else if (found != line.account) return {};
        }
    return found;
}

}  // namespace

std::string importedMessage(int count) {
    return "已从凭证引入" + std::to_string(count) + "笔收付。";
}

std::string voucherLineReference(double number, int page, int line) {
    return "凭证" + std::to_string(std::llround(number)) + "第" + std::to_string(page) + "张第" +
           std::to_string(line) + "行";
}

int importVoucherLines(RecordStore& store, const Session& session, const JournalRequest& request) {
    // Everything is read and checked before the journal is written.
    requireEnabledSet(store, session);
    const std::string& account = request.account;
    if (account.empty()) refuse(kChooseCashAccount);
    const std::vector<std::string> accounts = cashAndBankAccounts(store, session);
    if (std::find(accounts.begin(), accounts.end(), account) == accounts.end())
        refuse(kNotCashAccount, "not a cash or bank account of the chart: " + account);

    // Only the day counts: a page stamped later on the last day still belongs.
    const double from = std::floor(request.from), after = std::floor(request.to) + 1;
    const VoucherTable vouchers(store, session);
    std::vector<VoucherPage> pages = vouchers.pages(Where()
                                                        .atLeast(field::kDate, from)
                                                        .below(field::kDate, after)
                                                        .notEqual(field::kPoster, "")
                                                        .anyFieldEqual(field::lineAccounts(), account));
    std::stable_sort(pages.begin(), pages.end(), [](const VoucherPage& a, const VoucherPage& b) {
        return std::floor(a.date) < std::floor(b.date);
    });
    if (pages.empty()) return 0;

    // The lines brought in before: the references of the account's entries,
    // by month, over the months of the pages.
    SetTable journal(store, session, file::kJournal);
    const int date = journal->position(field::kDate), preparer = journal->position(field::kPreparer);
    std::set<std::pair<double, std::string>> known;
    journal->forEach(Where()
                         .equal(field::kAccount, account)
                         .atLeast(field::kDate, YearMonth::of(pages.front().date).firstDay())
                         .below(field::kDate, YearMonth::of(pages.back().date).next().firstDay()),
                     [&](const Record& r) {
                         known.emplace(YearMonth::of(r[date].number()).firstDay(), r[preparer].text());
                         return true;
                     });

    std::vector<JournalEntry> entries;
    std::int64_t balance = toCents(journalBalance(store, session, account));
    std::map<std::pair<double, double>, std::vector<VoucherPage>> voucherPagesOf;  // (month, 月编号)
    for (const VoucherPage& page : pages) {
        for (int n = 1; n <= kLinesPerPage; ++n) {
            const VoucherLine& line = page.line(n);
            if (line.account != account) continue;
            const std::int64_t debit = toCents(line.debit), credit = toCents(line.credit);
            if ((debit == 0) == (credit == 0)) continue;  // posting enters no single amount
            std::string reference = voucherLineReference(page.number, page.page, n);
            if (!known.emplace(YearMonth::of(page.date).firstDay(), reference).second) continue;

            const std::int64_t amount = debit != 0 ? debit : -credit;
            balance += amount;
            if (!centsInRange(balance))
                refuse(beyondCentsMessage("日记账“" + account + "”的余额"),
                       account + ": " + std::to_string(balance) + " cents");
            auto [voucher, first] =
                voucherPagesOf.try_emplace(std::make_pair(YearMonth::of(page.date).firstDay(), page.number));
            if (first) voucher->second = voucherOf(vouchers, page);

            JournalEntry e;
            e.date = page.date;
            e.account = account;
            e.kind = amount > 0 ? kReceipt : kPayment;
            e.amount = fromCents(amount);
            e.balance = fromCents(balance);
            e.preparer = std::move(reference);
            e.summary = line.summary;
            e.counterAccount = counterAccountOf(voucher->second, account, debit != 0);
            entries.push_back(std::move(e));
        }
    }
    for (const JournalEntry& e : entries)
        journal->append({e.date, e.account, e.kind, e.amount, e.balance, e.preparer, e.summary,
                         e.counterAccount});
    return static_cast<int>(entries.size());
}

}  // namespace tw
