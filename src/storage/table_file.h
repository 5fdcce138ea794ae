#pragma once
// The table file format: a SQLite database with `records` (one column per
// field, in schema order) and `meta` (format, version, field types and
// lengths, password verifier); opening one, creating one, and writing an
// action's pending changes into it. Used by the record store only.

#include <sqlite3.h>

#include <filesystem>
#include <memory>
#include <string>

#include "storage/record_store.h"
#include "storage/table_state.h"

namespace tw::detail {

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
