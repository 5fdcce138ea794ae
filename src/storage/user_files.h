#pragma once
// Where a file written for the user may go. Workbooks, PDFs, the HTML ledger
// files, backups and the exports of the windows are all refused, before
// anything is written, when their target
//   - lies inside the account-set directory (links resolved), unless it is
//     one of the files the caller names as its own (the set's report files):
//     renamed into place it would replace a table, the store's anchor, the
//     lock or a template;
//   - exists and is not a regular file (a folder, a device, a pipe, a link):
//     a rename would replace the device node or the link itself.
// The files then go into place through file_swap.h (writeUserFile, FileBatch).

#include <filesystem>
#include <string>
#include <vector>

namespace tw {

enum class TargetProblem { None, InsideDataDir, NotAFile };

TargetProblem userFileTargetProblem(const std::filesystem::path& target,
                                    const std::filesystem::path& dataDir,
                                    const std::vector<std::filesystem::path>& ownFiles = {});

// "“PATH”在套账目录中，不能用来保存导出的文件，请另选位置！" and
// "“PATH”不是普通文件，不能用来保存导出的文件，请另选位置！"
std::string targetRefusal(TargetProblem problem, const std::filesystem::path& target);

// Refuses (Refusal) a target with a problem, with its message.
void requireUserFileTarget(const std::filesystem::path& target, const std::filesystem::path& dataDir,
                           const std::vector<std::filesystem::path>& ownFiles = {});

}  // namespace tw
