// SQLite calls as the store makes them: failures as StoreError (a damaged
// file as unreadable), connections set up alike, values bound and read by type.
#include "storage/sqlite_connection.h"

namespace tw::detail {

void bindValue(sqlite3_stmt* st, int i, const Value& v) {
    if (v.isText())
        sqlite3_bind_text(st, i, v.text().data(), static_cast<int>(v.text().size()),
                          SQLITE_TRANSIENT);
    else if (v.isDouble())
        sqlite3_bind_double(st, i, v.number());
    else
        sqlite3_bind_int64(st, i, v.integer());
}

void bindField(sqlite3_stmt* st, int i, FieldType type, const Value& v) {
    switch (type) {
        case FieldType::Text:
            sqlite3_bind_text(st, i, v.text().data(), static_cast<int>(v.text().size()),
                              SQLITE_STATIC);
            break;
        case FieldType::Double:
        case FieldType::DateTime: sqlite3_bind_double(st, i, v.number()); break;
        default: sqlite3_bind_int64(st, i, v.integer());
    }
}

Value columnValue(sqlite3_stmt* st, int col, FieldType t) {
    if (sqlite3_column_type(st, col) == SQLITE_NULL) return emptyValue(t);
    if (t == FieldType::Text) {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return Value(std::string(p, sqlite3_column_bytes(st, col)));
    }
    if (t == FieldType::Double || t == FieldType::DateTime)
        return Value(sqlite3_column_double(st, col));
    return Value(static_cast<std::int64_t>(sqlite3_column_int64(st, col)));
}

std::string columnList(const Schema& fields) {
    std::string s;
    for (size_t i = 0; i < fields.size(); ++i) s += (i ? "," : "") + quoteName(fields[i].name);
    return s;
}

std::string placeholders(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += i ? ",?" : "?";
    return s;
}

// A failed SQLite call as the store reports it: a damaged file is a table
// that cannot be read, anything else a file that cannot be written.
[[noreturn]] void fail(int rc, const std::string& detail) {
    const int primary = rc & 0xFF;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        throw StoreError("damaged: " + detail, kUnreadableTable);
    throw StoreError(detail);
}

Statement::Statement(sqlite3* connection, const std::string& sql) : db(connection) {
    if (const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr); rc != SQLITE_OK)
        fail(sqlite3_extended_errcode(db), std::string("SQL: ") + sqlite3_errmsg(db) + " in " + sql);
}

bool Statement::row() {
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(rc, std::string("SQL: ") + sqlite3_errmsg(db));
}

void Statement::done() {
    if (const int rc = sqlite3_step(st); rc != SQLITE_DONE)
        fail(rc, std::string("SQL: ") + sqlite3_errmsg(db));
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
}

void exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err); rc != SQLITE_OK) {
        std::string detail = err ? err : "unknown";
        sqlite3_free(err);
        fail(rc, "SQL: " + detail + " in " + sql);
    }
}

std::string quoteName(const std::string& identifier) {
    std::string quoted = "\"";
    for (const char c : identifier) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

void configureConnection(sqlite3* db) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A double-quoted name is an identifier, never a text: a name that
    // matches no column is an error instead of reading as its own name.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // Cells that do not fit their page are corruption, reported as such
    // rather than read as rows missing or wrong.
    sqlite3_exec(db, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);
}

}  // namespace tw::detail
