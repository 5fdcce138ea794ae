// The main window itself: the banner, the menu bar with its letters and keys,
// the picture buttons and the title. What each command does is in
// main_window_commands.cpp.

#include "app/main_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QShortcut>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "accounts/ui/opening_balance_window.h"
#include "ledgers/ui/voucher_printing.h"
#include "statements/ui/statements_window.h"
#include "storage/paths.h"

namespace tw {

namespace {

const QString kBackupOffer =
    QStringLiteral("为防止意外断电、病毒、Windows不稳定或其它的数据安全隐患，是否备份当前套账？");

// The banner redraws itself at whatever width the window gives it.
class PictureLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QLabel::resizeEvent(event);
        setPixmap(mainPicture(size()));
    }
};

// Action names are their captions without the blanks: "退    出" is `退出`.
QString withoutBlanks(QString caption) { return caption.remove(QLatin1Char(' ')); }

// The letter of each menu and menu item, by its name: Alt+S opens 套账, N
// there is 新建套账. No two menus share a letter, nor two items of a menu.
struct Mnemonic {
    const char* name;
    char letter;
};
constexpr Mnemonic kMnemonics[] = {
    {"套账", 'S'},     {"新建套账", 'N'}, {"打开套账", 'O'}, {"关闭套账", 'C'},
    {"管理套账", 'M'}, {"套账选项", 'P'}, {"退出", 'X'},
    {"做账", 'V'},     {"编制凭证", 'E'}, {"审核凭证", 'R'}, {"查阅凭证", 'F'},
    {"凭证登账", 'P'}, {"结转损益", 'T'}, {"期末结账", 'C'}, {"撤销结账", 'U'},
    {"撤销登账", 'D'}, {"撤销审核", 'V'}, {"常用摘要", 'S'}, {"科目管理", 'A'},
    {"账务初始化", 'I'},
    {"查帐", 'L'},     {"总分类账", 'G'}, {"明细分类账", 'D'}, {"日记账", 'J'},
    {"报表", 'R'},     {"编辑报表", 'E'}, {"财务报表", 'S'}, {"常用封面", 'C'},
    {"其它", 'O'},     {"新建用户", 'N'}, {"修改密码", 'P'}, {"备份数据", 'B'},
    {"恢复数据", 'R'}, {"核对账目", 'K'}, {"上机日志", 'L'},
    {"帮助", 'H'},     {"关于软件", 'A'},
};

// The caption shown, its letter after the last character that is not a
// blank: "  套 账(&S)  ", "退    出(&X)".
QString withMnemonic(const QString& caption) {
    const QString name = withoutBlanks(caption);
    for (const Mnemonic& m : kMnemonics) {
        if (name != QString::fromUtf8(m.name)) continue;
        qsizetype end = caption.size();
        while (end > 0 && caption.at(end - 1) == QLatin1Char(' ')) --end;
        return caption.left(end) + QStringLiteral("(&") + QLatin1Char(m.letter) +
               QLatin1Char(')') + caption.mid(end);
    }
    return caption;
}

}  // namespace

MainWindow::MainWindow(AppContext& ctx, QWidget* parent) : QMainWindow(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("主窗口"));
    setWindowTitle(QString::fromUtf8(kStartTitle));
    setWindowIcon(programIcon());

    m_picture = new PictureLabel(this);
    m_picture->setObjectName(QStringLiteral("主窗口图片框"));
    m_picture->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_picture->setFixedHeight(110);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->setSpacing(12);
    layout->addWidget(m_picture);
    layout->addWidget(buildButtonPanel());
    layout->addStretch();
    setCentralWidget(central);

    buildMenu();
    auto* dirLabel = new QLabel(
        QStringLiteral("套账目录：") + QString::fromStdString(pathText(m_ctx.session.dataDir)),
        this);
    dirLabel->setObjectName(QStringLiteral("套账目录标签"));
    statusBar()->addWidget(dirLabel);
    m_ctx.refreshTitle = [this] { refreshTitle(); };
    resize(880, sizeHint().height());

    // A login to a set that is not enabled yet leads into its opening balances.
    m_ctx.openOpeningBalances = [this](QWidget* over) { runOpeningBalanceWindow(m_ctx, over); };
    // The report window leads into the statements of the same books.
    m_ctx.openStatements = [this](QWidget* over) { runStatementsWindow(m_ctx, over); };
    // The voucher window prints its page through the page grid.
    m_ctx.printVoucherPage = [this](QWidget* over, const VoucherPageTexts& page) {
        printVoucherPage(m_ctx, over, page);
    };
}

