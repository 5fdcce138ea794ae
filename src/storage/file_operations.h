#pragma once
// File and directory operations of the account-set directory, outside the
// record store's actions.

#include <filesystem>

namespace tw {

bool copyFile(const std::filesystem::path& source, const std::filesystem::path& target);
// Deletes a folder with everything in it. Refuses an empty path, a file-system
// root and any folder that does not lie strictly inside `allowedRoot`.
bool removeDirectory(const std::filesystem::path& path, const std::filesystem::path& allowedRoot);

}  // namespace tw
