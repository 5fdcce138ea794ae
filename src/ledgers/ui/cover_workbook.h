#pragma once
// "常用封面": opens the open set's own cover workbook (常用封面.xlsx in its
// folder) in the desktop's spreadsheet program and keeps no hold on it; the
// user fills it in and saves it there. When no program can open it, the
// spreadsheet message is shown; a missing workbook is named.

class QWidget;

namespace tw {

struct AppContext;

void openCoverWorkbook(AppContext& ctx, QWidget* parent);

}  // namespace tw
