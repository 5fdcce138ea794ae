#include "storage/file_swap.h"

#include <fcntl.h>
#include <unistd.h>

#include <random>
#include <string>
#include <system_error>

namespace tw {

namespace fs = std::filesystem;

fs::path temporaryNameFor(const fs::path& target) {
    static std::mt19937_64 random{std::random_device{}()};
    fs::path p = target;
    p += ".part-" + std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000000);
    return p;
}

bool writeThenRename(const fs::path& target, const std::function<bool(const fs::path&)>& write,
                     Existing existing) {
    const fs::path tmp = temporaryNameFor(target);
    std::error_code ec;
    bool ok = false;
    try {
        ok = write(tmp);
    } catch (...) {
        fs::remove(tmp, ec);
        throw;
    }
    if (ok) {
        if (const int fd = ::open(tmp.c_str(), O_RDONLY | O_CLOEXEC); fd >= 0) {
            ok = ::fsync(fd) == 0;
            ::close(fd);
        } else {
            ok = false;
        }
    }
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

}  // namespace tw
