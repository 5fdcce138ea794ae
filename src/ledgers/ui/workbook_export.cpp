#include "ledgers/ui/workbook_export.h"

#include <QWidget>

#include "ledgers/ledger_export.h"
#include "ledgers/ui/export_folder.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "shell/ui/app_context.h"
#include "storage/outcome.h"

namespace tw {

void exportAndOpen(AppContext& ctx, QWidget* parent, const std::filesystem::path& folder,
                   const std::string& name, const std::function<Workbook()>& makeBook) {
    Result<std::filesystem::path> saved;
    {
        BusyCursor busy;
        saved = runCaught(
            [&] { return exportToFolder(makeBook(), folder, name, ctx.session.dataDir); });
    }
    if (!saved.ok) {
        ctx.prompter.showMessage(parent, qs(saved.message));
        return;
    }
    openExported(ctx, parent, saved.value);
}

}  // namespace tw
