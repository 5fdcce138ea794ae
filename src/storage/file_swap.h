#pragma once
// A file written whole or not at all: it is written under a temporary name
// and moved to its place in one rename once complete, so nobody ever reads a
// half-written file and a failure leaves the old one.
//
// Temporary files live in one folder per folder they are for,
// ".tallowick-temp" inside it (the same file system, so the final rename is
// atomic): a set's in the set folder's, the templates' in the account-set
// directory's. Backups leave these folders out, and the start-up clean-up,
// which runs under the directory lock, removes them with whatever a dead
// process left in them.

#include <filesystem>
#include <functional>
#include <string>

namespace tw {

inline constexpr const char* kTemporaryFolder = ".tallowick-temp";

// A fresh temporary path for a file that will become `target`, in the
// temporary folder of target's folder (which is not created here).
std::filesystem::path temporaryNameFor(const std::filesystem::path& target);

enum class Existing { Replace, Keep };

// Calls `write` with the temporary path; when it returns true, syncs the file
// and renames it to `target` (with Existing::Keep, a file already at `target`
// stays and the new one is dropped). The temporary file never stays behind,
// nor does an emptied temporary folder. False when `write` or the rename failed.
bool writeThenRename(const std::filesystem::path& target,
                     const std::function<bool(const std::filesystem::path& temporary)>& write,
                     Existing existing = Existing::Replace);

// The same for a file outside the account-set directory (a backup archive):
// the temporary file lies beside the target as a hidden ".NAME.part-…", and
// while it exists a note naming it lies in the temporary folder of
// `noteDir` (the account-set directory), so that the next start removes it
// should this process die first.
bool writeThenRenameNoted(const std::filesystem::path& target, const std::filesystem::path& noteDir,
                          const std::function<bool(const std::filesystem::path& temporary)>& write);

// True for the names temporary files have had: the temporary folder, and
// files ending in ".part-N[-N]", ".copy-N" or ".make-N".
bool isTemporaryName(const std::string& fileName);

// Removes from `dir` its temporary folder with everything in it, the files
// its notes name, and the temporary files lying directly in `dir`. Only
// under the directory lock: another process's temporaries would go too.
void clearTemporaryFiles(const std::filesystem::path& dir);

}  // namespace tw
