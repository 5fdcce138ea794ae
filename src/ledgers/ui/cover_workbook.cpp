#include "ledgers/ui/cover_workbook.h"

#include <system_error>

#include "ledgers/cover_page.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/open_document.h"
#include "platform/ui/widget_helpers.h"
#include "shell/ui/app_context.h"

namespace tw {

void openCoverWorkbook(AppContext& ctx, QWidget* parent) {
    const std::filesystem::path file = coverWorkbookPath(ctx.session);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        ctx.prompter.showMessage(parent, qs(missingCoverMessage(file)));
        return;
    }
    bool opened = false;
    {
        BusyCursor busy;
        opened = openDocument(file);
    }
    if (!opened) ctx.prompter.showMessage(parent, QString::fromUtf8(kNoSpreadsheetProgram));
}

}  // namespace tw
