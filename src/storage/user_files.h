#pragma once
// Where a file written for the user may go. Workbooks, PDFs, the HTML ledger
// files, backups and the exports of the windows are all refused, before
// anything is written, when their target
//   - exists and is not a regular file (a folder, a device, a pipe, a link):
//     a rename would replace the device node or the link itself;
//   - lies inside the account-set directory (links resolved), unless it is
//     one of the files the caller names as its own (the set's report files):
//     renamed into place it would replace a table, the store's anchor, the
//     lock or a template;
//   - lies in a folder that does not exist (it is never made silently: a
//     mistyped path would scatter files) or that this process cannot write.
// The files then go into place through file_swap.h (writeUserFile, FileBatch).
// When writing fails all the same, userFileFailure tells the real reason.
//
// The exports (ledger, journal, month report, statements) go into one folder
// the user sees and chooses, never the account-set directory nor a folder
// inside it: the export folder is checked as a folder (exportFolderProblem)
// when it is chosen and before each export writes into it.

#include <filesystem>
#include <string>
#include <vector>

namespace tw {

enum class TargetProblem { None, InsideDataDir, NotAFile, NoFolder, FolderNotWritable };

TargetProblem userFileTargetProblem(const std::filesystem::path& target,
                                    const std::filesystem::path& dataDir,
                                    const std::vector<std::filesystem::path>& ownFiles = {});

// The problem of target's folder alone: NoFolder, FolderNotWritable or None.
TargetProblem userFileFolderProblem(const std::filesystem::path& target);

// "“PATH”在套账目录中，不能用来保存导出的文件，请另选位置！",
// "“PATH”不是普通文件，不能用来保存导出的文件，请另选位置！",
// "文件夹“FOLDER”不存在，不能用来保存导出的文件，请另选位置！" and
// "文件夹“FOLDER”不能写入，不能用来保存导出的文件，请检查权限或另选位置！"
std::string targetRefusal(TargetProblem problem, const std::filesystem::path& target);

// Refuses (Refusal) a target with a problem, with its message.
void requireUserFileTarget(const std::filesystem::path& target, const std::filesystem::path& dataDir,
                           const std::vector<std::filesystem::path>& ownFiles = {});

// The problem of `folder` as the export folder: InsideDataDir when it is the
// account-set directory or lies inside it (links resolved), NoFolder,
// FolderNotWritable, or None.
TargetProblem exportFolderProblem(const std::filesystem::path& folder,
                                  const std::filesystem::path& dataDir);

// "文件夹“FOLDER”在套账目录中，不能用来保存导出的文件，请另选位置！", and for a
// missing or unwritable folder the folder messages of targetRefusal.
std::string exportFolderRefusal(TargetProblem problem, const std::filesystem::path& folder);

// Refuses (Refusal) an export folder with a problem, with its message.
void requireExportFolder(const std::filesystem::path& folder,
                         const std::filesystem::path& dataDir);

// What an export says once its file is written: "文件已导出到：" and, on a
// line of its own, the file's full path.
std::string exportedMessage(const std::filesystem::path& file);

// What to tell when a file for the user could not be written at `target`:
// its folder's problem when it has one now (gone, or no longer writable),
// otherwise the disk message (a full disk, a failing disk).
std::string userFileFailure(const std::filesystem::path& target);

}  // namespace tw
