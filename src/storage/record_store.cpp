#include "storage/record_store.h"

#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <system_error>

#include "storage/file_swap.h"
#include "storage/gbk.h"
#include "storage/paths.h"
#include "storage/table_file.h"

namespace tw {

using detail::Row;
using detail::TableState;

namespace {
constexpr const char* kAnchorName = ".tallowick-actions.db";
constexpr int kMaxTablesPerAction = 10;  // SQLite's limit of attached databases
constexpr const char* kAnchorMessage =
    "套账目录无法写入，不能保存任何数据！ 请检测您对计算机使用的权限！";

std::string keyOf(const std::filesystem::path& p) { return p.lexically_normal().string(); }

// A value as its field stores it; refuses what the field cannot hold.
Value checked(const FieldDef& f, const Value& value) {
    switch (f.type) {
        case FieldType::Text: {
            if (!value.isText()) throw std::logic_error("a number written to text field " + f.name);
            if (hasControlChar(value.text()))
                throw TextError("control character in " + f.name,
                                f.name + " 不能含有换行、制表符等控制字符！");
            const auto len = gbkLength(value.text());
            if (!len)
                throw TextError("text outside GBK in " + f.name,
                                "“" + value.text() + "”中含有无法保存的字符，请修改后重试！");
            if (f.maxLength > 0 && static_cast<int>(*len) > f.maxLength)
                throw TextError("text too long for " + f.name,
                                "“" + value.text() + "”太长：" + f.name + "最多只能保存" +
                                    std::to_string(f.maxLength) + "个字节（一个汉字占两个字节）！");
            return value;
        }
        case FieldType::Double:
        case FieldType::DateTime:
            if (value.isText()) throw std::logic_error("text written to number field " + f.name);
            return Value(value.number());
        case FieldType::Byte: {
            if (value.isText()) throw std::logic_error("text written to number field " + f.name);
            const auto v = value.integer();
            if (v < 0 || v > 255) throw std::logic_error("byte out of range in " + f.name);
            return Value(v);
        }
        case FieldType::Boolean:
            if (value.isText()) throw std::logic_error("text written to boolean field " + f.name);
            return Value(static_cast<std::int64_t>(value.number() != 0 ? 1 : 0));
        default:
            if (value.isText()) throw std::logic_error("text written to number field " + f.name);
            return Value(value.integer());
    }
}

// A whole record from a leading subset of values, the rest empty.
std::vector<Value> fullRecord(const Schema& fields, const std::vector<Value>& values) {
    if (values.size() > fields.size()) throw std::logic_error("more values than fields");
    std::vector<Value> row;
    row.reserve(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        row.push_back(i < values.size() ? checked(fields[i], values[i]) : emptyValue(fields[i].type));
    return row;
}

bool sameSchema(const Schema& a, const Schema& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].name != b[i].name || a[i].type != b[i].type) return false;
    return true;
}
}  // namespace

StoreError::StoreError(const std::string& detail, std::string userMessage)
    : std::runtime_error(detail), userMessage_(std::move(userMessage)) {}

const Value& RecordView::operator[](std::string_view field) const {
    return values_[table_.fieldIndex(field)];
}

const Value& RecordView::at(int position) const {
    if (position < 1 || position > static_cast<int>(values_.size()))
        throw std::logic_error("field position out of range");
    return values_[position - 1];
}

// The cursor of an open table: the table's rows loaded on first use, and a
// position in them. It reloads when the table was written by other means.
struct RecordStore::Cursor {
    std::shared_ptr<TableState> table;
    std::vector<Row> rows;
    bool loaded = false;
    std::uint64_t version = 0;
    long pos = 0;                // 0-based; -1 before the start, rows.size() past the end
    bool lastAfterLoad = false;  // appended before loading: the new record is current

