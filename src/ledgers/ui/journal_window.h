#pragma once
// `日记账`: the cash and bank journal of one account for a date range. A
// click on `选择科目编辑框` opens the account list (收付科目窗口); `列出`
// lists the account's entries between `起始日期框` and `截至日期框` into
// `日记账超级列表框` (opening the account list first while the box still
// shows its prompt; a start after the end is refused, checkedRange); `导出`
// writes the list to a workbook in the export folder, opens it in the
// desktop's spreadsheet program and names the file; `导出到` chooses the
// export folder (export_folder.h); `添加` opens 出纳窗口 and, when it saved an
// entry, lists the same account and range again so that the entry shows;
// `从凭证引入` brings the posted voucher lines on the account in the range
// into the journal (importVoucherLines), lists them and says how many.

#include <QDialog>
#include <filesystem>
#include <optional>

#include "ledgers/journal.h"
#include "shell/ui/app_context.h"

class QLineEdit;
class QTreeWidget;

namespace tw {

class DateBox;

class JournalWindow : public QDialog {
    Q_OBJECT
public:
    JournalWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Where 导出 writes its workbooks: by default the export folder
    // (exportFolder()).
    void setExportFolder(const std::filesystem::path& folder) { m_exportFolder = folder; }

private:
    void onPickAccount();
    void onList();
    void showListing(const JournalRequest& request);
    void onExport();
    void onAdd();
    void onImport();
    // The account and the range the boxes name (the account list first while
    // the account box shows its prompt); nothing when a date box names no day.
    std::optional<JournalRequest> request();
    // The rows of the list as it shows them.
    std::vector<JournalLine> shownLines() const;

    AppContext& m_ctx;
    QLineEdit* m_account = nullptr;
    DateBox* m_from = nullptr;
    DateBox* m_to = nullptr;
    QTreeWidget* m_list = nullptr;
    std::filesystem::path m_exportFolder;
    std::optional<JournalRequest> m_listed;  // what the list shows, once listed
};

// Opens 日记账 modally over `parent`.
void runJournalWindow(AppContext& ctx, QWidget* parent);

}  // namespace tw
