#include "storage/user_files.h"

#include <sys/stat.h>

#include "storage/outcome.h"
#include "storage/paths.h"

namespace tw {

TargetProblem userFileTargetProblem(const std::filesystem::path& target,
                                    const std::filesystem::path& dataDir,
                                    const std::vector<std::filesystem::path>& ownFiles) {
    struct stat st{};
    if (::lstat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return TargetProblem::NotAFile;
    if (target.empty() || !liesInside(target, dataDir)) return TargetProblem::None;
    for (const auto& own : ownFiles)
        if (liesInside(target, own) && liesInside(own, target)) return TargetProblem::None;
    return TargetProblem::InsideDataDir;
}

std::string targetRefusal(TargetProblem problem, const std::filesystem::path& target) {
    const std::string where = "“" + pathText(target) + "”";
    switch (problem) {
        case TargetProblem::InsideDataDir:
            return where + "在套账目录中，不能用来保存导出的文件，请另选位置！";
        case TargetProblem::NotAFile:
            return where + "不是普通文件，不能用来保存导出的文件，请另选位置！";
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

}  // namespace tw
