#include "statements/cash_flow_analysis.h"

#include <algorithm>
#include <numeric>

namespace tw {

std::int64_t movementOf(int line, std::int64_t lineCents) {
    return isInflowLine(line) ? lineCents : -lineCents;
}

std::vector<std::int64_t> shareOut(std::int64_t total, const std::vector<std::int64_t>& weights) {
    const std::size_t n = weights.size();
    std::vector<std::int64_t> shares(n);
    if (n == 0) return shares;
    __int128 sum = 0;
    for (const std::int64_t w : weights) sum += w;
    std::vector<__int128> rest(n);
    std::int64_t given = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const __int128 exact = static_cast<__int128>(total) * weights[i];
        shares[i] = static_cast<std::int64_t>(exact / sum);
        rest[i] = exact % sum;
        given += shares[i];
    }
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rest[a] > rest[b]; });
    // Less than one cent per share is left over.
    for (std::size_t k = 0; given < total; ++k, ++given) ++shares[order[k % n]];
    return shares;
}

VoucherCashFlow analyseVoucher(const CashFlowRules& rules, const std::vector<CashFlowVoucherLine>& lines) {
    VoucherCashFlow out;
    for (const CashFlowVoucherLine& l : lines) {
        if (l.account.empty()) continue;
        const std::string cash = rules.cashAccountOf(l.account);
        if (cash.empty()) continue;
        out.cash[cash] += l.debit - l.credit;
        out.movement += l.debit - l.credit;
    }
    if (out.movement == 0) return out;
    const bool received = out.movement > 0;

    // The counters: the non-cash lines on the other side, with their lines.
    struct Counter {
        const CashFlowVoucherLine* line;
        const CashFlowRule* rule;
        int target;
        std::int64_t weight;
    };
    std::vector<Counter> counters;
    for (const CashFlowVoucherLine& l : lines) {
        if (l.account.empty() || rules.isCash(l.account)) continue;
        const std::int64_t weight = received ? l.credit - l.debit : l.debit - l.credit;
        if (weight <= 0) continue;
        const CashFlowRule* rule = rules.ruleOf(l.account);
        const int target = rule ? (received ? rule->in : rule->out)
                                : (received ? kOtherReceiptsLine : kOtherPaymentsLine);
        counters.push_back({&l, rule, target, weight});
    }
    const std::int64_t moved = received ? out.movement : -out.movement;
    const auto counted = [&](int line, std::int64_t share) { return received == isInflowLine(line) ? share : -share; };
    if (counters.empty()) {
        const int line = received ? kOtherReceiptsLine : kOtherPaymentsLine;
        out.shares.push_back({line, counted(line, moved), std::string(), false, std::string()});
        return out;
    }

    // 随同: the line of the largest counter on one of the lines named, of
    // those that follow nothing themselves.
    std::vector<int> targets;
    for (const Counter& c : counters) {
        int target = c.target;
        if (c.rule && !c.rule->follows.empty()) {
            const Counter* largest = nullptr;
            for (const Counter& o : counters) {
                if (o.rule && !o.rule->follows.empty()) continue;
                if (std::find(c.rule->follows.begin(), c.rule->follows.end(), o.target) == c.rule->follows.end())
                    continue;
                if (!largest || o.weight > largest->weight) largest = &o;
            }
            if (largest) target = largest->target;
        }
        targets.push_back(target);
    }

    std::vector<std::int64_t> weights;
    for (const Counter& c : counters) weights.push_back(c.weight);
    const std::vector<std::int64_t> shares = shareOut(moved, weights);
    for (std::size_t i = 0; i < counters.size(); ++i)
        out.shares.push_back({targets[i], counted(targets[i], shares[i]), counters[i].line->account,
                              counters[i].rule != nullptr, counters[i].line->summary});
    return out;
}

}  // namespace tw
