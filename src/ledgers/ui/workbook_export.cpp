#include "ledgers/ui/workbook_export.h"

#include <QStandardPaths>
#include <QWidget>
#include <system_error>

#include "ledgers/ledger_export.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/open_document.h"
#include "platform/ui/widget_helpers.h"
#include "shell/ui/app_context.h"
#include "storage/outcome.h"

namespace tw {

std::filesystem::path defaultExportFolder() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (base.isEmpty()) base = QStandardPaths::writableLocation(QStandardPaths::TempLocation);
    return std::filesystem::path(base.toStdString()) / std::filesystem::u8path("Tallowick 导出");
}

void exportAndOpen(AppContext& ctx, QWidget* parent, const std::filesystem::path& folder,
                   const std::string& name, const std::function<Workbook()>& makeBook) {
    std::filesystem::path file;
    Outcome saved;
    {
        BusyCursor busy;
        // The windows' export folder is the program's own choice, made on
        // first use; an export never makes a folder the user named.
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        file = freeExportPath(folder, name);
        saved = runCaught([&] { saveExport(makeBook(), file, ctx.session.dataDir); });
    }
    if (!saved.ok) {
        ctx.prompter.showMessage(parent, qs(saved.message));
        return;
    }
    if (!openDocument(file)) ctx.prompter.showMessage(parent, noSpreadsheetMessage(file));
}

}  // namespace tw
