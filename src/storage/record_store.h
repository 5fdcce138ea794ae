#pragma once
// The record store: table files of typed records, read and written through a
// cursor (the small tables and the windows) or through indexed look-ups (the
// ledgers, which grow for years), as every other part of the program uses them.
//
// A table file is a SQLite database holding `records` (one column per field,
// in schema order; record order = rowid order) and `meta` (format, field
// types and lengths, password verifier). Each open table reads its file
// through a connection of its own; nothing is loaded until it is asked for.
//
// Writes: everything written while an Action lives is held in memory and lands
// in the table files together when the Action commits: all the files it
// touched in one SQLite transaction, or none. Reads inside an Action see its
// own writes. Writes outside an Action are a programming error
// (std::logic_error). Text that GBK cannot hold, that is longer than its
// field allows, or that holds control characters (a line break or a tab would
// make every tab-separated listing ambiguous) is refused with a TextError and
// nothing is written.
//
// Two ways to reach the records of an open table:
//   - the cursor (goFirst, skipRecords, readField, findRecord, …) on the
//     current table. The first cursor move loads the table's rows into
//     memory; use it for small tables (the chart, users, 账库辅1, a window's list).
//   - table(path): a Table handle with look-ups by condition (Where) that go
//     through SQLite's indexes and never load the table, appends that do not
//     read it, and changes by record id. Use it for 账库, 总账库, 凭证库,
//     日记账库. Field positions are resolved once per look-up, not per row.
// Both work on the same table state: a write through one is seen by the other.
//
// Table-level operations inside an Action (createTable, copyTable,
// sortToFile) see the Action's writes and land with its commit; outside an
// Action they are written at once.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/value.h"
#include "storage/where.h"

struct sqlite3;

namespace tw {

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int maxLength = 0;  // text only: maximum length in GBK bytes
};
using Schema = std::vector<FieldDef>;

// The most fields a table holds: the store keeps one bit per field of what a
// write changed.
inline constexpr int kMaxFields = 63;

// The message shown when the table files cannot be written.
inline constexpr const char* kDiskMessage = "数据无法写入磁盘！ 请检测您对计算机使用的权限！";

// The message shown when a table file is damaged or does not match its
// schema: the operation stops before anything is written.
inline constexpr const char* kUnreadableTable = "无法读出套账数据！  请检查后重试！";

// A failure of the file system or the database (disk full, unwritable file;
// a damaged file, with kUnreadableTable).
// `what()` is a developer detail; userMessage() is the text to show.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const std::string& detail, std::string userMessage = kDiskMessage);
    const std::string& userMessage() const { return userMessage_; }

private:
    std::string userMessage_;
};

// Text that cannot be stored in its field (outside GBK, or too long).
class TextError : public StoreError {
public:
    using StoreError::StoreError;
};

namespace detail {
struct TableState;
}  // namespace detail

// One record as a record condition sees it.
class RecordView {
public:
    RecordView(const detail::TableState& table, const std::vector<Value>& values)
        : table_(table), values_(values) {}
    const Value& operator[](std::string_view field) const;
    const Value& at(int position) const;  // 1-based
    const std::string& text(std::string_view field) const { return (*this)[field].text(); }
    double number(std::string_view field) const { return (*this)[field].number(); }
    std::int64_t integer(std::string_view field) const { return (*this)[field].integer(); }

private:
    const detail::TableState& table_;
    const std::vector<Value>& values_;
};

using Condition = std::function<bool(const RecordView&)>;
using Expression = std::function<double(const RecordView&)>;

// A record as an indexed look-up returns it.
struct Record {
    std::int64_t id = 0;  // its place in record order; stays while the record lives
    std::vector<Value> values;  // in schema order
    const Value& operator[](int position) const { return values.at(position); }  // 0-based
};

class RecordStore;

enum class RowOrder { Record, Any };

// An open table, for look-ups by condition and writes by record id. A handle
// is valid while its table is open; writes need an Action.
class Table {
public:
    const Schema& schema() const;
    // 0-based position of a field; std::logic_error when the table has none.
    int position(std::string_view field) const;

