#pragma once
// `出纳窗口`: one cash or bank receipt ("收") or payment ("付") into the
// journal. Checking `收单选框` or `付单选框` leads through the account list
// (→ `收付科目编辑框`), the amount dialog (→ `金额编辑框`) and the summary
// window (→ `摘要编辑框`); a click on `收付科目编辑框` opens the account list
// again, a click on `对方科目编辑框` the chart as a picker. `保存` starts
// disabled; `检查` toggles it once 收 or 付 is chosen. `保存` writes the entry
// (saveCashierEntry) and closes the window; a refusal is shown and the
// window stays open for the correction. `从凭证引入` brings the posted voucher
// lines on the account of `收付科目编辑框`, in the month of `日期框`, into the
// journal (importVoucherLines) and says how many; the window stays open.
//
// Opened from 收现/支现/收银/支银 the window starts with 收 or 付 checked and
// its account filled in (现金, or the one bank account; with several, the
// account box waits for the choice), the focus in the amount box. Enter moves
// through the boxes in their Tab order; on 收付科目编辑框 and 对方科目编辑框 it
// opens their list or picker first, and on an empty 摘要编辑框 the summary
// window; 检查 then hands the focus to 保存.
//
// `收付科目窗口`: the account list window, its list `收付科目列表框` offering
// the cash and bank accounts of the chart; choosing one closes it.

#include <QDialog>
#include <string>
#include <vector>

#include "ledgers/journal.h"
#include "shell/ui/app_context.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace tw {

class DateBox;

class CashAccountWindow : public QDialog {
    Q_OBJECT
public:
    CashAccountWindow(const std::vector<std::string>& accounts, QWidget* parent = nullptr);
    // The account chosen; empty when the window was closed without a choice.
    const std::string& chosen() const { return m_chosen; }

private:
    void choose(QListWidgetItem* item);

    QListWidget* m_list = nullptr;
    std::string m_chosen;
};

// Opens the account list modally over `parent`, filled with the chart's
// cash and bank accounts: the chosen account, or empty text when it was
// closed without a choice (or the chart could not be read, which is said).
std::string pickCashAccount(AppContext& ctx, QWidget* parent);

// What a cashier button chooses before the window opens: 收 or 付, and the
// cash or bank account ("现金", "银行存款").
struct CashierPreset {
    CashKind kind = CashKind::None;
    std::string account;
};

// The account a cashier button means among the chart's cash and bank
// accounts: `base` itself when it has no sub-accounts, else its only
// account without sub-accounts; empty when there is none or a choice to make.
std::string presetCashAccount(const std::vector<std::string>& accounts, const std::string& base);

class CashierWindow : public QDialog {
    Q_OBJECT
public:
    CashierWindow(AppContext& ctx, QWidget* parent = nullptr, const CashierPreset& preset = {});
    // True once 从凭证引入 has written entries into the journal.
    bool broughtIn() const { return m_broughtIn; }

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onKindChosen();
    void onPickAccount();
    void onPickCounterAccount();
    void onCheck();
    void onSave();
    void onImport();

    AppContext& m_ctx;
    QRadioButton* m_receipt = nullptr;
    QRadioButton* m_payment = nullptr;
    QLineEdit* m_account = nullptr;
    QLineEdit* m_amount = nullptr;
    QLineEdit* m_summary = nullptr;
    QLineEdit* m_counter = nullptr;
    DateBox* m_date = nullptr;
    QPushButton* m_check = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_import = nullptr;
    QWidget* m_firstFocus = nullptr;
    bool m_broughtIn = false;
};

// Opens 出纳窗口 modally over `parent`; true when an entry was saved or voucher
// lines were brought in.
bool runCashierWindow(AppContext& ctx, QWidget* parent, const CashierPreset& preset = {});

}  // namespace tw
