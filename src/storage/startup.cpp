#include "storage/startup.h"

#include <system_error>

#include "storage/record_store.h"
#include "storage/recovery.h"
#include "storage/templates.h"

namespace tw {

void prepareDataDir(const std::filesystem::path& dataDir) {
    std::error_code ec;
    std::filesystem::create_directories(dataDir, ec);  // failure is silent: no sets are listed then
    recoverInterruptedActions(dataDir);
    makeMissingTemplates(dataDir);
}

}  // namespace tw
