// The record store itself: its anchor database, which tables are open and
// which the open action has written, opening, making and closing tables,
// and the indexed handle's entry point. The cursor, the Table handle, the
// action's commit and rollback and the table copies live in files of their
// own (cursor.cpp, table.cpp, action.cpp, table_copies.cpp).
#include "storage/record_store.h"

#include <sodium.h>

#include <algorithm>

#include "storage/cursor.h"
#include "storage/table_file.h"

namespace tw {

using detail::keyOf;
using detail::TableState;

namespace {
constexpr int kMaxTablesPerAction = 10;  // SQLite's limit of attached databases
constexpr const char* kAnchorMessage =
    "套账目录无法写入，不能保存任何数据！ 请检测您对计算机使用的权限！";

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

RecordStore::RecordStore(const std::filesystem::path& anchorDir) : anchorDir_(anchorDir) {
    if (sodium_init() < 0) throw StoreError("libsodium cannot start");
    const auto anchor = anchorDir / detail::kAnchorName;
    // Used on one thread only, like the tables' connections: no locking of every call.
    if (sqlite3_open_v2(anchor.c_str(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
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

}  // namespace tw
