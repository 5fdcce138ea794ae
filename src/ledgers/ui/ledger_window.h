#pragma once
// `明细账窗口`: one account's ledger page for a date range, in detail mode
// (账库) or general mode (总账库, titled "总账窗口"). The account comes from
// the chart picker (a click on `选择科目编辑框`), the range from `起始日期框`
// and `截至日期框` (the current period's month when the window opens; a
// start after the end is refused, checkedRange).
// `列出` lists the page into `账页表格`; `打印` opens its print preview (a job
// named for the page, ledgerJobName, each sheet signed ledgerFooter);
// `导出` writes it to a workbook in the export folder, opens that in the
// desktop's spreadsheet program and names the file; `导出到` chooses the
// export folder (export_folder.h). A click on a ledger row arms; the next
// click on a row that belongs to a voucher opens the voucher window on that
// voucher's page 1.

#include <QDialog>
#include <filesystem>
#include <optional>

#include "ledgers/ledger_page.h"
#include "shell/ui/app_context.h"

class QLineEdit;

namespace tw {

class DateBox;
class PageGridWidget;

class LedgerWindow : public QDialog {
    Q_OBJECT
public:
    LedgerWindow(AppContext& ctx, LedgerMode mode, QWidget* parent = nullptr);

    LedgerMode mode() const { return m_mode; }
    // Where 导出 writes its workbooks: by default the export folder
    // (exportFolder()).
    void setExportFolder(const std::filesystem::path& folder) { m_exportFolder = folder; }

private:
    void onPickAccount();
    void onList();
    void onPrint();
    void onExport();
    void onRowClicked(int row);
    // The account and the two days; nothing when a date box names no day
    // (the box has said so).
    std::optional<LedgerRequest> request();

    AppContext& m_ctx;
    LedgerMode m_mode;
    QLineEdit* m_account = nullptr;
    DateBox* m_from = nullptr;
    DateBox* m_to = nullptr;
    PageGridWidget* m_page = nullptr;
    std::filesystem::path m_exportFolder;
    std::optional<LedgerRequest> m_listed;  // what the page shows, once listed
    bool m_armed = false;  // a first click on a row was made
};

// Opens the window modally over `parent`.
void runLedgerWindow(AppContext& ctx, LedgerMode mode, QWidget* parent);

}  // namespace tw
