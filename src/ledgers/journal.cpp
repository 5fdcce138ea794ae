#include "ledgers/journal.h"

#include <algorithm>
#include <cstdint>

#include "accounts/chart.h"
#include "accounts/opening_balances.h"
#include "ledgers/journal_opening.h"
#include "ledgers/ledger_export.h"
#include "ledgers/ledger_page.h"
#include "storage/amount_reader.h"
#include "storage/dates.h"
#include "storage/ledger_convention.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Widths (in characters) of the exported columns a..g: a date, the kind,
// two amounts, a name, a summary, an account.
constexpr double kExportWidths[7] = {12, 5, 16, 16, 10, 36, 24};
// 日期, 字, 金额, 余额, 操作, 摘要, 对应科目
constexpr ExportColumns kJournalColumns{ExportColumn::Date,   ExportColumn::Text,
                                        ExportColumn::Amount, ExportColumn::Amount,
                                        ExportColumn::Text,   ExportColumn::Text,
                                        ExportColumn::Text};

}  // namespace

bool isCashOrBankAccount(const std::string& fullName) {
    return startsWith(fullName, "现金") || startsWith(fullName, "银行存款");
}

std::vector<std::string> cashAndBankAccounts(RecordStore& store, const Session& session) {
    std::vector<std::string> names;
    for (const Account& a : loadAccounts(store, session))
        if (isCashOrBankAccount(a.name)) names.push_back(a.name);
    return names;
}

double journalBalance(RecordStore& store, const Session& session, const std::string& account) {
    const SetTable journal(store, session, file::kJournal, SetTable::IfOpen::UseAsItIs);
    const std::optional<Record> last = journal->last(Where().equal(field::kAccount, account));
    return last ? (*last)[journal->position(field::kBalance)].number()
                : accountOpening(store, session, account);
}

JournalEntry saveCashierEntry(RecordStore& store, const Session& session,
                              const CashierEntry& entry) {
    // Everything is checked before the journal is touched: a refusal writes nothing.
    requireEnabledSet(store, session);
    if (entry.kind == CashKind::None) refuse(kChooseReceiptOrPayment);
    if (entry.account.empty()) refuse(kChooseCashAccount);
    const std::vector<std::string> accounts = cashAndBankAccounts(store, session);
    if (std::find(accounts.begin(), accounts.end(), entry.account) == accounts.end())
        refuse(kNotCashAccount, "not a cash or bank account of the chart: " + entry.account);

    const std::string typed = entry.amountText;
    if (typed.find_first_not_of(" \t") == std::string::npos) refuse(kAmountIsZero);
    double typedAmount = 0;
    if (std::string refusal = readAmount(typed, typedAmount); !refusal.empty())
        refuse(refusal, "amount text: " + typed);
    if (typedAmount < 0) refuse(kNegativeCashAmount, "amount text: " + typed);
    const double amount = roundCents(entry.kind == CashKind::Receipt ? typedAmount : -typedAmount);
    if (isZero(amount)) refuse(kAmountIsZero, "amount text: " + typed);

    SetTable journal(store, session, file::kJournal);
    JournalEntry saved;
    saved.date = entry.date;
    saved.account = entry.account;
    saved.kind = entry.kind == CashKind::Receipt ? kReceipt : kPayment;
    saved.amount = amount;
    // In whole cents, so that a long journal's balance never drifts.
    const std::int64_t balance = toCents(journalBalance(store, session, entry.account)) + toCents(amount);
    if (!centsInRange(balance))
        refuse(beyondCentsMessage("日记账“" + entry.account + "”的余额"),
               entry.account + ": " + std::to_string(balance) + " cents");
    saved.balance = fromCents(balance);
    saved.preparer = session.login.userName;
    saved.summary = entry.summary;
    saved.counterAccount = entry.counterAccount == kCounterAccountHint ? "" : entry.counterAccount;

    journal->append({saved.date, saved.account, saved.kind, saved.amount, saved.balance,
                     saved.preparer, saved.summary, saved.counterAccount});
    return saved;
}

JournalLine journalLine(const JournalEntry& e) {
    return {formatDate(e.date), e.kind,      plainDecimal(e.amount), plainDecimal(e.balance),
            e.preparer,         e.summary,   e.counterAccount};
}

std::vector<JournalEntry> selectJournal(RecordStore& store, const Session& session,
                                        const JournalRequest& request) {
    const SetTable journal(store, session, file::kJournal);
    const Table& t = journal.table();
    const int date = t.position(field::kDate), account = t.position(field::kAccount),
              kind = t.position(field::kJournalKind), amount = t.position(field::kAmount),
              balance = t.position(field::kBalance), preparer = t.position(field::kPreparer),
              summary = t.position(field::kSummary), counter = t.position(field::kCounterAccount);
    const std::vector<Record> found =
        t.select(accountDays(field::kDate, request.account, request.from, request.to));
    std::vector<JournalEntry> entries;
    entries.reserve(found.size());
    for (const Record& r : found)
        entries.push_back({r[date].number(), r[account].text(), r[kind].text(), r[amount].number(),
                           r[balance].number(), r[preparer].text(), r[summary].text(),
                           r[counter].text()});
    return entries;
}

std::vector<JournalLine> listJournal(RecordStore& store, const Session& session,
                                     const JournalRequest& request) {
    std::vector<JournalEntry> entries = selectJournal(store, session, request);
    // A day book runs by day: entries brought in from vouchers come after
    // the slips saved before them.
    std::stable_sort(entries.begin(), entries.end(), [](const JournalEntry& a, const JournalEntry& b) {
        return std::floor(a.date) < std::floor(b.date);
    });
    std::vector<JournalLine> lines;
    std::int64_t balance = 0;  // cents
    // The account box's prompt, or no account at all, has no balance to open with.
    if (isCashOrBankAccount(request.account)) {
        balance = toCents(journalOpening(store, session, request.account, request.from));
        lines.push_back({formatDate(request.from), "", "", plainDecimal(fromCents(balance)), "",
                         kOpeningSummary, ""});
    }
    for (JournalEntry& e : entries) {
        balance += toCents(e.amount);
        e.balance = fromCents(balance);
        lines.push_back(journalLine(e));
    }
    return lines;
}

Workbook journalWorkbook(const std::vector<JournalLine>& lines) {
    Workbook book = exportWorkbook(lines, kJournalColumns);  // a journal line is an export row
    Worksheet& sheet = book.sheet(1);
    for (int c = 1; c <= 7; ++c) sheet.setColumnWidth(c, kExportWidths[c - 1]);
    finishExportSheet(sheet);
    return book;
}

std::string journalExportName(const JournalRequest& request) {
    return exportFileName("日记账 " + (request.account.empty() ? "" : request.account + " ") +
                          formatDate(request.from) + "至" + formatDate(request.to));
}

}  // namespace tw
