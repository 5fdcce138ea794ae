#pragma once
// Opens a written file (a workbook, a PDF) in the program the desktop uses
// for its kind.

#include <filesystem>

namespace tw {

// False when the file does not exist or no program could open it; the file
// itself is left as it is.
bool openDocument(const std::filesystem::path& file);

}  // namespace tw
