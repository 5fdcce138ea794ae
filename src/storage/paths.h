#pragma once
// Where the data lives: the account-set directory, each set's folder, its
// table files and the template files.

#include <filesystem>
#include <string>

namespace tw {

namespace fs = std::filesystem;

// The account-set directory: $TALLOWICK_DATA_DIR when set; otherwise
// <executable's folder>/套账目录 when that can be written; otherwise
// $XDG_DATA_HOME/tallowick/套账目录 (~/.local/share when XDG_DATA_HOME is unset).
fs::path defaultDataDir();
fs::path executableDir();

inline fs::path setFolder(const fs::path& dataDir, const std::string& setName) {
    return dataDir / fs::u8path(setName);
}
inline fs::path tablePath(const fs::path& dataDir, const std::string& setName,
                          const std::string& fileName) {
    return setFolder(dataDir, setName) / fs::u8path(fileName);
}
inline fs::path templatePath(const fs::path& dataDir, const std::string& fileName) {
    return dataDir / fs::u8path(fileName);
}
// True when `p` is `dir` or lies below it, links resolved (in every part of
// `p` that exists).
bool liesInside(const fs::path& p, const fs::path& dir);

// UTF-8 text of a path, for messages and the table registry.
inline std::string pathText(const fs::path& p) {
    auto s = p.u8string();
    return std::string(s.begin(), s.end());
}

}  // namespace tw
