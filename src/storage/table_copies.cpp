// Table-level copies of an open table: copyTable, sortToFile and the
// scratch copy an action reads while it appends to the original.
#include "storage/record_store.h"

#include <algorithm>

#include "storage/cursor.h"
#include "storage/file_swap.h"
#include "storage/gbk.h"
#include "storage/table_state.h"

namespace tw {

using detail::keyOf;
using detail::Row;
using detail::TableState;

void RecordStore::copyTable(const std::filesystem::path& source,
                            const std::filesystem::path& target) {
    auto it = tables_.find(keyOf(source));
    if (it == tables_.end() || it->second->cursors == 0)
        throw std::logic_error("copy of a table that is not open: " + source.string());
    const auto src = it->second;
    std::vector<Row> rows = src->select({});
    if (!writeTableNow([&] {
            auto t = newTableState(target, src->fields, src->salt, src->verifier);
            for (Row& r : rows) r.marked = false;
            t->added = std::move(rows);
            t->nextId = t->added.empty() ? 1 : t->added.back().id + 1;
        }))
        throw StoreError("cannot copy " + source.string() + " to " + target.string());
    dropIfUnused(keyOf(target));
}

std::filesystem::path RecordStore::scratchCopy(const std::filesystem::path& source) {
    requireAction();
    auto it = tables_.find(keyOf(source));
    if (it == tables_.end() || it->second->cursors == 0)
        throw std::logic_error("scratch copy of a table that is not open: " + source.string());
    const auto src = it->second;
    auto t = std::make_shared<TableState>();
    t->path = temporaryNameFor(source);  // a name no file has
    t->key = keyOf(t->path);
    t->fields = src->fields;
    t->buildIndex();
    t->salt = src->salt;
    t->verifier = src->verifier;
    t->replaced = true;  // no file behind it
    t->scratch = true;
    t->added = src->select({});
    for (Row& r : t->added) r.marked = false;
    t->nextId = t->added.empty() ? 1 : t->added.back().id + 1;
    tables_[t->key] = t;
    auto cursor = std::make_unique<Cursor>();
    cursor->table = t;
    ++t->cursors;
    cursors_[t->key] = std::move(cursor);
    current_ = t->key;
    return t->path;
}

void RecordStore::dropScratchCopies() {
    for (auto c = cursors_.begin(); c != cursors_.end();) {
        if (!c->second->table->scratch) {
            ++c;
            continue;
        }
        tables_.erase(c->first);
        if (current_ == c->first) current_.clear();
        c = cursors_.erase(c);
    }
}

bool RecordStore::sortToFile(const std::filesystem::path& target,
                             const std::vector<std::string>& keys) {
    Cursor& c = current();
    const auto& src = *c.table;
    std::vector<int> idx;
    for (const auto& k : keys) idx.push_back(src.fieldIndex(k));
    std::vector<Row> rows;
    for (const Row& r : c.load())
        if (!r.marked) rows.push_back({0, r.values, false});
    const auto& fields = src.fields;
    std::stable_sort(rows.begin(), rows.end(), [&](const Row& a, const Row& b) {
        for (int i : idx) {
            if (fields[i].type == FieldType::Text) {
                const int cmp = gbkCompare(a.values[i].text(), b.values[i].text());
                if (cmp != 0) return cmp < 0;
            } else {
                const double x = a.values[i].number(), y = b.values[i].number();
                if (x != y) return x < y;
            }
        }
        return false;
    });
    for (size_t i = 0; i < rows.size(); ++i) rows[i].id = static_cast<std::int64_t>(i + 1);
    const bool ok = writeTableNow([&] {
        auto t = newTableState(target, fields, src.salt, src.verifier);
        t->added = std::move(rows);
        t->nextId = static_cast<std::int64_t>(t->added.size()) + 1;
    });
    dropIfUnused(keyOf(target));
    return ok;
}

}  // namespace tw
