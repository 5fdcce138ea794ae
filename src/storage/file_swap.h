#pragma once
// A file written whole or not at all: it is written under a temporary name
// beside its place and moved there in one rename once complete, so nobody
// ever reads a half-written file and a failure leaves the old one.

#include <filesystem>
#include <functional>

namespace tw {

// A fresh temporary name beside `target` (same folder, so the rename is atomic).
std::filesystem::path temporaryNameFor(const std::filesystem::path& target);

enum class Existing { Replace, Keep };

// Calls `write` with the temporary path; when it returns true, syncs the file
// and renames it to `target` (with Existing::Keep, a file already at `target`
// stays and the new one is dropped). The temporary file never stays behind.
// False when `write` or the rename failed.
bool writeThenRename(const std::filesystem::path& target,
                     const std::function<bool(const std::filesystem::path& temporary)>& write,
                     Existing existing = Existing::Replace);

}  // namespace tw
