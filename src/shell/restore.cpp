// Restoring a set folder from a backup archive (declared in backup.h).
#include <minizip/unzip.h>

#include <fstream>
#include <vector>

#include "shell/account_sets.h"
#include "shell/archive_names.h"
#include "shell/backup.h"
#include "shell/session.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace {

struct ArchiveRefusal {
    const char* message;
    std::string detail;
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

    // Unpacks the current entry; false on a read or CRC error (`writeFailed`
    // tells a failure of the target file apart).
    bool extractCurrent(const fs::path& target, bool& writeFailed) {
        writeFailed = false;
        if (unzOpenCurrentFile(zip_) != UNZ_OK) return false;
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        std::vector<char> buffer(1 << 16);
        int n = 0;
        bool ok = true;
        while ((n = unzReadCurrentFile(zip_, buffer.data(), buffer.size())) > 0)
            if (!out.write(buffer.data(), n)) {
                writeFailed = true;
                ok = false;
                break;
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

// Checks every name first, then unpacks into `work`.
std::optional<ArchiveRefusal> unpack(const fs::path& archive, const fs::path& work) {
    ZipReader zip(archive);
    if (!zip.isOpen()) return ArchiveRefusal{kArchiveDamaged, "not a readable ZIP archive"};
    bool safe = true;
    std::string unsafeName;
    if (!zip.forEach([&](const unz_file_info64& info, const std::string& raw) {
            if (entryName(raw, info.flag, info.version, info.external_fa)) return true;
            safe = false;
            unsafeName = raw;
            return false;
        }))
        return ArchiveRefusal{kArchiveDamaged, "damaged central directory"};
    if (!safe) return ArchiveRefusal{kArchiveUnsafe, "unsafe entry " + unsafeName};

    std::optional<ArchiveRefusal> failure;
    const bool walked = zip.forEach([&](const unz_file_info64& info, const std::string& raw) {
        const EntryName name = *entryName(raw, info.flag, info.version, info.external_fa);
        if (name.path.empty()) return true;
        const fs::path target = work / fs::u8path(name.path);
        std::error_code ec;
        fs::create_directories(name.folder ? target : target.parent_path(), ec);
        if (ec) {
            failure = ArchiveRefusal{kDiskMessage, "cannot make folder for " + name.path};
            return false;
        }
        if (name.folder) return true;
        bool writeFailed = false;
        if (!zip.extractCurrent(target, writeFailed)) {
            failure = writeFailed ? ArchiveRefusal{kDiskMessage, "cannot write " + name.path}
                                  : ArchiveRefusal{kArchiveDamaged, "damaged entry " + name.path};
            return false;
        }
        return true;
    });
    if (failure) return failure;
    if (!walked) return ArchiveRefusal{kArchiveDamaged, "damaged central directory"};
    return std::nullopt;
}

// The set inside the unpacked archive: its root, or its one top folder.
std::optional<fs::path> setRootIn(const fs::path& work) {
    std::error_code ec;
    if (fs::exists(work / fs::u8path(file::kBasicInfo), ec)) return work;
    std::vector<fs::path> top;
    for (auto it = fs::directory_iterator(work, ec); !ec && it != fs::end(it); it.increment(ec))
        top.push_back(it->path());
    if (top.size() == 1 && fs::is_directory(top[0], ec) &&
        fs::exists(top[0] / fs::u8path(file::kBasicInfo), ec))
        return top[0];
    return std::nullopt;
}

// Copies into `root` what the current set folder holds and the archive does not.
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
        const fs::path target = root / p.lexically_relative(current);
        if (fs::is_directory(status)) {
            if (!fs::exists(target, ec) && !fs::create_directory(target, ec)) return false;
        } else if (fs::is_regular_file(status) && !fs::exists(target, ec)) {
            if (!fs::copy_file(p, target, ec)) return false;
        }
    }
    return !ec;
}

}  // namespace

bool isAccountSetFolder(const fs::path& dataDir, const fs::path& folder, std::string* detail) {
    auto fail = [&](const std::string& why) {
        if (detail) *detail = why;
        return false;
    };
    RecordStore store(dataDir);
    if (!openTableIn(store, folder, file::kBasicInfo, {}) || store.isPastEnd())
        return fail("基本信息 does not open");
    const std::string setPassword = store.readField(field::kSetPassword).text();
    store.closeTable();
    for (const char* name : {file::kUsers, file::kAccounts, file::kVouchers, file::kLedger,
                             file::kGeneralLedger, file::kJournal, file::kBalances,
                             file::kCarryForward, file::kPhrases, file::kReportScratch}) {
        if (!openTableIn(store, folder, name, setPassword))
            return fail(std::string(name) + " does not open or has other fields");
        store.closeTable();
    }
    return true;
}

Outcome restoreSet(const fs::path& dataDir, const std::string& setName, const fs::path& archive,
                   const StepHook& hook) {
    std::error_code ec;
    if (setName.empty() || setName.front() == '.' || setName.find('/') != std::string::npos)
        return Outcome::refused(kUnreadableSet, "not a set name: " + setName);
    const fs::path target = setFolder(dataDir, setName);
    const fs::path work = workFolder(dataDir, "restore");
    auto refuse = [&](const char* message, const std::string& detail) {
        fs::remove_all(work, ec);
        return Outcome::refused(message, detail);
    };
    if (!fs::create_directory(work, ec)) return refuse(kDiskMessage, "cannot create work folder");
    if (auto refusal = unpack(archive, work)) return refuse(refusal->message, refusal->detail);
    step(hook, "unpacked");

    const auto root = setRootIn(work);
    if (!root) return refuse(kArchiveNotASet, "no 基本信息 in the archive");
    recoverInterruptedActions(*root);
    std::string why;
    if (!isAccountSetFolder(dataDir, *root, &why)) return refuse(kArchiveNotASet, why);
    step(hook, "checked");

    if (!keepOtherFiles(target, *root)) return refuse(kDiskMessage, "cannot keep the other files");
    syncTree(*root);
    step(hook, "merged");
    if (!swapIntoPlace(*root, target, hook)) return refuse(kDiskMessage, "cannot swap the folders");
    fs::remove_all(work, ec);  // now holds the old folder
    step(hook, "done");
    return {};
}

}  // namespace tw
