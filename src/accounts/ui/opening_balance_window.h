#pragma once
// `账务初始化窗口`: the opening amounts of the leaf accounts of a set that is
// not yet enabled, and enabling it. Reached only through the login of such a
// set; leaving it without enabling logs the user out, for a set that is not
// enabled cannot be worked on. Leaving it with amounts typed but not saved
// asks "是否保存修改？" first. Enter or F2 on a row edits it, as a
// double-click does.

#include <QDialog>
#include <vector>

#include "accounts/opening_balances.h"
#include "shell/ui/app_context.h"

class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace tw {

class OpeningBalanceWindow : public QDialog {
    Q_OBJECT
public:
    explicit OpeningBalanceWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Leaving the window: unsaved amounts are saved or dropped as the user
    // answers (or the window stays); without the set enabled, the user is
    // logged out.
    void done(int result) override;

    // The set was enabled here: leaving the window keeps the login.
    bool enabledTheSet() const { return m_enabled; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showList();
    void showRow(int index);
    void showTotals();
    void onRowDoubleClicked();
    void onSave();
    void onChartSettings();
    void onEnable();
    // Saves the working list; shows the refusal and returns false when it fails.
    bool save();

    AppContext& m_ctx;
    QTreeWidget* m_list;
    QLineEdit* m_debitTotal;
    QLineEdit* m_creditTotal;
    QPushButton* m_enable;
    std::vector<OpeningRow> m_rows;   // the working copy the list shows
    std::vector<OpeningRow> m_saved;  // the list as last loaded or saved
    bool m_readable = true;          // false: the chart or the saved list cannot be read
    bool m_enabled = false;          // 启用套账 enabled the set
    std::string m_loadRefusal;
};

// Opens the window modally over `parent`; when leaving it logged the user out,
// the main window's title is rebuilt (AppContext::refreshTitle).
void runOpeningBalanceWindow(AppContext& ctx, QWidget* parent);

}  // namespace tw