    std::vector<Row>& load() {
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
    Row& row() {
        load();
        if (pos < 0 || pos >= static_cast<long>(rows.size()))
            throw std::logic_error("no current record in " + table->path.string());
        return rows[pos];
    }
    // After the cursor wrote through the table itself, its rows are current.
    void wrote() { version = table->version; }
};

RecordStore::RecordStore(const std::filesystem::path& anchorDir) : anchorDir_(anchorDir) {
    if (sodium_init() < 0) throw StoreError("libsodium cannot start");
    const auto anchor = anchorDir / kAnchorName;
    if (sqlite3_open_v2(anchor.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw StoreError("cannot open the anchor " + anchor.string(), kAnchorMessage);
    }
    detail::configureConnection(db_);
    try {
        detail::exec(db_, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
    } catch (const StoreError& e) {
        sqlite3_close_v2(db_);
        db_ = nullptr;
        throw StoreError(e.what(), kAnchorMessage);
    }
}

RecordStore::~RecordStore() {
    cursors_.clear();
    tables_.clear();
    if (db_) sqlite3_close_v2(db_);
}

// ---- tables ----------------------------------------------------------------

std::shared_ptr<TableState> RecordStore::newTableState(const std::filesystem::path& path,
                                                       const Schema& schema,
                                                       const std::string& salt,
                                                       const std::string& verifier) {
    const std::string key = keyOf(path);
    auto t = std::make_shared<TableState>();
    if (auto it = tables_.find(key); it != tables_.end()) {
        // A table open or written in this action is made anew in place.
        t = it->second;
        t->discardWrites();
    }
    t->path = path;
    t->key = key;
    t->fields = schema;
    t->buildIndex();
    t->salt = salt;
    t->verifier = verifier;
    t->replaced = true;
    t->nextId = 1;
    t->written = true;
    ++t->version;
    tables_[key] = t;
    touch(*t);
    return t;
}

bool RecordStore::writeTableNow(const std::function<void()>& write) {
    if (action_) {
        write();
        return true;
    }
    try {
        Action action(*this);
        write();
        action.commit();
        return true;
    } catch (const StoreError&) {
        return false;
    }
}

bool RecordStore::createTable(const std::filesystem::path& path, const Schema& schema) {
    if (schema.empty() || static_cast<int>(schema.size()) > kMaxFields) return false;
    std::string salt, verifier;
    detail::makePassword("", salt, verifier);
    const bool ok = writeTableNow([&] { newTableState(path, schema, salt, verifier); });
    dropIfUnused(keyOf(path));
    return ok;
}

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

std::shared_ptr<TableState> RecordStore::stateFor(const std::filesystem::path& path) {
    auto it = tables_.find(keyOf(path));
    return it == tables_.end() ? nullptr : it->second;
}

bool RecordStore::openTable(const std::filesystem::path& path, const std::string& password) {
    const std::string key = keyOf(path);
    std::shared_ptr<TableState> t = stateFor(path);
    if (!t) {
        t = detail::openTableFile(path, lastOpenFailure_);
        if (!t) return false;
        // More fields than the change mask can tell apart: not a table of ours.
        if (static_cast<int>(t->fields.size()) > kMaxFields) {
            lastOpenFailure_ = OpenFailure::NotATable;
            return false;
        }
        t->key = key;
    }
    if (!t->passwordMatches(password)) {
        lastOpenFailure_ = OpenFailure::WrongPassword;
        dropIfUnused(key);
        return false;
    }
    lastOpenFailure_ = OpenFailure::None;
    if (!tables_.count(key)) tables_[key] = t;
    auto& cursor = cursors_[key];
    if (!cursor) {
        cursor = std::make_unique<Cursor>();
        cursor->table = t;
        ++t->cursors;
    }
    cursor->pos = 0;
    cursor->lastAfterLoad = false;
    current_ = key;
    return true;
}

bool RecordStore::openTable(const std::filesystem::path& path, const std::string& password,
                            const Schema& expected) {
    if (!openTable(path, password)) return false;
    if (sameSchema(current().table->fields, expected)) return true;
    closeTable(path);
    lastOpenFailure_ = OpenFailure::WrongSchema;
    return false;
}

void RecordStore::dropIfUnused(const std::string& key) {
    auto it = tables_.find(key);
    if (it == tables_.end()) return;
    if (it->second->cursors > 0 || it->second->written) return;
    tables_.erase(it);
}

void RecordStore::closeTable() {
    if (current_.empty()) return;
    closeTable(std::filesystem::path(current_));
}

void RecordStore::closeTable(const std::filesystem::path& path) {
    const std::string key = keyOf(path);
    if (auto it = cursors_.find(key); it != cursors_.end()) {
        --it->second->table->cursors;
        cursors_.erase(it);
    }
    if (current_ == key) current_.clear();
    dropIfUnused(key);
}

bool RecordStore::selectTable(const std::filesystem::path& path) {
    const std::string key = keyOf(path);
    if (!cursors_.count(key)) return false;
    current_ = key;
    return true;
}

bool RecordStore::isOpen(const std::filesystem::path& path) const {
    return cursors_.count(keyOf(path)) > 0;
}

Table RecordStore::table(const std::filesystem::path& path) {
    auto it = cursors_.find(keyOf(path));
    if (it == cursors_.end()) throw std::logic_error("table not open: " + path.string());
    return Table(*this, it->second->table);
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

// ---- writing ----------------------------------------------------------------

void RecordStore::requireAction() const {
    if (!action_) throw std::logic_error("a write outside an Action");
}

void RecordStore::touch(TableState& table) {
    requireAction();
    if (table.scratch) throw std::logic_error("a write to a scratch copy: " + table.path.string());
    if (std::find(written_.begin(), written_.end(), table.key) != written_.end()) return;
    if (static_cast<int>(written_.size()) >= kMaxTablesPerAction)
        throw std::logic_error("an action writes more than ten tables: " + table.path.string());
    written_.push_back(table.key);
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

// ---- the indexed view --------------------------------------------------------

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

std::optional<Record> Table::get(std::int64_t id) const { return toRecord(state_->get(id)); }

void Table::requireOpen() const {
    if (state_->cursors == 0 && !state_->written)
        throw std::logic_error("table not open: " + state_->path.string());
}

std::int64_t Table::append(const std::vector<Value>& values) {
    store_->requireAction();
    requireOpen();
    std::vector<Value> row = fullRecord(state_->fields, values);
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

void Table::remove(std::int64_t id) {
    store_->requireAction();
    requireOpen();
    store_->touch(*state_);
    state_->removeRow(id);
}

// ---- actions ----------------------------------------------------------------

namespace {
// Attached table files of one commit, detached however the commit ends.
class Attachments {
public:
    explicit Attachments(sqlite3* db) : db_(db) {}
    ~Attachments() {
        for (const auto& alias : aliases_)
            sqlite3_exec(db_, ("DETACH DATABASE " + alias).c_str(), nullptr, nullptr, nullptr);
    }
    std::string attach(const std::filesystem::path& path) {
        const std::string alias = "t" + std::to_string(aliases_.size() + 1);
        detail::Statement st(db_, "ATTACH DATABASE ? AS " + alias);
        sqlite3_bind_text(st.st, 1, path.c_str(), -1, SQLITE_TRANSIENT);
        st.done();
        aliases_.push_back(alias);
        detail::exec(db_, "PRAGMA " + alias + ".journal_mode=DELETE; PRAGMA " + alias +
                              ".synchronous=FULL; PRAGMA " + alias + ".cache_size=-16000");
        return alias;
    }

private:
    sqlite3* db_;
    std::vector<std::string> aliases_;
};
}  // namespace

void RecordStore::commitAction() {
    for (const auto& [key, c] : cursors_)
        for (const Row& r : c->rows)
            if (r.marked)
                throw std::logic_error("deleted marks without purgeDeleted in " + key);
    std::vector<std::shared_ptr<TableState>> tables;
    for (const auto& key : written_)
        if (auto t = tables_.at(key); t->written) tables.push_back(t);
    if (tables.empty()) return;

    std::vector<std::filesystem::path> madeFiles;  // files this commit brings into being
    try {
        Attachments attached(db_);
        std::vector<std::string> aliases;
        for (const auto& t : tables) {
            struct stat st{};
            // A table made anew replaces what is at its name, never what a
            // link there points to.
            const bool exists = (t->replaced ? ::lstat(t->path.c_str(), &st)
                                             : ::stat(t->path.c_str(), &st)) == 0;
            if (t->replaced) {
                // Whatever is there is replaced; something that is not a table
                // file cannot be written over in place.
                RecordStore::OpenFailure f;
                if (exists && (!S_ISREG(st.st_mode) || st.st_size == 0 ||
                               !detail::openTableFile(t->path, f))) {
                    std::error_code ec;
                    std::filesystem::remove(t->path, ec);
                    if (ec) throw StoreError("cannot replace " + t->path.string());
                }
                if (!std::filesystem::exists(t->path)) madeFiles.push_back(t->path);
            } else if (t->reopenIfNeeded(); !exists || st.st_dev != t->device || st.st_ino != t->inode) {
                throw StoreError("table file vanished or was replaced: " + t->path.string());
            }
            aliases.push_back(attached.attach(t->path));
        }
        detail::exec(db_, "BEGIN IMMEDIATE");
        try {
            for (size_t i = 0; i < tables.size(); ++i) {
                if (commitHook_) commitHook_(tables[i]->path);
                detail::writeChanges(db_, aliases[i], *tables[i]);
            }
            detail::exec(db_, "COMMIT");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (...) {
        std::error_code ec;
        for (const auto& p : madeFiles) std::filesystem::remove(p, ec);
        throw;
    }

    // The files now hold what the tables showed. Nothing may fail from here
    // on: the commit has landed. A table made anew is read again when next
    // used (and fails then, should its file be gone).
    for (const auto& t : tables) {
        const bool wasReplaced = t->replaced;
        const auto version = t->version;
        t->discardWrites();
        t->version = version;  // the cursors' rows are still right
        if (wasReplaced) {
            t->reader.close();
            t->reopen = true;
        }
    }
}

void RecordStore::rollbackAction() {
    // The files are as they were: tables show them again; a table that was
    // being made shows what its file holds, or is closed when there is none.
    // Deleted marks belong to the action too.
    for (auto& [key, c] : cursors_)
        for (Row& r : c->rows) r.marked = false;
    for (const auto& key : written_) {
        auto it = tables_.find(key);
        if (it == tables_.end()) continue;
        auto t = it->second;
        const bool reread = t->replaced || t->passwordChanged;
        t->discardWrites();
        if (reread) {
            RecordStore::OpenFailure f;
            auto fresh = detail::openTableFile(t->path, f);
            if (!fresh) {
                for (auto c = cursors_.begin(); c != cursors_.end();) {
                    if (c->second->table != t) {
                        ++c;
                        continue;
                    }
                    if (current_ == c->first) current_.clear();
                    c = cursors_.erase(c);
                }
                t->cursors = 0;
                tables_.erase(it);
                continue;
            }
            std::swap(t->reader.db, fresh->reader.db);
            t->reopen = false;
            t->fields = fresh->fields;
            t->buildIndex();
            t->salt = fresh->salt;
            t->verifier = fresh->verifier;
            t->device = fresh->device;
            t->inode = fresh->inode;
        }
        if (t->cursors == 0) tables_.erase(it);
    }
    written_.clear();
}

Action::Action(RecordStore& store) : store_(store) {
    if (store_.action_) throw std::logic_error("actions do not nest");
    store_.action_ = this;
}

Action::~Action() {
    if (!done_) store_.rollbackAction();
    store_.dropScratchCopies();
    store_.action_ = nullptr;
}

void Action::commit() {
    if (done_) throw std::logic_error("action committed twice");
    try {
        store_.commitAction();
    } catch (...) {
        store_.rollbackAction();
        store_.dropScratchCopies();
        done_ = true;
        store_.action_ = nullptr;
        throw;
    }
    for (const auto& key : store_.written_) store_.dropIfUnused(key);
    store_.written_.clear();
    done_ = true;
}

// ---- files ------------------------------------------------------------------

bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    return writeThenRename(target, [&](const std::filesystem::path& tmp) {
        std::error_code ec;
        return std::filesystem::copy_file(source, tmp, ec) && !ec;
    });
}

bool deleteFile(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::remove(path, ec) && !ec;
}

bool createDirectory(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::create_directory(path, ec) && !ec;
}

bool removeDirectory(const std::filesystem::path& path, const std::filesystem::path& allowedRoot) {
    if (path.empty() || allowedRoot.empty()) return false;
    std::error_code ec;
    const auto dir = std::filesystem::weakly_canonical(std::filesystem::absolute(path), ec);
    if (ec) return false;
    const auto root = std::filesystem::weakly_canonical(std::filesystem::absolute(allowedRoot), ec);
    if (ec) return false;
    if (dir == dir.root_path() || dir == root) return false;
    // Strictly inside the allowed root, component by component.
    auto d = dir.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++d) {
        if (r->empty()) continue;  // trailing separator
        if (d == dir.end() || *d != *r) return false;
    }
    if (d == dir.end()) return false;
    if (!std::filesystem::is_directory(dir, ec)) return false;
    std::filesystem::remove_all(dir, ec);
    return !ec;
}

namespace {

// The hot journals under `dir` (and one level down, the set folders).
std::vector<std::filesystem::path> journalsUnder(const std::filesystem::path& dir, int depth) {
    std::vector<std::filesystem::path> journals;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        if (it.depth() >= depth) it.disable_recursion_pending();
        const std::string name = it->path().filename().string();
        if (name.size() > 8 && name.ends_with("-journal")) journals.push_back(it->path());
    }
    return journals;
}

std::filesystem::path tableOfJournal(const std::filesystem::path& journal) {
    const std::string name = journal.filename().string();
    return journal.parent_path() / name.substr(0, name.size() - 8);
}

// Rolls back what the journal holds of an interrupted commit: reading the
// table read-write does it. False while the journal is still there to be
// rolled back (the table cannot be written); true once it is gone, when its
// table is gone (there is nothing to roll back), or when it is one SQLite
// ignores: a journal whose header was never completed (it starts with a zero
// byte) belonged to a commit that had not touched the table yet. That one
// is removed.
bool rollBack(const std::filesystem::path& journal) {
    const auto table = tableOfJournal(journal);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(table, ec)) return true;
    detail::Connection c;
    if (sqlite3_open_v2(table.c_str(), &c.db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_busy_timeout(c.db, detail::kBusyTimeoutMs) == SQLITE_OK)
        sqlite3_exec(c.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    c.close();
    std::ifstream in(journal, std::ios::binary);
    if (!in) return true;  // rolled back
    const int first = in.get();
    in.close();
    if (first != 0 && first != std::char_traits<char>::eof()) return false;
    std::filesystem::remove(journal, ec);
    return true;
}

}  // namespace

std::vector<std::filesystem::path> recoverInterruptedActions(const std::filesystem::path& dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return {};
    std::vector<std::filesystem::path> unrecovered;
    for (const auto& j : journalsUnder(dir, 1))
        if (!rollBack(j)) unrecovered.push_back(tableOfJournal(j));
    // A super-journal goes only once every table of its commit is rolled
    // back: without it the journals left would look stale, and the tables
    // that cannot be written yet would keep the commit's half.
    if (!unrecovered.empty()) return unrecovered;
    const std::string prefix = std::string(kAnchorName) + "-mj";
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.path().filename().string().starts_with(prefix)) std::filesystem::remove(e.path(), ec);
    return unrecovered;
}

std::vector<std::filesystem::path> unrecoveredTables(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> left;
    for (const auto& j : journalsUnder(folder, 0))
        if (!rollBack(j)) left.push_back(tableOfJournal(j));
    return left;
}

}  // namespace tw
