// The Table handle: look-ups by condition over an open table and writes by
// record id, through the table state (file rows with the action's writes).
#include "storage/record_store.h"

#include <stdexcept>

#include "storage/stored_values.h"
#include "storage/table_state.h"

namespace tw {

using detail::checked;
using detail::fullRecord;
using detail::Row;

namespace {
std::optional<Record> toRecord(std::optional<Row> row) {
    if (!row) return std::nullopt;
    return Record{row->id, std::move(row->values)};
}
}  // namespace

const Schema& Table::schema() const { return state_->fields; }
int Table::position(std::string_view field) const { return state_->fieldIndex(field); }

std::vector<Record> Table::select(const Where& where) const {
    std::vector<Record> out;
    for (Row& r : state_->select(where)) out.push_back({r.id, std::move(r.values)});
    return out;
}

std::optional<Record> Table::first(const Where& where) const {
    auto rows = state_->select(where, 1);
    return rows.empty() ? std::nullopt : toRecord(std::move(rows[0]));
}

std::optional<Record> Table::last(const Where& where) const {
    auto rows = state_->select(where, 1, true);
    return rows.empty() ? std::nullopt : toRecord(std::move(rows[0]));
}

long Table::count(const Where& where) const { return state_->count(where); }

void Table::forEach(const Where& where, const std::function<bool(const Record&)>& visit) const {
    state_->scan(where, -1, false, [&](Row& row) {
        const Record r{row.id, std::move(row.values)};
        return visit(r);
    });
}

namespace {
void requirePositions(const Schema& fields, const std::vector<int>& positions) {
    for (const int p : positions)
        if (p < 0 || p >= static_cast<int>(fields.size()))
            throw std::logic_error("no field at position " + std::to_string(p));
}
}  // namespace

std::vector<Record> Table::select(const Where& where, const std::vector<int>& positions) const {
    requirePositions(state_->fields, positions);
    std::vector<Record> out;
    state_->scan(
        where, -1, false,
        [&](Row& row) {
            out.push_back({row.id, std::move(row.values)});
            return true;
        },
        &positions, detail::ScanOrder::Memory);
    return out;
}

void Table::forEach(const Where& where, const std::vector<int>& positions,
                    const std::function<bool(const Record&)>& visit, RowOrder order) const {
    requirePositions(state_->fields, positions);
    state_->scan(
        where, -1, false,
        [&](Row& row) {
            const Record r{row.id, std::move(row.values)};
            return visit(r);
        },
        &positions, order == RowOrder::Any ? detail::ScanOrder::Any : detail::ScanOrder::Sql);
}

std::optional<Record> Table::get(std::int64_t id) const { return toRecord(state_->get(id)); }

void Table::requireOpen() const {
    if (state_->cursors == 0 && !state_->written)
        throw std::logic_error("table not open: " + state_->path.string());
}

std::int64_t Table::append(std::vector<Value> values) {
    store_->requireAction();
    requireOpen();
    std::vector<Value> row = fullRecord(state_->fields, std::move(values));
    store_->touch(*state_);
    return state_->appendRow(std::move(row));
}

void Table::update(std::int64_t id, const std::vector<std::pair<int, Value>>& changes) {
    store_->requireAction();
    requireOpen();
    auto row = state_->get(id);
    if (!row) throw std::logic_error("no record " + std::to_string(id) + " in " + state_->path.string());
    update(Record{id, std::move(row->values)}, changes);
}

void Table::update(const Record& current, const std::vector<std::pair<int, Value>>& changes) {
    store_->requireAction();
    requireOpen();
    std::vector<Value> values = current.values;
    std::uint64_t mask = 0;
    for (const auto& [i, v] : changes) {
        values.at(i) = checked(state_->fields.at(i), v);
        mask |= std::uint64_t{1} << i;
    }
    store_->touch(*state_);
    state_->updateRow(current.id, std::move(values), mask);
}

void Table::change(std::int64_t id, const std::vector<std::pair<int, Value>>& changes) {
    store_->requireAction();
    requireOpen();
    std::vector<std::pair<int, Value>> values;
    for (const auto& [i, v] : changes) values.emplace_back(i, checked(state_->fields.at(i), v));
    store_->touch(*state_);
    state_->changeFields(id, values);
}

void Table::remove(std::int64_t id) {
    store_->requireAction();
    requireOpen();
    store_->touch(*state_);
    state_->removeRow(id);
}

}  // namespace tw
