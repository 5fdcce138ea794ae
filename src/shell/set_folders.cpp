#include "shell/set_folders.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <vector>

#include "storage/paths.h"

namespace tw {

namespace {

constexpr const char* kSwapMarker = ".swap";  // marker of a two-rename swap
constexpr const char* kAside = ".old";        // old folder during such a swap

void syncPath(const fs::path& p, bool directory) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC | (directory ? O_DIRECTORY : 0));
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void syncParent(const fs::path& p) { syncPath(p.parent_path(), true); }

fs::path withSuffix(const fs::path& p, const char* suffix) {
    fs::path r = p;
    r += suffix;
    return r;
}

void removeQuietly(const fs::path& p) {
    std::error_code ec;
    fs::remove_all(p, ec);
}

bool rename2(const fs::path& from, const fs::path& to, unsigned flags) {
    return ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), flags) == 0;
}

bool unsupported(int err) { return err == EINVAL || err == ENOSYS || err == EOPNOTSUPP; }

}  // namespace

std::vector<fs::path> setFolders(const fs::path& dataDir) {
    std::error_code ec;
    std::vector<fs::path> sets;
    for (auto it = fs::directory_iterator(dataDir, ec); !ec && it != fs::end(it); it.increment(ec)) {
        std::error_code typeEc;
        if (fs::is_directory(it->symlink_status(typeEc)) &&
            !pathText(it->path().filename()).starts_with("."))
            sets.push_back(it->path());
    }
    return sets;
}

bool isWorkName(const std::string& name) { return name.rfind(kWorkPrefix, 0) == 0; }

fs::path workFolder(const fs::path& dataDir, const std::string& kind) {
    static std::mt19937_64 random{std::random_device{}()};
    for (;;) {
        std::ostringstream name;
        name << kWorkPrefix << kind << '-' << ::getpid() << '-' << std::hex << random();
        fs::path p = dataDir / name.str();
        std::error_code ec;
        if (!fs::exists(p, ec) && !fs::exists(withSuffix(p, kSwapMarker), ec)) return p;
    }
}

bool renameNoReplace(const fs::path& from, const fs::path& to) {
    bool ok = rename2(from, to, RENAME_NOREPLACE);
    if (!ok && unsupported(errno)) {
        // No atomic check on this file system: check, then rename.
        std::error_code ec;
        if (fs::exists(to, ec)) return false;
        ok = ::rename(from.c_str(), to.c_str()) == 0;
    }
    if (ok) syncParent(to);
    return ok;
}

bool swapIntoPlace(const fs::path& staged, const fs::path& target, const StepHook& hook) {
    std::error_code ec;
    if (!fs::exists(target, ec)) return renameNoReplace(staged, target);
    if (rename2(staged, target, RENAME_EXCHANGE)) {
        syncParent(target);
        step(hook, "swapped");
        return true;
    }
    if (!unsupported(errno)) return false;

    // Two renames. The marker names the set so that the next start can put the
    // old folder back if we are stopped between them.
    const fs::path marker = withSuffix(staged, kSwapMarker);
    const fs::path aside = withSuffix(staged, kAside);
    {
        std::ofstream out(marker, std::ios::binary | std::ios::trunc);
        out << pathText(target.filename());
        if (!out.flush()) return false;
    }
    syncPath(marker, false);
    syncParent(marker);
    if (::rename(target.c_str(), aside.c_str()) != 0) {
        fs::remove(marker, ec);
        return false;
    }
    syncParent(aside);
    step(hook, "aside");
    if (::rename(staged.c_str(), target.c_str()) != 0) {
        ::rename(aside.c_str(), target.c_str());
        fs::remove(marker, ec);
        return false;
    }
    syncParent(target);
    step(hook, "swapped");
    ::rename(aside.c_str(), staged.c_str());
    fs::remove(marker, ec);
    syncParent(marker);
    return true;
}

void syncTree(const fs::path& dir) {
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        if (it->is_directory(ec))
            syncPath(it->path(), true);
        else if (it->is_regular_file(ec))
            syncPath(it->path(), false);
    }
    syncPath(dir, true);
}

void clearWorkLeftovers(const fs::path& dataDir) {
    std::error_code ec;
    std::vector<fs::path> work;
    for (auto it = fs::directory_iterator(dataDir, ec); !ec && it != fs::end(it); it.increment(ec))
        if (isWorkName(pathText(it->path().filename()))) work.push_back(it->path());

    // First undo interrupted two-rename swaps: the old folder goes back where
    // it was unless the new one already took its place.
    for (const fs::path& p : work) {
        if (p.extension() != kSwapMarker) continue;
        fs::path staged = p;
        staged.replace_extension();
        std::string setName;
        {
            std::ifstream in(p, std::ios::binary);
            std::getline(in, setName, '\0');
        }
        const fs::path aside = withSuffix(staged, kAside);
        if (!setName.empty() && setName.find('/') == std::string::npos && fs::exists(aside, ec)) {
            const fs::path target = dataDir / fs::u8path(setName);
            if (!fs::exists(target, ec)) renameNoReplace(aside, target);
        }
    }
    for (const fs::path& p : work) removeQuietly(p);
    syncPath(dataDir, true);
}

}  // namespace tw
