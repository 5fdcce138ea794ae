#pragma once
// How a set folder changes as a whole. A new set, a restored set and a set being
// deleted pass through a work folder beside the sets in the account-set
// directory (same file system, so renames are atomic); a kill at any moment
// leaves the set's folder either as it was or as it is meant to become, and
// leftovers are cleared at the next start.
//
// Work folders are named ".tallowick-work-…": the chooser never lists them and no
// set may be named with a leading dot.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tw {

namespace fs = std::filesystem;

inline constexpr const char* kWorkPrefix = ".tallowick-work-";

// Called with a step name at each point where a kill could strike; tests use
// it to stop the process there. Empty = no hook.
using StepHook = std::function<void(const char* step)>;
inline void step(const StepHook& hook, const char* name) {
    if (hook) hook(name);
}

// The set folders of the account-set directory: its folders that are not the
// program's own (those are hidden).
std::vector<fs::path> setFolders(const fs::path& dataDir);

// True for the names of the program's own work folders and files.
bool isWorkName(const std::string& name);

// A fresh, unused work-folder path in the account-set directory; `kind` is
// "new", "restore" or "delete". The folder is not created.
fs::path workFolder(const fs::path& dataDir, const std::string& kind);

// Moves `from` to `to` only if `to` does not exist (atomic). False otherwise.
bool renameNoReplace(const fs::path& from, const fs::path& to);

// Puts the fully prepared folder `staged` in place of the set folder `target`
// in one atomic exchange where the file system allows it, otherwise by two
// renames recorded in a marker file so that an interrupted swap can be undone.
// Afterwards `staged` holds the old folder (or nothing, when `target` did not
// exist); the caller removes it. False when nothing was changed.
bool swapIntoPlace(const fs::path& staged, const fs::path& target, const StepHook& hook = {});

// Writes file data and directory entries of a folder tree to disk.
void syncTree(const fs::path& dir);

// Clears what an interrupted creation, restore or deletion left in the
// account-set directory; an interrupted swap is put back to the old folder.
void clearWorkLeftovers(const fs::path& dataDir);

}  // namespace tw
