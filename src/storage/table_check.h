#pragma once
// SQLite's own check of table files: pages, cells and their order, without
// reading the books. Used before a backup is written and by the check of a
// set; it reads through a connection of its own and changes nothing.

#include <filesystem>
#include <string>
#include <vector>

namespace tw {

// What PRAGMA quick_check finds wrong in the table file (at most `limit`
// problems); empty when it is sound. A file SQLite cannot open or read as a
// database is one problem.
std::vector<std::string> quickCheck(const std::filesystem::path& file, int limit = 20);

struct DamagedTable {
    std::string file;     // its name in the folder: 总账库.edb
    std::string problem;  // the first problem found
};
// The table files of a set folder (every file named as one of its tables)
// that quick_check finds damaged, in name order.
std::vector<DamagedTable> damagedTables(const std::filesystem::path& folder);

}  // namespace tw
