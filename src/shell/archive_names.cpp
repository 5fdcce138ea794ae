#include "shell/archive_names.h"

#include <sstream>
#include <vector>

#include "shell/set_folders.h"
#include "storage/directory_lock.h"
#include "storage/file_swap.h"
#include "storage/gbk.h"
#include "storage/schemas.h"

namespace tw {

bool isSetFileName(const std::string& name) {
    // The ledger files of the report window keep their spreadsheet names.
    static const char* const kLedgerFiles[] = {"总账.xls", "分账.xls"};
    static const char* const kWorkbooks[] = {file::kReportWorkbook, file::kCoverWorkbook};
    if (schemaOfFile(name)) return true;
    for (const char* n : kWorkbooks)
        if (name == n) return true;
    for (const char* n : kLedgerFiles)
        if (name == n) return true;
    return false;
}

bool isArchivedName(const std::string& name) {
    auto endsWith = [&](const char* tail) { return name.ends_with(tail); };
    if (endsWith("-journal") || endsWith("-wal") || endsWith("-shm")) return false;
    if (name == kLockFileName) return false;  // the set's lock, held by whoever works on it
    return !isWorkName(name) && !isTemporaryName(name);
}

bool isValidUtf8(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int more = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (more < 0 || (more == 1 && c < 0xC2)) return false;
        if (more > 0 && i + more >= s.size()) return false;
        for (int k = 1; k <= more; ++k)
            if ((static_cast<unsigned char>(s[i + k]) >> 6) != 0x2) return false;
        i += more + 1;
    }
    return true;
}

std::optional<EntryName> entryName(const std::string& raw, unsigned long flags,
                                   unsigned long versionMadeBy, unsigned long externalAttributes) {
    constexpr unsigned long kUtf8Flag = 0x800;
    constexpr unsigned long kMadeOnUnix = 3;
    constexpr unsigned long kTypeMask = 0170000, kLink = 0120000;
    if ((versionMadeBy >> 8) == kMadeOnUnix && ((externalAttributes >> 16) & kTypeMask) == kLink)
        return std::nullopt;

    std::string name = raw;
    if (!(flags & kUtf8Flag) && !isValidUtf8(name)) {
        auto decoded = fromGbk(name);
        if (!decoded) return std::nullopt;
        name = *decoded;
    }
    if (!isValidUtf8(name)) return std::nullopt;
    for (char& c : name)
        if (c == '\\') c = '/';
    if (name.empty() || name.front() == '/') return std::nullopt;
    if (name.size() >= 2 && name[1] == ':') return std::nullopt;  // "C:..."

    EntryName out;
    out.folder = name.back() == '/';
    std::stringstream parts(name);
    std::string part;
    while (std::getline(parts, part, '/')) {
        if (part.empty() || part == ".") continue;
        if (part == "..") return std::nullopt;
        if (!out.path.empty()) out.path += '/';
        out.path += part;
    }
    return out;
}

}  // namespace tw
