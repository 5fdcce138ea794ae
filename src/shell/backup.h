#pragma once
// Backing an account set up into a ZIP archive and restoring it from one.
//
// Backup: every file of the set folder, subfolders included, under names
// relative to the folder (UTF-8 names, Unix attributes). Interrupted actions
// are rolled back first and SQLite's journal files are left out; an archive
// saved inside the set folder does not include itself. The archive is written
// under a temporary name and renamed over the chosen name once complete.
//
// Restore, into the set folder of the open set:
//   1. read the whole archive into a work folder, refusing entries that would
//      land outside it (absolute paths, "..", links) and damaged archives;
//   2. accept it only if it holds an account set whose tables open: `基本信息`
//      with the fixed password, `用户` and the working tables with its set
//      password, the phrase and scratch tables without one (the set may be
//      the archive's root or its one top folder);
//   3. add the files of the current set folder that the archive does not hold
//      (files of the same name are replaced, other files stay);
//   4. swap the result into place atomically and remove the old folder.
// A refusal or failure leaves the set folder untouched.

#include <filesystem>
#include <string>

#include "shell/set_folders.h"
#include "storage/outcome.h"

namespace tw {

namespace fs = std::filesystem;

inline constexpr const char* kBackupFailed = "备份失败！  请检查备份文件的位置和磁盘空间后重试！";
inline constexpr const char* kArchiveDamaged = "备份文件已损坏，无法恢复！  套账未作任何改动！";
inline constexpr const char* kArchiveUnsafe =
    "备份文件中含有套账目录以外的路径，拒绝恢复！  套账未作任何改动！";
inline constexpr const char* kArchiveNotASet = "所选文件不是套账备份，无法恢复！  套账未作任何改动！";

Outcome backupSet(const fs::path& dataDir, const std::string& setName, const fs::path& archive,
                  const StepHook& hook = {});
Outcome restoreSet(const fs::path& dataDir, const std::string& setName, const fs::path& archive,
                   const StepHook& hook = {});

// True when `folder` holds an account set whose tables all open with their
// passwords and have the fields of their schemas.
bool isAccountSetFolder(const fs::path& dataDir, const fs::path& folder, std::string* detail = nullptr);

}  // namespace tw
