#pragma once
// The record store: table files of typed records, read and written through a
// cursor, as every other part of the program uses them.
//
// A table file is a SQLite database holding `records` (one column per field,
// in schema order; record order = rowid order) and `meta` (format, field
// types and lengths, password verifier). Opening a table loads its rows into
// memory; the cursor works on them, and writes reach the file when the
// enclosing Action commits: every write of one Action, across all the table
// files it touched, lands in one SQLite transaction, or none does.
//
// Writes outside an Action are a programming error (std::logic_error).
// Text that GBK cannot hold, or that is longer than its field allows, is
// refused with a TextError and nothing is written.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "storage/value.h"

struct sqlite3;

namespace tw {

struct FieldDef {
    std::string name;
    FieldType type = FieldType::Text;
    int maxLength = 0;  // text only: maximum length in GBK bytes
};
using Schema = std::vector<FieldDef>;

// A failure of the file system or the database (disk full, unwritable file).
// `what()` is a developer detail; userMessage() is the text to show.
class StoreError : public std::runtime_error {
public:
    explicit StoreError(const std::string& detail, std::string userMessage = {});
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
struct TableData;
struct Row;
}  // namespace detail

// One record as a record condition sees it.
class RecordView {
public:
    RecordView(const detail::TableData& table, const detail::Row& row) : table_(table), row_(row) {}
    const Value& operator[](std::string_view field) const;
    const Value& at(int position) const;  // 1-based
    const std::string& text(std::string_view field) const { return (*this)[field].text(); }
    double number(std::string_view field) const { return (*this)[field].number(); }
    std::int64_t integer(std::string_view field) const { return (*this)[field].integer(); }

private:
    const detail::TableData& table_;
    const detail::Row& row_;
};

using Condition = std::function<bool(const RecordView&)>;
using Expression = std::function<double(const RecordView&)>;

class Action;

class RecordStore {
public:
    // `anchorDir` holds the store's own small database file, next to which SQLite
    // keeps the super-journal of a commit that spans several table files. It must
    // be a persistent folder (the account-set directory), never a temporary one.
    explicit RecordStore(const std::filesystem::path& anchorDir);
    ~RecordStore();
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Makes a new, empty table file with no password (replacing any file there).
    bool createTable(const std::filesystem::path& path, const Schema& schema);
    // Opens a table and makes it current, positioned on its first record.
    // False for a missing, foreign or damaged file or a wrong password.
    bool openTable(const std::filesystem::path& path, const std::string& password);
    // Why the last openTable failed.
    enum class OpenFailure { None, Missing, NotATable, WrongPassword };
    OpenFailure lastOpenFailure() const { return lastOpenFailure_; }
    void closeTable();
    void closeTable(const std::filesystem::path& path);
    bool selectTable(const std::filesystem::path& path);

    void goFirst();
    void goLast();
    bool skipRecords(long count = 1);
    void goToRecord(long number);
    bool isPastEnd() const;
    bool isBeforeStart() const;
    long recordNumber() const;  // 1-based position of the current record

    Value readField(std::string_view field) const;
    Value readField(int position) const;
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
    void setTablePassword(const std::string& password);

    // Test hook: called with the table path before each table file is written
    // during a commit. Throwing from it aborts the commit.
    void setCommitHook(std::function<void(const std::filesystem::path&)> hook) {
        commitHook_ = std::move(hook);
    }

private:
    friend class Action;
    struct OpenTable {
        std::shared_ptr<detail::TableData> data;
        long pos = 0;  // 0-based index; -1 before the start, size past the end
    };

    OpenTable& current();
    const OpenTable& current() const;
    detail::Row& currentRow();
    const detail::Row& currentRow() const;
    void requireAction() const;
    void touch(const std::shared_ptr<detail::TableData>& data);
    Value checked(const detail::TableData& table, int index, const Value& value) const;
    std::shared_ptr<detail::TableData> load(const std::filesystem::path& path) const;

    void commitAction();
    void rollbackAction();

    sqlite3* db_ = nullptr;
    std::map<std::string, OpenTable> open_;
    OpenFailure lastOpenFailure_ = OpenFailure::None;
    std::string current_;  // key of the current table in open_, empty for none
    Action* action_ = nullptr;
    std::map<std::string, std::shared_ptr<detail::TableData>> touched_;
    std::function<void(const std::filesystem::path&)> commitHook_;
};

// A write scope: everything written to the store while it lives lands in the
// table files together at commit(), or not at all. Leaving the scope without
// commit() discards the writes. Actions do not nest.
class Action {
public:
    explicit Action(RecordStore& store);
    ~Action();
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;
    // Throws StoreError when the files cannot be written; nothing is written then.
    void commit();

private:
    RecordStore& store_;
    bool done_ = false;
};

// File and directory operations.
bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target);
bool deleteFile(const std::filesystem::path& path);
bool createDirectory(const std::filesystem::path& path);
// Deletes a folder with everything in it. Refuses an empty path, a file-system
// root and any folder that does not lie strictly inside `allowedRoot`.
bool removeDirectory(const std::filesystem::path& path, const std::filesystem::path& allowedRoot);

// Rolls back what an interrupted commit left in the table files under `dir`
// (hot journals) and removes orphan super-journals of the store's anchor file.
void recoverInterruptedActions(const std::filesystem::path& dir);

}  // namespace tw
