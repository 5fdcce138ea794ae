#pragma once
// The SQLite side of a table file: reading it whole, writing its changes, and
// the password verifier kept in its `meta` table. Used by the record store only.

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "storage/record_store.h"

namespace tw::detail {

struct Row {
    std::vector<Value> values;
    std::int64_t rowid = 0;  // 0 until the row reaches the file
    bool dirty = false;      // changed since it was read or written
    bool deleted = false;    // marked by deleteRecord, removed by purgeDeleted
};

struct TableData {
    std::filesystem::path path;
    Schema fields;
    std::map<std::string, int, std::less<>> index;  // field name -> 0-based position
    std::vector<Row> rows;
    std::vector<std::int64_t> removed;  // rowids to delete from the file
    bool cleared = false;               // every row of the file goes
    std::string salt, verifier;         // hex
    bool passwordChanged = false;

    int fieldIndex(std::string_view name) const;
    bool passwordMatches(const std::string& password) const;
    void setPassword(const std::string& password);
    void buildIndex();
};

// RAII handle of a SQLite connection.
struct Connection {
    sqlite3* db = nullptr;
    ~Connection() {
        if (db) sqlite3_close_v2(db);
    }
};

void exec(sqlite3* db, const std::string& sql);
std::string quoteName(const std::string& identifier);

// Reads a whole table file; nullptr when it is missing, not a table file or damaged.
std::shared_ptr<TableData> readTableFile(const std::filesystem::path& path);
// Writes a complete new table file (schema, password verifier, rows) under a
// temporary name and renames it into place.
bool writeNewTableFile(const std::filesystem::path& path, const Schema& fields,
                       const std::string& salt, const std::string& verifier,
                       const std::vector<const Row*>& rows);
// Writes the pending changes of `data` into the attached database `schemaName`
// (inside the caller's transaction). Returns the rowids that new rows received,
// in the order of those rows.
std::vector<std::pair<Row*, std::int64_t>> writeChanges(sqlite3* db, const std::string& schemaName,
                                                        TableData& data);

}  // namespace tw::detail
