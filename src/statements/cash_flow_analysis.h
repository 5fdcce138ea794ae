#pragma once
// How one voucher's cash goes onto the lines of the cash-flow statement, by
// the rules of 现金流量项目.txt (cash_flow_rules.h):
//   1. its lines in whole cents; the cash lines' debits less credits are its
//      movement (0: no flow, as between two cash accounts);
//   2. its counter lines are the non-cash lines on the other side: those
//      credited when cash came in, those debited when it went out;
//   3. the movement is shared among them in proportion to their amounts:
//      each share rounded down, the cents left over going one each to the
//      largest remainders (the earlier line first on a tie), so that the
//      shares add up to the movement exactly;
//   4. each share goes to its counter's line: the rule's 收 for cash
//      received, 付 for cash paid, 2 or 6 for an account no rule names; a
//      rule with 随同 takes instead the line of the largest of the other
//      counters on one of those lines, when there is one;
//   5. a share counts as the line is: cash received on a line of cash paid
//      lowers it (a refund), and the other way round.
// So a voucher's inflow lines less its outflow lines are its movement.
// A voucher that moves cash without any counter line (it does not balance)
// puts it all on line 2 or 6, with no account.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "statements/cash_flow_rules.h"

namespace tw {

struct CashFlowVoucherLine {
    std::string account;
    std::string summary;
    std::int64_t debit = 0;   // cents
    std::int64_t credit = 0;  // cents, positive
};

struct CashFlowShare {
    int line = 0;
    std::int64_t cents = 0;  // as the line shows it
    std::string account;     // the counter account; empty for a voucher without any
    bool named = true;       // a rule names the account
    std::string summary;     // the counter line's
};

struct VoucherCashFlow {
    std::int64_t movement = 0;                  // cash debits less cash credits
    std::map<std::string, std::int64_t> cash;   // the movement by cash account of the rules
    std::vector<CashFlowShare> shares;          // one per counter line, in the voucher's order
};

VoucherCashFlow analyseVoucher(const CashFlowRules& rules, const std::vector<CashFlowVoucherLine>& lines);

// The movement an amount on `line` stands for: itself on a line of cash
// received, its negative on one of cash paid.
std::int64_t movementOf(int line, std::int64_t lineCents);

// `total` (≥ 0) shared in proportion to `weights` (each > 0) by the largest
// remainders: the shares add up to `total` exactly.
std::vector<std::int64_t> shareOut(std::int64_t total, const std::vector<std::int64_t>& weights);

}  // namespace tw
