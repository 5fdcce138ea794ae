#include "storage/file_swap.h"

#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

#include "storage/paths.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPart = ".part-";
constexpr const char* kNotePrefix = "note-";

std::string uniqueSuffix() {
    static std::mt19937_64 random{std::random_device{}()};
    return std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000000);
}

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

bool syncFile(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Writes `tmp` and puts it in place of `target`; removes `tmp` in every case.
bool writeAndRename(const fs::path& tmp, const fs::path& target,
                    const std::function<bool(const fs::path&)>& write, Existing existing) {
    std::error_code ec;
    bool ok = false;
    try {
        ok = write(tmp);
    } catch (...) {
        fs::remove(tmp, ec);
        throw;
    }
    ok = ok && syncFile(tmp);
    if (ok) {
        if (existing == Existing::Keep) {
            // link() never replaces a file that appeared meanwhile.
            ok = ::link(tmp.c_str(), target.c_str()) == 0 || fs::exists(target, ec);
        } else {
            fs::rename(tmp, target, ec);
            ok = !ec;
        }
    }
    fs::remove(tmp, ec);
    return ok;
}

// Digits, then the end or "-" and digits: the tail of a temporary name.
bool isCounterTail(const std::string& s) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        return i > from;
    };
    if (!digits()) return false;
    if (i == s.size()) return true;
    if (s[i] != '-') return false;
    ++i;
    return digits() && i == s.size();
}

}  // namespace

fs::path temporaryNameFor(const fs::path& target) {
    return folderOf(target) / kTemporaryFolder /
           (pathText(target.filename()) + kPart + uniqueSuffix());
}

bool writeThenRename(const fs::path& target, const std::function<bool(const fs::path&)>& write,
                     Existing existing) {
    const fs::path tmp = temporaryNameFor(target);
    std::error_code ec;
    fs::create_directory(tmp.parent_path(), ec);
    bool ok = false;
    try {
        ok = writeAndRename(tmp, target, write, existing);
    } catch (...) {
        ::rmdir(tmp.parent_path().c_str());
        throw;
    }
    ::rmdir(tmp.parent_path().c_str());  // only when empty
    return ok;
}

bool writeThenRenameNoted(const fs::path& target, const fs::path& noteDir,
                          const std::function<bool(const fs::path&)>& write) {
    const std::string suffix = uniqueSuffix();
    const fs::path tmp = folderOf(target) / ("." + pathText(target.filename()) + kPart + suffix);
    const fs::path notes = noteDir / kTemporaryFolder;
    const fs::path note = notes / (kNotePrefix + suffix);
    std::error_code ec;
    fs::create_directory(notes, ec);
    {
        std::ofstream out(note, std::ios::binary | std::ios::trunc);
        out << pathText(fs::absolute(tmp, ec));
        if (!out.flush()) return false;  // without the note a leftover could not be found
    }
    bool ok = false;
    try {
        ok = writeAndRename(tmp, target, write, Existing::Replace);
    } catch (...) {
        fs::remove(note, ec);
        ::rmdir(notes.c_str());
        throw;
    }
    fs::remove(note, ec);
    ::rmdir(notes.c_str());
    return ok;
}

bool isTemporaryName(const std::string& name) {
    if (name == kTemporaryFolder) return true;
    for (const char* mark : {kPart, ".copy-", ".make-"}) {
        const auto at = name.rfind(mark);
        if (at != std::string::npos && isCounterTail(name.substr(at + std::string(mark).size())))
            return true;
    }
    return false;
}

void clearTemporaryFiles(const fs::path& dir) {
    std::error_code ec;
    const fs::path folder = dir / kTemporaryFolder;
    // Files a note names: only hidden temporaries of the program's own naming.
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec)) {
        if (!pathText(it->path().filename()).starts_with(kNotePrefix)) continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::string named((std::istreambuf_iterator<char>(in)), {});
        const fs::path leftover = fs::u8path(named);
        const std::string name = pathText(leftover.filename());
        std::error_code typeEc;
        if (leftover.is_absolute() && name.starts_with(".") && isTemporaryName(name) &&
            fs::is_regular_file(fs::symlink_status(leftover, typeEc)))
            fs::remove(leftover, typeEc);
    }
    ec.clear();
    fs::remove_all(folder, ec);
    std::vector<fs::path> loose;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::end(it); it.increment(ec)) {
        std::error_code typeEc;
        if (isTemporaryName(pathText(it->path().filename())) &&
            fs::is_regular_file(it->symlink_status(typeEc)))
            loose.push_back(it->path());
    }
    for (const fs::path& p : loose) fs::remove(p, ec);
}

}  // namespace tw
