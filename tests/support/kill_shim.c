/* Preloaded into a program under test (LD_PRELOAD): counts the calls that
 * change files below one folder (writes, syncs, truncations, renames, links,
 * removals) and kills the process at the N-th of them, before it runs; or
 * makes the N-th sync of a folder there fail, as a disk that reports an
 * error would.
 *
 *   TALLOWICK_SHIM_UNDER  the folder whose files count (a path prefix)
 *   TALLOWICK_SHIM_LOG    a file that gets one line per counted call:
 *                         "<call> <path>" (a folder's sync is "dirsync")
 *   TALLOWICK_SHIM_KILL   N: SIGKILL at the N-th counted call (from 1)
 *   TALLOWICK_SHIM_FAIL_DIRSYNC
 *                         N: the N-th sync of a folder (counting those
 *                         syncs only, from 1) fails with EIO, unsynced
 *
 * A run with the log and without a kill lists the moments a test can then
 * kill the program at, or the folder syncs it can make fail, one by one. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

static long counted = 0;
static long folderSyncs = 0;

static int under(const char* path) {
    const char* root = getenv("TALLOWICK_SHIM_UNDER");
    return root && *root && path && strncmp(path, root, strlen(root)) == 0;
}

static void count(const char* call, const char* path) {
    if (!under(path)) return;
    ++counted;
    const char* log = getenv("TALLOWICK_SHIM_LOG");
    if (log && *log) {
        const int fd = (int)syscall(SYS_openat, AT_FDCWD, log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
        if (fd >= 0) {
            char line[4200];
            const int n = snprintf(line, sizeof line, "%s %s\n", call, path);
            if (n > 0) syscall(SYS_write, fd, line, (size_t)(n < (int)sizeof line ? n : (int)sizeof line - 1));
            syscall(SYS_close, fd);
        }
    }
    const char* at = getenv("TALLOWICK_SHIM_KILL");
    if (at && *at && counted == atol(at)) syscall(SYS_kill, getpid(), SIGKILL);
}

/* The path behind a descriptor into `path`; 0 when there is none. */
static int pathOf(int fd, char* path, size_t size) {
    if (fd < 0) return 0;
    char link[64];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = readlink(link, path, size - 1);
    if (n <= 0) return 0;
    path[n] = '\0';
    return 1;
}

static void countFd(const char* call, int fd) {
    char path[4096];
    if (pathOf(fd, path, sizeof path)) count(call, path);
}

/* Counts a sync of `fd`; 1 when it is the folder sync that is to fail. */
static int countSync(int fd) {
    char path[4096];
    if (!pathOf(fd, path, sizeof path)) return 0;
    struct stat st;
    const int folder = fstat(fd, &st) == 0 && S_ISDIR(st.st_mode);
    count(folder ? "dirsync" : "fsync", path);
    if (!folder || !under(path)) return 0;
    ++folderSyncs;
    const char* at = getenv("TALLOWICK_SHIM_FAIL_DIRSYNC");
    return at && *at && folderSyncs == atol(at);
}

/* An absolute form of a path given to a call, relative to the working folder. */
static void countPath(const char* call, int dirfd, const char* path) {
    if (!path) return;
    if (path[0] == '/') {
        count(call, path);
        return;
    }
    char base[4096], full[8200];
    if (dirfd == AT_FDCWD) {
        if (!getcwd(base, sizeof base)) return;
    } else {
        char link[64];
        snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
        const ssize_t n = readlink(link, base, sizeof base - 1);
        if (n <= 0) return;
        base[n] = '\0';
    }
    snprintf(full, sizeof full, "%s/%s", base, path);
    count(call, full);
}

#define REAL(name)                      \
    static __typeof__(&name) real_##name; \
    if (!real_##name) real_##name = (__typeof__(&name))dlsym(RTLD_NEXT, #name)

ssize_t write(int fd, const void* buf, size_t n) {
    REAL(write);
    countFd("write", fd);
    return real_write(fd, buf, n);
}

ssize_t pwrite(int fd, const void* buf, size_t n, off_t at) {
    REAL(pwrite);
    countFd("write", fd);
    return real_pwrite(fd, buf, n, at);
}

ssize_t pwrite64(int fd, const void* buf, size_t n, off_t at) {
    REAL(pwrite64);
    countFd("write", fd);
    return real_pwrite64(fd, buf, n, at);
}

ssize_t writev(int fd, const struct iovec* v, int n) {
    REAL(writev);
    countFd("write", fd);
    return real_writev(fd, v, n);
}

size_t fwrite(const void* p, size_t size, size_t n, FILE* stream) {
    REAL(fwrite);
    countFd("write", fileno(stream));
    return real_fwrite(p, size, n, stream);
}

int fsync(int fd) {
    REAL(fsync);
    if (countSync(fd)) {
        errno = EIO;
        return -1;
    }
    return real_fsync(fd);
}

int fdatasync(int fd) {
    REAL(fdatasync);
    if (countSync(fd)) {
        errno = EIO;
        return -1;
    }
    return real_fdatasync(fd);
}

int ftruncate(int fd, off_t length) {
    REAL(ftruncate);
    countFd("truncate", fd);
    return real_ftruncate(fd, length);
}

int ftruncate64(int fd, off_t length) {
    REAL(ftruncate64);
    countFd("truncate", fd);
    return real_ftruncate64(fd, length);
}

int rename(const char* from, const char* to) {
    REAL(rename);
    countPath("rename", AT_FDCWD, to);
    return real_rename(from, to);
}

int renameat(int fromDir, const char* from, int toDir, const char* to) {
    REAL(renameat);
    countPath("rename", toDir, to);
    return real_renameat(fromDir, from, toDir, to);
}

int renameat2(int fromDir, const char* from, int toDir, const char* to, unsigned flags) {
    REAL(renameat2);
    countPath("rename", toDir, to);
    return real_renameat2(fromDir, from, toDir, to, flags);
}

int link(const char* from, const char* to) {
    REAL(link);
    countPath("link", AT_FDCWD, to);
    return real_link(from, to);
}

int unlink(const char* path) {
    REAL(unlink);
    countPath("unlink", AT_FDCWD, path);
    return real_unlink(path);
}

int unlinkat(int dir, const char* path, int flags) {
    REAL(unlinkat);
    countPath("unlink", dir, path);
    return real_unlinkat(dir, path, flags);
}

int remove(const char* path) {
    REAL(remove);
    countPath("unlink", AT_FDCWD, path);
    return real_remove(path);
}

int rmdir(const char* path) {
    REAL(rmdir);
    countPath("unlink", AT_FDCWD, path);
    return real_rmdir(path);
}
