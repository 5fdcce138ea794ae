#pragma once
// The main window `主窗口`: the picture, the menu and the fifteen picture
// buttons. Every command opens its window modally over it (the report window
// alone is modeless); commands that work on an account set first require a
// login. The title follows the login state.

#include <QMainWindow>
#include <QPointer>

#include "app/picture_icons.h"
#include "ledgers/ui/cashier_window.h"
#include "shell/ui/app_context.h"

class QLabel;
class QToolButton;

namespace tw {

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Title from the login state: the logged-out title, or period, user and company.
    void refreshTitle();
    // Clears the login state and shows the logged-out title.
    void logout();
    // The account-set chooser, modal over this window (at start-up and after
    // "打开套账", "管理套账" and creating a set).
    void showSetChooser();

protected:
    // With a user logged in, offers a backup before the program ends.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenu();
    QWidget* buildButtonPanel();
    QToolButton* addPictureButton(const char* objectName, const char* text, PictureIcon icon);

    // Shows "请先选择套账并登陆！" and returns false while nobody is logged in.
    bool requireLogin();
    // Stand-in for a window that is not built yet.

    // Menu 套账.
    void onNewSet();
    void onOpenSet();
    void onCloseSet();
    void onManageSet();
    void onSetOptions();  // administrators only
    void onExit();
    // Menu 做账 and its picture buttons.
    void onVoucherEntry();
    void onVoucherReview();
    void onVoucherBrowse();
    void onPosting();
    void onCarryForward();
    void onPeriodClose();
    void onUndoClose();
    void onUndoPosting();
    void onUndoReview();
    void onSummaryPhrases();
    void onChartOfAccounts();
    void onAccountInit();
    // Menu 查帐 and its picture buttons.
    void onGeneralLedger();
    void onDetailLedger();
    void onJournal();
    // Cashier picture buttons.
    void onCashReceipt();
    void onCashPayment();
    void onBankReceipt();
    void onBankPayment();
    // Menu 报表.
    void onEditReport();
    void onStatements();
    void onCoverPage();
    // Menu 其它.
    void onNewUser();
    void onChangePassword();
    void onBackup();
    void onRestore();
    // The check of the open set, in its window.
    void onCheckBooks();
    void onActionLog();  // 上机日志, administrators only
    // Menu 帮助.
    void onAbout();

    // Windows that several commands open. Callers have checked the login.
    void openVoucherWindow();
    void openClosingWindow();
    void openJournalWindow();
    void openCashierWindow(const CashierPreset& preset);
    void openBackupWindow();

    AppContext& m_ctx;
    QLabel* m_picture = nullptr;
    // The report window is modeless; while it exists "编辑报表" only says so.
    QPointer<QWidget> m_reportWindow;

    QToolButton* m_voucherEntryButton = nullptr;
    QToolButton* m_voucherReviewButton = nullptr;
    QToolButton* m_voucherSearchButton = nullptr;
    QToolButton* m_postingButton = nullptr;
    QToolButton* m_carryForwardButton = nullptr;
    QToolButton* m_periodCloseButton = nullptr;
    QToolButton* m_generalLedgerButton = nullptr;
    QToolButton* m_detailLedgerButton = nullptr;
    QToolButton* m_journalButton = nullptr;
    QToolButton* m_cashReceiptButton = nullptr;
    QToolButton* m_cashPaymentButton = nullptr;
    QToolButton* m_bankReceiptButton = nullptr;
    QToolButton* m_bankPaymentButton = nullptr;
    QToolButton* m_printWizardButton = nullptr;
    QToolButton* m_reportButton = nullptr;
};

}  // namespace tw
