#pragma once
// The chart of accounts of the open set (会计科目.edb): one record per account,
// named by its full name — the parent's full name, "→", its own name. A
// sub-account's record always follows its parent's.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "accounts/account_names.h"
#include "accounts/account_picker.h"
#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

struct Account {
    std::string name;       // 科目名称: the full name
    std::string parent;     // 上级科目: the parent's full name, empty at the top
    std::string category;   // 科目分类: 资产类 … 损益类
    std::string direction;  // 借方 or 贷方
    std::string enabled;    // 是否启用: "真" only on template rows that count as posted
    int level = 0;          // 科目级别
};

// The category number 1..5 of a category text; 0 for any other text.
int categoryNumber(const std::string& text);
// "资产类" … "损益类" for 1..5.
const char* categoryText(int number);

// Every account in table order; refuses (kUnreadableSet) when 会计科目 cannot be read.
std::vector<Account> loadAccounts(RecordStore& store, const Session& session);

// One category's tree as the chart window shows it. Items carry full names
// and the index of their record in the list the trees were built from.
using ChartTree = NameTree;
using ChartTrees = std::array<ChartTree, 5>;  // 资产类 … 损益类

// Builds the five trees from the records in table order:
// - a record of one of the five categories goes to that tree; a record of
//   any other category goes to the tree of the record before it;
// - a top-level record becomes a root item;
// - a sub-account becomes a child of every item already in its tree whose
//   text is its 上级科目; a record whose parent is not yet there is not shown.
ChartTrees buildChartTrees(const std::vector<Account>& accounts);

// An item selected in a tree: remembers it with its 上级科目 and 科目级别.
void selectAccount(AccountPicker& picker, const std::vector<Account>& accounts,
                   const std::string& name);
// The tab was changed: no account is selected, the parent and level stay.
void changeCategory(AccountPicker& picker, int category);

enum class AddMode { SubAccount, Sibling };
// "增加下级科目" / "增加同级科目"
const char* addModeText(AddMode mode);

struct NewAccount {
    AddMode mode = AddMode::Sibling;
    std::string typed;      // the name as typed; leading and trailing blanks are dropped
    std::string direction;  // "借方", "贷方" or empty when none was chosen
    int category = 1;       // the current category 1..5
    // The picker's state: the selected account (the parent of a sub-account),
    // and the remembered parent and level (those of a sibling).
    std::string selectedAccount;
    std::string selectedParent;
    int selectedLevel = 0;
    // 科目编码 as typed; empty for the proposed one (account_codes.h).
    std::string code{};
};

// Why an account cannot be added in `mode` with this picker state, or empty
// when it can: a sub-account needs a selected account of the current
// category; a sibling needs its remembered parent (when it has one) to be an
// account of the current category, so that it shows in the tree it is added to.
std::string addTargetRefusal(const std::vector<Account>& accounts, AddMode mode,
                             const AccountPicker& picker);

// The 余额方向 of the parent an account added in `mode` would have (the
// selected account for a sub-account, the remembered parent for a sibling):
// what the account takes when no direction is chosen. Empty for an account
// at the top and for a parent the chart has not.
std::string inheritedDirection(const std::vector<Account>& accounts, AddMode mode,
                               const AccountPicker& picker);

// Adds an account (科目设置窗口 `确定`). The typed name is trimmed of leading
// and trailing blanks. With no direction chosen, an account with a parent
// takes the parent's (inheritedDirection). Refuses, in this order:
//  - a name of blanks only: "请输入科目名称 ！"
//  - a name holding "→", which joins the parts of full names: kArrowInName
//  - no direction for an account at the top: "请选择，余额方向 ！"
//  - the parent check of addTargetRefusal: "请选择，要操作的科目！"
//  - the typed text, or the full name the account would get, is already an
//    account's full name: "输入的科目名称和已有科目相同 ！"
//  - no direction chosen and none to take from the parent: "请选择，余额方向 ！"
//  - the code (as typed, trimmed; the proposed one when none was typed) is
//    refused by codeRefusal (account_codes.h)
// Then appends (full name, parent, category, direction, "", level):
//  - 增加下级科目: selected account + "→" + typed, level of the parent + 1;
//  - 增加同级科目: remembered parent + "→" + typed (or typed alone at the top),
//    the remembered level;
// and stores the account's code with the codes of the others (科目编码.edb).
// While the set is not enabled, the saved opening list follows the chart in
// the same action (refreshOpeningList): a parent's opening amounts are
// cleared, and the accounts so cleared are put into `clearedParents` (when
// given) so that the user can be told (openingClearedMessage). Returns the
// full name. Works inside the caller's action.
std::string addAccount(RecordStore& store, const Session& session, const NewAccount& request,
                       std::vector<std::string>* clearedParents = nullptr);

// True when the account has been used: it appears on a voucher line, a
// ledger row (账库, 总账库, 账库辅1), a journal entry (科目 or 对应), or
// carries an opening amount in 账务初始化 (which a new set does not have yet).
// Each table is searched through its indexes. Refuses when a table cannot be read.
bool accountInUse(RecordStore& store, const Session& session, const std::string& name);

// Deletes an account (after the user confirmed). Refuses:
//  - it has sub-accounts: name + " 科目，无法删除！（需先删除其下级科目）"
//  - it has been used, or is marked "真": name + " 科目，已经被登账！无法删除！"
// Its code goes with it, and the opening list follows as for addAccount. Returns the message
// "已经成功删除 " + name. Works inside the caller's action.
std::string deleteAccount(RecordStore& store, const Session& session, const std::string& name);

inline constexpr const char* kChooseAccount = "请选择，要操作的科目！";
inline constexpr const char* kArrowInName = "科目名称 不能含有“→”！";

}  // namespace tw
