#include "shell/backup.h"

#include <fcntl.h>
#include <minizip/zip.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <random>
#include <vector>

#include "shell/action_log.h"
#include "shell/archive_names.h"
#include "shell/session.h"
#include "storage/file_swap.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/recovery.h"
#include "storage/user_files.h"
#include "storage/table_check.h"

namespace tw {

namespace {

struct Entry {
    fs::path path;
    std::string name;  // relative, '/'-separated, UTF-8; folders end in '/'
    bool folder = false;
};

// The set's files, in name order.
std::vector<Entry> entriesOf(const fs::path& folder) {
    std::vector<Entry> entries;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec)) {
        const std::string name = pathText(it->path().filename());
        std::error_code typeEc;
        if (isSetFileName(name) && fs::is_regular_file(it->symlink_status(typeEc)))
            entries.push_back({it->path(), name, false});
    }
    std::sort(entries.begin(), entries.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return entries;
}

tm_zip zipTime(const fs::path& p) {
    std::error_code ec;
    const auto ft = fs::last_write_time(p, ec);
    std::time_t t = std::time(nullptr);
    if (!ec)
        t = std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(ft));
    std::tm local{};
    localtime_r(&t, &local);
    tm_zip z{};
    z.tm_sec = local.tm_sec;
    z.tm_min = local.tm_min;
    z.tm_hour = local.tm_hour;
    z.tm_mday = local.tm_mday;
    z.tm_mon = local.tm_mon;
    z.tm_year = local.tm_year + 1900;
    return z;
}

class ZipWriter {
public:
    explicit ZipWriter(const fs::path& path) : zip_(zipOpen64(path.c_str(), APPEND_STATUS_CREATE)) {}
    ~ZipWriter() {
        if (zip_) zipClose(zip_, nullptr);
    }
    bool isOpen() const { return zip_ != nullptr; }

    bool add(const Entry& e) {
        zip_fileinfo info{};
        info.tmz_date = zipTime(e.path);
        // Unix attributes with "made by Unix", and the UTF-8 name flag, so that
        // other tools keep the Chinese names and make readable files.
        info.external_fa = e.folder ? ((040755u << 16) | 0x10) : (0100644u << 16);
        std::error_code ec;
        const auto size = e.folder ? 0 : fs::file_size(e.path, ec);
        if (ec) return false;
        if (zipOpenNewFileInZip4_64(zip_, e.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                    e.folder ? 0 : Z_DEFLATED,
                                    e.folder ? 0 : Z_DEFAULT_COMPRESSION, 0, -MAX_WBITS,
                                    DEF_MEM_LEVEL, Z_DEFAULT_STRATEGY, nullptr, 0, 0x031E, 0x800,
                                    size >= 0xFFFFFFFFu) != ZIP_OK)
            return false;
        bool ok = true;
        if (!e.folder) {
            std::ifstream in(e.path, std::ios::binary);
            std::vector<char> buffer(1 << 16);
            while (ok && in) {
                in.read(buffer.data(), buffer.size());
                const auto n = in.gcount();
                if (n > 0) ok = zipWriteInFileInZip(zip_, buffer.data(), n) == ZIP_OK;
            }
            ok = ok && in.eof();
        }
        return zipCloseFileInZip(zip_) == ZIP_OK && ok;
    }

    bool close() {
        const bool ok = zipClose(zip_, nullptr) == ZIP_OK;
        zip_ = nullptr;
        return ok;
    }

private:
    zipFile zip_;
};

}  // namespace

std::string damagedTableMessage(const std::string& file) {
    return "套账中的数据表“" + file + "”已损坏，未作备份！  请用以前的备份恢复后再试。";
}

Outcome backupSet(const fs::path& dataDir, const std::string& setName, const fs::path& archive,
                  const StepHook& hook) {
    Outcome out;
    const fs::path folder = setFolder(dataDir, setName);
    std::error_code ec;
    if (setName.empty() || !fs::is_directory(folder, ec))
        return Outcome::refused(kUnreadableSet, "no set folder " + pathText(folder));
    // Renamed over a table or a template, the archive would destroy it.
    switch (const TargetProblem problem = userFileTargetProblem(archive, dataDir)) {
        case TargetProblem::InsideDataDir:
            return Outcome::refused(kBackupInsideDataDir, "inside the account-set directory: " +
                                                              pathText(archive));
        case TargetProblem::NotAFile:
        case TargetProblem::NoFolder:
        case TargetProblem::FolderNotWritable:
            return Outcome::refused(targetRefusal(problem, archive), "refused " + pathText(archive));
        case TargetProblem::None:
            break;
    }
    recoverInterruptedActions(folder);
    std::string why;
    if (!isAccountSetFolder(dataDir, folder, &why)) return Outcome::refused(kUnreadableSet, why);
    // A damaged table would be archived as if it were sound.
    if (const auto damaged = damagedTables(folder); !damaged.empty())
        return Outcome::refused(damagedTableMessage(damaged.front().file),
                                damaged.front().file + ": " + damaged.front().problem);

    const bool written = writeUserFile(archive, dataDir, [&](const fs::path& part) {
        ZipWriter zip(part);
        if (!zip.isOpen()) return false;
        for (const Entry& e : entriesOf(folder)) {
            if (zip.add(e)) continue;
            out.detail = "cannot add " + e.name;
            return false;
        }
        if (!zip.close()) return false;
        step(hook, "written");
        return true;
    });
    // Not written, or in place without its folder synced: an archive the
    // disk did not confirm is no backup to rely on.
    if (!written) {
        const TargetProblem now = userFileFolderProblem(archive);
        return Outcome::refused(now == TargetProblem::None ? kBackupFailed : targetRefusal(now, archive),
                                out.detail.empty() ? "cannot write or sync " + pathText(archive)
                                                   : out.detail);
    }
    return out;
}

Outcome backUpOpenSet(const Session& session, const fs::path& archive) {
    Outcome out = backupSet(session.dataDir, session.login.setName, archive);
    if (!out.ok) return out;
    const Outcome noted = runCaught([&] {
        RecordStore store(session.dataDir);
        return recordOnItsOwn(store, setFolder(session.dataDir, session.login.setName),
                              session.login.setPassword,
                              {currentMoment(), session.login.userName, logged::kBackedUp,
                               pathText(archive)});
    });
    if (!noted.ok) out.detail = "backup not logged: " + noted.detail;
    return out;
}

}  // namespace tw
