#pragma once
// The state of one table of the record store: its schema and password, the
// connection through which its file is read, and the writes of the open
// action that have not reached the file yet (the pending-write overlay, which
// every read merges with the file's rows). Used by the record store only.

#include <sys/types.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "storage/record_store.h"
#include "storage/sqlite_connection.h"

namespace tw::detail {

// The key under which the store keeps a table: its normalised path.
inline std::string keyOf(const std::filesystem::path& p) { return p.lexically_normal().string(); }

struct Row {
    std::int64_t id = 0;
    std::vector<Value> values;
    bool marked = false;  // deleteRecord's mark, until purgeDeleted
};

enum class ScanOrder { Sql, Memory, Any };

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
        bool partial = false;    // only the changed fields are known (changeFields)
    };
    std::unordered_map<std::int64_t, Changed> changed;  // file rows with new values
    std::unordered_set<std::int64_t> removed;           // file rows deleted
    std::vector<Row> added;                             // appended rows, ids ascending
    std::int64_t nextId = 0;                            // 0 until first needed
    std::uint64_t version = 0;                          // bumped by every write
    std::size_t partialRows = 0;                        // changed rows still partial
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
    // With `columns` (0-based positions), a row read from the file holds only
    // those fields, the others empty; an action's own rows hold every field.
    // ScanOrder::Sql has SQLite give the file's rows in record order (it
    // sorts what an index found), Memory sorts them here (holding them all),
    // Any gives them as SQLite finds them, then the action's.
    void scan(const Where& where, long limit, bool reverse, const std::function<bool(Row&)>& visit,
              const std::vector<int>* columns = nullptr, ScanOrder order = ScanOrder::Sql) const;
    std::optional<Row> get(std::int64_t id) const;
    long count(const Where& where) const;

    std::int64_t appendRow(std::vector<Value> values);
    // `values` is the whole record; `mask` marks the fields that changed.
    void updateRow(std::int64_t id, std::vector<Value> values, std::uint64_t mask);
    // The same without the record's other fields: a file row's are read when
    // the action next reads the table (completePartialRows).
    void changeFields(std::int64_t id, const std::vector<std::pair<int, Value>>& changes);
    // Reads the file's fields of the rows changeFields left partial, in one
    // look-up per batch of them. Every read of the table goes through it.
    void completePartialRows() const;
    void removeRow(std::int64_t id);
    void clearRows();
    void discardWrites();
};

}  // namespace tw::detail
