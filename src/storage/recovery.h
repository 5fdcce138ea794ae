#pragma once
// Recovery: rolling back what an interrupted commit of the record store left
// in the table files, and removing the super-journals it no longer needs.

#include <filesystem>
#include <vector>

namespace tw {

// Rolls back what an interrupted commit left in the table files under `dir`
// and in the folders directly inside it (hot journals), and removes the
// orphan super-journals of the store's anchor file once every table is rolled
// back. Returns the tables that could not be (their file cannot be written):
// the super-journals stay then, and a later call rolls them back. Only for a
// process that has the directory to itself: the journals of another
// process's commit in flight are not orphans.
std::vector<std::filesystem::path> recoverInterruptedActions(const std::filesystem::path& dir);
// Rolls back (or tries again for) the tables directly in `folder` (a set
// folder, or the account-set directory's templates) and returns those whose
// interrupted commit still cannot be rolled back. Only under the folder's
// lock (shell/set_lock.h).
std::vector<std::filesystem::path> unrecoveredTables(const std::filesystem::path& folder);

// Removes the super-journals of the store's anchor in `dataDir` that belonged
// to the commits of the set in `folder` (they name a journal in it) and of
// which no journal is left. A super-journal with a journal left keeps that
// journal's rollback possible; removed, it would make the half-written
// commit final. Only under the set's lock, once its tables are rolled back:
// no commit of the set is in flight then.
void removeOrphanSuperJournals(const std::filesystem::path& dataDir,
                               const std::filesystem::path& folder);
// The same for every super-journal of the anchor, an empty one (its process
// was killed as it made it) included. Only while no process can be
// committing: under the directory lock, with no set in use.
void removeOrphanSuperJournals(const std::filesystem::path& dataDir);
// Whether the anchor has any super-journal left.
bool hasSuperJournals(const std::filesystem::path& dataDir);

}  // namespace tw
