#pragma once
// The line items of the two statements a small business files, and what
// each line sums: data kept beside the program in 报表项目.txt (made in the
// account-set directory at start-up when missing, like the other templates),
// one rule a line, so that a new line rule is one more line of that file.
//
// The file is UTF-8 text; blank lines and lines starting with "#" are
// comments; every other line holds five tab-separated fields:
//   报表   资产负债表 or 利润表
//   行次   the line number (1 to 99, once per statement); empty for a caption
//          of the form ("流动资产："), which has no amount
//   项目   the line's text as the form prints it
//   方向   借 or 贷: on the balance sheet 借 lines stand in the left half
//          (资产) and 贷 lines in the right (负债和所有者权益); the catch-all
//          terms take their accounts on this side
//   取数   terms joined by " + " and " - " (blanks around the sign):
//            ACCOUNT            an account of the chart by its full name, with
//                               everything below it, on its own balance
//                               side: its balance at the month's end (资产负债表)
//                               or its movement (利润表)
//            借余(ACCOUNT)       the sum of the debit balances of its leaves
//            贷余(ACCOUNT)       the sum of the credit balances of its leaves
//            行N                line N of the same statement
//            其余(CATEGORY)      every top-level account of that category that
//                               no term of the statement names; the statement
//                               tells which accounts it took
//            其余(CATEGORY,借方)  the same, of the accounts with that side only
//          empty: the line has no amount.
//          A balance is counted once: when a term names an account below
//          the account of another term, or below a top-level account a
//          catch-all takes, and their lines enter one sum (the same line, or
//          lines one line adds up through 行N), the more specific term takes
//          its balance and the other only the rest. A 其中 line, in no sum
//          with its parent's line, takes nothing away from it.
// Rules stand in the order the form shows them; the balance sheet's two
// halves each in their own order.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

inline constexpr const char* kStatementRulesFile = "报表项目.txt";
inline constexpr const char* kBalanceSheetName = "资产负债表";
inline constexpr const char* kIncomeStatementName = "利润表";

enum class StatementKind { BalanceSheet, IncomeStatement, CashFlow };

struct RuleTerm {
    enum class Kind { Account, DebitSides, CreditSides, Line, Rest };
    Kind kind = Kind::Account;
    int sign = 1;          // +1 or −1
    std::string name;      // the account, or the category of Rest
    std::string side;      // Rest only: "借方", "贷方" or empty for both
    int line = 0;          // Line only
    bool operator==(const RuleTerm&) const = default;
};

struct LineRule {
    StatementKind statement = StatementKind::BalanceSheet;
    int line = 0;  // 0: a caption
    std::string item;
    bool debitSide = true;  // 方向 借
    std::string formula;    // 取数 as written
    std::vector<RuleTerm> terms;
    bool operator==(const LineRule&) const = default;
};

struct StatementRules {
    std::vector<LineRule> balanceSheet;
    std::vector<LineRule> incomeStatement;
    const std::vector<LineRule>& of(StatementKind kind) const {
        return kind == StatementKind::BalanceSheet ? balanceSheet : incomeStatement;
    }
};

// The rules of a file's text. nullopt, with "第N行：why" in `error`, on the
// first fault: an unknown statement, a bad or repeated 行次, a 方向 that is
// not 借 or 贷, a caption with a formula, a term that cannot be read, a 行N
// that the statement has not, lines that sum each other in a circle.
std::optional<StatementRules> parseStatementRules(std::string_view text, std::string* error);

// The rules the program writes: the 53 lines of 会小企01表 and the 32 of
// 会小企02表 with their captions.
const std::string& defaultStatementRulesText();

// Writes 报表项目.txt into `dataDir` when it is missing; an existing file is
// never touched. False when a missing file could not be written.
bool writeStatementRulesIfMissing(const std::filesystem::path& dataDir);

// The largest 报表项目.txt read: the written rules take about 8 KB.
inline constexpr long kMaxStatementRulesBytes = 1024 * 1024;

// The rules of `dataDir`'s 报表项目.txt. Refuses (Refusal), with a message
// that names the file: one that is missing or unreadable, one that is not a
// regular file once links are followed (a device, a FIFO, a folder), one
// larger than kMaxStatementRulesBytes, and a faulty one (naming the line).
StatementRules loadStatementRules(const std::filesystem::path& dataDir);

// Writes `text` as the rules file `path` when there is none (whole, beside
// its place, then renamed); false when it could not be written.
bool writeRulesFileIfMissing(const std::filesystem::path& path, const std::string& text);

// The text of a rules file of the account-set directory (this one, and the
// cash-flow statement's), `name` naming it in the refusals
// ("报表项目文件“报表项目.txt”") and `contents` telling what it should hold
// ("报表项目"). Refuses a file that is missing or unreadable, one that is not
// a regular file once links are followed (a device, a FIFO, a folder) and
// one larger than kMaxStatementRulesBytes.
std::string readRulesFile(const std::filesystem::path& path, const std::string& name,
                          const std::string& contents);

// The top-level accounts the terms of `rules` name (ACCOUNT, 借余, 贷余 of a
// name without "→"): those the catch-all terms leave alone.
std::vector<std::string> namedTopLevels(const std::vector<LineRule>& rules);

// A rule as the file holds it: the five fields, tab-separated.
std::string ruleLine(const LineRule& rule);

}  // namespace tw
