#pragma once
// `会计科目窗口`: the chart of accounts in five category trees, adding and
// deleting accounts, and the account picker of other windows: a caller opens
// the window modally and takes pickedAccount() (pickAccount does both). The
// selection and tab are remembered for the program's run (AppContext::chart).
//
// The trees list the accounts in code order, each with its code before its
// name. The search box `科目查找编辑框` above them takes the beginning of a
// code ("1002", "100201"), a fragment of a name or pinyin initials ("yhck",
// "gsyh") and lists what it finds, of every category at once, with codes, in
// `科目查找列表框` (searchAccounts); Up and Down move in
// the list, Enter or 将选定科目插入到 picks the account it highlights, and
// nothing while it is empty (the trees' selection is not picked then). With
// the box empty, Enter picks the account selected in the trees, as Enter on
// a tree item does. Opened to set up the chart (ChartUse::Settings: 科目管理,
// 账务初始化's 科目设置), Enter in the search box picks nothing and closes
// nothing: the account the list highlights becomes the selection, shown in
// its tree, the search box emptied. 增加下级科目, 增加同级科目 and
// 删除当前选定 after a search act on the account the list highlights, the
// same way (and refuse, as with nothing selected, when it is empty).
//
// `科目设置窗口`: code, name and balance direction of an account to add; the
// code box opens on the next free code under the account's parent, and an
// account added under a parent opens with the parent's direction chosen
// (inheritedDirection).

#include <QDialog>
#include <QString>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "accounts/account_codes.h"
#include "accounts/chart.h"
#include "shell/ui/app_context.h"

class QLabel;
class QLineEdit;
class QRadioButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace tw {

// Where the picker starts: on an account (its tab shown, the account
// selected), and with a character already typed into its search box.
struct AccountStart {
    std::string account;
    QString typed;
};

// What the chart window is opened for: to pick an account into another
// window, or to set up the chart.
enum class ChartUse { Picker, Settings };

class ChartWindow : public QDialog {
    Q_OBJECT
public:
    explicit ChartWindow(AppContext& ctx, QWidget* parent = nullptr, const AccountStart& start = {},
                         ChartUse use = ChartUse::Picker);
    // The account picked (empty for 插入空白), or nothing when the window was
    // closed without picking.
    const std::optional<std::string>& pickedAccount() const { return m_picked; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadTrees();
    void showAccount(const std::string& name);
    void onSearchEdited(const QString& text);
    bool searching() const;
    // While searching, makes the account the list highlights the selection
    // (selectAccount) and shows it in its tree, the search box emptied.
    // False when there is no search or it found nothing.
    bool selectHighlighted();
    // Before an add or a delete: the account a search highlights becomes
    // the selection. False, with the refusal shown, when a search found none.
    bool takeSearchedAccount();
    // Picks `name` as a double-click on its tree item would.
    void choose(const std::string& name);
    void onTabChanged(int index);
    void onSelectionChanged(QTreeWidget* tree);
    void pick(bool blank);
    void onDelete();
    void onAdd(AddMode mode);

    AppContext& m_ctx;
    ChartUse m_use;
    QLineEdit* m_search;
    QLabel* m_searchNote;
    QTabWidget* m_tabs;
    QTreeWidget* m_results;
    std::array<QTreeWidget*, 5> m_trees{};
    std::vector<Account> m_accounts;  // as loaded with the trees, in code order
    AccountCodes m_codes;             // every account's code
    std::optional<std::string> m_picked;
};

// Opens the chart as a picker over `parent`; the picked account, or nothing.
std::optional<std::string> pickAccount(AppContext& ctx, QWidget* parent,
                                       const AccountStart& start = {});

class AccountSettingWindow : public QDialog {
    Q_OBJECT
public:
    // Opens with `direction` (借方 or 贷方) chosen; with neither chosen when empty.
    AccountSettingWindow(AppContext& ctx, AddMode mode, QWidget* parent = nullptr,
                         const std::string& direction = {});
    // After an account was added: what the user is to be told about it (a
    // parent whose opening amounts were cleared), or empty.
    const QString& notice() const { return m_notice; }

private:
    void onConfirm();

    AppContext& m_ctx;
    AddMode m_mode;
    QLineEdit* m_code;
    QLineEdit* m_name;
    QRadioButton* m_debit;
    QRadioButton* m_credit;
    QString m_notice;
};

}  // namespace tw
