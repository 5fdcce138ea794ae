// The cursor on the current table: position, reading and writing record by
// record over the rows held in memory, writing through to the table state.
#include "storage/cursor.h"

#include <algorithm>

#include "storage/stored_values.h"

namespace tw {

using detail::checked;
using detail::fullRecord;
using detail::Row;

std::vector<Row>& RecordStore::Cursor::load() {
    if (loaded && version == table->version) return rows;
    std::int64_t at = 0;
    std::vector<std::int64_t> marks;
    if (loaded) {
        if (pos >= 0 && pos < static_cast<long>(rows.size())) at = rows[pos].id;
        for (const Row& r : rows)
            if (r.marked) marks.push_back(r.id);
    }
    rows = table->select({});
    for (Row& r : rows) r.marked = std::binary_search(marks.begin(), marks.end(), r.id);
    const long size = static_cast<long>(rows.size());
    if (lastAfterLoad) {
        pos = size - 1;
    } else if (at != 0) {
        auto it = std::lower_bound(rows.begin(), rows.end(), at,
                                   [](const Row& r, std::int64_t x) { return r.id < x; });
        pos = std::min(static_cast<long>(it - rows.begin()), size);
    } else {
        pos = std::clamp(pos, -1L, size);
    }
    lastAfterLoad = false;
    loaded = true;
    version = table->version;
    return rows;
}

Row& RecordStore::Cursor::row() {
    load();
    if (pos < 0 || pos >= static_cast<long>(rows.size()))
        throw std::logic_error("no current record in " + table->path.string());
    return rows[pos];
}

RecordStore::Cursor& RecordStore::current() {
    auto it = cursors_.find(current_);
    if (it == cursors_.end()) throw std::logic_error("no current table");
    return *it->second;
}

const RecordStore::Cursor& RecordStore::current() const {
    return const_cast<RecordStore*>(this)->current();
}

// ---- position ---------------------------------------------------------------

void RecordStore::goFirst() {
    Cursor& c = current();
    c.pos = 0;
    c.lastAfterLoad = false;
}

void RecordStore::goLast() {
    Cursor& c = current();
    c.pos = static_cast<long>(c.load().size()) - 1;
}

bool RecordStore::skipRecords(long count) {
    Cursor& c = current();
    const long size = static_cast<long>(c.load().size());
    c.pos += count;
    if (c.pos >= size) {
        c.pos = size;
        return false;
    }
    if (c.pos < 0) {
        c.pos = -1;
        return false;
    }
    return true;
}

void RecordStore::goToRecord(long number) {
    Cursor& c = current();
    c.pos = std::clamp(number - 1, -1L, static_cast<long>(c.load().size()));
}

bool RecordStore::isPastEnd() const {
    Cursor& c = const_cast<RecordStore*>(this)->current();
    return c.pos >= static_cast<long>(c.load().size());
}

bool RecordStore::isBeforeStart() const {
    Cursor& c = const_cast<RecordStore*>(this)->current();
    c.load();
    return c.pos < 0;
}

long RecordStore::recordNumber() const {
    Cursor& c = const_cast<RecordStore*>(this)->current();
    c.load();
    return c.pos + 1;
}

// ---- reading ----------------------------------------------------------------

Value RecordStore::readField(std::string_view field) const {
    Cursor& c = const_cast<RecordStore*>(this)->current();
    return c.row().values[c.table->fieldIndex(field)];
}

Value RecordStore::readField(int position) const {
    Cursor& c = const_cast<RecordStore*>(this)->current();
    const Row& row = c.row();
    if (position < 1 || position > static_cast<int>(row.values.size()))
        throw std::logic_error("field position out of range");
    return row.values[position - 1];
}

bool RecordStore::findRecord(const Condition& condition) {
    Cursor& c = current();
    const auto& rows = c.load();
    const long size = static_cast<long>(rows.size());
    for (long i = std::max(c.pos, 0L); i < size; ++i) {
        if (condition(RecordView(*c.table, rows[i].values))) {
            c.pos = i;
            return true;
        }
    }
    return false;
}

double RecordStore::maxOf(const Expression& expression, const Condition& condition) const {
    Cursor& c = const_cast<RecordStore*>(this)->current();
    bool any = false;
    double best = 0;
    for (const Row& row : c.load()) {
        RecordView view(*c.table, row.values);
        if (!condition(view)) continue;
        const double v = expression(view);
        if (!any || v > best) best = v;
        any = true;
    }
    return any ? best : 0;
}

long RecordStore::recordCount() const {
    Cursor& c = const_cast<RecordStore*>(this)->current();
    if (!c.loaded && !c.lastAfterLoad) return c.table->count({});
    return static_cast<long>(c.load().size());
}

int RecordStore::fieldCount() const { return static_cast<int>(current().table->fields.size()); }
const Schema& RecordStore::schema() const { return current().table->fields; }

std::string RecordStore::fieldName(int position) const {
    return current().table->fields.at(position - 1).name;
}

FieldType RecordStore::fieldType(int position) const {
    return current().table->fields.at(position - 1).type;
}

void RecordStore::writeField(std::string_view field, const Value& value) {
    requireAction();
    Cursor& c = current();
    Row& row = c.row();
    const int i = c.table->fieldIndex(field);
    Value v = checked(c.table->fields[i], value);
    touch(*c.table);
    row.values[i] = std::move(v);
    c.table->updateRow(row.id, row.values, std::uint64_t{1} << i);
    c.wrote();
}

void RecordStore::appendRecord(const std::vector<Value>& values) {
    requireAction();
    Cursor& c = current();
    std::vector<Value> row = fullRecord(c.table->fields, values);
    touch(*c.table);
    const bool fresh = c.loaded && c.version == c.table->version;
    const std::int64_t id = c.table->appendRow(row);
    if (fresh) {
        c.rows.push_back({id, std::move(row), false});
        c.pos = static_cast<long>(c.rows.size()) - 1;
        c.wrote();
    } else {
        c.lastAfterLoad = true;  // the rows are read when first needed
    }
}

void RecordStore::modifyRecord(const std::vector<std::optional<Value>>& values) {
    requireAction();
    Cursor& c = current();
    Row& row = c.row();
    if (values.size() > c.table->fields.size()) throw std::logic_error("more values than fields");
    // Check every value first, so that a refused one changes nothing.
    std::vector<Value> next = row.values;
    std::uint64_t mask = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        if (!values[i]) continue;
        next[i] = checked(c.table->fields[i], *values[i]);
        mask |= std::uint64_t{1} << i;
    }
    touch(*c.table);
    row.values = next;
    c.table->updateRow(row.id, std::move(next), mask);
    c.wrote();
}

void RecordStore::deleteRecord() {
    requireAction();
    current().row().marked = true;
}

void RecordStore::purgeDeleted() {
    requireAction();
    Cursor& c = current();
    auto& rows = c.load();
    long before = 0;  // marked rows before the position, to keep it on the same record
    bool any = false;
    for (long i = 0; i < static_cast<long>(rows.size()); ++i) {
        if (!rows[i].marked) continue;
        if (!any) touch(*c.table);
        any = true;
        if (i < c.pos) ++before;
        c.table->removeRow(rows[i].id);
    }
    if (!any) return;
    std::erase_if(rows, [](const Row& r) { return r.marked; });
    c.pos = std::clamp(c.pos - before, -1L, static_cast<long>(rows.size()));
    c.wrote();
}

void RecordStore::clearTable() {
    requireAction();
    Cursor& c = current();
    touch(*c.table);
    c.table->clearRows();
    c.rows.clear();
    c.loaded = true;
    c.pos = 0;
    c.wrote();
}

void RecordStore::setTablePassword(const std::string& password) {
    requireAction();
    Cursor& c = current();
    touch(*c.table);
    c.table->setPassword(password);
    c.table->passwordChanged = true;
    c.table->written = true;
}

}  // namespace tw
