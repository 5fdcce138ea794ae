#pragma once
// The state of one table of the record store: its schema and password, the
// connection through which its file is read, and the writes of the open action
// that have not reached the file yet. Used by the record store only.

#include <sqlite3.h>
#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "storage/record_store.h"

namespace tw::detail {

// RAII handle of a SQLite connection.
struct Connection {
    sqlite3* db = nullptr;
    Connection() = default;
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    ~Connection() { close(); }
    void close() {
        if (db) sqlite3_close_v2(db);
        db = nullptr;
    }
};

// RAII prepared statement; throws StoreError when the SQL does not prepare.
struct Statement {
    sqlite3* db;
    sqlite3_stmt* st = nullptr;
    Statement(sqlite3* db, const std::string& sql);
    ~Statement() { sqlite3_finalize(st); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    bool row();   // steps; true on a row, false when done; throws on an error
    void done();  // steps a statement that returns no rows, then resets it
    int changes() const { return sqlite3_changes(db); }
};

// How long a connection waits for a file another connection holds locked
// before it gives up. The directory lock keeps other processes away; this is
// the second line, should anything else open a table file meanwhile.
inline constexpr int kBusyTimeoutMs = 5000;

// Runs SQL that returns no rows; throws StoreError (a damaged file: with the
// unreadable-table message).
void exec(sqlite3* db, const std::string& sql);
// A name in double quotes, quotes inside it doubled. Every connection of the
// store treats double quotes as identifiers only (configureConnection).
std::string quoteName(const std::string& identifier);
// Sets up a connection the store opens: the busy timeout, double-quoted
// names never read as texts, and SQLite's cheap corruption checks of cells.
void configureConnection(sqlite3* db);

struct Row {
    std::int64_t id = 0;
    std::vector<Value> values;
    bool marked = false;  // deleteRecord's mark, until purgeDeleted
};

struct TableState {
    std::filesystem::path path;
    std::string key;
    Schema fields;
    std::map<std::string, int, std::less<>> index;  // field name -> 0-based position
    std::string salt, verifier;                     // hex
    Connection reader;       // reads the file; closed while there is no file yet
    dev_t device = 0;        // identity of the file that was opened, to notice a
    ino_t inode = 0;         // file replaced under an open table
    int cursors = 0;         // cursors open on it
    bool reopen = false;     // its file was made anew by a commit: read it again when next used
    bool scratch = false;    // RecordStore::scratchCopy: in memory only, read-only

    // Writes of the open action.
    bool replaced = false;  // made anew in this action: schema, password, rows
    bool cleared = false;   // every row of the file goes
    bool passwordChanged = false;
    struct Changed {
        std::vector<Value> values;
        std::uint64_t mask = 0;  // bit i: field i changed
    };
    std::unordered_map<std::int64_t, Changed> changed;  // file rows with new values
    std::unordered_set<std::int64_t> removed;           // file rows deleted
    std::vector<Row> added;                             // appended rows, ids ascending
    std::int64_t nextId = 0;                            // 0 until first needed
    std::uint64_t version = 0;                          // bumped by every write
    bool written = false;

    int fieldIndex(std::string_view name) const;
    bool passwordMatches(const std::string& password) const;
    void setPassword(const std::string& password);
    void buildIndex();
    bool hasFileRows() const { return reader.db && !replaced && !cleared; }
    // Opens the file again after a commit made it anew; StoreError when it
    // cannot be read. Every read goes through it.
    void reopenIfNeeded() const;

    // Records of the table as the action sees it (file rows with the action's
    // writes), those satisfying `where`, in record order (reverse: backward),
    // at most `limit` of them (-1: all).
    std::vector<Row> select(const Where& where, long limit = -1, bool reverse = false) const;
    // The same rows one at a time, without keeping them; `visit` returns false to stop.
    void scan(const Where& where, long limit, bool reverse,
              const std::function<bool(Row&)>& visit) const;
    std::optional<Row> get(std::int64_t id) const;
    long count(const Where& where) const;

    std::int64_t appendRow(std::vector<Value> values);
    // `values` is the whole record; `mask` marks the fields that changed.
    void updateRow(std::int64_t id, std::vector<Value> values, std::uint64_t mask);
    void removeRow(std::int64_t id);
    void clearRows();
    void discardWrites();
};

// Opens a table file for reading: its schema and password verifier. nullptr
// and the reason when it is missing, not a table file, damaged, or when its
// records do not have the columns its fields describe (names, order, types).
std::shared_ptr<TableState> openTableFile(const std::filesystem::path& path,
                                          RecordStore::OpenFailure& failure);
// Creates the indexes the table's file name calls for, where missing, inside
// the caller's transaction (StoreError when that fails). Only a commit does
// it: reading a table never writes its file.
void ensureIndexes(sqlite3* db, const std::string& schemaName, const TableState& table);
// Writes the pending changes of `table` into the attached database
// `schemaName`, inside the caller's transaction.
void writeChanges(sqlite3* db, const std::string& schemaName, TableState& table);
// Salt and verifier of a password, as the meta table keeps them.
void makePassword(const std::string& password, std::string& salt, std::string& verifier);

}  // namespace tw::detail
