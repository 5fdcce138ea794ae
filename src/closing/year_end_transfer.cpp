#include "closing/year_end_transfer.h"

#include <map>
#include <vector>

#include "accounts/account_names.h"
#include "accounts/chart.h"
#include "closing/carry_forward.h"
#include "closing/posting.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// Where the profit goes: 未分配利润 when the chart has it, else 利润分配;
// empty when that is missing or no leaf.
std::string transferTarget(const std::vector<Account>& chart) {
    for (const char* name : {kRetainedEarnings, kProfitDistribution})
        if (inChart(chart, name)) return hasSubAccounts(chart, name) ? std::string() : name;
    return {};
}

}  // namespace

YearEndTransfer transferYearProfit(RecordStore& store, const Session& session) {
    const std::vector<Account> chart = loadAccounts(store, session);
    std::map<std::string, double> balances;
    {
        const SetTable balanceTable(store, session, file::kBalances);
        const Table& t = balanceTable.table();
        const int account = t.position(field::kAccount), balance = t.position(field::kBalance);
        for (const Record& r : t.select()) balances.emplace(r[account].text(), r[balance].number());
    }

    std::vector<BalanceMove> moves;
    const auto add = [&](const std::string& name) {
        const auto found = balances.find(name);
        if (found != balances.end() && !isZero(found->second))
            moves.push_back({name, {}, found->second});
    };
    const std::vector<std::string> profit = accountsAtOrBelow(chart, kYearProfitAccount);
    for (const std::string& name : profit) add(name);
    if (profit.empty()) add(kYearProfitAccount);
    if (moves.empty()) return {};

    const std::string target = transferTarget(chart);
    if (target.empty()) refuse(kNoRetainedEarnings, "no leaf to take the year's profit");
    for (BalanceMove& m : moves) m.target = target;
    YearEndTransfer done;
    done.vouchers = writeBalanceMoves(store, session, moves, kYearEndTransferSummary, "结转本年利润");
    done.posted = postReviewedVouchers(store, session);
    return done;
}

}  // namespace tw
