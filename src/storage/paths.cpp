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
fs::path comparable(const fs::path& p) {
    std::error_code ec;
    fs::path c = fs::weakly_canonical(fs::absolute(p, ec), ec);
    return ec ? fs::absolute(p, ec).lexically_normal() : c;
}
}  // namespace

bool liesInside(const fs::path& p, const fs::path& dir) {
    const fs::path file = comparable(p), root = comparable(dir);
    auto f = file.begin();
    for (auto r = root.begin(); r != root.end(); ++r, ++f) {
        if (r->empty()) continue;  // trailing separator
        if (f == file.end() || *f != *r) return false;
    }
    return true;
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
