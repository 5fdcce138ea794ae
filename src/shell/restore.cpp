// Restoring a set folder from a backup archive (declared in backup.h).
#include <minizip/unzip.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <set>
#include <utility>
#include <vector>

#include "shell/account_sets.h"
#include "shell/action_log.h"
#include "shell/archive_names.h"
#include "shell/backup.h"
#include "shell/login.h"
#include "shell/set_lock.h"
#include "shell/set_tables.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/scoped_table.h"
#include "storage/table_check.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// What an archive may unpack to: a hundred times its own size (a set's
// tables compress far less), never under 16 MB, never over 2 GB.
constexpr std::uint64_t kMinUnpackedLimit = std::uint64_t{16} << 20;
constexpr std::uint64_t kMaxUnpacked = std::uint64_t{2} << 30;
constexpr std::uint64_t kRatioLimit = 100;
constexpr std::uint64_t kSpareDisk = std::uint64_t{8} << 20;  // left free after unpacking

struct ArchiveRefusal {
    const char* message;
    std::string detail;
};

// One file of the set in the archive.
struct SetEntry {
    std::string raw;   // the name as stored, to find it again
    std::string name;  // the set file it becomes
    std::uint64_t size = 0;  // as the archive declares it
};

class ZipReader {
public:
    explicit ZipReader(const fs::path& path) : zip_(unzOpen64(path.c_str())) {}
    ~ZipReader() {
        if (zip_) unzClose(zip_);
    }
    bool isOpen() const { return zip_ != nullptr; }

