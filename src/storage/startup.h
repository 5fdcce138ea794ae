#pragma once
// What the program does with its account-set directory before anything else:
// make it, finish off interrupted actions, and make the template files that
// are missing.

#include <filesystem>

namespace tw {

// Creates the directory (silently ignoring failure), rolls back interrupted
// actions in it and in every set folder, and makes missing template files.
// Never overwrites an existing file. Only for a process that holds the
// directory lock: the program and tallowick-cli go through startUp
// (shell/start_up.h), which takes it first.
void prepareDataDir(const std::filesystem::path& dataDir);

}  // namespace tw
