#pragma once
// What the program and tallowick-cli do with the account-set directory before
// anything else:
//   1. make the directory when it is missing;
//   2. take the directory lock (storage/directory_lock.h); when another
//      process has it, stop: nothing in the directory is touched;
//   3. under the lock: roll back the actions a killed process left half
//      committed (a table that cannot be rolled back yet keeps its set
//      refused at login, shell/login.h), finish the files a killed process
//      was putting in place together, clear what dead processes left (work
//      folders of creations, restores and deletions, temporary files in the
//      directory and in every set folder), and make the missing templates.
// The caller keeps the returned lock for the life of the process. When the
// lock cannot be taken for any reason (another process has it, its file
// cannot be opened) the caller stops as for a busy directory; only a
// directory that is not there at all lets it go on, with nothing to protect.

#include <filesystem>

#include "storage/directory_lock.h"

namespace tw {

DirectoryLock startUp(const std::filesystem::path& dataDir);

// Step 3 alone, for a process that holds the lock.
void clearLeftovers(const std::filesystem::path& dataDir);

// Makes each template file that is missing (an existing file is never
// touched): the template tables every new set copies, the two workbooks, the
// calculator launcher, the page templates and the statements' line rules
// (报表项目.txt and 现金流量项目.txt).
void makeMissingTemplates(const std::filesystem::path& dataDir);

// Creates the directory (silently ignoring failure), rolls back interrupted
// actions in it and in every set folder, and makes missing template files.
// Never overwrites an existing file. Only for a process that already holds
// the directory lock, or has the directory to itself (a test's own folder).
void prepareDataDir(const std::filesystem::path& dataDir);

}  // namespace tw
