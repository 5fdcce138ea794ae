#pragma once
// `会计科目窗口`: the chart of accounts in five category trees, adding and
// deleting accounts, and the account picker of other windows: a caller opens
// the window modally and takes pickedAccount() (pickAccount does both). The
// selection and tab are remembered for the program's run (AppContext::chart).
//
// `科目设置窗口`: name and balance direction of an account to add.

#include <QDialog>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "accounts/chart.h"
#include "app/app_context.h"

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
    // The account picked (empty for 插入空白), or nothing when the window was
    // closed without picking.
    const std::optional<std::string>& pickedAccount() const { return m_picked; }

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
    std::optional<std::string> m_picked;
};

// Opens the chart as a picker over `parent`; the picked account, or nothing.
std::optional<std::string> pickAccount(AppContext& ctx, QWidget* parent);

class AccountSettingWindow : public QDialog {
    Q_OBJECT
public:
    AccountSettingWindow(AppContext& ctx, AddMode mode, QWidget* parent = nullptr);
    // After an account was added: what the user is to be told about it (a
    // parent whose opening amounts were cleared), or empty.
    const QString& notice() const { return m_notice; }

private:
    void onConfirm();

    AppContext& m_ctx;
    AddMode m_mode;
    QLineEdit* m_name;
    QRadioButton* m_debit;
    QRadioButton* m_credit;
    QString m_notice;
};

}  // namespace tw
