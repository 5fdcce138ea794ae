#pragma once
// Every table of a set folder opened as the program opens it: with its
// password and the fields of its schema. A backup, a restore and the check
// of a set all require this of a set before they use it.
//
// setTableFaults, for a set folder, in a store of its own (nothing is
// written):
//   1. 基本信息 with the fixed password, holding its record; when it fails,
//      nothing else is tried (the set password is in it);
//   2. every table a set always has (用户, 会计科目, 凭证库, 账库, 总账库,
//      日记账库, 账库辅1, 结转损益, 摘要库, 报表临时1);
//   3. every other entry of the folder named as one of its tables (账务初始化,
//      凭证排序库, 套账选项, 上机日志 of a set made before the log existed …),
//      whatever it is: an empty file, a folder or a link that leads nowhere
//      is a fault as much as a damaged file.

#include <filesystem>
#include <string>
#include <vector>

#include "storage/record_store.h"

namespace tw {

struct SetTableFault {
    // The table's file name (日记账库.edb); empty when the folder itself
    // cannot be listed.
    std::string file;
    // Why it does not open; None for a 基本信息 that opens without a record.
    RecordStore::OpenFailure failure = RecordStore::OpenFailure::None;
};

// The set's tables that do not open, in the order above; empty when all do.
std::vector<SetTableFault> setTableFaults(const std::filesystem::path& dataDir,
                                          const std::filesystem::path& folder);

}  // namespace tw