void MainWindow::buildMenu() {
    struct Item {
        const char* caption;  // "" is a separator
        void (MainWindow::*handler)();
        const char* keys = nullptr;  // its accelerator (QKeySequence text)
    };
    struct Menu {
        const char* title;
        std::initializer_list<Item> items;
    };
    const Menu menus[] = {
        {"  套 账  ",
         {{"新建套账", &MainWindow::onNewSet, "Ctrl+N"},
          {"打开套账", &MainWindow::onOpenSet, "Ctrl+O"},
          {"关闭套账", &MainWindow::onCloseSet, "Ctrl+W"},
          {"管理套账", &MainWindow::onManageSet, "Ctrl+M"},
          {"套账选项", &MainWindow::onSetOptions},
          {"", nullptr},
          {"退    出", &MainWindow::onExit, "Ctrl+Q"}}},
        {"  做 账  ",
         {{"编制凭证", &MainWindow::onVoucherEntry, "F2"},
          {"审核凭证", &MainWindow::onVoucherReview, "F3"},
          {"查阅凭证", &MainWindow::onVoucherBrowse, "Ctrl+F"},
          {"", nullptr},
          {"凭证登账", &MainWindow::onPosting, "F5"},
          {"结转损益", &MainWindow::onCarryForward, "F6"},
          {"期末结账", &MainWindow::onPeriodClose, "F7"},
          {"", nullptr},
          {"撤销结账", &MainWindow::onUndoClose},
          {"撤销登账", &MainWindow::onUndoPosting},
          {"撤销审核", &MainWindow::onUndoReview},
          {"", nullptr},
          {"常用摘要", &MainWindow::onSummaryPhrases, "F8"},
          {"科目管理", &MainWindow::onChartOfAccounts, "F9"},
          {"账务初始化", &MainWindow::onAccountInit}}},
        {"  查  帐  ",
         {{"总分类账", &MainWindow::onGeneralLedger, "Ctrl+G"},
          {"明细分类账", &MainWindow::onDetailLedger, "Ctrl+L"},
          {"日记账", &MainWindow::onJournal, "Ctrl+J"}}},
        {"  报  表  ",
         {{"编辑报表", &MainWindow::onEditReport, "Ctrl+R"},
          {"财务报表", &MainWindow::onStatements, "Ctrl+T"},
          {"", nullptr},
          {"常用封面", &MainWindow::onCoverPage}}},
        {"  其 它  ",
         {{"新建用户", &MainWindow::onNewUser},
          {"修改密码", &MainWindow::onChangePassword},
          {"", nullptr},
          {"备份数据", &MainWindow::onBackup, "Ctrl+B"},
          {"恢复数据", &MainWindow::onRestore},
          {"", nullptr},
          {"核对账目", &MainWindow::onCheckBooks},
          {"上机日志", &MainWindow::onActionLog}}},
        {"  帮  助  ", {{"关于软件", &MainWindow::onAbout, "F1"}}},
    };
    for (const Menu& m : menus) {
        const QString title = QString::fromUtf8(m.title);
        QMenu* menu = menuBar()->addMenu(withMnemonic(title));
        menu->setObjectName(withoutBlanks(title));
        for (const Item& item : m.items) {
            if (!item.handler) {
                menu->addSeparator();
                continue;
            }
            const QString caption = QString::fromUtf8(item.caption);
            QAction* action = menu->addAction(withMnemonic(caption));
            action->setObjectName(withoutBlanks(caption));
            if (item.keys) action->setShortcut(QKeySequence(QString::fromLatin1(item.keys)));
            connect(action, &QAction::triggered, this, item.handler);
        }
    }
    // F10 opens the menu bar, for the arrows and Enter to go on.
    auto* menuKey = new QShortcut(QKeySequence(Qt::Key_F10), this);
    connect(menuKey, &QShortcut::activated, this, [this] {
        const auto menus = menuBar()->actions();
        if (!menus.isEmpty()) menuBar()->setActiveAction(menus.first());
    });
}

