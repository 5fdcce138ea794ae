#include "startup/start_up.h"

#include <system_error>
#include <vector>

#include "accounts/account_templates.h"
#include "platform/file_templates.h"
#include "platform/page_grid.h"
#include "shell/archive_names.h"
#include "shell/set_folders.h"
#include "statements/cash_flow_rules.h"
#include "statements/statement_rules.h"
#include "storage/file_swap.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/recovery.h"
#include "storage/templates.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

// The set folders, and the files an older program left while it saved a
// table under "NAME.new".
void clearSetFolders(const fs::path& dataDir) {
    std::error_code ec;
    std::vector<fs::path> sets;
    for (auto it = fs::directory_iterator(dataDir, ec); !ec && it != fs::end(it); it.increment(ec)) {
        std::error_code typeEc;
        if (fs::is_directory(it->symlink_status(typeEc)) &&
            !pathText(it->path().filename()).starts_with("."))
            sets.push_back(it->path());
    }
    for (const fs::path& folder : sets) {
        clearTemporaryFiles(folder);
        std::vector<fs::path> stale;
        for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it);
             it.increment(ec)) {
            const std::string name = pathText(it->path().filename());
            std::error_code typeEc;
            if (name.ends_with(".new") && isSetFileName(name.substr(0, name.size() - 4)) &&
                fs::is_regular_file(it->symlink_status(typeEc)))
                stale.push_back(it->path());
        }
        for (const fs::path& p : stale) fs::remove(p, ec);
    }
}

}  // namespace

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
    makeMissingTemplates(dataDir);
}

void clearLeftovers(const fs::path& dataDir) {
    recoverInterruptedActions(dataDir);
    finishPlacements(dataDir);  // before their temporary files are cleared
    clearWorkLeftovers(dataDir);
    clearTemporaryFiles(dataDir);
    clearSetFolders(dataDir);
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
