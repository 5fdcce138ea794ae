#include "storage/directory_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace tw {

DirectoryLock::DirectoryLock(const std::filesystem::path& dir) {
    const auto path = dir / kLockFileName;
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0) fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // made by another user
    if (fd_ < 0) {
        std::error_code ec;
        state_ = std::filesystem::is_directory(dir, ec) ? State::Unavailable : State::NoDirectory;
        return;
    }
    int rc;
    do {
        rc = ::flock(fd_, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        state_ = State::Held;
        return;
    }
    state_ = errno == EWOULDBLOCK ? State::Busy : State::Unavailable;
    ::close(fd_);
    fd_ = -1;
}

DirectoryLock::~DirectoryLock() { release(); }

DirectoryLock::DirectoryLock(DirectoryLock&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), state_(std::exchange(other.state_, State::Unavailable)) {}

DirectoryLock& DirectoryLock::operator=(DirectoryLock&& other) noexcept {
    if (this != &other) {
        release();
        fd_ = std::exchange(other.fd_, -1);
        state_ = std::exchange(other.state_, State::Unavailable);
    }
    return *this;
}

void DirectoryLock::release() {
    if (fd_ >= 0) ::close(fd_);  // closing the last descriptor drops the lock
    fd_ = -1;
}

}  // namespace tw
