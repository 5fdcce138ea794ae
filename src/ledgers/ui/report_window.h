#pragma once
// `报表窗口`: the month's account summary and trial balance into a workbook
// (编辑报表). Modeless: the main window keeps working while it is open.
//
// `年份编辑框` and `月份编辑框` open on the month before the current period;
// a year of four characters moves the focus to the month; a month above 12
// or below 1 is cleared as it is typed. `导出` ("导出Excel报表") writes the
// month's workbook into the export folder (报表-YYYY-MM.xlsx, replacing that
// month's earlier one) and the HTML ledgers into the set folder
// (exportMonthReport), opens the workbook in the desktop's spreadsheet
// program and names it; the window then closes, so that another month can be
// reported later. A refusal is shown and the window stays. `导出到` chooses
// the export folder (export_folder.h). Closing the window activates the main
// window.

#include <QWidget>
#include <filesystem>

#include "shell/ui/app_context.h"

class QLineEdit;

namespace tw {

class ReportWindow : public QWidget {
    Q_OBJECT
public:
    // A top-level window over `parent`, deleted when it closes.
    explicit ReportWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Where 导出 writes the workbook: by default the export folder (exportFolder()).
    void setExportFolder(const std::filesystem::path& folder) { m_exportFolder = folder; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void onYearEdited(const QString& text);
    void onMonthEdited(const QString& text);
    void onExport();

    AppContext& m_ctx;
    QLineEdit* m_year;
    QLineEdit* m_month;
    std::filesystem::path m_exportFolder;
};

}  // namespace tw
