// The commands of the main window: one handler for each menu item and picture
// button, each checking the login and opening its window over the main window,
// and the windows that several commands share. The menu and the buttons that
// call them are built in main_window.cpp.

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "accounts/ui/chart_window.h"
#include "accounts/ui/phrase_window.h"
#include "app/main_window.h"
#include "closing/ui/check_window.h"
#include "closing/ui/closing_window.h"
#include "ledgers/ui/cashier_window.h"
#include "ledgers/ui/cover_workbook.h"
#include "ledgers/ui/journal_window.h"
#include "ledgers/ui/ledger_window.h"
#include "ledgers/ui/report_window.h"
#include "shell/ui/action_log_window.h"
#include "shell/ui/backup_window.h"
#include "shell/ui/create_set_window.h"
#include "shell/ui/new_user_window.h"
#include "shell/ui/password_window.h"
#include "shell/ui/set_chooser_window.h"
#include "shell/ui/set_options_window.h"
#include "statements/ui/statements_window.h"
#include "vouchers/ui/search_window.h"
#include "vouchers/ui/voucher_window.h"

namespace tw {

namespace {

const QString kLoginRequired = QStringLiteral("请先选择套账并登陆！");
const QString kOpeningLocked = QStringLiteral("套账启用后不能再更改初始化数据！");
const QString kReportOpen = QStringLiteral("Excel报表已导出、请查看！");

// Disables a picture button while the window its command opened is shown.
class ButtonLock {
public:
    explicit ButtonLock(QToolButton* button) : m_button(button) { m_button->setEnabled(false); }
    ~ButtonLock() {
        if (m_button) m_button->setEnabled(true);
    }
    ButtonLock(const ButtonLock&) = delete;
    ButtonLock& operator=(const ButtonLock&) = delete;

private:
    QPointer<QToolButton> m_button;
};

void runAboutWindow(QWidget* parent) {
    QDialog window(parent);
    window.setObjectName(QStringLiteral("关于窗口"));
    window.setWindowTitle(QStringLiteral("关于软件"));

    auto* icon = new QLabel(&window);
    icon->setPixmap(programIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignTop);
    auto* name = new QLabel(QStringLiteral("Tallowick"), &window);
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);
    auto* text = new QLabel(QStringLiteral("小企业账务处理软件\n\n"
                                           "凭证编制与审核、登账、结转损益、期末结账、\n"
                                           "总分类账与明细分类账、出纳日记账和月度报表。"),
                            &window);
    auto* close = new QPushButton(QStringLiteral("关闭"), &window);
    close->setObjectName(QStringLiteral("关闭"));
    close->setDefault(true);
    QObject::connect(close, &QPushButton::clicked, &window, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(text);
    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addSpacing(12);
    row->addLayout(texts);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(&window);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(row);
    layout->addSpacing(10);
    layout->addLayout(buttons);
    window.exec();
}

}  // namespace

bool MainWindow::requireLogin() {
    if (m_ctx.session.login.loggedIn) return true;
    m_ctx.prompter.showMessage(this, kLoginRequired);
    return false;
}

// ---- Menu 套账 ----

void MainWindow::onNewSet() {
    if (CreateSetWindow::run(m_ctx, this)) showSetChooser();
}

void MainWindow::onOpenSet() {
    logout();
    showSetChooser();
}

void MainWindow::onCloseSet() { logout(); }

void MainWindow::onManageSet() {
    logout();
    showSetChooser();
}

void MainWindow::onSetOptions() {
    if (!requireLogin()) return;
    runSetOptionsWindow(m_ctx, this);
}

void MainWindow::onExit() { close(); }

void MainWindow::showSetChooser() {
    runSetChooser(m_ctx, this);
}

// ---- Menu 做账 ----

void MainWindow::onVoucherEntry() {
    if (!requireLogin()) return;
    ButtonLock lock(m_voucherEntryButton);
    openVoucherWindow();
}

void MainWindow::onVoucherReview() {
    if (!requireLogin()) return;
    ButtonLock lock(m_voucherReviewButton);
    openVoucherWindow();  // review is done in the voucher window
}

void MainWindow::onVoucherBrowse() {
    if (!requireLogin()) return;
    ButtonLock lock(m_voucherSearchButton);
    runSearchWindow(m_ctx, this);
}

void MainWindow::onPosting() {
    if (!requireLogin()) return;
    ButtonLock lock(m_postingButton);
    openClosingWindow();
}

void MainWindow::onCarryForward() {
    if (!requireLogin()) return;
    ButtonLock lock(m_carryForwardButton);
    openClosingWindow();
}

void MainWindow::onPeriodClose() {
    if (!requireLogin()) return;
    ButtonLock lock(m_periodCloseButton);
    openClosingWindow();
}

void MainWindow::onUndoClose() {
    if (!requireLogin()) return;
    runUndoClose(m_ctx, this);
}

void MainWindow::onUndoPosting() {
    if (!requireLogin()) return;
    runUndoPosting(m_ctx, this);
}

void MainWindow::onUndoReview() {
    if (!requireLogin()) return;
    openVoucherWindow();  // reviews are undone in the voucher window
}

void MainWindow::onSummaryPhrases() {
    if (!requireLogin()) return;
    PhraseWindow window(m_ctx, this);
    window.exec();
}

void MainWindow::onChartOfAccounts() {
    if (!requireLogin()) return;
    ChartWindow window(m_ctx, this, {}, ChartUse::Settings);
    window.exec();
}

// The opening-balance window is reached only through the login of a set that
// is not yet enabled.
void MainWindow::onAccountInit() {
    if (!requireLogin()) return;
    m_ctx.prompter.showMessage(this, kOpeningLocked);
}

// ---- Menu 查帐 ----

void MainWindow::onGeneralLedger() {
    if (!requireLogin()) return;
    ButtonLock general(m_generalLedgerButton);
    ButtonLock detail(m_detailLedgerButton);
    runLedgerWindow(m_ctx, LedgerMode::General, this);
}

void MainWindow::onDetailLedger() {
    if (!requireLogin()) return;
    ButtonLock lock(m_detailLedgerButton);
    runLedgerWindow(m_ctx, LedgerMode::Detail, this);
}

void MainWindow::onJournal() {
    if (!requireLogin()) return;
    openJournalWindow();
}

// ---- Cashier picture buttons ----

// 收现 also opens the journal, once the modal cashier window has closed.
void MainWindow::onCashReceipt() {
    if (!requireLogin()) return;
    openCashierWindow({CashKind::Receipt, "现金"});
    if (m_ctx.session.login.loggedIn) openJournalWindow();
}

void MainWindow::onCashPayment() {
    if (!requireLogin()) return;
    openCashierWindow({CashKind::Payment, "现金"});
}

void MainWindow::onBankReceipt() {
    if (!requireLogin()) return;
    openCashierWindow({CashKind::Receipt, "银行存款"});
}

void MainWindow::onBankPayment() {
    if (!requireLogin()) return;
    openCashierWindow({CashKind::Payment, "银行存款"});
}

// ---- Menu 报表 ----

void MainWindow::onEditReport() {
    if (!requireLogin()) return;
    if (m_reportWindow) {
        m_ctx.prompter.showMessage(this, kReportOpen);
        return;
    }
    auto* window = new ReportWindow(m_ctx, this);
    m_reportWindow = window;
    m_reportButton->setEnabled(false);
    connect(window, &QObject::destroyed, m_reportButton,
            [button = m_reportButton] { button->setEnabled(true); });
    window->show();
}

void MainWindow::onStatements() {
    if (!requireLogin()) return;
    runStatementsWindow(m_ctx, this);
}

void MainWindow::onCoverPage() {
    if (!requireLogin()) return;
    openCoverWorkbook(m_ctx, this);
}

// ---- Menu 其它 ----

void MainWindow::onNewUser() {
    if (!requireLogin()) return;
    NewUserWindow window(m_ctx, this);
    window.exec();
}

void MainWindow::onChangePassword() {
    if (!requireLogin()) return;
    PasswordWindow window(m_ctx, this);
    window.exec();
}

void MainWindow::onBackup() {
    if (!requireLogin()) return;
    openBackupWindow();
}

void MainWindow::onRestore() {
    if (!requireLogin()) return;
    openBackupWindow();
}

void MainWindow::onCheckBooks() {
    if (!requireLogin()) return;
    CheckWindow window(m_ctx, this);
    window.exec();
}

void MainWindow::onActionLog() {
    if (!requireLogin()) return;
    runActionLogWindow(m_ctx, this);
}

// ---- Menu 帮助 ----

void MainWindow::onAbout() { runAboutWindow(this); }

// ---- Windows opened by several commands ----

void MainWindow::openVoucherWindow() { runVoucherWindow(m_ctx, this); }

void MainWindow::openClosingWindow() {
    ClosingWindow window(m_ctx, this);
    window.exec();
}

void MainWindow::openJournalWindow() {
    runJournalWindow(m_ctx, this);
}

void MainWindow::openCashierWindow(const CashierPreset& preset) {
    runCashierWindow(m_ctx, this, preset);
}

// Also offered when the program closes with a user logged in.
void MainWindow::openBackupWindow() {
    BackupWindow window(m_ctx, this);
    window.exec();
}

}  // namespace tw
