// Recovery: hot journals rolled back, then the anchor's orphan super-journals
// removed.
#include "storage/recovery.h"

#include <sqlite3.h>

#include <fstream>
#include <iterator>
#include <string>
#include <system_error>

#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/sqlite_connection.h"

namespace tw {

namespace {

// The hot journals under `dir` (and one level down, the set folders).
std::vector<std::filesystem::path> journalsUnder(const std::filesystem::path& dir, int depth) {
    std::vector<std::filesystem::path> journals;
    std::error_code ec;
    for (auto it = std::filesystem::recursive_directory_iterator(dir, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        if (it.depth() >= depth) it.disable_recursion_pending();
        const std::string name = it->path().filename().string();
        if (name.size() > 8 && name.ends_with("-journal")) journals.push_back(it->path());
    }
    return journals;
}

std::filesystem::path tableOfJournal(const std::filesystem::path& journal) {
    const std::string name = journal.filename().string();
    return journal.parent_path() / name.substr(0, name.size() - 8);
}

// Rolls back what the journal holds of an interrupted commit: reading the
// table read-write does it. False while the journal is still there to be
// rolled back (the table cannot be written); true once it is gone, when its
// table is gone (there is nothing to roll back), or when it is one SQLite
// ignores: a journal whose header was never completed (it starts with a zero
// byte) belonged to a commit that had not touched the table yet. That one
// is removed.
bool rollBack(const std::filesystem::path& journal) {
    const auto table = tableOfJournal(journal);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(table, ec)) return true;
    detail::Connection c;
    if (sqlite3_open_v2(table.c_str(), &c.db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_busy_timeout(c.db, detail::kBusyTimeoutMs) == SQLITE_OK)
        sqlite3_exec(c.db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    c.close();
    std::ifstream in(journal, std::ios::binary);
    if (!in) return true;  // rolled back
    const int first = in.get();
    in.close();
    if (first != 0 && first != std::char_traits<char>::eof()) return false;
    std::filesystem::remove(journal, ec);
    return true;
}

// The journals a super-journal names: its file is the journals' full paths,
// each ending in a zero byte. A name cut short (its process killed as it
// wrote it) does not end in "-journal" and names none.
std::vector<std::filesystem::path> journalsNamedIn(const std::filesystem::path& superJournal) {
    std::ifstream in(superJournal, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::filesystem::path> named;
    for (std::size_t from = 0; from < text.size();) {
        auto end = text.find('\0', from);
        if (end == std::string::npos) end = text.size();
        const std::string name = text.substr(from, end - from);
        if (name.ends_with("-journal")) named.emplace_back(name);
        from = end + 1;
    }
    return named;
}

// Removes the anchor's super-journals that `orphan` picks from the journals
// they name.
template <class Pick>
void removeSuperJournals(const std::filesystem::path& dataDir, Pick orphan) {
    const std::string prefix = std::string(detail::kAnchorName) + "-mj";
    std::error_code ec;
    std::vector<std::filesystem::path> superJournals;
    for (const auto& e : std::filesystem::directory_iterator(dataDir, ec))
        if (e.path().filename().string().starts_with(prefix)) superJournals.push_back(e.path());
    for (const auto& s : superJournals)
        if (orphan(journalsNamedIn(s))) std::filesystem::remove(s, ec);
}

bool noneLeft(const std::vector<std::filesystem::path>& journals) {
    std::error_code ec;
    for (const auto& j : journals)
        if (std::filesystem::exists(std::filesystem::symlink_status(j, ec))) return false;
    return true;
}

}  // namespace

std::vector<std::filesystem::path> recoverInterruptedActions(const std::filesystem::path& dir) {
    std::error_code ec;
    if (!std::filesystem::is_directory(dir, ec)) return {};
    std::vector<std::filesystem::path> unrecovered;
    for (const auto& j : journalsUnder(dir, 1))
        if (!rollBack(j)) unrecovered.push_back(tableOfJournal(j));
    // A super-journal goes only once every table of its commit is rolled
    // back: without it the journals left would look stale, and the tables
    // that cannot be written yet would keep the commit's half.
    if (!unrecovered.empty()) return unrecovered;
    const std::string prefix = std::string(detail::kAnchorName) + "-mj";
    for (const auto& e : std::filesystem::directory_iterator(dir, ec))
        if (e.path().filename().string().starts_with(prefix)) std::filesystem::remove(e.path(), ec);
    return unrecovered;
}

std::vector<std::filesystem::path> unrecoveredTables(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> left;
    for (const auto& j : journalsUnder(folder, 0))
        if (!rollBack(j)) left.push_back(tableOfJournal(j));
    return left;
}

void removeOrphanSuperJournals(const std::filesystem::path& dataDir,
                               const std::filesystem::path& folder) {
    removeSuperJournals(dataDir, [&](const std::vector<std::filesystem::path>& journals) {
        bool ofTheSet = false;
        for (const auto& j : journals) ofTheSet = ofTheSet || liesInside(j.parent_path(), folder);
        return ofTheSet && noneLeft(journals);
    });
}

bool hasSuperJournals(const std::filesystem::path& dataDir) {
    bool found = false;
    removeSuperJournals(dataDir, [&](const std::vector<std::filesystem::path>&) {
        found = true;
        return false;
    });
    return found;
}

void removeOrphanSuperJournals(const std::filesystem::path& dataDir) {
    removeSuperJournals(dataDir, noneLeft);
}

}  // namespace tw
