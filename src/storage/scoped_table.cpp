#include "storage/scoped_table.h"

namespace tw {

bool ScopedTable::open(const std::filesystem::path& path, const std::string& password) {
    close();
    const bool wasOpen = store_.isOpen(path);
    return took(path, wasOpen, store_.openTable(path, password));
}

bool ScopedTable::open(const std::filesystem::path& path, const std::string& password,
                       const Schema& expected) {
    close();
    const bool wasOpen = store_.isOpen(path);
    return took(path, wasOpen, store_.openTable(path, password, expected));
}

bool ScopedTable::took(const std::filesystem::path& path, bool wasOpen, bool ok) {
    path_ = path;
    opened_ = ok && !wasOpen;
    return ok;
}

void ScopedTable::close() {
    if (opened_) store_.closeTable(path_);
    opened_ = false;
}

}  // namespace tw
