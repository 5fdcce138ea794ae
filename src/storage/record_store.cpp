#include "storage/record_store.h"

#include <sodium.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <system_error>

#include "storage/gbk.h"
#include "storage/paths.h"
#include "storage/table_file.h"

namespace tw {

using detail::Row;
using detail::TableData;

namespace {
constexpr const char* kAnchorName = ".tallowick-actions.db";
constexpr const char* kDiskMessage = "数据无法写入磁盘！ 请检测您对计算机使用的权限！";
constexpr int kMaxTablesPerAction = 10;  // SQLite's limit of attached databases

std::string keyOf(const std::filesystem::path& p) { return p.lexically_normal().string(); }
}  // namespace

StoreError::StoreError(const std::string& detail, std::string userMessage)
    : std::runtime_error(detail), userMessage_(std::move(userMessage)) {}

const Value& RecordView::operator[](std::string_view field) const {
    return row_.values[table_.fieldIndex(field)];
}

const Value& RecordView::at(int position) const {
    if (position < 1 || position > static_cast<int>(row_.values.size()))
        throw std::logic_error("field position out of range");
    return row_.values[position - 1];
}

RecordStore::RecordStore(const std::filesystem::path& anchorDir) {
    if (sodium_init() < 0) throw StoreError("libsodium cannot start");
    const auto anchor = anchorDir / kAnchorName;
    if (sqlite3_open_v2(anchor.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK) {
        // Without a persistent anchor a commit is atomic per file only; reading
        // tables (the command-line table dump) still works.
        sqlite3_close_v2(db_);
        db_ = nullptr;
        if (sqlite3_open_v2(":memory:", &db_, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
            throw StoreError("cannot open SQLite");
    }
    detail::exec(db_, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL");
}

RecordStore::~RecordStore() {
    if (db_) sqlite3_close_v2(db_);
}

// ---- tables ----------------------------------------------------------------

bool RecordStore::createTable(const std::filesystem::path& path, const Schema& schema) {
    TableData d;
    d.setPassword("");
    return detail::writeNewTableFile(path, schema, d.salt, d.verifier, {});
}

std::shared_ptr<TableData> RecordStore::load(const std::filesystem::path& path) const {
    if (auto it = touched_.find(keyOf(path)); it != touched_.end()) return it->second;
    return detail::readTableFile(path);
}

bool RecordStore::openTable(const std::filesystem::path& path, const std::string& password) {
    const std::string key = keyOf(path);
    std::shared_ptr<TableData> data;
    if (auto it = open_.find(key); it != open_.end()) data = it->second.data;
    else data = load(path);
    std::error_code ec;
    if (!data) {
        lastOpenFailure_ = std::filesystem::exists(path, ec) ? OpenFailure::NotATable
                                                             : OpenFailure::Missing;
        return false;
    }
    if (!data->passwordMatches(password)) {
        lastOpenFailure_ = OpenFailure::WrongPassword;
        return false;
    }
    lastOpenFailure_ = OpenFailure::None;
    open_[key] = OpenTable{data, 0};
    current_ = key;
    return true;
}

void RecordStore::closeTable() {
    if (!current_.empty()) open_.erase(current_);
    current_.clear();
}

void RecordStore::closeTable(const std::filesystem::path& path) {
    const std::string key = keyOf(path);
    open_.erase(key);
    if (current_ == key) current_.clear();
}

bool RecordStore::selectTable(const std::filesystem::path& path) {
    const std::string key = keyOf(path);
    if (!open_.count(key)) return false;
    current_ = key;
    return true;
}

RecordStore::OpenTable& RecordStore::current() {
    auto it = open_.find(current_);
    if (it == open_.end()) throw std::logic_error("no current table");
    return it->second;
}

const RecordStore::OpenTable& RecordStore::current() const {
    return const_cast<RecordStore*>(this)->current();
}

Row& RecordStore::currentRow() {
    OpenTable& t = current();
    if (t.pos < 0 || t.pos >= static_cast<long>(t.data->rows.size()))
        throw std::logic_error("no current record in " + t.data->path.string());
    return t.data->rows[t.pos];
}

const Row& RecordStore::currentRow() const { return const_cast<RecordStore*>(this)->currentRow(); }

// ---- position ---------------------------------------------------------------

void RecordStore::goFirst() { current().pos = 0; }

void RecordStore::goLast() {
    OpenTable& t = current();
    t.pos = static_cast<long>(t.data->rows.size()) - 1;
}

bool RecordStore::skipRecords(long count) {
    OpenTable& t = current();
    const long size = static_cast<long>(t.data->rows.size());
    t.pos += count;
    if (t.pos >= size) {
        t.pos = size;
        return false;
    }
    if (t.pos < 0) {
        t.pos = -1;
        return false;
    }
    return true;
}

void RecordStore::goToRecord(long number) {
    OpenTable& t = current();
    const long size = static_cast<long>(t.data->rows.size());
    t.pos = std::clamp(number - 1, -1L, size);
}

bool RecordStore::isPastEnd() const {
    const OpenTable& t = current();
    return t.pos >= static_cast<long>(t.data->rows.size());
}

bool RecordStore::isBeforeStart() const { return current().pos < 0; }

long RecordStore::recordNumber() const { return current().pos + 1; }

// ---- reading ----------------------------------------------------------------

Value RecordStore::readField(std::string_view field) const {
    const OpenTable& t = current();
    return currentRow().values[t.data->fieldIndex(field)];
}

Value RecordStore::readField(int position) const {
    const Row& row = currentRow();
    if (position < 1 || position > static_cast<int>(row.values.size()))
        throw std::logic_error("field position out of range");
    return row.values[position - 1];
}

bool RecordStore::findRecord(const Condition& condition) {
    OpenTable& t = current();
    const long size = static_cast<long>(t.data->rows.size());
    for (long i = std::max(t.pos, 0L); i < size; ++i) {
        if (condition(RecordView(*t.data, t.data->rows[i]))) {
            t.pos = i;
            return true;
        }
    }
    return false;
}

double RecordStore::maxOf(const Expression& expression, const Condition& condition) const {
    const OpenTable& t = current();
    bool any = false;
    double best = 0;
    for (const Row& row : t.data->rows) {
        RecordView view(*t.data, row);
        if (!condition(view)) continue;
        const double v = expression(view);
        if (!any || v > best) best = v;
        any = true;
    }
    return any ? best : 0;
}

long RecordStore::recordCount() const { return static_cast<long>(current().data->rows.size()); }
int RecordStore::fieldCount() const { return static_cast<int>(current().data->fields.size()); }
const Schema& RecordStore::schema() const { return current().data->fields; }

std::string RecordStore::fieldName(int position) const {
    return current().data->fields.at(position - 1).name;
}

FieldType RecordStore::fieldType(int position) const {
    return current().data->fields.at(position - 1).type;
}

// ---- writing ----------------------------------------------------------------

void RecordStore::requireAction() const {
    if (!action_) throw std::logic_error("a write outside an Action");
}

void RecordStore::touch(const std::shared_ptr<TableData>& data) {
    requireAction();
    touched_[keyOf(data->path)] = data;
}

Value RecordStore::checked(const TableData& table, int index, const Value& value) const {
    const FieldDef& f = table.fields[index];
    switch (f.type) {
        case FieldType::Text: {
            if (!value.isText())
                throw std::logic_error("a number written to text field " + f.name);
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

void RecordStore::writeField(std::string_view field, const Value& value) {
    requireAction();
    OpenTable& t = current();
    Row& row = currentRow();
    const int i = t.data->fieldIndex(field);
    row.values[i] = checked(*t.data, i, value);
    row.dirty = true;
    touch(t.data);
}

void RecordStore::appendRecord(const std::vector<Value>& values) {
    requireAction();
    OpenTable& t = current();
    const auto& fields = t.data->fields;
    if (values.size() > fields.size()) throw std::logic_error("more values than fields");
    Row row;
    row.values.reserve(fields.size());
    for (size_t i = 0; i < fields.size(); ++i)
        row.values.push_back(i < values.size() ? checked(*t.data, static_cast<int>(i), values[i])
                                               : emptyValue(fields[i].type));
    t.data->rows.push_back(std::move(row));
    t.pos = static_cast<long>(t.data->rows.size()) - 1;
    touch(t.data);
}

void RecordStore::modifyRecord(const std::vector<std::optional<Value>>& values) {
    requireAction();
    OpenTable& t = current();
    Row& row = currentRow();
    if (values.size() > t.data->fields.size()) throw std::logic_error("more values than fields");
    // Check every value first, so that a refused one changes nothing.
    std::vector<std::optional<Value>> checkedValues;
    for (size_t i = 0; i < values.size(); ++i)
        checkedValues.push_back(values[i] ? std::optional(checked(*t.data, static_cast<int>(i),
                                                                  *values[i]))
                                          : std::nullopt);
    for (size_t i = 0; i < checkedValues.size(); ++i)
        if (checkedValues[i]) row.values[i] = *checkedValues[i];
    row.dirty = true;
    touch(t.data);
}

void RecordStore::deleteRecord() {
    requireAction();
    OpenTable& t = current();
    currentRow().deleted = true;
    touch(t.data);
}

void RecordStore::purgeDeleted() {
    requireAction();
    OpenTable& t = current();
    auto& rows = t.data->rows;
    long before = 0;  // marked rows before the position, to keep it on the same record
    for (long i = 0; i < static_cast<long>(rows.size()) && i < t.pos; ++i)
        if (rows[i].deleted) ++before;
    for (const Row& r : rows)
        if (r.deleted && r.rowid != 0) t.data->removed.push_back(r.rowid);
    std::erase_if(rows, [](const Row& r) { return r.deleted; });
    t.pos = std::clamp(t.pos - before, -1L, static_cast<long>(rows.size()));
    touch(t.data);
}

void RecordStore::clearTable() {
    requireAction();
    OpenTable& t = current();
    t.data->rows.clear();
    t.data->removed.clear();
    t.data->cleared = true;
    t.pos = 0;
    touch(t.data);
}

void RecordStore::setTablePassword(const std::string& password) {
    requireAction();
    OpenTable& t = current();
    t.data->setPassword(password);
    t.data->passwordChanged = true;
    touch(t.data);
}

bool RecordStore::sortToFile(const std::filesystem::path& target,
                             const std::vector<std::string>& keys) {
    const OpenTable& t = current();
    std::vector<int> idx;
    for (const auto& k : keys) idx.push_back(t.data->fieldIndex(k));
    std::vector<const Row*> rows;
    for (const Row& r : t.data->rows)
        if (!r.deleted) rows.push_back(&r);
    const auto& fields = t.data->fields;
    std::stable_sort(rows.begin(), rows.end(), [&](const Row* a, const Row* b) {
        for (int i : idx) {
            if (fields[i].type == FieldType::Text) {
                const int c = gbkCompare(a->values[i].text(), b->values[i].text());
                if (c != 0) return c < 0;
            } else {
                const double x = a->values[i].number(), y = b->values[i].number();
                if (x != y) return x < y;
            }
        }
        return false;
    });
    return detail::writeNewTableFile(target, fields, t.data->salt, t.data->verifier, rows);
}

// ---- actions ----------------------------------------------------------------

void RecordStore::commitAction() {
    if (touched_.empty()) return;
    if (touched_.size() > kMaxTablesPerAction)
        throw StoreError("an action touches more than 10 tables", kDiskMessage);
    std::vector<std::pair<std::string, std::shared_ptr<TableData>>> tables;
    int n = 0;
    try {
        for (auto& [key, data] : touched_) {
            std::error_code ec;
            if (!std::filesystem::is_regular_file(data->path, ec))
                throw StoreError("table file vanished: " + data->path.string(), kDiskMessage);
            const std::string alias = "t" + std::to_string(++n);
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db_, ("ATTACH DATABASE ? AS " + alias).c_str(), -1, &st, nullptr);
            sqlite3_bind_text(st, 1, data->path.c_str(), -1, SQLITE_TRANSIENT);
            const int rc = sqlite3_step(st);
            sqlite3_finalize(st);
            if (rc != SQLITE_DONE)
                throw StoreError(std::string("attach: ") + sqlite3_errmsg(db_), kDiskMessage);
            tables.emplace_back(alias, data);
            detail::exec(db_, "PRAGMA " + alias + ".journal_mode=DELETE; PRAGMA " + alias +
                                  ".synchronous=FULL");
        }
        detail::exec(db_, "BEGIN IMMEDIATE");
        std::vector<std::pair<Row*, std::int64_t>> inserted;
        try {
            for (auto& [alias, data] : tables) {
                if (commitHook_) commitHook_(data->path);
                auto ids = detail::writeChanges(db_, alias, *data);
                inserted.insert(inserted.end(), ids.begin(), ids.end());
            }
            detail::exec(db_, "COMMIT");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        for (auto& [row, id] : inserted) row->rowid = id;
        for (auto& [alias, data] : tables) {
            for (Row& r : data->rows) r.dirty = false;
            data->removed.clear();
            data->cleared = false;
            data->passwordChanged = false;
        }
    } catch (const StoreError& e) {
        for (auto& [alias, data] : tables)
            sqlite3_exec(db_, ("DETACH DATABASE " + alias).c_str(), nullptr, nullptr, nullptr);
        if (e.userMessage().empty()) throw StoreError(e.what(), kDiskMessage);
        throw;
    }
    for (auto& [alias, data] : tables)
        sqlite3_exec(db_, ("DETACH DATABASE " + alias).c_str(), nullptr, nullptr, nullptr);
    touched_.clear();
}

void RecordStore::rollbackAction() {
    // The files are as they were: read the open tables afresh and forget the rest.
    for (auto& [key, data] : touched_) {
        auto it = open_.find(key);
        if (it == open_.end()) continue;
        auto fresh = detail::readTableFile(data->path);
        if (!fresh) {
            open_.erase(it);
            if (current_ == key) current_.clear();
            continue;
        }
        it->second.data = fresh;
        it->second.pos =
            std::clamp(it->second.pos, -1L, static_cast<long>(fresh->rows.size()));
    }
    touched_.clear();
}

Action::Action(RecordStore& store) : store_(store) {
    if (store_.action_) throw std::logic_error("actions do not nest");
    store_.action_ = this;
}

Action::~Action() {
    if (!done_) store_.rollbackAction();
    store_.action_ = nullptr;
}

void Action::commit() {
    if (done_) throw std::logic_error("action committed twice");
    try {
        store_.commitAction();
    } catch (...) {
        store_.rollbackAction();
        done_ = true;
        throw;
    }
    done_ = true;
}

// ---- files ------------------------------------------------------------------

bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    std::error_code ec;
    std::filesystem::path tmp = target;
    tmp += ".copy-" + std::to_string(::getpid());
    if (!std::filesystem::copy_file(source, tmp, std::filesystem::copy_options::overwrite_existing,
                                    ec))
        return false;
    std::filesystem::rename(tmp, target, ec);
    if (ec) std::filesystem::remove(tmp, ec);
    return !ec;
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

void recoverInterruptedActions(const std::filesystem::path& dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return;
    // Reading a table whose journal is hot rolls the interrupted commit back;
    // only then are the super-journals that no journal refers to any more removed.
    std::vector<std::filesystem::path> journals;
    for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        if (it.depth() > 1) it.disable_recursion_pending();
        const std::string name = it->path().filename().string();
        if (name.size() > 8 && name.ends_with("-journal")) journals.push_back(it->path());
    }
    for (const auto& j : journals) {
        std::filesystem::path table = j;
        table.replace_filename(j.filename().string().substr(0, j.filename().string().size() - 8));
        detail::Connection c;
        if (sqlite3_open_v2(table.c_str(), &c.db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK)
            sqlite3_exec(c.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    const std::string prefix = std::string(kAnchorName) + "-mj";
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.path().filename().string().starts_with(prefix)) std::filesystem::remove(e.path(), ec);
}

}  // namespace tw
