#include "storage/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace tw {

fs::path executableDir() {
    std::error_code ec;
    auto exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path(ec);
    return exe.parent_path();
}

namespace {
bool writableDirOrCreatable(const fs::path& dir) {
    std::error_code ec;
    if (fs::is_directory(dir, ec)) return ::access(dir.c_str(), W_OK) == 0;
    return ::access(dir.parent_path().c_str(), W_OK) == 0;
}
}  // namespace

fs::path defaultDataDir() {
    if (const char* env = std::getenv("TALLOWICK_DATA_DIR"); env && *env) return fs::path(env);
    const fs::path beside = executableDir() / fs::u8path("套账目录");
    if (writableDirOrCreatable(beside)) return beside;
    fs::path base;
    if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && *xdg) {
        base = xdg;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = fs::path(home) / ".local" / "share";
    } else {
        base = fs::temp_directory_path();
    }
    return base / "tallowick" / fs::u8path("套账目录");
}

}  // namespace tw
