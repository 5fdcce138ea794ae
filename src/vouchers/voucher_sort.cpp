#include "vouchers/voucher_sort.h"

#include <algorithm>
#include <cmath>

#include "shell/action_log.h"
#include "storage/dates.h"
#include "vouchers/cash_flow_assignments.h"

namespace tw {

int renumberAll(RecordStore& store, const Session& session) {
    VoucherTable vouchers(store, session);
    std::vector<VoucherPage> pages;
    for (VoucherPage& p : vouchers.pages(monthPages(session.login.period)))
        if (p.isVoucher()) pages.push_back(std::move(p));
    if (std::any_of(pages.begin(), pages.end(), [](const VoucherPage& p) { return p.isPosted(); }))
        refuse(kPostedMonthCannotSort);

    // The records the month's pages occupy, in record order, with their contents.
    const std::vector<VoucherPage> slots = pages;
    std::stable_sort(pages.begin(), pages.end(), [](const VoucherPage& a, const VoucherPage& b) {
        const double da = std::floor(a.date), db = std::floor(b.date);
        if (da != db) return da < db;
        if (a.number != b.number) return a.number < b.number;
        return a.page < b.page;
    });

    double number = toYmd(session.login.period).month * 10000.0 + 1;
    int count = 0;
    std::vector<double> renumbered;  // their old numbers
    for (size_t i = 0; i < pages.size(); ++i) {
        VoucherPage page = pages[i];
        if (page.number != number) renumbered.push_back(page.number);
        page.number = number;
        // Only the fields that differ from the slot's present record are written.
        const std::vector<Value> values = vouchers.values(page);
        const std::vector<Value> present = vouchers.values(slots[i]);
        std::vector<std::pair<int, Value>> changes;
        for (size_t f = 0; f < values.size(); ++f)
            if (!(values[f] == present[f])) changes.emplace_back(static_cast<int>(f), values[f]);
        if (!changes.empty()) vouchers.table().update(slots[i].id, changes);
        if (pages[i].isLastPage()) {
            number += 1;
            ++count;
        }
    }
    logAction(store, session, logged::kVouchersSorted, std::to_string(count) + "张");
    // A voucher's cash-flow assignment belongs to its number.
    forgetCashFlowAssignments(store, session, session.login.period, renumbered);
    return count;
}

}  // namespace tw
