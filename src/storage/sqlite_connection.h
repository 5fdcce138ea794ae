#pragma once
// The store's use of SQLite: connections and prepared statements that throw
// StoreError, names quoted as identifiers, and values bound and read by field
// type. Used by the record store only.

#include <sqlite3.h>

#include <string>

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
// before it gives up. The set's lock keeps other processes away; this is
// the second line, should anything else open a table file meanwhile (another
// set's process reading it, say).
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

// Binds a value as it is (a look-up's value); a field's value by its type.
void bindValue(sqlite3_stmt* st, int i, const Value& v);
// Text is bound without a copy: `v` must outlive the step.
void bindField(sqlite3_stmt* st, int i, FieldType type, const Value& v);
// Column `col` of the current row as a value of type `t` (NULL: the empty value).
Value columnValue(sqlite3_stmt* st, int col, FieldType t);
// The quoted field names, comma-separated, in schema order.
std::string columnList(const Schema& fields);
// "?,?,…": n placeholders.
std::string placeholders(size_t n);

}  // namespace tw::detail
