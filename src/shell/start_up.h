#pragma once
// What the program and tallowick-cli do with the account-set directory before
// anything else:
//   1. make the directory when it is missing;
//   2. take the directory lock (storage/directory_lock.h); when another
//      process has it, stop: nothing in the directory is touched;
//   3. under the lock: roll back the actions a killed process left half
//      committed, clear what dead processes left (work folders of creations,
//      restores and deletions, temporary files in the directory and in every
//      set folder), and make the missing template files.
// The caller keeps the returned lock for the life of the process. When the
// lock file cannot be made at all the directory cannot be written either, and
// step 3 is left out.

#include <filesystem>

#include "storage/directory_lock.h"

namespace tw {

DirectoryLock startUp(const std::filesystem::path& dataDir);

// Step 3 alone, for a process that holds the lock.
void clearLeftovers(const std::filesystem::path& dataDir);

}  // namespace tw
