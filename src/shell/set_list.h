#pragma once
// The account sets: every subdirectory of the account-set directory.

#include <filesystem>
#include <string>
#include <vector>

namespace tw {

// Names of the account sets, in the order the file system returns them.
// Folders whose names start with "." are the program's own work folders
// (a set being created or restored), never sets.
std::vector<std::string> listAccountSets(const std::filesystem::path& dataDir);

}  // namespace tw
