#pragma once
// Exports from the ledger and journal windows: where they go, and writing a
// workbook there then opening it in the desktop's spreadsheet program.

#include <filesystem>
#include <functional>
#include <string>

#include "platform/workbook.h"

class QWidget;

namespace tw {

struct AppContext;

// "Tallowick 导出" in the user's documents folder (the temporary folder when
// there is none).
std::filesystem::path defaultExportFolder();

// Writes the workbook `makeBook` gives into `folder` (made when missing)
// under a free form of `name` and opens it. A failure to write, or no program to open it, is told
// to the user over `parent`; a written file is kept either way.
void exportAndOpen(AppContext& ctx, QWidget* parent, const std::filesystem::path& folder,
                   const std::string& name, const std::function<Workbook()>& makeBook);

}  // namespace tw
