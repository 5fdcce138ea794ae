#pragma once
// A table file opened by path for the length of a scope: a set being logged
// into, an unpacked backup, a file named on the command line. (A table of the
// open set has SetTable, shell/session.h, which also refuses what does not
// open.) The handle closes the table again when it goes, an exception
// included, unless the table was open before it opened it: a caller's table
// stays open.

#include <filesystem>
#include <string>

#include "storage/record_store.h"

namespace tw {

class ScopedTable {
public:
    explicit ScopedTable(RecordStore& store) : store_(store) {}
    ~ScopedTable() { close(); }
    ScopedTable(const ScopedTable&) = delete;
    ScopedTable& operator=(const ScopedTable&) = delete;

    // Opens `path` as RecordStore::openTable does (current, on its first
    // record). False when it does not open; the store's lastOpenFailure tells
    // why. A handle holds one table: opening another closes the one before.
    bool open(const std::filesystem::path& path, const std::string& password);
    bool open(const std::filesystem::path& path, const std::string& password,
              const Schema& expected);

    // The indexed view of the table; std::logic_error when it is not open.
    Table table() const { return store_.table(path_); }
    const std::filesystem::path& path() const { return path_; }

private:
    // Closes the table if this handle opened it.
    void close();
    // Keeps `path` after an open that went `ok`; it was open before when `wasOpen`.
    bool took(const std::filesystem::path& path, bool wasOpen, bool ok);

    RecordStore& store_;
    std::filesystem::path path_;
    bool opened_ = false;  // opened here: closed when this goes
};

}  // namespace tw
