#pragma once
// The cover-page workbook: each account set keeps its own 常用封面.xlsx in its
// folder (copied from the account-set directory's template when the set is
// made). The program only opens it in the desktop's spreadsheet program; the
// user fills it in, prints and saves it there, into the set's own copy.

#include <filesystem>
#include <string>

#include "shell/session.h"

namespace tw {

// The cover workbook of the open set: set folder / 常用封面.xlsx.
std::filesystem::path coverWorkbookPath(const Session& session);

// What to say when the set's cover workbook is not there (a spreadsheet
// program would report the missing file in its own way): the file's place.
std::string missingCoverMessage(const std::filesystem::path& file);

}  // namespace tw
