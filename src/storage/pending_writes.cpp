// The pending-write overlay of a table: the open action's changes, removals
// and appends held in memory, and the reads that merge them with the rows in
// the file, in record order.
#include <algorithm>
#include <stdexcept>

#include "storage/lookup.h"
#include "storage/table_state.h"

namespace tw::detail {

int TableState::fieldIndex(std::string_view name) const {
    auto it = index.find(name);
    if (it == index.end())
        throw std::logic_error("no field " + std::string(name) + " in " + path.string());
    return it->second;
}

void TableState::buildIndex() {
    index.clear();
    for (size_t i = 0; i < fields.size(); ++i) index.emplace(fields[i].name, static_cast<int>(i));
}

void TableState::scan(const Where& where, long limit, bool reverse, const std::function<bool(Row&)>& visit,
                      const std::vector<int>* columns, ScanOrder order) const {
    reopenIfNeeded();
    completePartialRows();
    const ResolvedWhere r(*this, where);
    // Rows written by the action that satisfy the condition, in order.
    std::vector<Row> extra;
    for (const auto& [id, c] : changed)
        if (r.matches(c.values)) extra.push_back({id, c.values, false});
    std::sort(extra.begin(), extra.end(), [](const Row& a, const Row& b) { return a.id < b.id; });
    for (const Row& a : added)
        if (r.matches(a.values)) extra.push_back(a);
    if (reverse) std::reverse(extra.begin(), extra.end());
    const auto before = [reverse](std::int64_t a, std::int64_t b) { return reverse ? a > b : a < b; };

    // The file's rows and the action's, merged in record order as they come.
    long given = 0;
    size_t next = 0;  // in extra
    const auto give = [&](Row& row) {
        ++given;
        return visit(row) && (limit < 0 || given < limit);
    };
    const auto offer = [&](Row& row) {  // a file row, after the action's rows that come before it
        while (order != ScanOrder::Any && next < extra.size() && before(extra[next].id, row.id))
            if (!give(extra[next++])) return false;
        return give(row);
    };
    if (hasFileRows()) {
        std::string list;
        if (columns)
            for (const int c : *columns) list += "," + quoteName(fields.at(c).name);
        else
            list = "," + columnList(fields);
        // Record order costs SQLite a sort of the rows an index found, of
        // every field read; sorting them here costs less.
        const std::string sqlOrder = order != ScanOrder::Sql ? ""
                                     : reverse                ? " ORDER BY rowid DESC"
                                                              : " ORDER BY rowid";
        // A few rows from one end: SQLite keeps only those while it sorts.
        // Rows the action removed or changed are passed over, so as many more
        // are asked for.
        std::string sqlLimit;
        if (order == ScanOrder::Sql && limit >= 0)
            sqlLimit = " LIMIT " +
                       std::to_string(limit + static_cast<long>(removed.size() + changed.size()));
        Statement st(reader.db,
                     "SELECT rowid" + list + " FROM records" + r.sql(fields) + sqlOrder + sqlLimit);
        r.bind(st.st);
        const int n = static_cast<int>(fields.size());
        const bool pending = !removed.empty() || !changed.empty();
        std::vector<Row> held;  // ScanOrder::Memory
        while (st.row()) {
            const std::int64_t id = sqlite3_column_int64(st.st, 0);
            if (pending && (removed.count(id) || changed.count(id))) continue;
            Row row;
            row.id = id;
            if (columns) {
                row.values.resize(n);
                for (std::size_t k = 0; k < columns->size(); ++k) {
                    const int c = (*columns)[k];
                    row.values[c] = columnValue(st.st, static_cast<int>(k) + 1, fields[c].type);
                }
            } else {
                row.values.reserve(n);
                for (int i = 0; i < n; ++i) row.values.push_back(columnValue(st.st, i + 1, fields[i].type));
            }
            if (order == ScanOrder::Memory)
                held.push_back(std::move(row));
            else if (!offer(row))
                return;
        }
        const auto byId = [&](const Row& a, const Row& b) { return before(a.id, b.id); };
        if (!std::is_sorted(held.begin(), held.end(), byId)) std::sort(held.begin(), held.end(), byId);
        for (Row& row : held)
            if (!offer(row)) return;
    }
    while (next < extra.size())
        if (!give(extra[next++])) return;
}

std::vector<Row> TableState::select(const Where& where, long limit, bool reverse) const {
    std::vector<Row> out;
    // A whole selection is held anyway: sorted here rather than by SQLite,
    // unless a few rows from one end are wanted.
    scan(
        where, limit, reverse,
        [&](Row& row) {
            out.push_back(std::move(row));
            return true;
        },
        nullptr, limit < 0 ? ScanOrder::Memory : ScanOrder::Sql);
    return out;
}

std::optional<Row> TableState::get(std::int64_t id) const {
    reopenIfNeeded();
    completePartialRows();
    auto a = std::lower_bound(added.begin(), added.end(), id,
                              [](const Row& r, std::int64_t x) { return r.id < x; });
    if (a != added.end() && a->id == id) return *a;
    if (auto c = changed.find(id); c != changed.end()) return Row{id, c->second.values, false};
    if (!hasFileRows() || removed.count(id)) return std::nullopt;
    Statement st(reader.db, "SELECT " + columnList(fields) + " FROM records WHERE rowid=?");
    sqlite3_bind_int64(st.st, 1, id);
    if (!st.row()) return std::nullopt;
    Row row;
    row.id = id;
    for (size_t i = 0; i < fields.size(); ++i)
        row.values.push_back(columnValue(st.st, static_cast<int>(i), fields[i].type));
    return row;
}

long TableState::count(const Where& where) const {
    reopenIfNeeded();
    completePartialRows();
    const ResolvedWhere r(*this, where);
    long n = 0;
    for (const auto& [id, c] : changed)
        if (r.matches(c.values)) ++n;
    for (const Row& a : added)
        if (r.matches(a.values)) ++n;
    if (!hasFileRows()) return n;
    if (changed.empty() && removed.empty()) {
        Statement st(reader.db, "SELECT count(*) FROM records" + r.sql(fields));
        r.bind(st.st);
        return n + (st.row() ? static_cast<long>(sqlite3_column_int64(st.st, 0)) : 0);
    }
    // The file's rows the action removed or changed count as it holds them
    // (above): of the others only the ids are read.
    Statement st(reader.db, "SELECT rowid FROM records" + r.sql(fields));
    r.bind(st.st);
    while (st.row()) {
        const std::int64_t id = sqlite3_column_int64(st.st, 0);
        if (!removed.count(id) && !changed.count(id)) ++n;
    }
    return n;
}

std::int64_t TableState::appendRow(std::vector<Value> values) {
    reopenIfNeeded();
    if (nextId == 0) {
        nextId = 1;
        if (reader.db && !replaced) {
            Statement st(reader.db, "SELECT max(rowid) FROM records");
            if (st.row()) nextId = sqlite3_column_int64(st.st, 0) + 1;
        }
        if (!added.empty()) nextId = std::max(nextId, added.back().id + 1);
    }
    const std::int64_t id = nextId++;
    added.push_back({id, std::move(values), false});
    ++version;
    written = true;
    return id;
}

void TableState::changeFields(std::int64_t id, const std::vector<std::pair<int, Value>>& changes) {
    std::vector<Value> values(fields.size());
    std::uint64_t mask = 0;
    for (const auto& [i, v] : changes) {
        values.at(i) = v;
        mask |= std::uint64_t{1} << i;
    }
    const auto a = std::lower_bound(added.begin(), added.end(), id,
                                    [](const Row& r, std::int64_t x) { return r.id < x; });
    if (changed.count(id) || (a != added.end() && a->id == id))
        return updateRow(id, std::move(values), mask);
    if (removed.count(id) || !hasFileRows())
        throw std::logic_error("a change to a record the file has not");
    changed.emplace(id, Changed{std::move(values), mask, true});
    ++partialRows;
    ++version;
    written = true;
}

void TableState::completePartialRows() const {
    if (partialRows == 0) return;
    auto& self = const_cast<TableState&>(*this);
    std::vector<std::int64_t> ids;
    for (const auto& [id, c] : changed)
        if (c.partial) ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    constexpr std::size_t kBatch = 500;
    const int n = static_cast<int>(fields.size());
    for (std::size_t from = 0; from < ids.size(); from += kBatch) {
        const std::size_t count = std::min(kBatch, ids.size() - from);
        Statement st(reader.db, "SELECT rowid," + columnList(fields) +
                                    " FROM records WHERE rowid IN (" + placeholders(count) + ")");
        for (std::size_t k = 0; k < count; ++k)
            sqlite3_bind_int64(st.st, static_cast<int>(k) + 1, ids[from + k]);
        std::size_t found = 0;
        while (st.row()) {
            Changed& c = self.changed.at(sqlite3_column_int64(st.st, 0));
            for (int i = 0; i < n; ++i)
                if (!(c.mask & (std::uint64_t{1} << i)))
                    c.values[i] = columnValue(st.st, i + 1, fields[i].type);
            c.partial = false;
            ++found;
        }
        if (found != count) throw StoreError("a changed record vanished from " + path.string());
    }
    self.partialRows = 0;
}

void TableState::updateRow(std::int64_t id, std::vector<Value> values, std::uint64_t mask) {
    // Only the changed fields are taken over a record the action already
    // holds: `values` may come from a copy read before another change of it.
    const auto merge = [&](std::vector<Value>& into) {
        for (std::size_t i = 0; i < into.size() && i < values.size(); ++i)
            if (mask & (std::uint64_t{1} << i)) into[i] = std::move(values[i]);
    };
    auto a = std::lower_bound(added.begin(), added.end(), id,
                              [](const Row& r, std::int64_t x) { return r.id < x; });
    if (a != added.end() && a->id == id) {
        merge(a->values);
    } else {
        if (removed.count(id)) throw std::logic_error("a change to a deleted record");
        auto [c, fresh] = changed.try_emplace(id);
        if (fresh)
            c->second.values = std::move(values);
        else
            merge(c->second.values);
        c->second.mask |= mask;
    }
    ++version;
    written = true;
}

void TableState::removeRow(std::int64_t id) {
    auto a = std::lower_bound(added.begin(), added.end(), id,
                              [](const Row& r, std::int64_t x) { return r.id < x; });
    if (a != added.end() && a->id == id) {
        added.erase(a);
    } else {
        if (const auto c = changed.find(id); c != changed.end()) {
            if (c->second.partial) --partialRows;
            changed.erase(c);
        }
        removed.insert(id);
    }
    ++version;
    written = true;
}

void TableState::clearRows() {
    cleared = true;
    changed.clear();
    partialRows = 0;
    removed.clear();
    added.clear();
    ++version;
    written = true;
}

void TableState::discardWrites() {
    replaced = cleared = passwordChanged = false;
    changed.clear();
    partialRows = 0;
    removed.clear();
    added.clear();
    nextId = 0;
    written = false;
    ++version;
}

}  // namespace tw::detail
