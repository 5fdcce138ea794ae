#pragma once
// One process at a time works on an account-set directory. The program and
// tallowick-cli take this lock before they touch anything in the directory
// (start-up recovery and clean-up included) and keep it for their lifetime;
// a second process is refused at once and touches nothing, and so is every
// process while the lock cannot be taken for any other reason.
//
// The lock is an flock() on the file ".tallowick-lock" in the directory: the
// kernel drops it when the process ends however it ends, so a killed process
// never leaves the directory locked. The descriptor is closed on exec, so
// programs started from the desktop program do not inherit it.

#include <filesystem>

namespace tw {

inline constexpr const char* kLockFileName = ".tallowick-lock";
// What a second process is told.
inline constexpr const char* kDirectoryInUse = "套账目录正被另一个程序使用，请关闭后再试。";

class DirectoryLock {
public:
    enum class State {
        Held,         // this process has the directory
        Busy,         // another process has it
        Unavailable,  // the lock cannot be taken (a lock file that cannot be opened)
        NoDirectory,  // there is no directory: nothing in it to work on
    };

    DirectoryLock() = default;
    // Tries once, never waits.
    explicit DirectoryLock(const std::filesystem::path& dir);
    ~DirectoryLock();
    DirectoryLock(DirectoryLock&& other) noexcept;
    DirectoryLock& operator=(DirectoryLock&& other) noexcept;
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    State state() const { return state_; }
    bool held() const { return state_ == State::Held; }
    bool busy() const { return state_ == State::Busy; }
    // Whether a process must stop: the directory is there and the lock is not
    // this process's, whatever the reason. Two processes could otherwise work
    // side by side.
    bool refused() const { return state_ == State::Busy || state_ == State::Unavailable; }

private:
    void release();
    int fd_ = -1;
    State state_ = State::Unavailable;
};

}  // namespace tw
