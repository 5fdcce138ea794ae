#include "storage/file_swap.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "storage/paths.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

constexpr const char* kPart = ".part-";
constexpr const char* kNotePrefix = "note-";
constexpr const char* kPlacePrefix = "place-";      // renames a FileBatch is making
constexpr const char* kPartialPrefix = "partial-";  // such a record being written

std::string uniqueSuffix() {
    static std::mt19937_64 random{std::random_device{}()};
    return std::to_string(::getpid()) + "-" + std::to_string(random() % 1000000000);
}

fs::path folderOf(const fs::path& target) {
    return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

bool syncFile(const fs::path& p) {
    const int fd = ::open(p.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool syncFolder(const fs::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// A small file written and synced; false when any of it failed.
bool writeSynced(const fs::path& p, const std::string& bytes) {
    {
        std::ofstream out(p, std::ios::binary | std::ios::trunc);
        out << bytes;
        if (!out.flush()) return false;
    }
    return syncFile(p);
}

// Writes a note or placement record into the temporary folder `notes` of the
// account-set directory, made first. Processes working on other sets share
// that folder, and one whose batch ends removes it when it finds it empty:
// gone between its making and the writing, it is made once more.
bool writeNote(const fs::path& notes, const fs::path& note, const std::string& bytes) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        std::error_code ec;
        fs::create_directory(notes, ec);
        if (writeSynced(note, bytes)) return true;
    }
    return false;
}

// Writes `tmp` and puts it in place of `target`; removes `tmp` in every case.
bool writeAndRename(const fs::path& tmp, const fs::path& target,
                    const std::function<bool(const fs::path&)>& write, Existing existing) {
    std::error_code ec;
    bool ok = false;
    try {
        ok = write(tmp);
    } catch (...) {
        fs::remove(tmp, ec);
        throw;
    }
    ok = ok && syncFile(tmp);
    bool placed = false;
    if (ok) {
        if (existing == Existing::Keep) {
            // link() never replaces a file that appeared meanwhile.
            placed = ::link(tmp.c_str(), target.c_str()) == 0;
            ok = placed || fs::exists(target, ec);
        } else {
            fs::rename(tmp, target, ec);
            ok = placed = !ec;
        }
    }
    fs::remove(tmp, ec);
    // The new name reaches the disk with its folder.
    return ok && (!placed || syncFolder(folderOf(target)));
}

// Digits, then the end or "-" and digits: the tail of a temporary name.
bool isCounterTail(const std::string& s) {
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
        return i > from;
    };
    if (!digits()) return false;
    if (i == s.size()) return true;
    if (s[i] != '-') return false;
    ++i;
    return digits() && i == s.size();
}

}  // namespace

fs::path temporaryNameFor(const fs::path& target) {
    return folderOf(target) / kTemporaryFolder /
           (pathText(target.filename()) + kPart + uniqueSuffix());
}

bool writeThenRename(const fs::path& target, const std::function<bool(const fs::path&)>& write,
                     Existing existing) {
    const fs::path tmp = temporaryNameFor(target);
    std::error_code ec;
    fs::create_directory(tmp.parent_path(), ec);
    bool ok = false;
    try {
        ok = writeAndRename(tmp, target, write, existing);
    } catch (...) {
        ::rmdir(tmp.parent_path().c_str());
        throw;
    }
    ::rmdir(tmp.parent_path().c_str());  // only when empty
    return ok;
}

// ---- files that go into place together ----------------------------------------

FileBatch::FileBatch(fs::path dataDir) : dataDir_(std::move(dataDir)) {}

FileBatch::~FileBatch() { discard(); }

FileBatch::FileBatch(FileBatch&& other) noexcept
    : dataDir_(std::move(other.dataDir_)), staged_(std::exchange(other.staged_, {})) {}

FileBatch& FileBatch::operator=(FileBatch&& other) noexcept {
    if (this != &other) {
        discard();
        dataDir_ = std::move(other.dataDir_);
        staged_ = std::exchange(other.staged_, {});
    }
    return *this;
}

