#pragma once
// Opening balances of a set that is not yet enabled, and enabling it.
//
// The opening list is a working copy of the chart with an amount per leaf
// account; it is kept in 账务初始化.edb (the ledger layout) between sessions.
// Enabling writes the "期初余额" rows into 账库, 账库辅1 and 总账库 and marks the
// set enabled in 基本信息, all in one action.

#include <optional>
#include <string>
#include <vector>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

// One row of the list; all texts, as the window's list shows them. Amounts
// are plain decimal texts; side is "借", "贷", "平" or empty.
struct OpeningRow {
    std::string account;  // 会计科目
    std::string debit;    // 期初借方
    std::string credit;   // 期初贷方
    std::string side;     // 方向
    std::string balance;  // 期初余额
    bool operator==(const OpeningRow&) const = default;
};

// Builds the list from the chart and the saved amounts:
// 1. every top-level account is appended; a sub-account is inserted directly
//    below the first row of its parent (so siblings come out in reverse chart
//    order); one whose parent has no row is left out;
// 2. each row takes the amounts saved for it in 账务初始化; a row whose debit
//    and credit add up to zero is left blank.
// A missing 账务初始化 (nothing saved yet) leaves the amounts blank; an
// unreadable chart or 账务初始化 refuses (kUnreadableSet).
std::vector<OpeningRow> loadOpeningList(RecordStore& store, const Session& session);

struct OpeningTotals {
    std::string debit;   // sum of the debit column, as plain decimal text
    std::string credit;  // sum of the credit column
    // 启用套账 is allowed exactly when the two texts are equal.
    bool balanced() const { return debit == credit; }
};
OpeningTotals openingTotals(const std::vector<OpeningRow>& rows);

// True when some row is a sub-account of `account` (its name lies below it,
// isBelow): such an account takes no amount of its own.
bool hasSubAccountRows(const std::vector<OpeningRow>& rows, const std::string& account);

inline constexpr const char* kNoAmountForParent =
    "本科目无需设置金额，如需请在其下级科目添加！";
inline constexpr const char* kAlreadyEnabled = "套账启用后不能再更改初始化数据！";

// Why the amounts of `account` cannot be set in this list, or empty when they
// can: an account that is not in the list ("没有这个科目：" + account), a
// parent (kNoAmountForParent). The window asks it before its amount boxes
// open; setOpeningAmounts asks it of the saved list.
std::string openingAmountRefusal(const std::vector<OpeningRow>& rows, const std::string& account);

// Sets a row's amounts as the input boxes give them (nullopt = cancelled,
// the column stays): each is stored as |value| rounded to cents. Then the
// direction and balance follow from debit − credit ("借"/"贷" with the
// difference, "平" with "0"), and a row whose amounts add up to zero is
// blanked.
void setRowAmounts(OpeningRow& row, std::optional<double> debit, std::optional<double> credit);

// Blanks the amounts of every row that has sub-account rows. Returns the
// accounts whose amounts were cleared (those that had any), in list order.
std::vector<std::string> blankParentRows(std::vector<OpeningRow>& rows);

// What the user is told about accounts whose opening amounts were cleared
// because they became parents: a line per account,
// "科目 X 已有下级科目，其期初金额已清除，请在下级科目中录入。".
std::string openingClearedMessage(const std::vector<std::string>& accounts);

// The operations below work inside the caller's action and refuse by Refusal.

// Writes the list into 账务初始化.edb, one record per row in list order (rows
// without amounts too), made afresh in the ledger layout with the set
// password; it replaces the old table with the action's commit. Refuses once
// the set is enabled (kAlreadyEnabled), and an amount beyond kMaxAmount
// (storage/amount_reader.h) rather than keep it changed. Each account whose
// amounts differ from those saved before is logged in 上机日志 (修改期初余额,
// "account：借方 X，贷方 Y"), in the same action.
void saveOpeningList(RecordStore& store, const Session& session,
                     const std::vector<OpeningRow>& rows);

// After the chart has changed (科目设置): loads the list afresh, blanks the
// accounts that now have sub-accounts, and saves it. Returns the accounts
// whose saved amounts were cleared that way.
std::vector<std::string> refreshOpeningList(RecordStore& store, const Session& session,
                                            std::vector<OpeningRow>& rows);

// Whether 基本信息 marks the set enabled; refuses when it cannot be read.
bool setIsEnabled(RecordStore& store, const Session& session);

inline constexpr const char* kSetNotEnabled =
    "套账尚未启用！请先在账务初始化中录入期初余额，再启用套账。";
// Refuses kSetNotEnabled while the set is not enabled: no voucher, posting,
// close or cashier entry may come before the opening rows, or every balance
// after them would be wrong.
void requireEnabledSet(RecordStore& store, const Session& session);

// Enables the set with the opening amounts of `rows`, in one action:
// 1. for each row with a nonzero amount, appends to 账库 (启用日期, 0,
//    "期初余额", account, d, −c, side, d − c) and to 账库辅1 (account, d, −c,
//    side, d − c);
// 2. rolls every 账库 row up into the "期初余额" row of its top-level account
//    in 总账库 for the current period (dated the period's last day), made
//    when missing: debits and (negative) credits add up, the balance is their
//    sum and the side follows its sign;
// 3. sets 是否启用 in 基本信息.
// Refuses totals that differ (to the cent, summed in whole cents), a
// top-level account whose sums go beyond ±kMaxBalance (beyondCentsMessage)
// and a set already enabled (kAlreadyEnabled). Logged in 上机日志 (启用套账).
void enableSet(RecordStore& store, const Session& session, const std::vector<OpeningRow>& rows);

// Sets the amounts of one leaf account as its row's input boxes do (nullopt:
// the amount stays) and saves the list (`opening set`). Refuses, in this
// order: a set already enabled (kAlreadyEnabled), what openingAmountRefusal
// refuses, and an amount checkAmount refuses (more than two decimals, beyond
// kMaxAmount). Returns the list as saved.
std::vector<OpeningRow> setOpeningAmounts(RecordStore& store, const Session& session,
                                          const std::string& account,
                                          std::optional<double> debit,
                                          std::optional<double> credit);

}  // namespace tw
