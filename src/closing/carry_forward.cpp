#include "closing/carry_forward.h"

#include <cmath>
#include <map>

#include "accounts/chart.h"
#include "closing/period.h"
#include "closing/posting.h"
#include "storage/number_text.h"
#include "storage/schemas.h"

namespace tw {

namespace {

void openPairs(RecordStore& store, const Session& session) {
    openSetTable(store, session, file::kCarryForward);
}

bool inChart(const std::vector<Account>& chart, const std::string& name) {
    for (const Account& a : chart)
        if (a.name == name) return true;
    return false;
}

// The source and the accounts below it, in chart order.
std::vector<std::string> carriedAccounts(const std::vector<Account>& chart,
                                         const std::string& source) {
    std::vector<std::string> out;
    const std::string below = source + "→";
    for (const Account& a : chart)
        if (a.name == source || a.name.starts_with(below)) out.push_back(a.name);
    if (out.empty()) out.push_back(source);  // a pair saved before it had to be in the chart
    return out;
}

}  // namespace

std::vector<CarryForwardPair> fillCarryForwardList(RecordStore& store, const Session& session) {
    openPairs(store, session);
    std::vector<CarryForwardPair> pairs;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
        pairs.push_back({store.readField(field::kFromAccount).text(),
                         store.readField(field::kToAccount).text()});
    store.closeTable();
    return pairs;
}

void saveCarryForwardPair(RecordStore& store, const Session& session, const CarryForwardPair& pair) {
    if (pair.source.empty() || pair.target.empty()) refuse(kFillInAccounts);
    const auto chart = loadAccounts(store, session);
    for (const std::string& name : {pair.source, pair.target})
        if (!inChart(chart, name)) refuse("“" + name + "”不是会计科目中的科目，请检查后重新填写！");
    openPairs(store, session);
    store.goFirst();
    if (store.findRecord([&](const RecordView& r) { return r.text(field::kFromAccount) == pair.source; }))
        store.modifyRecord({std::nullopt, Value(pair.target)});
    else
        store.appendRecord({pair.source, pair.target});
    store.closeTable();
}

std::string deletePairQuestion(const CarryForwardPair& pair) {
    return pair.source + "  >对应科目>  " + pair.target + "\r\n真的要删除当前选定吗！？";
}

void deleteCarryForwardPair(RecordStore& store, const Session& session, const std::string& source) {
    if (source.empty()) refuse(kChoosePairToDelete);
    openPairs(store, session);
    store.goFirst();
    if (store.findRecord([&](const RecordView& r) { return r.text(field::kFromAccount) == source; })) {
        store.deleteRecord();
        store.purgeDeleted();
    }
    store.closeTable();
}

CarryForward carryForwardProfitAndLoss(RecordStore& store, const Session& session,
                                       const std::vector<CarryForwardPair>& pairs) {
    const double period = session.login.period;
    const double day = lastDayOfMonth(period);
    const auto chart = loadAccounts(store, session);

    openSetTable(store, session, file::kBalances);
    std::map<std::string, double> balances;
    {
        const Table t = store.table(table(session, file::kBalances));
        const int account = t.position(field::kAccount), balance = t.position(field::kBalance);
        for (const Record& r : t.select()) balances.emplace(r[account].text(), r[balance].number());
    }
    store.closeTable();

    openSetTable(store, session, file::kVouchers);
    Table vouchers = store.table(table(session, file::kVouchers));
    const int numberField = vouchers.position(field::kMonthNumber);
    std::int64_t number = 10000LL * toYmd(period).month;
    for (const Record& page : vouchers.select(monthOf(field::kDate, period)))
        number = std::max<std::int64_t>(number, std::llround(page[numberField].number()));

    std::vector<Value> blank;
    for (const FieldDef& f : vouchers.schema()) blank.push_back(emptyValue(f.type));
    const auto at = [&](const std::string& f) { return vouchers.position(f); };
    CarryForward done;
    for (const CarryForwardPair& pair : pairs) {
        for (const std::string& account : carriedAccounts(chart, pair.source)) {
            const auto found = balances.find(account);
            const double balance = found == balances.end() ? 0 : found->second;
            if (isZero(balance)) continue;
            const double amount = roundCents(std::fabs(balance));
            // A debit balance is credited away into the target, a credit balance debited.
            const std::string& debited = balance > 0 ? pair.target : account;
            const std::string& credited = balance > 0 ? account : pair.target;
            std::vector<Value> page = blank;
            page[numberField] = static_cast<double>(++number);
            page[at(field::kPage)] = 1;
            page[at(field::kPageCount)] = 1;
            page[at(field::kDate)] = day;
            page[at(field::lineSummary(1))] = kCarryForwardSummary;
            page[at(field::lineSummary(2))] = kCarryForwardSummary;
            page[at(field::lineAccount(1))] = debited;
            page[at(field::lineAccount(2))] = credited;
            page[at(field::lineDebit(1))] = amount;
            page[at(field::lineCredit(2))] = amount;
            page[at(field::kDebitTotal)] = amount;
            page[at(field::kCreditTotal)] = amount;
            page[at(field::kPreparer)] = session.login.userName;
            page[at(field::kReviewer)] = session.login.userName;
            vouchers.append(page);
            ++done.vouchers;
        }
    }
    store.closeTable();
    done.posted = postReviewedVouchers(store, session);
    return done;
}

}  // namespace tw