bool FileBatch::add(const fs::path& target, const std::function<bool(const fs::path&)>& write) {
    Staged s;
    s.target = fs::absolute(target);
    const fs::path folder = folderOf(s.target);
    std::error_code ec;
    if (liesInside(folder, dataDir_)) {
        s.temporary = temporaryNameFor(s.target);
        fs::create_directory(s.temporary.parent_path(), ec);
    } else {
        // Outside the directory nothing else would ever find the temporary:
        // a note in the directory names it until it is gone.
        const std::string suffix = uniqueSuffix();
        s.temporary = folder / ("." + pathText(s.target.filename()) + kPart + suffix);
        const fs::path notes = dataDir_ / kTemporaryFolder;
        s.note = notes / (kNotePrefix + suffix);
        if (!writeNote(notes, s.note, pathText(s.temporary))) {
            drop(s);
            return false;
        }
    }
    bool ok = false;
    try {
        ok = write(s.temporary) && syncFile(s.temporary);
    } catch (...) {
        drop(s);
        throw;
    }
    if (!ok) {
        drop(s);
        return false;
    }
    staged_.push_back(std::move(s));
    return true;
}

bool FileBatch::place() {
    std::error_code ec;
    fs::path record;
    if (staged_.size() > 1) {
        // The renames to come, complete and synced before the first of them.
        std::string pairs;
        for (const Staged& s : staged_)
            pairs += pathText(s.temporary) + '\0' + pathText(s.target) + '\0';
        const fs::path notes = dataDir_ / kTemporaryFolder;
        const std::string suffix = uniqueSuffix();
        const fs::path partial = notes / (kPartialPrefix + suffix);
        record = notes / (kPlacePrefix + suffix);
        if (!writeNote(notes, partial, pairs) || ::rename(partial.c_str(), record.c_str()) != 0 ||
            !syncFolder(notes)) {
            fs::remove(partial, ec);
            discard();
            return false;
        }
    }
    bool ok = true;
    std::vector<fs::path> folders;
    std::size_t placed = 0;
    for (; placed < staged_.size(); ++placed) {
        const Staged& s = staged_[placed];
        if (::rename(s.temporary.c_str(), s.target.c_str()) != 0) {
            ok = false;
            break;
        }
        if (std::find(folders.begin(), folders.end(), folderOf(s.target)) == folders.end())
            folders.push_back(folderOf(s.target));
    }
    // A folder that does not sync leaves its new names unconfirmed: not done.
    for (const fs::path& f : folders) ok = syncFolder(f) && ok;
    if (!record.empty()) fs::remove(record, ec);
    for (std::size_t i = 0; i < placed; ++i) staged_[i].temporary.clear();
    discard();
    return ok;
}

// What add() made for one file: its temporary (unless placed), its note, and
// the temporary folder of its target's folder when that is left empty.
void FileBatch::drop(const Staged& s) const {
    std::error_code ec;
    if (!s.temporary.empty()) {
        fs::remove(s.temporary, ec);
        if (s.note.empty()) ::rmdir(s.temporary.parent_path().c_str());
    } else if (s.note.empty()) {
        ::rmdir((folderOf(s.target) / kTemporaryFolder).c_str());
    }
    if (!s.note.empty()) fs::remove(s.note, ec);
}

void FileBatch::discard() {
    for (Staged& s : staged_) drop(s);
    staged_.clear();
    if (!dataDir_.empty()) ::rmdir((dataDir_ / kTemporaryFolder).c_str());  // only when empty
}

bool writeUserFile(const fs::path& target, const fs::path& dataDir,
                   const std::function<bool(const fs::path&)>& write) {
    FileBatch batch(dataDir);
    return batch.add(target, write) && batch.place();
}