    // Visits every entry with its info and raw name; stops at the first false.
    // False when the central directory cannot be walked.
    template <class F>
    bool forEach(F visit) {
        int rc = unzGoToFirstFile(zip_);
        while (rc == UNZ_OK) {
            unz_file_info64 info{};
            if (unzGetCurrentFileInfo64(zip_, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
                return false;
            std::string name(info.size_filename, '\0');
            if (unzGetCurrentFileInfo64(zip_, &info, name.data(), name.size(), nullptr, 0,
                                        nullptr, 0) != UNZ_OK)
                return false;
            if (!visit(info, name)) return true;
            rc = unzGoToNextFile(zip_);
        }
        return rc == UNZ_END_OF_LIST_OF_FILE;
    }

    // Unpacks the current entry, at most `limit` bytes of it; false on a read
    // or CRC error or more data than that (`writeFailed` tells a failure of
    // the target file apart).
    bool extractCurrent(const fs::path& target, std::uint64_t limit, bool& writeFailed) {
        writeFailed = false;
        if (unzOpenCurrentFile(zip_) != UNZ_OK) return false;
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        std::vector<char> buffer(1 << 16);
        std::uint64_t written = 0;
        int n = 0;
        bool ok = true;
        while ((n = unzReadCurrentFile(zip_, buffer.data(), buffer.size())) > 0) {
            written += static_cast<std::uint64_t>(n);
            if (written > limit) {
                ok = false;
                break;
            }
            if (!out.write(buffer.data(), n)) {
                writeFailed = true;
                ok = false;
                break;
            }
        }
        if (n < 0) ok = false;
        if (unzCloseCurrentFile(zip_) != UNZ_OK) ok = false;  // UNZ_CRCERROR for a corrupt byte
        out.close();
        if (!out) writeFailed = true;
        return ok && !writeFailed;
    }

private:
    unzFile zip_;
};

// Reads the archive's directory: the set's files it holds, or why it is refused.
std::optional<ArchiveRefusal> listSetEntries(ZipReader& zip, std::vector<SetEntry>& files) {
    struct Named {
        std::string raw;
        EntryName name;
        std::uint64_t size;
    };
    std::vector<Named> all;
    std::optional<ArchiveRefusal> refusal;
    if (!zip.forEach([&](const unz_file_info64& info, const std::string& raw) {
            auto name = entryName(raw, info.flag, info.version, info.external_fa);
            if (!name) {
                refusal = ArchiveRefusal{kArchiveUnsafe, "unsafe entry " + raw};
                return false;
            }
            if (!name->path.empty()) all.push_back({raw, *name, info.uncompressed_size});
            return true;
        }))
        return ArchiveRefusal{kArchiveDamaged, "damaged central directory"};
    if (refusal) return refusal;

    // The set lies at the archive's root or in its one top folder.
    const auto top = [](const std::string& path) { return path.substr(0, path.find('/')); };
    std::string prefix;
    const bool atRoot = std::any_of(all.begin(), all.end(), [](const Named& n) {
        return !n.name.folder && n.name.path == file::kBasicInfo;
    });
    if (!atRoot) {
        for (const Named& n : all)
            if (!n.name.folder && n.name.path == top(n.name.path) + "/" + file::kBasicInfo)
                prefix = top(n.name.path) + "/";
        if (prefix.empty()) return ArchiveRefusal{kArchiveNotASet, "no 基本信息 in the archive"};
    }
    std::set<std::string> seen;
    for (const Named& n : all) {
        if (n.name.folder) {
            if (n.name.path + "/" == prefix) continue;
            return ArchiveRefusal{kArchiveForeignFiles, "folder " + n.name.path};
        }
        const std::string name = n.name.path.starts_with(prefix) ? n.name.path.substr(prefix.size())
                                                                 : std::string();
        if (name.empty() || name.find('/') != std::string::npos || !isSetFileName(name))
            return ArchiveRefusal{kArchiveForeignFiles, "not a set file: " + n.name.path};
        if (!seen.insert(name).second)
            return ArchiveRefusal{kArchiveNotASet, "twice in the archive: " + name};
        files.push_back({n.raw, name, n.size});
    }
    return std::nullopt;
}

// Whether what the archive unpacks to is sane for its size and fits the disk.
std::optional<ArchiveRefusal> checkUnpackedSize(const fs::path& archive, const fs::path& dataDir,
                                                std::uint64_t total) {
    std::error_code ec;
    const std::uint64_t packed = fs::file_size(archive, ec);
    const std::uint64_t limit =
        std::min(kMaxUnpacked, std::max(kMinUnpackedLimit, packed * kRatioLimit));
    if (total > limit)
        return ArchiveRefusal{kArchiveTooLarge, std::to_string(total) + " bytes from " +
                                                    std::to_string(packed)};
    struct statvfs disk{};
    if (::statvfs(dataDir.c_str(), &disk) == 0) {
        const std::uint64_t free = static_cast<std::uint64_t>(disk.f_bavail) * disk.f_frsize;
        if (total + kSpareDisk > free)
            return ArchiveRefusal{kRestoreNoSpace, std::to_string(total) + " bytes, " +
                                                       std::to_string(free) + " free"};
    }
    return std::nullopt;
}

// Checks the archive's directory, then unpacks the set's files into `work`.
std::optional<ArchiveRefusal> unpack(const fs::path& archive, const fs::path& dataDir,
                                     const fs::path& work) {
    struct stat st{};
    if (::stat(archive.c_str(), &st) != 0)
        return ArchiveRefusal{kArchiveDamaged, "cannot read " + pathText(archive)};
    if (!S_ISREG(st.st_mode))  // a pipe would never end, a folder is no archive
        return ArchiveRefusal{kArchiveNotASet, "not a regular file: " + pathText(archive)};
    ZipReader zip(archive);
    if (!zip.isOpen()) return ArchiveRefusal{kArchiveDamaged, "not a readable ZIP archive"};
    std::vector<SetEntry> files;
    if (auto refusal = listSetEntries(zip, files)) return refusal;
    std::uint64_t total = 0;
    for (const SetEntry& f : files) total += f.size;
    if (auto refusal = checkUnpackedSize(archive, dataDir, total)) return refusal;

    std::optional<ArchiveRefusal> failure;
    std::size_t unpacked = 0;
    const bool walked = zip.forEach([&](const unz_file_info64&, const std::string& raw) {
        const auto f = std::find_if(files.begin(), files.end(),
                                    [&](const SetEntry& e) { return e.raw == raw; });
        if (f == files.end()) return true;  // the top folder
        bool writeFailed = false;
        if (!zip.extractCurrent(work / fs::u8path(f->name), f->size, writeFailed)) {
            failure = writeFailed ? ArchiveRefusal{kDiskMessage, "cannot write " + f->name}
                                  : ArchiveRefusal{kArchiveDamaged, "damaged entry " + f->name};
            return false;
        }
        ++unpacked;
        return true;
    });
    if (failure) return failure;
    if (!walked || unpacked != files.size())
        return ArchiveRefusal{kArchiveDamaged, "damaged central directory"};
    return std::nullopt;
}

// Copies into `root` what the current set folder holds and the archive does
// not, but for the account codes: they belong to the chart the archive
// brings, which gets its own at the next login when the archive has none.
bool keepOtherFiles(const fs::path& current, const fs::path& root) {
    std::error_code ec;
    if (!fs::is_directory(current, ec)) return true;
    for (auto it = fs::recursive_directory_iterator(current, ec); !ec && it != fs::end(it);
         it.increment(ec)) {
        const fs::path& p = it->path();
        const auto status = it->symlink_status(ec);
        if (ec) return false;
        if (!isArchivedName(pathText(p.filename()))) {
            if (fs::is_directory(status)) it.disable_recursion_pending();
            continue;
        }
        if (p == current / fs::u8path(file::kAccountCodes)) continue;
        const fs::path target = root / p.lexically_relative(current);
        if (fs::is_directory(status)) {
            if (!fs::exists(target, ec) && !fs::create_directory(target, ec)) return false;
        } else if (fs::is_regular_file(status) && !fs::exists(target, ec)) {
            if (!fs::copy_file(p, target, ec)) return false;
        }
    }
    return !ec;
}

// Whether the 上机日志 of `folder` opens under `setPassword` and SQLite finds
// it sound.
bool logStays(RecordStore& store, const fs::path& folder, const std::string& setPassword) {
    ScopedTable log(store);
    return openTableIn(log, folder, file::kActionLog, setPassword) &&
           quickCheck(folder / fs::u8path(file::kActionLog)).empty();
}

}  // namespace

bool isAccountSetFolder(const fs::path& dataDir, const fs::path& folder, std::string* detail) {
    const auto faults = setTableFaults(dataDir, folder);
    if (faults.empty()) return true;
    if (detail)
        *detail = faults.front().file.empty()
                      ? "cannot list " + pathText(folder)
                      : faults.front().file + " does not open or has other fields";
    return false;
}

std::string backupDoneNotice(const std::string& setName, const std::string& archive) {
    return "备份成功！  套账 " + setName + " 已备份到：\n" + archive;
}

std::string restoreDoneNotice(const std::string& setName, const std::string& archive) {
    return "恢复成功！  套账 " + setName + " 已从以下备份文件恢复：\n" + archive;
}

std::string otherSetQuestion(const std::string& archiveCompany, const std::string& currentCompany) {
    return "所选备份是“" + archiveCompany + "”的套账，不是当前套账“" + currentCompany +
           "”的备份。恢复后当前套账的全部数据和用户都将被替换，是否继续恢复？";
}

Outcome restoreSet(const Session& session, const fs::path& archive, const RestoreQuestion& ask,
                   const StepHook& hook) {
    // The archive brings its own users: whoever restores decides who administers the set.
    if (Outcome allowed = checkAdministrator(session.login); !allowed) return allowed;
    const fs::path& dataDir = session.dataDir;
    const std::string& setName = session.login.setName;
    std::error_code ec;
    if (!isFolderName(setName) || setName.front() == '.')
        return Outcome::refused(kUnreadableSet, "not a set name: " + setName);
    const fs::path target = setFolder(dataDir, setName);
    DirectoryLock taken;
    if (Outcome usable = lockSetForOperation(session.login, dataDir, setName, taken,
                                             setInUseForRestore(setName));
        !usable)
        return usable;
    const fs::path work = workFolder(dataDir, "restore");
    auto refuse = [&](const char* message, const std::string& detail) {
        fs::remove_all(work, ec);
        return Outcome::refused(message, detail);
    };
    if (!fs::create_directory(work, ec)) return refuse(kDiskMessage, "cannot create work folder");
    if (auto refusal = unpack(archive, dataDir, work)) return refuse(refusal->message, refusal->detail);
    step(hook, "unpacked");

    std::string why;
    if (!isAccountSetFolder(dataDir, work, &why)) return refuse(kArchiveNotASet, why);
    // A table the archive brings damaged would replace a sound one.
    if (const auto damaged = damagedTables(work); !damaged.empty())
        return refuse(kArchiveDamaged, damaged.front().file + ": " + damaged.front().problem);
    RecordStore store(dataDir);
    const auto archived =
        runCaught([&] { return readBasicInfo(store, dataDir, pathText(work.filename())); });
    if (!archived.ok) return refuse(kArchiveNotASet, archived.detail);
    step(hook, "checked");
    const LoginState& login = session.login;
    if ((archived.value.companyName != login.companyName ||
         archived.value.setPassword != login.setPassword) &&
        ask && !ask(otherSetQuestion(archived.value.companyName, login.companyName)))
        return refuse("", "the archive of another set was not confirmed");

    // 上机日志 is the folder's history, which no restore takes entries out
    // of: the set's own log stays when it is sound and opens under the
    // archive's password (the same set). Otherwise the archive's comes; and
    // when the archive has none, a new one rather than one that would not
    // open with the password it comes with.
    const fs::path log = work / fs::u8path(file::kActionLog);
    const bool ownLog = logStays(store, target, archived.value.setPassword);
    if (ownLog) fs::remove(log, ec);
    const bool archivedLog = fs::exists(log, ec);
    if (!keepOtherFiles(target, work)) return refuse(kDiskMessage, "cannot keep the other files");
    if (!ownLog && !archivedLog) fs::remove(log, ec);
    // Recorded in the restored set, so that it comes into place with it.
    const Outcome noted = recordOnItsOwn(store, work, archived.value.setPassword,
                                         {currentMoment(), login.userName, logged::kRestored,
                                          pathText(archive)});
    if (!noted.ok) {
        fs::remove_all(work, ec);
        return Outcome::refused(noted.message, "cannot log the restore: " + noted.detail);
    }
    // A login that works on the set keeps it: the new folder's lock is taken
    // before it is put in place, and becomes the login's.
    const bool keepsSet = holdsSet(login, setName);
    DirectoryLock restoredLock;
    if (keepsSet) {
        restoredLock = DirectoryLock(work, DirectoryLock::File::WhileHeld);
        if (!restoredLock.held()) return refuse(kDiskMessage, "cannot lock the restored folder");
    }
    syncTree(work);
    step(hook, "merged");
    if (!swapIntoPlace(work, target, hook)) return refuse(kDiskMessage, "cannot swap the folders");
    if (keepsSet) {
        restoredLock.followRename(target);
        login.setLock->lock = std::move(restoredLock);
    }
    taken = DirectoryLock();
    fs::remove_all(work, ec);  // now holds the old folder
    step(hook, "done");
    return {};
}

}  // namespace tw
