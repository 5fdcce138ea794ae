#pragma once
// Locks on the folders of the account-set directory: the directory itself, for
// the operations on it, and each set folder, for the work on that set
// (shell/set_lock.h says who takes which, and when). A lock is tried once and
// never waited for, unless taken through waitFor; a second process is refused
// and touches nothing.
//
// The lock is an flock() on the file ".tallowick-lock" in the folder: the
// kernel drops it when the process ends however it ends, so a killed process
// never leaves a folder locked, and on a network folder the file server keeps
// it (where it supports locking). The descriptor is closed on exec, so
// programs started from the desktop program do not inherit it. A lock file
// this process makes is made writable for everyone who can reach the folder:
// another user's process must be able to lock it too.
//
// The directory's lock file stays. A set folder's is removed by the process
// that lets go of its lock (it stays only after a crash, until the next
// process takes and lets go of it): so a set folder holds it only while a
// process works on the set. Taking a lock therefore checks that the file
// locked is still the one at its name, and tries again when its holder
// removed it meanwhile.

#include <chrono>
#include <filesystem>

namespace tw {

inline constexpr const char* kLockFileName = ".tallowick-lock";
// What a second process is told.
inline constexpr const char* kDirectoryInUse = "套账目录正被另一个程序使用，请关闭后再试。";

class DirectoryLock {
public:
    enum class State {
        Held,         // this process has the folder
        Busy,         // another process has it
        Unavailable,  // the lock cannot be taken (a lock file that cannot be opened)
        NoDirectory,  // there is no folder: nothing in it to work on
        Absent,       // (File::Existing) no lock file: no process has the folder
    };
    // The lock file and what becomes of it.
    enum class File {
        Lasting,    // the directory's: made when missing, kept
        WhileHeld,  // a set folder's: made when missing, removed when let go
        Existing,   // a set folder's, only when it is there (never made): removed when let go
    };

    DirectoryLock() = default;
    // Tries once, never waits.
    explicit DirectoryLock(const std::filesystem::path& dir, File file = File::Lasting);
    ~DirectoryLock();
    DirectoryLock(DirectoryLock&& other) noexcept;
    DirectoryLock& operator=(DirectoryLock&& other) noexcept;
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

    // Tries again while another process has the lock, for up to `patience`:
    // for a lock that is held briefly (the directory's).
    static DirectoryLock waitFor(const std::filesystem::path& dir, std::chrono::milliseconds patience,
                                 File file = File::Lasting);

    State state() const { return state_; }
    bool held() const { return state_ == State::Held; }
    bool busy() const { return state_ == State::Busy; }
    // Whether a process must stop: the folder is there and the lock is not
    // this process's, whatever the reason. Two processes could otherwise work
    // side by side.
    bool refused() const { return state_ == State::Busy || state_ == State::Unavailable; }

    // The folder holding the lock file now lies at `dir` (a folder renamed
    // into place while this lock was held): its file is removed from there.
    void followRename(const std::filesystem::path& dir);

private:
    void release();
    int fd_ = -1;
    State state_ = State::Unavailable;
    std::filesystem::path path_;   // the lock file
    bool removeWhenDone_ = false;  // a set folder's lock file
};

}  // namespace tw
