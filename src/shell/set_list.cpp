#include "shell/set_list.h"

#include <system_error>

namespace tw {

std::vector<std::string> listAccountSets(const std::filesystem::path& dataDir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(dataDir, ec)) {
        if (!e.is_directory(ec)) continue;
        const auto u8 = e.path().filename().u8string();
        std::string name(u8.begin(), u8.end());
        if (name.empty() || name.front() == '.') continue;
        names.push_back(name);
    }
    return names;
}

}  // namespace tw
