#pragma once
// Backing an account set up into a ZIP archive and restoring it from one.
//
// Backup: the set's files (its tables and workbooks, archive_names.h), under
// their own names (UTF-8 names, Unix attributes). Refused when the archive
// would lie inside the account-set directory (it could replace a table or a
// template) or its place holds something other than a regular file
// (storage/user_files.h), when the set's tables cannot be read, and when
// SQLite's quick_check finds a table damaged (damagedTableMessage names it): a
// backup of them would be worthless; refused too when the archive's folder is
// missing or cannot be written. The archive is written under a hidden
// temporary name beside the chosen one and renamed over it once complete; a
// folder that then does not sync makes it a failed backup (kBackupFailed),
// since the disk did not confirm the archive.
//
// Restore, into the set folder of the open set:
//   1. only an administrator (permission 1) may restore: an archive brings
//      its own users;
//   2. the archive must be a regular file; before anything is unpacked its
//      directory must name only the set's files (at its root or in its one
//      top folder), nothing outside the folder, and an unpacked size below
//      100 times the archive (at least 16 MB), 2 GB and the free disk space;
//   3. it is unpacked into a work folder (never more than it declared) and
//      accepted only if it holds an account set whose every table opens with
//      its password and has the fields of its schema, and none of whose
//      tables SQLite's quick_check finds damaged (kArchiveDamaged);
//   4. an archive of another set (other 单位名称 or set password) is restored
//      only when the question naming both companies is answered yes;
//   5. the files of the current set folder that the archive does not hold are
//      added (files of the same name are replaced, other files stay, but for
//      the account codes, 科目编码.edb, which belong to the archive's chart); the
//      set's own 上机日志 stays in place of the archive's, so that a restore
//      takes no entry out of it, unless it does not open under the archive's
//      password (another set's archive) or is damaged: then the archive's
//      log comes, or a new one when the archive has none;
//   6. 上机日志 of the result records 恢复 with the archive's path, by the
//      logged-in user; an entry that cannot be written refuses the restore;
//   7. the result is swapped into place atomically and the old folder removed.
// A refusal or failure leaves the set folder untouched. Restoring is an
// operation on the directory: the caller holds its lock, and a set another
// process works on is refused (setInUseForRestore, shell/set_lock.h); the
// login that restores keeps its lock on the set. The set's lock file never
// goes into a backup (it is not one of the set's files).

#include <filesystem>
#include <functional>
#include <string>

#include "shell/session.h"
#include "shell/set_folders.h"
#include "storage/outcome.h"

namespace tw {

namespace fs = std::filesystem;

inline constexpr const char* kBackupFailed = "备份失败！  请检查备份文件的位置和磁盘空间后重试！";
inline constexpr const char* kBackupInsideDataDir =
    "备份文件不能保存在套账目录中，请另选位置！";
inline constexpr const char* kArchiveDamaged = "备份文件已损坏，无法恢复！  套账未作任何改动！";
inline constexpr const char* kArchiveUnsafe =
    "备份文件中含有套账目录以外的路径，拒绝恢复！  套账未作任何改动！";
inline constexpr const char* kArchiveNotASet = "所选文件不是套账备份，无法恢复！  套账未作任何改动！";
inline constexpr const char* kArchiveForeignFiles =
    "备份文件中含有不属于套账的文件，拒绝恢复！  套账未作任何改动！";
inline constexpr const char* kArchiveTooLarge =
    "备份文件解压后过大，拒绝恢复！  套账未作任何改动！";
inline constexpr const char* kRestoreNoSpace = "磁盘空间不足，无法恢复！  套账未作任何改动！";

// "套账中的数据表“总账库.edb”已损坏，未作备份！  请用以前的备份恢复后再试。"
std::string damagedTableMessage(const std::string& file);

Outcome backupSet(const fs::path& dataDir, const std::string& setName, const fs::path& archive,
                  const StepHook& hook = {});
// backupSet of the open set, as the backup window and the backup command make
// it: once the archive is in place, 上机日志 records 备份 with its path, in an
// action of its own (the archive does not hold that entry). An entry that
// cannot be written leaves the backup done; the reason is in the detail.
Outcome backUpOpenSet(const Session& session, const fs::path& archive);

// What a finished backup or restore tells the user, naming the archive.
std::string backupDoneNotice(const std::string& setName, const std::string& archive);
std::string restoreDoneNotice(const std::string& setName, const std::string& archive);

// Asked before an archive of another set replaces the open one; true goes on.
using RestoreQuestion = std::function<bool(const std::string& question)>;
// The question, naming the archive's company and the open set's.
std::string otherSetQuestion(const std::string& archiveCompany, const std::string& currentCompany);

// Restores the open set of `session` from `archive`. An empty `ask` answers
// yes, as a command does. Answered no: not ok, with no message.
Outcome restoreSet(const Session& session, const fs::path& archive, const RestoreQuestion& ask = {},
                   const StepHook& hook = {});

// True when `folder` holds an account set whose tables all open with their
// passwords and have the fields of their schemas.
bool isAccountSetFolder(const fs::path& dataDir, const fs::path& folder, std::string* detail = nullptr);

}  // namespace tw
