#pragma once
// Account codes (科目编码): bookkeepers type 1002 or 100201 to find an account
// faster than by any name. Every account of the chart has a code, kept in a
// table of its own (科目编码.edb, with the set password: code, full name), so
// that the records of the chart stay as they are.
//
// The coding rule of the small-business standard: a top-level account has
// four digits, the first one its category (1 资产类 … 5 损益类); a
// sub-account has its parent's code and two digits (100201 under 1002,
// 10020101 below that).
//
// An account's code is the one the table holds for it; an account the table
// does not name (every account of a set made before codes existed) is given
// one as follows, the stored codes taken first:
//   1. the top-level accounts the standard knows, by name (现金 and 库存现金
//      1001, 银行存款 1002 …), when that code lies in their category and is free;
//   2. the other top-level accounts, in chart order: the next free code of
//      their category;
//   3. the sub-accounts, each after its parent, in chart order: the parent's
//      code and the next free two digits.
// "The next free" is the one after the highest taken (a deleted account's
// code is not handed out again at once), or else the lowest free one. An
// account of no known category, below a parent without a code, or whose
// codes are all taken has none ("").
//
// The first login to work stores the codes of a set that has no table yet
// (giveAccountCodes, shell/login.h); adding an account stores its code and
// deleting one drops it, in the same action (chart.h). A restore keeps no
// codes table of the set it replaces: the codes belong to the chart the
// archive brings.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "accounts/chart.h"

namespace tw {

// Full name → code.
using AccountCodes = std::map<std::string, std::string>;

// The standard's code of a top-level account by its name; empty for a name
// the standard does not know.
std::string standardCode(std::string_view name);

// The code of `name`; empty when it has none.
std::string codeOf(const AccountCodes& codes, const std::string& name);

// "1002 银行存款": the code, a blank and the name; the name alone without a code.
std::string codeAndName(const std::string& code, const std::string& name);

// Codes for every account of `chart` (in table order): the stored ones that
// name an account of the chart (the first of a code given twice), the others
// given as above.
AccountCodes assignAccountCodes(const std::vector<Account>& chart, const AccountCodes& stored);

// The codes the set's table holds; none when the set has no table yet.
// Refuses (kUnreadableSet) anything at the table's name that cannot be read.
AccountCodes storedAccountCodes(RecordStore& store, const Session& session);

// Every account's code: stored, or given as above.
AccountCodes accountCodes(RecordStore& store, const Session& session,
                          const std::vector<Account>& chart);
// The code of one account of the set's chart; empty when it has none.
std::string accountCode(RecordStore& store, const Session& session, const std::string& name);

// Makes the table hold exactly `codes` (made when the set has none yet).
// Works inside the caller's action.
void storeAccountCodes(RecordStore& store, const Session& session, const AccountCodes& codes);

// The step of a login to work: a set without a codes table gets one, every
// account coded as above; a set with one is left as it is. Refuses
// (kUnreadableSet) a chart or a codes table that cannot be read. Works inside
// the caller's action.
void giveAccountCodes(RecordStore& store, const Session& session);

// The code proposed for a new account under `parent` (its full name; empty
// for a top-level account of `category`, 1..5): the next free one. Empty when
// none is free, or the parent has no code.
std::string proposedCode(const AccountCodes& codes, const std::string& parent, int category);
// The same for the set's chart as it stands. Refuses kUnreadableSet.
std::string proposeAccountCode(RecordStore& store, const Session& session,
                               const std::string& parent, int category);

// Why `code` cannot be the code of a new account under `parent` (empty: a
// top-level account of `category`), or empty when it can:
//  - a top-level code that is not four digits starting with the category's:
//    "一级科目的编码应为以1开头的4位数字（资产类）！";
//  - a sub-account's code that is not its parent's and two digits (not 00):
//    "科目编码应为上级科目的编码 1002 加两位数字！";
//  - a code some account has: "科目编码 100201 已被 银行存款→工商银行 使用！".
std::string codeRefusal(const AccountCodes& codes, const std::string& parent, int category,
                        const std::string& code);

// `chart` in code order: codes compared as text, so that each account comes
// right after its parent and before the parent's next sibling; accounts
// without a code last, in table order.
std::vector<Account> inCodeOrder(const std::vector<Account>& chart, const AccountCodes& codes);

// The chart in code order with every account's code, as the chart window,
// the pickers and `accounts` list it.
struct CodedChart {
    std::vector<Account> accounts;
    AccountCodes codes;
};
// Refuses (kUnreadableSet) when the chart or the codes cannot be read.
CodedChart loadCodedChart(RecordStore& store, const Session& session);

}  // namespace tw