    // The records that satisfy `where`, in record order.
    std::vector<Record> select(const Where& where = {}) const;
    std::optional<Record> first(const Where& where = {}) const;
    std::optional<Record> last(const Where& where = {}) const;
    long count(const Where& where = {}) const;
    bool any(const Where& where) const { return first(where).has_value(); }
    std::optional<Record> get(std::int64_t id) const;
    // The records that satisfy `where`, one at a time in record order, without
    // keeping them (sums over many rows). `visit` returns false to stop.
    void forEach(const Where& where, const std::function<bool(const Record&)>& visit) const;
    // The same, reading only the fields at `positions` (0-based) from the
    // file: each record's other fields are empty. For look-ups over many
    // rows that need a few of the fields. RowOrder::Any gives them in no
    // particular order (as an index finds them, without the sort that record
    // order costs), for readers that group or sort the rows themselves.
    void forEach(const Where& where, const std::vector<int>& positions,
                 const std::function<bool(const Record&)>& visit, RowOrder order = RowOrder::Record) const;
    std::vector<Record> select(const Where& where, const std::vector<int>& positions) const;

    // Appends a record (values in field order, any leading subset; the rest
    // empty) without reading the table. Returns its id.
    std::int64_t append(std::vector<Value> values);
    // Changes fields (by 0-based position) of a record.
    void update(std::int64_t id, const std::vector<std::pair<int, Value>>& changes);
    // The same for a record read through this table in the same action,
    // without reading it again. Only the changed fields are taken: a copy
    // read before another change of the record keeps that change.
    void update(const Record& current, const std::vector<std::pair<int, Value>>& changes);
    // The same without reading the record now: for changing a few fields of
    // many records read with only some of their fields.
    void change(std::int64_t id, const std::vector<std::pair<int, Value>>& changes);
    void set(std::int64_t id, std::string_view field, const Value& value) {
        update(id, {{position(field), value}});
    }
    void remove(std::int64_t id);

private:
    friend class RecordStore;
    Table(RecordStore& store, std::shared_ptr<detail::TableState> state)
        : store_(&store), state_(std::move(state)) {}
    void requireOpen() const;
    RecordStore* store_;
    std::shared_ptr<detail::TableState> state_;
};

class Action;

namespace detail {
// The store's own database in the account-set directory; SQLite names the
// super-journals of its commits after it.
inline constexpr const char* kAnchorName = ".tallowick-actions.db";
}  // namespace detail

class RecordStore {
public:
    // `anchorDir` holds the store's own small database file, next to which SQLite
    // keeps the super-journal of a commit that spans several table files. It must
    // be a persistent folder (the account-set directory), never a temporary one.
    // Throws StoreError when that file cannot be opened: without it a commit
    // would not be atomic across files.
    explicit RecordStore(const std::filesystem::path& anchorDir);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Makes a new, empty table file with no password, in place of a table
    // file, an empty file or a link at `path` (never the file a link points
    // to). Anything else there (another program's file, a newer program's
    // table, a folder) is not the store's to delete: the commit stops with
    // kUnreadableTable and leaves it. False for a schema without fields or
    // with more than kMaxFields, and outside an action when the commit fails.
    bool createTable(const std::filesystem::path& path, const Schema& schema);
    // Opens a table and makes it current, positioned on its first record.
    // False for a missing, foreign or damaged file, a wrong password, or (when
    // `expected` is given) fields that differ from it in name, type or order.
    bool openTable(const std::filesystem::path& path, const std::string& password);
    bool openTable(const std::filesystem::path& path, const std::string& password,
                   const Schema& expected);
    // Why the last openTable failed.
    // NewerFormat: a table file of a newer program, which this one must not write.
    enum class OpenFailure { None, Missing, NotATable, WrongPassword, WrongSchema, NewerFormat };
    OpenFailure lastOpenFailure() const { return lastOpenFailure_; }
    void closeTable();
    void closeTable(const std::filesystem::path& path);
    bool selectTable(const std::filesystem::path& path);
    bool isOpen(const std::filesystem::path& path) const;

    // The indexed view of an open table.
    Table table(const std::filesystem::path& path);

