// Copying files; removing a folder only strictly inside the folder allowed.
#include "storage/file_operations.h"

#include <system_error>

#include "storage/file_swap.h"

namespace tw {

bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target) {
    return writeThenRename(target, [&](const std::filesystem::path& tmp) {
        std::error_code ec;
        return std::filesystem::copy_file(source, tmp, ec) && !ec;
    });
}

bool removeDirectory(const std::filesystem::path& path, const std::filesystem::path& allowedRoot) {
    if (path.empty() || allowedRoot.empty()) return false;
    std::error_code ec;
    const auto dir = std::filesystem::weakly_canonical(std::filesystem::absolute(path), ec);
    if (ec) return false;
    const auto root = std::filesystem::weakly_canonical(std::filesystem::absolute(allowedRoot), ec);
    if (ec) return false;
    if (dir == dir.root_path() || dir == root) return false;
    // Strictly inside the allowed root, component by component.
    auto d = dir.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++d) {
        if (r->empty()) continue;  // trailing separator
        if (d == dir.end() || *d != *r) return false;
    }
    if (d == dir.end()) return false;
    if (!std::filesystem::is_directory(dir, ec)) return false;
    std::filesystem::remove_all(dir, ec);
    return !ec;
}

}  // namespace tw
