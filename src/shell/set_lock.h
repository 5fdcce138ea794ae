#pragma once
// A lock per account set. Programs and commands share one account-set
// directory (an office's, on a file server) and work side by side, each on a
// set of its own:
//   - working on a set holds that set's lock (takeSet): the program from the
//     login window to the logout, a command of a set from its start to its
//     end. A second process on the same set is refused (kDirectoryInUse, or
//     for a deletion the set named, setInUseForDeletion) and touches nothing;
//   - the operations on the directory itself (creating, deleting and
//     restoring a set, the start-up clean-up, making the templates) run under
//     the directory lock (underDirectoryLock, startup/start_up.h). Deleting
//     or restoring a set that another process works on is refused, naming it;
//   - a set's lock is taken, and the set recovered, only while the directory
//     lock is held, which is let go of then: an operation that holds the directory lock sees every
//     set in use, and no set is taken while it runs. A process waits for the
//     directory lock up to kDirectoryPatience, since others hold it briefly.
// The interrupted actions of a set are recovered when its lock is taken, by
// the next process that works on it.

#include <chrono>
#include <filesystem>
#include <string>

#include "shell/login.h"
#include "storage/directory_lock.h"
#include "storage/outcome.h"

namespace tw {

namespace fs = std::filesystem;

// The set this process works on and the lock it holds on it (LoginState::setLock).
struct SetLock {
    std::string setName;
    DirectoryLock lock;
};

// How long taking a set or running a directory operation waits for the
// directory lock that another process holds.
inline constexpr std::chrono::milliseconds kDirectoryPatience{5000};

// The refusals of a set or directory that another process has (or that
// cannot be locked): tallowick-cli exits with its in-use status for them.
inline constexpr RefusalKind kInUse{"in use by another process"};

// "套账 华兴 正被另一个程序使用，不能删除！  请在那里关闭该套账后再试。"
std::string setInUseForDeletion(const std::string& setName);
// "套账 华兴 正被另一个程序使用，不能恢复！  套账未作任何改动！"
std::string setInUseForRestore(const std::string& setName);

// Whether `login` holds the lock of the set `setName`.
bool holdsSet(const LoginState& login, const std::string& setName);

// Takes the lock of the set `setName` for this process and keeps it in
// `login`, in place of the lock of any set before:
//   1. a set `login` holds already is kept as it is; a name that is not a
//      folder of the directory, or a set folder that is not there, takes
//      nothing (the login refuses it);
//   2. waits for the directory lock (up to kDirectoryPatience), then takes
//      the set's lock, holding the directory's until step 3 is done; when either is another
//      process's, or cannot be taken at all, it is refused (kInUse) with
//      kDirectoryInUse, with setInUseForDeletion for a login to delete the
//      set; nothing is touched then and `login` keeps what it held;
//   3. under the set's lock: rolls back what an interrupted commit left in
//      its tables (a table that cannot be rolled back yet is left for the
//      login to refuse, shell/login.h), finishes the files a dead process was
//      putting in place into the set folder, clears what it left there
//      (clearSetLeftovers), and removes the super-journals of the set's
//      interrupted commits once its tables are rolled back; with no other set
//      in use, every orphan super-journal (one a kill cut short names none).
Outcome takeSet(LoginState& login, const fs::path& dataDir, const std::string& setName,
                LoginPurpose purpose = LoginPurpose::Work);

// What dead processes left in the set folder `folder`, their interrupted
// commits aside: the renames of their batches into the folder finished, then
// their temporary files and folder removed, and the half-saved "NAME.new"
// files of an older program. Only under the set's lock, or under the
// directory lock with the set not in use.
void clearSetLeftovers(const fs::path& dataDir, const fs::path& folder);

// For a directory operation that replaces or removes the folder of the set
// `setName`: its lock, held by `login` already, or taken for the operation
// into `taken` (a lock file is never made for it). Refused (kInUse) with
// `refusal` when another process works on the set. The caller holds the
// directory lock.
Outcome lockSetForOperation(const LoginState& login, const fs::path& dataDir,
                            const std::string& setName, DirectoryLock& taken,
                            const std::string& refusal);

// The directory lock for a directory operation, waited for up to
// kDirectoryPatience. A directory that is not there is no refusal: the
// operation reports what it cannot do there.
DirectoryLock lockDirectory(const fs::path& dataDir);

// Runs `operation` (no arguments, returning Outcome or Result<T>) under the
// directory lock; refused (kInUse) with kDirectoryInUse, having run nothing,
// when the lock is another process's or cannot be taken.
template <class Operation>
auto underDirectoryLock(const fs::path& dataDir, Operation&& operation) -> decltype(operation()) {
    const DirectoryLock lock = lockDirectory(dataDir);
    if (lock.refused())
        return Outcome::refused(kDirectoryInUse, "the account-set directory is locked", &kInUse);
    return operation();
}

}  // namespace tw
