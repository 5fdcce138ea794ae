#include "storage/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <thread>
#include <utility>

namespace tw {

namespace {

// How often a lock removed by its holder while this process took it is tried
// again: each time another process let go of it at that very moment.
constexpr int kAttempts = 8;

// Opens the lock file at `path`: made when missing (unless `make` is false)
// and then writable for all, read-only when another user made it so.
int openLockFile(const std::filesystem::path& path, bool make) {
    if (make) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::fchmod(fd, 0666);  // the umask would keep other users' processes out
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd >= 0 || errno == ENOENT) return fd;
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
}

// Whether `fd` is the file now at `path`.
bool isFileAt(int fd, const std::filesystem::path& path) {
    struct stat opened{}, named{};
    return ::fstat(fd, &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

}  // namespace

DirectoryLock::DirectoryLock(const std::filesystem::path& dir, File file)
    : path_(dir / kLockFileName), removeWhenDone_(file != File::Lasting) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        fd_ = openLockFile(path_, file != File::Existing);
        if (fd_ < 0) {
            const bool missing = errno == ENOENT;
            std::error_code ec;
            if (!std::filesystem::is_directory(dir, ec))
                state_ = State::NoDirectory;
            else
                state_ = missing && file == File::Existing ? State::Absent : State::Unavailable;
            return;
        }
        int rc;
        do {
            rc = ::flock(fd_, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            state_ = errno == EWOULDBLOCK ? State::Busy : State::Unavailable;
            ::close(fd_);
            fd_ = -1;
            return;
        }
        if (isFileAt(fd_, path_)) {
            state_ = State::Held;
            return;
        }
        // Its holder removed it as it let go: the lock is the next file's.
        ::close(fd_);
        fd_ = -1;
    }
    state_ = State::Busy;
}

DirectoryLock DirectoryLock::waitFor(const std::filesystem::path& dir,
                                     std::chrono::milliseconds patience, File file) {
    const auto until = std::chrono::steady_clock::now() + patience;
    for (;;) {
        DirectoryLock lock(dir, file);
        if (!lock.busy() || std::chrono::steady_clock::now() >= until) return lock;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

DirectoryLock::~DirectoryLock() { release(); }

DirectoryLock::DirectoryLock(DirectoryLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      state_(std::exchange(other.state_, State::Unavailable)),
      path_(std::move(other.path_)),
      removeWhenDone_(other.removeWhenDone_) {}

DirectoryLock& DirectoryLock::operator=(DirectoryLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        state_ = std::exchange(other.state_, State::Unavailable);
        path_ = std::move(other.path_);
        removeWhenDone_ = other.removeWhenDone_;
    }
    return *this;
}

void DirectoryLock::followRename(const std::filesystem::path& dir) { path_ = dir / kLockFileName; }

void DirectoryLock::release() {
    if (fd_ >= 0) {
        // Removed while still locked, and only while it is this lock's file:
        // one removed after the lock went could be another process's by then.
        if (removeWhenDone_ && isFileAt(fd_, path_)) ::unlink(path_.c_str());
        ::close(fd_);  // closing the last descriptor drops the lock
    }
    fd_ = -1;
}

}  // namespace tw
