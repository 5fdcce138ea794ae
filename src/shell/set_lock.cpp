#include "shell/set_lock.h"

#include <memory>
#include <system_error>
#include <utility>
#include <vector>

#include "shell/archive_names.h"
#include "shell/set_folders.h"
#include "storage/file_swap.h"
#include "storage/paths.h"
#include "storage/recovery.h"

namespace tw {

std::string setInUseForDeletion(const std::string& setName) {
    return "套账 " + setName + " 正被另一个程序使用，不能删除！  请在该程序中关闭这个套账后再试。";
}

std::string setInUseForRestore(const std::string& setName) {
    return "套账 " + setName + " 正被另一个程序使用，不能恢复！  套账未作任何改动！";
}

bool holdsSet(const LoginState& login, const std::string& setName) {
    return login.setLock && login.setLock->setName == setName && login.setLock->lock.held();
}

void clearSetLeftovers(const fs::path& dataDir, const fs::path& folder) {
    finishPlacements(dataDir, folder);  // before their temporary files are cleared
    clearTemporaryFiles(folder);
    // The files an older program left while it saved a table under "NAME.new".
    std::error_code ec;
    std::vector<fs::path> stale;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec)) {
        const std::string name = pathText(it->path().filename());
        std::error_code typeEc;
        if (name.ends_with(".new") && isSetFileName(name.substr(0, name.size() - 4)) &&
            fs::is_regular_file(it->symlink_status(typeEc)))
            stale.push_back(it->path());
    }
    for (const fs::path& p : stale) fs::remove(p, ec);
}

namespace {

// Whether no set but `folder` is in use by any process.
bool otherSetsIdle(const fs::path& dataDir, const fs::path& folder) {
    for (const fs::path& other : setFolders(dataDir)) {
        if (other == folder) continue;
        if (DirectoryLock(other, DirectoryLock::File::Existing).refused()) return false;
    }
    return true;
}

}  // namespace

Outcome takeSet(LoginState& login, const fs::path& dataDir, const std::string& setName,
                LoginPurpose purpose) {
    if (holdsSet(login, setName)) return {};
    if (!isFolderName(setName)) return {};
    const fs::path folder = setFolder(dataDir, setName);
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) return {};

    const DirectoryLock directory = lockDirectory(dataDir);
    if (directory.refused())
        return Outcome::refused(kDirectoryInUse, "the account-set directory is locked", &kInUse);
    DirectoryLock lock(folder, DirectoryLock::File::WhileHeld);
    if (lock.state() == DirectoryLock::State::NoDirectory) return {};  // deleted meanwhile
    if (!lock.held())
        return Outcome::refused(
            purpose == LoginPurpose::DeleteSet ? setInUseForDeletion(setName) : kDirectoryInUse,
            "the set " + setName + " is locked", &kInUse);

    const bool rolledBack = unrecoveredTables(folder).empty();
    clearSetLeftovers(dataDir, folder);
    if (rolledBack) {
        removeOrphanSuperJournals(dataDir, folder);
        // One whose names a kill cut short names no set: with no other set in
        // use (none is taken while the directory lock is held) no commit is
        // writing one, and every orphan goes.
        if (hasSuperJournals(dataDir) && otherSetsIdle(dataDir, folder))
            removeOrphanSuperJournals(dataDir);
    }
    login.setLock = std::make_shared<SetLock>(SetLock{setName, std::move(lock)});
    return {};
}

Outcome lockSetForOperation(const LoginState& login, const fs::path& dataDir,
                            const std::string& setName, DirectoryLock& taken,
                            const std::string& refusal) {
    if (holdsSet(login, setName)) return {};
    taken = DirectoryLock(setFolder(dataDir, setName), DirectoryLock::File::Existing);
    if (taken.refused()) return Outcome::refused(refusal, "the set " + setName + " is locked", &kInUse);
    return {};
}

DirectoryLock lockDirectory(const fs::path& dataDir) {
    return DirectoryLock::waitFor(dataDir, kDirectoryPatience);
}

}  // namespace tw
