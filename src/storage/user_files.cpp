#include "storage/user_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "storage/outcome.h"
#include "storage/paths.h"

namespace tw {

namespace {

std::filesystem::path absoluteOf(const std::filesystem::path& p) {
    std::error_code ec;
    const auto full = std::filesystem::absolute(p, ec);
    return ec ? p : full;
}

// The folder a target goes into, absolute, for the checks and the messages.
std::filesystem::path folderOf(const std::filesystem::path& target) {
    return absoluteOf(target).parent_path();
}

// NoFolder, FolderNotWritable or None for a folder to write files into.
TargetProblem folderProblem(const std::filesystem::path& folder) {
    struct stat st{};
    // A folder this process may not look into cannot be written either.
    if (::stat(folder.c_str(), &st) != 0)
        return errno == EACCES ? TargetProblem::FolderNotWritable : TargetProblem::NoFolder;
    if (!S_ISDIR(st.st_mode)) return TargetProblem::NoFolder;
    // Permissions, and a file system mounted read-only (EROFS).
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0)
        return TargetProblem::FolderNotWritable;
    return TargetProblem::None;
}

// The messages that name a folder.
std::string folderRefusal(TargetProblem problem, const std::filesystem::path& folder) {
    const std::string where = "文件夹“" + pathText(folder) + "”";
    switch (problem) {
        case TargetProblem::InsideDataDir:
            return where + "在套账目录中，不能用来保存导出的文件，请另选位置！";
        case TargetProblem::NoFolder:
            return where + "不存在，不能用来保存导出的文件，请另选位置！";
        case TargetProblem::FolderNotWritable:
            return where + "不能写入，不能用来保存导出的文件，请检查权限或另选位置！";
        case TargetProblem::NotAFile:
        case TargetProblem::None:
            break;
    }
    return {};
}

}  // namespace

TargetProblem userFileFolderProblem(const std::filesystem::path& target) {
    return folderProblem(folderOf(target));
}

TargetProblem userFileTargetProblem(const std::filesystem::path& target,
                                    const std::filesystem::path& dataDir,
                                    const std::vector<std::filesystem::path>& ownFiles) {
    struct stat st{};
    if (::lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return TargetProblem::NotAFile;
    if (target.empty()) return TargetProblem::None;
    if (liesInside(target, dataDir)) {
        bool own = false;
        for (const auto& o : ownFiles) own = own || (liesInside(target, o) && liesInside(o, target));
        if (!own) return TargetProblem::InsideDataDir;
    }
    return userFileFolderProblem(target);
}

std::string targetRefusal(TargetProblem problem, const std::filesystem::path& target) {
    const std::string where = "“" + pathText(target) + "”";
    switch (problem) {
        case TargetProblem::InsideDataDir:
            return where + "在套账目录中，不能用来保存导出的文件，请另选位置！";
        case TargetProblem::NotAFile:
            return where + "不是普通文件，不能用来保存导出的文件，请另选位置！";
        case TargetProblem::NoFolder:
        case TargetProblem::FolderNotWritable:
            return folderRefusal(problem, folderOf(target));
        case TargetProblem::None:
            break;
    }
    return {};
}

void requireUserFileTarget(const std::filesystem::path& target, const std::filesystem::path& dataDir,
                           const std::vector<std::filesystem::path>& ownFiles) {
    const TargetProblem problem = userFileTargetProblem(target, dataDir, ownFiles);
    if (problem != TargetProblem::None)
        refuse(targetRefusal(problem, target), "refused target " + pathText(target));
}

TargetProblem exportFolderProblem(const std::filesystem::path& folder,
                                  const std::filesystem::path& dataDir) {
    if (liesInside(folder, dataDir)) return TargetProblem::InsideDataDir;
    return folderProblem(absoluteOf(folder));
}

std::string exportFolderRefusal(TargetProblem problem, const std::filesystem::path& folder) {
    return folderRefusal(problem, absoluteOf(folder));
}

void requireExportFolder(const std::filesystem::path& folder,
                         const std::filesystem::path& dataDir) {
    const TargetProblem problem = exportFolderProblem(folder, dataDir);
    if (problem != TargetProblem::None)
        refuse(exportFolderRefusal(problem, folder), "refused export folder " + pathText(folder));
}

std::string exportedMessage(const std::filesystem::path& file) {
    return "文件已导出到：\n" + pathText(absoluteOf(file));
}

std::string userFileFailure(const std::filesystem::path& target) {
    const TargetProblem problem = userFileFolderProblem(target);
    return problem == TargetProblem::None ? std::string(kDiskMessage) : targetRefusal(problem, target);
}

}  // namespace tw
