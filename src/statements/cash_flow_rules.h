#pragma once
// Where the cash of a voucher goes on the cash-flow statement (会小企03表):
// data kept beside the program in 现金流量项目.txt (made in the account-set
// directory at start-up when missing, like 报表项目.txt), one rule a line.
//
// The file is UTF-8 text; blank lines and lines starting with "#" are
// comments; every other line is one of
//   现金科目 TAB ACCOUNT + ACCOUNT …   the cash accounts (each with the
//                                     accounts below it), once in the file;
//                                     movements between them are no flow
//   ACCOUNT TAB 收 TAB 付 [TAB 随同]    a counter account (with the accounts
//                                     below it that have no rule of their
//                                     own): the line of the cash received
//                                     against it (收) and of the cash paid (付),
//                                     each one of the lines 1–6, 8–12, 14–18;
//                                     随同, lines joined by "、": on a voucher
//                                     that has other counters on those lines,
//                                     it goes to the line of the largest of
//                                     them (the tax of a sale or a purchase)
// A counter account no rule names goes to line 2 (收) or 6 (付), and the
// statement names it.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

inline constexpr const char* kCashFlowRulesFile = "现金流量项目.txt";
inline constexpr const char* kCashFlowStatementName = "现金流量表";
// The first field of the line of the cash accounts.
inline constexpr const char* kCashAccountsKey = "现金科目";
// Where the cash against an account no rule names goes.
inline constexpr int kOtherReceiptsLine = 2;
inline constexpr int kOtherPaymentsLine = 6;

// The lines of 会小企03表 a voucher's cash goes to: 1–6, 8–12 and 14–18 (the
// others add them up or hold the balances).
bool isFlowLine(int line);
// Of those, the lines of cash received: 1, 2, 8, 9, 10, 14 and 15; the
// others are of cash paid. Cash received against a paying line lowers it (a
// refund from a supplier), and the other way round.
bool isInflowLine(int line);

struct CashFlowRule {
    std::string account;       // full name
    int in = 0;                // 收: the line of cash received against it
    int out = 0;               // 付: the line of cash paid against it
    std::vector<int> follows;  // 随同
    bool operator==(const CashFlowRule&) const = default;
};

struct CashFlowRules {
    std::vector<std::string> cashAccounts;
    std::vector<CashFlowRule> counters;          // in the file's order
    std::map<std::string, std::size_t> byAccount;  // index into counters

    // The cash account `account` is or lies below; empty for a counter account.
    std::string cashAccountOf(std::string_view account) const;
    bool isCash(std::string_view account) const { return !cashAccountOf(account).empty(); }
    // The rule of `account`: its own, or that of the nearest account above it
    // that has one; nullptr when none has.
    const CashFlowRule* ruleOf(std::string_view account) const;
};

// The rules of a file's text. nullopt, with "第N行：why" in `error`, at the
// first fault: a line of neither shape, an empty account, a 收, 付 or 随同
// that is not a line cash goes to, an account twice, the cash accounts
// twice, one cash account below another, a counter that is a cash account;
// and a file without the cash accounts.
std::optional<CashFlowRules> parseCashFlowRules(std::string_view text, std::string* error);

// The rules the program writes: the usual counter accounts of the template
// chart, 应交税费 going with the sale or the purchase it is part of.
const std::string& defaultCashFlowRulesText();

// Writes 现金流量项目.txt into `dataDir` when it is missing; an existing file
// is never touched. False when a missing file could not be written.
bool writeCashFlowRulesIfMissing(const std::filesystem::path& dataDir);

// The rules of `dataDir`'s 现金流量项目.txt. Refuses (Refusal), with a message
// that names the file, what readRulesFile refuses and a faulty file (naming
// the line).
CashFlowRules loadCashFlowRules(const std::filesystem::path& dataDir);

// The rules as the file holds them, tab-separated: the cash accounts first,
// then each counter rule.
std::vector<std::string> cashFlowRuleLines(const CashFlowRules& rules);

}  // namespace tw