    // ---- the cursor, on the current table ----
    void goFirst();
    void goLast();
    bool skipRecords(long count = 1);
    void goToRecord(long number);
    bool isPastEnd() const;
    bool isBeforeStart() const;
    long recordNumber() const;  // 1-based position of the current record

    Value readField(std::string_view field) const;
    Value readField(int position) const;  // 1-based
    void writeField(std::string_view field, const Value& value);
    void appendRecord(const std::vector<Value>& values);
    void modifyRecord(const std::vector<std::optional<Value>>& values);
    bool findRecord(const Condition& condition);
    void deleteRecord();
    void purgeDeleted();
    void clearTable();

    long recordCount() const;
    int fieldCount() const;
    std::string fieldName(int position) const;
    FieldType fieldType(int position) const;
    const Schema& schema() const;
    double maxOf(const Expression& expression, const Condition& condition) const;

    // Writes every record of the current table, ordered by the key fields (text
    // by GBK bytes), into a new table file at `target` with the same schema and
    // password. The current table is unchanged.
    bool sortToFile(const std::filesystem::path& target, const std::vector<std::string>& keys);
    // Copies the open table `source` (with the action's writes) to `target`,
    // with its schema and password, replacing what is there as createTable does.
    void copyTable(const std::filesystem::path& source, const std::filesystem::path& target);
    // A copy of the open table `source` (with the action's writes) for this
    // action only, to read a table as it stood while appending to it: open
    // and current under a fresh name in the temporary folder of source's
    // folder (returned), read-only, never written to any file, and gone when
    // the action ends. Needs an action.
    std::filesystem::path scratchCopy(const std::filesystem::path& source);
    void setTablePassword(const std::string& password);

    // Test hook: called with the table path before each table file is written
    // during a commit. Throwing from it aborts the commit.
    void setCommitHook(std::function<void(const std::filesystem::path&)> hook) {
        commitHook_ = std::move(hook);
    }

private:
    friend class Action;
    friend class Table;
    struct Cursor;

    Cursor& current();
    const Cursor& current() const;
    void requireAction() const;
    void touch(detail::TableState& table);
    std::shared_ptr<detail::TableState> stateFor(const std::filesystem::path& path);
    std::shared_ptr<detail::TableState> newTableState(const std::filesystem::path& path,
                                                      const Schema& schema,
                                                      const std::string& salt,
                                                      const std::string& verifier);
    void dropIfUnused(const std::string& key);
    // Runs `write` in the open action, or in one of its own that commits at once.
    bool writeTableNow(const std::function<void()>& write);

    // True when the disk confirmed the commit (see Action::confirmed).
    bool commitAction();
    void rollbackAction();
    void dropScratchCopies();

    sqlite3* db_ = nullptr;
    std::filesystem::path anchorDir_;
    std::map<std::string, std::shared_ptr<detail::TableState>> tables_;  // open or written
    std::map<std::string, std::unique_ptr<Cursor>> cursors_;              // open tables
    std::vector<std::string> written_;  // keys of the tables the action wrote, in order
    OpenFailure lastOpenFailure_ = OpenFailure::None;
    std::string current_;  // key of the current table, empty for none
    Action* action_ = nullptr;
    std::function<void(const std::filesystem::path&)> commitHook_;
};

// A write scope: everything written to the store while it lives lands in the
// table files together at commit(), or not at all. Leaving the scope without
// commit() discards the writes. Actions do not nest: an operation that is
// part of a larger one works inside the caller's action.
class Action {
public:
    explicit Action(RecordStore& store);
    ~Action();
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;
    // Throws StoreError when the files cannot be written; nothing is written then.
    void commit();
    // After commit(): false when the action landed but the disk did not
    // confirm it (the account-set directory could not be synced once the
    // commit's super-journal was gone). The action is done and every later
    // read sees it, so doing it again would do it twice; only a power loss
    // before the disk writes out its cache could still lose it.
    bool confirmed() const { return confirmed_; }

private:
    RecordStore& store_;
    bool done_ = false;
    bool confirmed_ = true;
};

}  // namespace tw
