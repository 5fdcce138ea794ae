#pragma once
// Exports from the ledger and journal windows: writing a workbook into the
// export folder (export_folder.h) then opening it in the desktop's
// spreadsheet program.

#include <filesystem>
#include <functional>
#include <string>

#include "platform/workbook.h"

class QWidget;

namespace tw {

struct AppContext;

// Writes the workbook `makeBook` gives into `folder` under a free form of
// `name` (exportToFolder: a folder inside the account-set directory, missing
// or not writable is refused and nothing is written) and opens it, saying
// where it went (openExported). A refusal is told to the user over `parent`;
// a written file is kept whether or not a program could open it.
void exportAndOpen(AppContext& ctx, QWidget* parent, const std::filesystem::path& folder,
                   const std::string& name, const std::function<Workbook()>& makeBook);

}  // namespace tw
