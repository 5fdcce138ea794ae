// Restoring a set folder from a backup archive (declared in backup.h).
#include <minizip/unzip.h>

#include <fstream>
#include <vector>

#include "shell/account_sets.h"
#include "shell/archive_names.h"
#include "shell/backup.h"
#include "shell/login.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace {

struct Refusal {
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
std::optional<Refusal> unpack(const fs::path& archive, const fs::path& work) {
    ZipReader zip(archive);
    if (!zip.isOpen()) return Refusal{kArchiveDamaged, "not a readable ZIP archive"};
    bool safe = true;
    std::string unsafeName;
    if (!zip.forEach([&](const unz_file_info64& info, const std::string& raw) {
            if (entryName(raw, info.flag, info.version, info.external_fa)) return true;
            safe = false;
            unsafeName = raw;
            return false;
        }))
        return Refusal{kArchiveDamaged, "damaged central directory"};
    if (!safe) return Refusal{kArchiveUnsafe, "unsafe entry " + unsafeName};

    std::optional<Refusal> failure;
    const bool walked = zip.forEach([&](const unz_file_info64& info, const std::string& raw) {
        const EntryName name = *entryName(raw, info.flag, info.version, info.external_fa);
        if (name.path.empty()) return true;
        const fs::path target = work / fs::u8path(name.path);
        std::error_code ec;
        fs::create_directories(name.folder ? target : target.parent_path(), ec);
        if (ec) {
            failure = Refusal{kDiskFailure, "cannot make folder for " + name.path};
            return false;
        }
        if (name.folder) return true;
        bool writeFailed = false;
        if (!zip.extractCurrent(target, writeFailed)) {
            failure = writeFailed ? Refusal{kDiskFailure, "cannot write " + name.path}
                                  : Refusal{kArchiveDamaged, "damaged entry " + name.path};
            return false;
        }
        return true;
    });
    if (failure) return failure;
    if (!walked) return Refusal{kArchiveDamaged, "damaged central directory"};
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
    auto opens = [&](const char* name, const std::string& password) {
        const bool ok = store.openTable(folder / fs::u8path(name), password);
        if (ok) store.closeTable();
        return ok;
    };
    if (!store.openTable(folder / fs::u8path(file::kBasicInfo), kFixedPassword) ||
        store.isPastEnd())
        return fail("基本信息 does not open");
    const std::string setPassword = store.readField(field::kSetPassword).text();
    store.closeTable();
    for (const char* name : {file::kUsers, file::kAccounts, file::kVouchers, file::kLedger,
                             file::kGeneralLedger, file::kJournal, file::kBalances,
                             file::kCarryForward})
        if (!opens(name, setPassword)) return fail(std::string(name) + " does not open");
    for (const char* name : {file::kPhrases, file::kReportScratch})
        if (!opens(name, "")) return fail(std::string(name) + " does not open");
    return true;
}

ArchiveOutcome restoreSet(const fs::path& dataDir, const std::string& setName,
                          const fs::path& archive, const StepHook& hook) {
    ArchiveOutcome out;
    std::error_code ec;
    if (setName.empty() || setName.front() == '.' ||
        setName.find('/') != std::string::npos) {
        out.message = kUsersUnreadable;
        out.detail = "not a set name: " + setName;
        return out;
    }
    const fs::path target = setFolder(dataDir, setName);
    const fs::path work = workFolder(dataDir, "restore");
    auto refuse = [&](const char* message, const std::string& detail) {
        fs::remove_all(work, ec);
        out.message = message;
        out.detail = detail;
        return out;
    };
    if (!fs::create_directory(work, ec)) return refuse(kDiskFailure, "cannot create work folder");
    if (auto refusal = unpack(archive, work)) return refuse(refusal->message, refusal->detail);
    step(hook, "unpacked");

    const auto root = setRootIn(work);
    if (!root) return refuse(kArchiveNotASet, "no 基本信息 in the archive");
    recoverInterruptedActions(*root);
    std::string why;
    if (!isAccountSetFolder(dataDir, *root, &why)) return refuse(kArchiveNotASet, why);
    step(hook, "checked");

    if (!keepOtherFiles(target, *root)) return refuse(kDiskFailure, "cannot keep the other files");
    syncTree(*root);
    step(hook, "merged");
    if (!swapIntoPlace(*root, target, hook)) return refuse(kDiskFailure, "cannot swap the folders");
    fs::remove_all(work, ec);  // now holds the old folder
    step(hook, "done");
    out.ok = true;
    return out;
}

}  // namespace tw
