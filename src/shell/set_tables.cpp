#include "shell/set_tables.h"

#include <algorithm>
#include <set>

#include "shell/session.h"
#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// The tables every set has besides 基本信息.
constexpr const char* kAlwaysThere[] = {
    file::kUsers,   file::kAccounts, file::kVouchers,     file::kLedger,  file::kGeneralLedger,
    file::kJournal, file::kBalances, file::kCarryForward, file::kPhrases, file::kReportScratch};

}  // namespace

std::vector<SetTableFault> setTableFaults(const std::filesystem::path& dataDir,
                                          const std::filesystem::path& folder) {
    RecordStore store(dataDir);
    if (!openTableIn(store, folder, file::kBasicInfo, {}))
        return {{file::kBasicInfo, store.lastOpenFailure()}};
    const bool empty = store.isPastEnd();
    const std::string setPassword =
        empty ? std::string() : store.readField(field::kSetPassword).text();
    store.closeTable();
    if (empty) return {{file::kBasicInfo, RecordStore::OpenFailure::None}};

    std::vector<SetTableFault> faults;
    const auto tryOpen = [&](const std::string& name) {
        if (openTableIn(store, folder, name, setPassword))
            store.closeTable();
        else
            faults.push_back({name, store.lastOpenFailure()});
    };
    std::set<std::string> tried{file::kBasicInfo};
    for (const char* name : kAlwaysThere) {
        tryOpen(name);
        tried.insert(name);
    }
    // The tables a set has only at times must be sound as well when they are
    // there; an entry of the folder is taken whatever it is.
    std::vector<std::string> others;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = pathText(it->path().filename());
        if (schemaOfFile(name) && !tried.count(name)) others.push_back(name);
    }
    if (ec) faults.push_back({std::string(), RecordStore::OpenFailure::Missing});
    std::sort(others.begin(), others.end());
    for (const std::string& name : others) tryOpen(name);
    return faults;
}

}  // namespace tw