namespace {

// The renames a placement record lists: temporary, target, temporary, …
std::vector<std::string> recordedRenames(const fs::path& record) {
    std::ifstream in(record, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> parts;
    for (std::size_t from = 0; from < text.size();) {
        const auto end = text.find('\0', from);
        if (end == std::string::npos) break;
        parts.push_back(text.substr(from, end - from));
        from = end + 1;
    }
    return parts;
}

// Finishes the placement records in the temporary folder of `dataDir` that
// `pick` picks from their renames.
template <class Pick>
void finishRecords(const fs::path& dataDir, Pick pick) {
    std::error_code ec;
    const fs::path notes = dataDir / kTemporaryFolder;
    std::vector<fs::path> records;
    for (auto it = fs::directory_iterator(notes, ec); !ec && it != fs::end(it); it.increment(ec))
        if (pathText(it->path().filename()).starts_with(kPlacePrefix)) records.push_back(it->path());
    for (const fs::path& record : records) {
        const std::vector<std::string> parts = recordedRenames(record);
        if (!pick(parts)) continue;
        std::vector<fs::path> folders;
        for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
            const fs::path temporary = fs::u8path(parts[i]), target = fs::u8path(parts[i + 1]);
            std::error_code typeEc;
            // Only a temporary of the program's own naming; one already
            // renamed is gone.
            if (!temporary.is_absolute() || !isTemporaryName(pathText(temporary.filename())) ||
                !fs::is_regular_file(fs::symlink_status(temporary, typeEc)))
                continue;
            if (::rename(temporary.c_str(), target.c_str()) == 0) folders.push_back(folderOf(target));
        }
        for (const fs::path& f : folders) syncFolder(f);
        fs::remove(record, ec);
    }
}

}  // namespace

void finishPlacements(const fs::path& dataDir) {
    finishRecords(dataDir, [](const std::vector<std::string>&) { return true; });
}

void finishPlacements(const fs::path& dataDir, const fs::path& folder) {
    finishRecords(dataDir, [&](const std::vector<std::string>& parts) {
        for (std::size_t i = 1; i < parts.size(); i += 2)
            if (liesInside(folderOf(fs::u8path(parts[i])), folder)) return true;
        return false;
    });
}

bool isTemporaryName(const std::string& name) {
    if (name == kTemporaryFolder) return true;
    // Older versions wrote "NAME.tmp-PID" beside the file, and "NAME.tmp-PID.pdf".
    const std::string plain = name.ends_with(".pdf") ? name.substr(0, name.size() - 4) : name;
    for (const char* mark : {kPart, ".copy-", ".make-", ".tmp-"}) {
        const std::string& text = std::string(mark) == ".tmp-" ? plain : name;
        const auto at = text.rfind(mark);
        if (at != std::string::npos && isCounterTail(text.substr(at + std::string(mark).size())))
            return true;
    }
    return false;
}

void clearTemporaryFiles(const fs::path& dir) {
    std::error_code ec;
    const fs::path folder = dir / kTemporaryFolder;
    // Files a note names: only hidden temporaries of the program's own naming.
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::end(it); it.increment(ec)) {
        if (!pathText(it->path().filename()).starts_with(kNotePrefix)) continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::string named((std::istreambuf_iterator<char>(in)), {});
        const fs::path leftover = fs::u8path(named);
        const std::string name = pathText(leftover.filename());
        std::error_code typeEc;
        if (leftover.is_absolute() && name.starts_with(".") && isTemporaryName(name) &&
            fs::is_regular_file(fs::symlink_status(leftover, typeEc)))
            fs::remove(leftover, typeEc);
    }
    ec.clear();
    fs::remove_all(folder, ec);
    std::vector<fs::path> loose;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::end(it); it.increment(ec)) {
        std::error_code typeEc;
        if (isTemporaryName(pathText(it->path().filename())) &&
            fs::is_regular_file(it->symlink_status(typeEc)))
            loose.push_back(it->path());
    }
    for (const fs::path& p : loose) fs::remove(p, ec);
}

}  // namespace tw