QToolButton* MainWindow::addPictureButton(const char* objectName, const char* text,
                                          PictureIcon icon) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromUtf8(objectName));
    button->setText(QString::fromUtf8(text));
    button->setIcon(pictureIcon(icon));
    button->setIconSize(QSize(48, 48));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setFixedSize(92, 84);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

QWidget* MainWindow::buildButtonPanel() {
    m_voucherEntryButton = addPictureButton("编制凭证按钮", "编制凭证", PictureIcon::VoucherEntry);
    m_voucherReviewButton =
        addPictureButton("审核凭证按钮", "审核凭证", PictureIcon::VoucherReview);
    m_voucherSearchButton =
        addPictureButton("查找凭证按钮", "查找凭证", PictureIcon::VoucherSearch);
    m_printWizardButton =
        addPictureButton("打印向导凭证按钮", "打印向导", PictureIcon::PrintWizard);
    m_postingButton = addPictureButton("凭证登账按钮", "凭证登账", PictureIcon::Posting);
    m_carryForwardButton = addPictureButton("结转损益按钮", "结转损益", PictureIcon::CarryForward);
    m_periodCloseButton = addPictureButton("期末结账按钮", "期末结账", PictureIcon::PeriodClose);
    m_generalLedgerButton =
        addPictureButton("总分类账按钮", "总分类账", PictureIcon::GeneralLedger);
    m_detailLedgerButton =
        addPictureButton("明细分类账按钮", "明细分类账", PictureIcon::DetailLedger);
    m_journalButton = addPictureButton("日记账按钮", "日记账", PictureIcon::Journal);
    m_reportButton = addPictureButton("报表按钮", "报表", PictureIcon::Report);
    m_cashReceiptButton = addPictureButton("收现按钮", "收现", PictureIcon::CashReceipt);
    m_cashPaymentButton = addPictureButton("支现按钮", "支现", PictureIcon::CashPayment);
    m_bankReceiptButton = addPictureButton("收银按钮", "收银", PictureIcon::BankReceipt);
    m_bankPaymentButton = addPictureButton("支银按钮", "支银", PictureIcon::BankPayment);

    connect(m_voucherEntryButton, &QToolButton::clicked, this, &MainWindow::onVoucherEntry);
    connect(m_voucherReviewButton, &QToolButton::clicked, this, &MainWindow::onVoucherReview);
    connect(m_voucherSearchButton, &QToolButton::clicked, this, &MainWindow::onVoucherBrowse);
    connect(m_postingButton, &QToolButton::clicked, this, &MainWindow::onPosting);
    connect(m_carryForwardButton, &QToolButton::clicked, this, &MainWindow::onCarryForward);
    connect(m_periodCloseButton, &QToolButton::clicked, this, &MainWindow::onPeriodClose);
    connect(m_generalLedgerButton, &QToolButton::clicked, this, &MainWindow::onGeneralLedger);
    connect(m_detailLedgerButton, &QToolButton::clicked, this, &MainWindow::onDetailLedger);
    connect(m_journalButton, &QToolButton::clicked, this, &MainWindow::onJournal);
    connect(m_reportButton, &QToolButton::clicked, this, &MainWindow::onEditReport);
    // The cashier window opens when the mouse is released over its button,
    // which is exactly when clicked() is emitted (released() also fires when
    // the pointer is dragged off the pressed button).
    connect(m_cashReceiptButton, &QToolButton::clicked, this, &MainWindow::onCashReceipt);
    connect(m_cashPaymentButton, &QToolButton::clicked, this, &MainWindow::onCashPayment);
    connect(m_bankReceiptButton, &QToolButton::clicked, this, &MainWindow::onBankReceipt);
    connect(m_bankPaymentButton, &QToolButton::clicked, this, &MainWindow::onBankPayment);
    // Each picture button says its key in its tooltip: the key of its menu
    // item, or, for the cashier buttons, one of their own.
    struct Keyed {
        QToolButton* button;
        const char* keys;
        bool own;
    };
    const Keyed keyed[] = {
        {m_voucherEntryButton, "F2", false},     {m_voucherReviewButton, "F3", false},
        {m_voucherSearchButton, "Ctrl+F", false}, {m_postingButton, "F5", false},
        {m_carryForwardButton, "F6", false},     {m_periodCloseButton, "F7", false},
        {m_generalLedgerButton, "Ctrl+G", false}, {m_detailLedgerButton, "Ctrl+L", false},
        {m_journalButton, "Ctrl+J", false},      {m_reportButton, "Ctrl+R", false},
        {m_cashReceiptButton, "Ctrl+1", true},   {m_cashPaymentButton, "Ctrl+2", true},
        {m_bankReceiptButton, "Ctrl+3", true},   {m_bankPaymentButton, "Ctrl+4", true}};
    for (const Keyed& k : keyed) {
        const QKeySequence sequence(QString::fromLatin1(k.keys));
        k.button->setToolTip(k.button->text() + QStringLiteral("（") +
                             sequence.toString(QKeySequence::NativeText) + QStringLiteral("）"));
        if (!k.own) continue;
        auto* shortcut = new QShortcut(sequence, this);
        connect(shortcut, &QShortcut::activated, k.button, [b = k.button] {
            if (b->isEnabled()) b->click();
        });
    }
    // 打印向导凭证按钮 carries no command; its tooltip says where printing is.
    m_printWizardButton->setToolTip(QStringLiteral(
        "打印凭证：在“查找凭证”中按条件查找，再按“打印全部”。\n打印账页：在“明细分类账”或“总分类账”中列出后按“打印”。"));

    auto group = [this](const char* title, std::initializer_list<QToolButton*> buttons) {
        auto* box = new QGroupBox(QString::fromUtf8(title), this);
        auto* row = new QHBoxLayout(box);
        row->setSpacing(4);
        for (QToolButton* b : buttons) row->addWidget(b);
        row->addStretch();
        return box;
    };
    auto* panel = new QWidget(this);
    auto* grid = new QGridLayout(panel);
    grid->setContentsMargins(16, 0, 16, 0);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(14);
    grid->addWidget(group("凭证", {m_voucherEntryButton, m_voucherReviewButton,
                                   m_voucherSearchButton, m_printWizardButton}),
                    0, 0);
    grid->addWidget(
        group("登账与结账", {m_postingButton, m_carryForwardButton, m_periodCloseButton}), 0, 1);
    grid->addWidget(group("账簿与报表", {m_generalLedgerButton, m_detailLedgerButton,
                                         m_journalButton, m_reportButton}),
                    1, 0);
    grid->addWidget(group("出纳", {m_cashReceiptButton, m_cashPaymentButton, m_bankReceiptButton,
                                   m_bankPaymentButton}),
                    1, 1);
    return panel;
}

void MainWindow::refreshTitle() {
    setWindowTitle(QString::fromStdString(mainWindowTitle(m_ctx.session.login)));
}

void MainWindow::logout() {
    m_ctx.session.login.logout();
    refreshTitle();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!m_ctx.session.login.userName.empty() && m_ctx.prompter.confirm(this, kBackupOffer))
        openBackupWindow();
    event->accept();
}

}  // namespace tw
