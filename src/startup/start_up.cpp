#include "startup/start_up.h"

#include <system_error>
#include <utility>
#include <vector>

#include "accounts/account_templates.h"
#include "platform/file_templates.h"
#include "platform/page_grid.h"
#include "shell/set_folders.h"
#include "shell/set_lock.h"
#include "statements/cash_flow_rules.h"
#include "statements/statement_rules.h"
#include "storage/file_swap.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/recovery.h"
#include "storage/templates.h"

namespace tw {

namespace fs = std::filesystem;

void makeMissingTemplates(const fs::path& dataDir) {
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) return;
    makeMissingTemplateTables(dataDir, accountTemplateRecords());
    makeMissingWorkbookTemplates(dataDir);
    makeMissingCalculator(dataDir);
    writePageTemplates(dataDir);
    writeStatementRulesIfMissing(dataDir);
    writeCashFlowRulesIfMissing(dataDir);
}

void prepareDataDir(const fs::path& dataDir) {
    std::error_code ec;
    fs::create_directories(dataDir, ec);  // failure is silent: no sets are listed then
    recoverInterruptedActions(dataDir);
    for (const fs::path& folder : setFolders(dataDir)) {
        // Taken and let go of: a lock file left by a dead process goes.
        const DirectoryLock leftover(folder, DirectoryLock::File::Existing);
    }
    makeMissingTemplates(dataDir);
}

void clearLeftovers(const fs::path& dataDir) {
    clearWorkLeftovers(dataDir);  // every operation on the directory holds its lock
    unrecoveredTables(dataDir);   // the templates, made under the lock too
    // The sets nobody works on, each locked while it is cleared. A set being
    // taken meanwhile waits for the directory lock.
    std::vector<DirectoryLock> idle;
    bool allIdle = true;
    for (const fs::path& folder : setFolders(dataDir)) {
        DirectoryLock lock(folder, DirectoryLock::File::Existing);
        if (lock.refused()) {
            allIdle = false;
            continue;
        }
        clearSetLeftovers(dataDir, folder);
        idle.push_back(std::move(lock));
    }
    // The directory's temporary folder holds the notes and placement records
    // of every set's work, and super-journals name any set's journals: only
    // with no set in use is nothing of it live.
    if (allIdle) {
        finishPlacements(dataDir);  // before their temporary files are cleared
        removeOrphanSuperJournals(dataDir);
        clearTemporaryFiles(dataDir);
    }
    makeMissingTemplates(dataDir);
}

DirectoryLock startUp(const fs::path& dataDir) {
    std::error_code ec;
    fs::create_directories(dataDir, ec);  // failure is silent: no sets are listed then
    DirectoryLock lock(dataDir);
    if (lock.held()) clearLeftovers(dataDir);
    return lock;
}

}  // namespace tw
