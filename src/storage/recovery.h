#pragma once
// Start-up recovery: rolling back what an interrupted commit of the record
// store left in the table files.

#include <filesystem>
#include <vector>

namespace tw {

// Rolls back what an interrupted commit left in the table files under `dir`
// and in the folders directly inside it (hot journals), and removes the
// orphan super-journals of the store's anchor file once every table is rolled
// back. Returns the tables that could not be (their file cannot be written):
// the super-journals stay then, and a later call rolls them back. Only under
// the directory lock (storage/directory_lock.h): the journals of another
// process's commit in flight are not orphans.
std::vector<std::filesystem::path> recoverInterruptedActions(const std::filesystem::path& dir);
// Tries again for the tables directly in `folder` (a set folder) and returns
// those whose interrupted commit still cannot be rolled back.
std::vector<std::filesystem::path> unrecoveredTables(const std::filesystem::path& folder);

}  // namespace tw
