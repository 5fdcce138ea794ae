#include "vouchers/cash_flow_assignments.h"

#include <filesystem>
#include <memory>

#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// True when nothing at all is at `path`: not even an empty file, a folder or
// a link that leads nowhere.
bool nothingAt(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::not_found;
}

// The table, open for this scope; nullptr when the set has none yet.
std::unique_ptr<SetTable> openAssignments(RecordStore& store, const Session& session) {
    if (session.login.setName.empty()) refuse(kUnreadableSet, "no set is open");
    const auto path = tablePath(session, file::kCashFlowAssignments);
    if (store.isOpen(path))
        return std::make_unique<SetTable>(store, session, file::kCashFlowAssignments, SetTable::IfOpen::UseAsItIs);
    if (!openTableIn(store, setFolder(session.dataDir, session.login.setName), file::kCashFlowAssignments,
                     session.login.setPassword)) {
        if (store.lastOpenFailure() == RecordStore::OpenFailure::Missing && nothingAt(path)) return nullptr;
        openSetTable(store, session, file::kCashFlowAssignments);  // refuses with the reason
    }
    return SetTable::adopt(store, session, file::kCashFlowAssignments);
}

Where monthsOf(YearMonth from, YearMonth to) {
    return Where().atLeast(field::kVoucherDate, from.firstDay()).below(field::kVoucherDate, to.next().firstDay());
}

Where voucherOf(double date, double number) {
    const YearMonth m = YearMonth::of(date);
    return monthsOf(m, m).equal(field::kMonthNumber, number);
}

}  // namespace

std::vector<CashFlowAssignment> readCashFlowAssignments(RecordStore& store, const Session& session,
                                                        YearMonth from, YearMonth to) {
    const auto table = openAssignments(store, session);
    std::vector<CashFlowAssignment> out;
    if (!table) return out;
    const Table& t = table->table();
    const int date = t.position(field::kVoucherDate), number = t.position(field::kMonthNumber),
              line = t.position(field::kStatementLine), amount = t.position(field::kAmount);
    for (const Record& r : t.select(monthsOf(from, to)))
        out.push_back({r[date].number(), r[number].number(), static_cast<int>(r[line].integer()),
                       r[amount].number()});
    return out;
}

void writeCashFlowAssignment(RecordStore& store, const Session& session, double date, double number,
                             const std::vector<std::pair<int, double>>& parts) {
    auto table = openAssignments(store, session);
    if (!table) {
        if (parts.empty()) return;
        const auto path = tablePath(session, file::kCashFlowAssignments);
        if (!store.createTable(path, cashFlowAssignmentsSchema()) || !store.openTable(path, ""))
            throw StoreError("cannot make " + pathText(path));
        table = SetTable::adopt(store, session, file::kCashFlowAssignments);
        store.setTablePassword(session.login.setPassword);
    }
    Table& t = table->table();
    for (const Record& r : t.select(voucherOf(date, number))) t.remove(r.id);
    for (const auto& [line, amount] : parts) t.append({Value(date), Value(number), Value(line), Value(amount)});
}

void forgetCashFlowAssignments(RecordStore& store, const Session& session, double date,
                               const std::vector<double>& numbers) {
    if (numbers.empty()) return;
    const auto table = openAssignments(store, session);
    if (!table) return;
    Table& t = table->table();
    std::vector<Value> values(numbers.begin(), numbers.end());
    const YearMonth m = YearMonth::of(date);
    for (const Record& r : t.select(monthsOf(m, m).oneOf(field::kMonthNumber, std::move(values)))) t.remove(r.id);
}

}  // namespace tw
