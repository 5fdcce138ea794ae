#include "closing/carry_forward.h"

#include <cmath>
#include <map>

#include "accounts/account_names.h"
#include "accounts/chart.h"
#include "closing/period.h"
#include "closing/posting.h"
#include "shell/action_log.h"
#include "storage/number_text.h"
#include "storage/schemas.h"
#include "vouchers/numbering.h"

namespace tw {

namespace {

// The source and the accounts below it, in chart order.
std::vector<std::string> carriedAccounts(const std::vector<Account>& chart,
                                         const std::string& source) {
    std::vector<std::string> out = accountsAtOrBelow(chart, source);
    if (out.empty()) out.push_back(source);  // a pair saved before it had to be in the chart
    return out;
}

// The row of the pair nearest to `account` on its path (its own pair, else its
// parent's, and so on up to the top level); npos when none is.
std::size_t nearestPair(const std::map<std::string, std::size_t>& pairOf, std::string account) {
    for (;;) {
        if (const auto it = pairOf.find(account); it != pairOf.end()) return it->second;
        if (isTopLevel(account)) return std::string::npos;
        account = parentOf(account);
    }
}

}  // namespace

std::string closingVouchersFullMessage(const std::string& what, std::int64_t needed,
                                       std::int64_t largest, std::int64_t left) {
    return what + "需要" + std::to_string(needed) + "张凭证，本月凭证已编到第" +
           std::to_string(largest) + "号，只剩" + std::to_string(left) + "个编号，不能结账！";
}

std::string carryForwardFullMessage(std::int64_t needed, std::int64_t largest, std::int64_t left) {
    return closingVouchersFullMessage("结转损益", needed, largest, left);
}

int writeBalanceMoves(RecordStore& store, const Session& session,
                      const std::vector<BalanceMove>& moves, const std::string& summary,
                      const std::string& what) {
    if (moves.empty()) return 0;  // no number to find, nothing to write
    const double period = session.login.period;
    const double day = lastDayOfMonth(period);
    SetTable voucherTable(store, session, file::kVouchers);
    Table& vouchers = voucherTable.table();
    const int numberField = vouchers.position(field::kMonthNumber);
    const NumberBlock block = numberBlock(period);
    std::int64_t number = block.first - 1;
    vouchers.forEach(monthOf(field::kDate, period), [&](const Record& page) {
        if (block.holds(page[numberField].number()))
            number = std::max<std::int64_t>(number, std::llround(page[numberField].number()));
        return true;
    });
    const auto needed = static_cast<std::int64_t>(moves.size());
    if (number + needed > block.last)
        refuse(closingVouchersFullMessage(what, needed, number, block.last - number),
               what + " past " + std::to_string(block.last));

    std::vector<Value> blank;
    for (const FieldDef& f : vouchers.schema()) blank.push_back(emptyValue(f.type));
    const auto at = [&](const std::string& f) { return vouchers.position(f); };
    int written = 0;
    for (const BalanceMove& c : moves) {
        const double amount = roundCents(std::fabs(c.balance));
        // A debit balance is credited away into the target, a credit balance debited.
        const std::string& debited = c.balance > 0 ? c.target : c.account;
        const std::string& credited = c.balance > 0 ? c.account : c.target;
        std::vector<Value> page = blank;
        page[numberField] = static_cast<double>(++number);
        page[at(field::kKind)] = summary;  // users' vouchers have no 种类
        page[at(field::kPage)] = 1;
        page[at(field::kPageCount)] = 1;
        page[at(field::kDate)] = day;
        page[at(field::lineSummary(1))] = summary;
        page[at(field::lineSummary(2))] = summary;
        page[at(field::lineAccount(1))] = debited;
        page[at(field::lineAccount(2))] = credited;
        page[at(field::lineDebit(1))] = amount;
        page[at(field::lineCredit(2))] = amount;
        page[at(field::kDebitTotal)] = amount;
        page[at(field::kCreditTotal)] = amount;
        page[at(field::kPreparer)] = session.login.userName;
        page[at(field::kReviewer)] = session.login.userName;
        vouchers.append(page);
        ++written;
    }
    return written;
}

std::vector<CarryForwardPair> fillCarryForwardList(RecordStore& store, const Session& session) {
    const SetTable pairTable(store, session, file::kCarryForward);
    std::vector<CarryForwardPair> pairs;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
        pairs.push_back({store.readField(field::kFromAccount).text(),
                         store.readField(field::kToAccount).text()});
    return pairs;
}

void saveCarryForwardPair(RecordStore& store, const Session& session, const CarryForwardPair& pair) {
    if (pair.source.empty() || pair.target.empty()) refuse(kFillInAccounts);
    const auto chart = loadAccounts(store, session);
    for (const std::string& name : {pair.source, pair.target})
        if (!inChart(chart, name)) refuse("“" + name + "”不是会计科目中的科目，请检查后重新填写！");
    const SetTable pairTable(store, session, file::kCarryForward);
    store.goFirst();
    if (store.findRecord([&](const RecordView& r) { return r.text(field::kFromAccount) == pair.source; }))
        store.modifyRecord({std::nullopt, Value(pair.target)});
    else
        store.appendRecord({pair.source, pair.target});
    logAction(store, session, logged::kPairSaved, pair.source + " → " + pair.target);
}

std::string deletePairQuestion(const CarryForwardPair& pair) {
    return pair.source + "  >对应科目>  " + pair.target + "\r\n真的要删除当前选定吗！？";
}

void deleteCarryForwardPair(RecordStore& store, const Session& session, const std::string& source) {
    if (source.empty()) refuse(kChoosePairToDelete);
    const SetTable pairTable(store, session, file::kCarryForward);
    store.goFirst();
    if (store.findRecord([&](const RecordView& r) { return r.text(field::kFromAccount) == source; })) {
        store.deleteRecord();
        store.purgeDeleted();
        logAction(store, session, logged::kPairDeleted, source);
    }
}

CarryForward carryForwardProfitAndLoss(RecordStore& store, const Session& session,
                                       const std::vector<CarryForwardPair>& pairs) {
    const auto chart = loadAccounts(store, session);

    std::map<std::string, double> balances;
    {
        const SetTable balanceTable(store, session, file::kBalances);
        const Table& t = balanceTable.table();
        const int account = t.position(field::kAccount), balance = t.position(field::kBalance);
        for (const Record& r : t.select()) balances.emplace(r[account].text(), r[balance].number());
    }

    // Every account with a balance goes once, with the nearest pair on its path.
    std::map<std::string, std::size_t> pairOf;  // source → its first row in the list
    for (std::size_t i = 0; i < pairs.size(); ++i) pairOf.emplace(pairs[i].source, i);
    std::vector<BalanceMove> carried;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairOf.at(pairs[i].source) != i) continue;  // a second row of the same source
        for (const std::string& account : carriedAccounts(chart, pairs[i].source)) {
            if (nearestPair(pairOf, account) != i) continue;
            const auto found = balances.find(account);
            const double balance = found == balances.end() ? 0 : found->second;
            if (!isZero(balance)) carried.push_back({account, pairs[i].target, balance});
        }
    }

    CarryForward done;
    done.vouchers = writeBalanceMoves(store, session, carried, kCarryForwardSummary, "结转损益");
    done.posted = postReviewedVouchers(store, session);
    return done;
}

}  // namespace tw
