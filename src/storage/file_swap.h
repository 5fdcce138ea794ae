#pragma once
// Files written whole or not at all: each is written under a temporary name,
// synced, and moved to its place in one rename once complete, so nobody ever
// reads a half-written file and a failure leaves the old one.
//
// Temporary files for a folder of the account-set directory live in
// ".tallowick-temp" inside that folder (the same file system, so the final
// rename is atomic): a set's in the set folder's, the templates' in the
// account-set directory's. A file written elsewhere for the user (a backup,
// an export) has its temporary beside it, hidden as ".NAME.part-…", and
// while that exists a note naming it lies in the temporary folder of the
// account-set directory. Backups leave these folders out. What a dead
// process was putting in place is finished and its temporary folders, the
// files its notes name and the temporary files of older versions removed:
// a set folder's when its lock is taken next, the account-set directory's at
// a start that finds no set in use (shell/set_lock.h) — those of a live
// process's work lie there too.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tw {

inline constexpr const char* kTemporaryFolder = ".tallowick-temp";

// A fresh temporary path for a file that will become `target`, in the
// temporary folder of target's folder (which is not created here).
std::filesystem::path temporaryNameFor(const std::filesystem::path& target);

enum class Existing { Replace, Keep };

// Calls `write` with the temporary path; when it returns true, syncs the file,
// renames it to `target` (with Existing::Keep, a file already at `target`
// stays and the new one is dropped) and syncs target's folder. The temporary
// file never stays behind, nor does an emptied temporary folder. False when
// `write`, the rename or the folder's sync failed (the file is in place then,
// but the disk did not confirm it).
bool writeThenRename(const std::filesystem::path& target,
                     const std::function<bool(const std::filesystem::path& temporary)>& write,
                     Existing existing = Existing::Replace);

// Files that go into place together or not at all (the month's report: its
// workbook and the two ledger files), inside the account-set directory
// `dataDir` or anywhere else. add() writes each one whole under its
// temporary name (see above) and syncs it; nothing is in place yet. place()
// then records the renames it is about to make in the temporary folder of
// `dataDir`, makes them, and removes the record: a process killed meanwhile
// has them finished by the next start (finishPlacements), so the targets end
// up all as they were or all new. Whatever was not placed is removed when the
// batch ends. (A rename that fails for another reason than a kill, rare on
// one file system, stops place() and is reported; the files placed before it
// stay.) The folders renamed into are synced; one that cannot be makes
// place() report failure too: the files are in place, but may not last.
class FileBatch {
public:
    explicit FileBatch(std::filesystem::path dataDir);
    ~FileBatch();
    FileBatch(FileBatch&& other) noexcept;
    FileBatch& operator=(FileBatch&& other) noexcept;
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // Calls `write` with the temporary path of the file that will become
    // `target`. False when `write` fails or the file cannot be synced.
    bool add(const std::filesystem::path& target,
             const std::function<bool(const std::filesystem::path& temporary)>& write);
    // Puts every added file in place. False when a rename failed or a folder
    // renamed into could not be synced.
    bool place();
    bool empty() const { return staged_.empty(); }

private:
    struct Staged {
        std::filesystem::path temporary, target, note;
    };
    void drop(const Staged& s) const;
    void discard();
    std::filesystem::path dataDir_;
    std::vector<Staged> staged_;
};

// One file written for the user: a FileBatch of one.
bool writeUserFile(const std::filesystem::path& target, const std::filesystem::path& dataDir,
                   const std::function<bool(const std::filesystem::path& temporary)>& write);

// Makes the renames a FileBatch of a dead process recorded but may not have
// finished. Only under the directory lock with no set in use, before
// clearTemporaryFiles.
void finishPlacements(const std::filesystem::path& dataDir);
// The same for the batches that put a file into `folder` (a set folder),
// each finished whole. Only under the set's lock (or the directory lock with
// the set not in use), before the set folder's clearTemporaryFiles.
void finishPlacements(const std::filesystem::path& dataDir, const std::filesystem::path& folder);

// True for the names temporary files have had: the temporary folder, and
// files ending in ".part-N[-N]", ".copy-N", ".make-N", ".tmp-N" or ".tmp-N.pdf".
bool isTemporaryName(const std::string& fileName);

// Removes from `dir` its temporary folder with everything in it, the files
// its notes name, and the temporary files lying directly in `dir`. Only
// while no other process can be writing there (see above): its temporaries
// would go too.
void clearTemporaryFiles(const std::filesystem::path& dir);

}  // namespace tw
