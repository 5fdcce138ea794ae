#pragma once
// The cash and bank journal (日记账库.edb): the cashier's day book of receipts
// ("收") and payments ("付") on the cash and bank accounts, kept apart from the
// vouchers and never posted. Entries are only appended, in the order they are
// saved; nothing edits or deletes them. Each carries the balance of its
// account after it: the journal balance of an account starts from the
// balance enabling gave the account (journal_opening.h) with its first entry.
// Posted vouchers enter it when the cashier brings them in (journal_import.h).
//
// saveCashierEntry (出纳窗口's 保存), inside the caller's action:
//   0. refuses a set that is not enabled yet (kSetNotEnabled);
//   1. the counter account's hint text "（可不填写）" counts as empty;
//   2. refuses "请选择收或付！" when neither receipt nor payment is chosen;
//   3. refuses kChooseCashAccount without an account, and kNotCashAccount for
//      one that is not a cash or bank account of the chart;
//   4. reads the amount text through the one amount reader (readAmount):
//      refuses what it refuses (not a number, more than two decimals, too many
//      digits, too large), kNegativeCashAmount for a negative amount (收 is
//      positive, 付 negative by its kind), and kAmountIsZero for an empty text
//      or 0. An entry can never be removed, so one that could only be a slip
//      is not written: a mistaken entry is corrected by one of the other kind;
//   5. the previous balance is the 余额 of the account's last entry, the
//      account's opening balance when it has none (indexed look-ups,
//      whatever the journal's length);
//   6. appends 日期, 科目, 种类, 金额 (the amount in cents, negative for 付),
//      余额 (previous balance + amount, in cents), 编制 (the user), 摘要, 对应;
//      refuses (beyondCentsMessage) a 余额 beyond ±kMaxBalance, where cents
//      stop being exact.
//
// listJournal (日记账's 列出): the entries whose 科目 equals the account as
// whole text (银行存款 does not list 银行存款→工商银行) and whose day lies in
// the range, both days included, through the table's (科目, 日期) index, by
// day (a day's entries in record order). For a cash or bank account the list
// opens with a "期初余额" line dated the range's first day: the balance the
// journal brings into that day (journalOpening), from which each line's 余额
// runs on. An entry brought in from a voucher shows its reference as 操作.
//
// Both refuse kUnreadableSet, before anything is written or listed, when a
// table they need cannot be read.

#include <array>
#include <string>
#include <vector>

#include "platform/workbook.h"
#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr const char* kChooseReceiptOrPayment = "请选择收或付！";
inline constexpr const char* kChooseCashAccount = "请选择收付科目！";
inline constexpr const char* kNotCashAccount = "收付科目只能是现金或银行存款科目！";
inline constexpr const char* kAmountIsZero = "请输入金额！金额不能为零。";
inline constexpr const char* kNegativeCashAmount =
    "金额不能是负数！填错的收付单请另填一张相反的收付单更正。";
// The text 对方科目编辑框 opens with; it stands for no counter account.
inline constexpr const char* kCounterAccountHint = "（可不填写）";
// The text 选择科目编辑框 of 日记账 opens with.
inline constexpr const char* kJournalAccountPrompt = "点击这里选择要查阅的科目";
inline constexpr const char* kReceipt = "收";
inline constexpr const char* kPayment = "付";

// True for 现金, 银行存款 and every account whose full name begins with either.
bool isCashOrBankAccount(const std::string& fullName);
// The cash and bank accounts of the chart, in table order (the account list window).
std::vector<std::string> cashAndBankAccounts(RecordStore& store, const Session& session);

enum class CashKind { None, Receipt, Payment };

// What 出纳窗口 holds when 保存 is pressed.
struct CashierEntry {
    double date = 0;  // a day number
    std::string account;
    CashKind kind = CashKind::None;
    std::string amountText;  // as typed or filled in by the amount dialog
    std::string summary;
    std::string counterAccount;  // the hint text counts as empty
};

// One record of 日记账库.
struct JournalEntry {
    double date = 0;
    std::string account;
    std::string kind;  // 收 or 付
    double amount = 0;  // negative for 付
    double balance = 0;
    std::string preparer;
    std::string summary;
    std::string counterAccount;
};

// The account's journal balance: the 余额 of its last entry, the account's
// opening balance (accountOpening) without one.
double journalBalance(RecordStore& store, const Session& session, const std::string& account);

// Saves the entry (steps 1 to 6 above) and returns the record written.
JournalEntry saveCashierEntry(RecordStore& store, const Session& session,
                              const CashierEntry& entry);

struct JournalRequest {
    std::string account;  // compared as whole text
    double from = 0;      // day numbers, both days included
    double to = 0;
};

// The list's seven columns: 日期 (2013-3-1), 字 (收/付), 金额, 余额 (plain
// decimal text: a payment of 50 shows -50), 操作 (the preparer), 摘要, 对应科目.
using JournalLine = std::array<std::string, 7>;
JournalLine journalLine(const JournalEntry& entry);

// The entries of the request, in record order, as stored.
std::vector<JournalEntry> selectJournal(RecordStore& store, const Session& session,
                                        const JournalRequest& request);
// The list as it shows them: the opening line, then the entries by day with
// their running balance.
std::vector<JournalLine> listJournal(RecordStore& store, const Session& session,
                                     const JournalRequest& request);

// The list exported: list row i (from 1), column k (0..6) into worksheet 1,
// cell of column a..g in row i; no heading row. 日期 holds the day as a date,
// 金额 and 余额 their numbers (exportWorkbook), the rest their texts. Columns
// are wide enough for dates and amounts; the sheet prints one A4 page wide
// (finishExportSheet).
Workbook journalWorkbook(const std::vector<JournalLine>& lines);
// "日记账 现金 2013-3-1至2013-3-31.xlsx"; characters a file name cannot hold
// ("/", ":" …) become "_".
std::string journalExportName(const JournalRequest& request);

}  // namespace tw
