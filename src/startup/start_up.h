#pragma once
// What the program and tallowick-cli do with the account-set directory before
// anything else:
//   1. make the directory when it is missing;
//   2. try the directory lock once (storage/directory_lock.h); when another
//      process has it (an operation on the directory is running) nothing is
//      cleared: the next start does it;
//   3. under the lock: clear what dead operations on the directory left
//      (work folders of creations, restores and deletions; an interrupted
//      swap put back), roll back the templates' interrupted commit, and then,
//      for each set no process works on (its lock taken for the time, never
//      made), finish the files a dead process was putting in place there and
//      clear its temporary files (shell/set_lock.h, clearSetLeftovers). With
//      no set in use, the directory's own temporary folder and files, the
//      files its notes name and the orphan super-journals go too. The
//      interrupted actions of a set are not rolled back here: the next
//      process that takes the set does it. Last, the missing templates are
//      made.
// The caller lets go of the returned lock at once: a process works on the
// sets it takes (shell/set_lock.h), never on the whole directory. When the
// lock cannot be taken at all (its file cannot be opened), the caller stops
// with kDirectoryInUse: no set could be taken safely either.

#include <filesystem>

#include "storage/directory_lock.h"

namespace tw {

DirectoryLock startUp(const std::filesystem::path& dataDir);

// Step 3 alone, for a process that holds the directory lock.
void clearLeftovers(const std::filesystem::path& dataDir);

// Makes each template file that is missing (an existing file is never
// touched): the template tables every new set copies, the two workbooks, the
// calculator launcher, the page templates and the statements' line rules
// (报表项目.txt and 现金流量项目.txt).
void makeMissingTemplates(const std::filesystem::path& dataDir);

// Creates the directory (silently ignoring failure), rolls back interrupted
// actions in it and in every set folder, removes the set locks' files dead
// processes left, and makes missing template files. Never overwrites an
// existing file. Only for a process that has the directory to itself (a
// test's own folder).
void prepareDataDir(const std::filesystem::path& dataDir);

}  // namespace tw
