#pragma once
// `会计科目窗口`: the chart of accounts in five category trees, adding and
// deleting accounts, and the account picker of other windows. The picker's
// state lives in the session (Session::accountPicker): a caller opens the
// window modally and reads the selected account and the picked flag after.
//
// `科目设置窗口`: name and balance direction of an account to add.

#include <QDialog>
#include <array>
#include <vector>

#include "accounts/chart.h"
#include "shell/ui/app_context.h"

class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tw {

class ChartWindow : public QDialog {
    Q_OBJECT
public:
    explicit ChartWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    void loadTrees();
    void onTabChanged(int index);
    void onSelectionChanged(QTreeWidget* tree);
    void pick(bool blank);
    void onDelete();
    void onAdd(AddMode mode);

    AppContext& m_ctx;
    QTabWidget* m_tabs;
    std::array<QTreeWidget*, 5> m_trees{};
    std::vector<Account> m_accounts;  // as loaded with the trees
};

class AccountSettingWindow : public QDialog {
    Q_OBJECT
public:
    AccountSettingWindow(AppContext& ctx, AddMode mode, QWidget* parent = nullptr);

private:
    void onConfirm();

    AppContext& m_ctx;
    AddMode m_mode;
    QLineEdit* m_name;
    QRadioButton* m_debit;
    QRadioButton* m_credit;
};

}  // namespace tw
