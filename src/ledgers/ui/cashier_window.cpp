#include "ledgers/ui/cashier_window.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>

#include "accounts/account_names.h"
#include "accounts/ui/chart_window.h"
#include "accounts/ui/phrase_window.h"
#include "ledgers/journal.h"
#include "ledgers/journal_import.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/date_box.h"
#include "platform/ui/widget_helpers.h"
#include "storage/dates.h"
#include "storage/number_text.h"
#include "storage/record_store.h"
#include "vouchers/ui/amount_dialog.h"

namespace tw {

namespace {

QLineEdit* lineBox(QWidget* parent, const char* name, bool readOnly) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setReadOnly(readOnly);
    if (readOnly) box->setCursor(Qt::PointingHandCursor);
    return box;
}

}  // namespace

// ---- 收付科目窗口 ----

CashAccountWindow::CashAccountWindow(const std::vector<std::string>& accounts, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("收付科目窗口"));
    setWindowTitle(QStringLiteral("选择收付科目"));
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("收付科目列表框"));
    m_list->setMinimumSize(280, 240);
    for (const std::string& name : accounts) m_list->addItem(qs(name));
    connect(m_list, &QListWidget::itemClicked, this, &CashAccountWindow::choose);
    connect(m_list, &QListWidget::itemActivated, this, &CashAccountWindow::choose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
}

void CashAccountWindow::choose(QListWidgetItem* item) {
    if (!item) return;
    m_chosen = item->text().toStdString();
    accept();
}

std::string pickCashAccount(AppContext& ctx, QWidget* parent) {
    Result<std::vector<std::string>> accounts;
    {
        RecordStore store(ctx.session.dataDir);
        accounts = runCaught([&] { return cashAndBankAccounts(store, ctx.session); });
    }
    if (!accounts.ok) {
        ctx.prompter.showMessage(parent, qs(accounts.message));
        return {};
    }
    CashAccountWindow window(accounts.value, parent);
    window.exec();
    return window.chosen();
}

std::string presetCashAccount(const std::vector<std::string>& accounts, const std::string& base) {
    const std::vector<std::string> leaves = leavesAtOrBelow(accounts, base);
    return leaves.size() == 1 ? leaves.front() : std::string();
}

// ---- 出纳窗口 ----

CashierWindow::CashierWindow(AppContext& ctx, QWidget* parent, const CashierPreset& preset)
    : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("出纳窗口"));
    setWindowTitle(QStringLiteral("出纳"));
    setModal(true);

    m_receipt = new QRadioButton(QStringLiteral("收"), this);
    m_receipt->setObjectName(QStringLiteral("收单选框"));
    m_payment = new QRadioButton(QStringLiteral("付"), this);
    m_payment->setObjectName(QStringLiteral("付单选框"));
    auto* kinds = new QButtonGroup(this);
    kinds->addButton(m_receipt);
    kinds->addButton(m_payment);
    for (QRadioButton* r : {m_receipt, m_payment})
        connect(r, &QRadioButton::toggled, this, [this](bool on) {
            if (on) onKindChosen();
        });

    m_account = lineBox(this, "收付科目编辑框", true);
    whenClicked(m_account, [this] { onPickAccount(); });
    m_amount = lineBox(this, "金额编辑框", false);
    m_amount->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_summary = lineBox(this, "摘要编辑框", false);
    m_counter = lineBox(this, "对方科目编辑框", true);
    m_counter->setText(QString::fromUtf8(kCounterAccountHint));
    whenClicked(m_counter, [this] { onPickCounterAccount(); });
    m_date = new DateBox(ctx.prompter, QStringLiteral("日期框"), this);
    // Today when it lies in the accounting period's month, else that month's first day.
    const double now = today(), period = ctx.session.login.period;
    m_date->setDay(firstDayOfMonth(now) == firstDayOfMonth(period) ? now : firstDayOfMonth(period));

    m_check = namedButton(this, "检查");
    m_save = namedButton(this, "保存");
    m_save->setEnabled(false);
    connect(m_check, &QPushButton::clicked, this, &CashierWindow::onCheck);
    connect(m_save, &QPushButton::clicked, this, &CashierWindow::onSave);
    m_import = namedButton(this, "从凭证引入");
    m_import->setToolTip(QStringLiteral("把日期所在月份已登账凭证中本科目的收付引入日记账"));
    connect(m_import, &QPushButton::clicked, this, &CashierWindow::onImport);

    auto* top = new QHBoxLayout;
    top->addWidget(m_receipt);
    top->addSpacing(12);
    top->addWidget(m_payment);
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("日期"), this));
    top->addWidget(m_date);

    auto* form = new QGridLayout;
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(8);
    auto label = [this](const char* text) {
        auto* l = new QLabel(QString::fromUtf8(text), this);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return l;
    };
    form->addWidget(label("科目"), 0, 0);
    form->addWidget(m_account, 0, 1, 1, 2);
    form->addWidget(label("金额"), 1, 0);
    form->addWidget(m_amount, 1, 1);
    form->addWidget(new QLabel(QStringLiteral("元"), this), 1, 2);
    form->addWidget(label("摘要："), 2, 0);
    form->addWidget(m_summary, 2, 1, 1, 2);
    form->addWidget(label("对方科目"), 3, 0);
    form->addWidget(m_counter, 3, 1, 1, 2);
    form->setColumnStretch(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_import);
    buttons->addStretch();
    buttons->addWidget(m_check);
    buttons->addWidget(m_save);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(6);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    setTabOrder(m_receipt, m_payment);
    setTabOrder(m_payment, m_date);
    setTabOrder(m_date, m_account);
    setTabOrder(m_account, m_amount);
    setTabOrder(m_amount, m_summary);
    setTabOrder(m_summary, m_counter);
    setTabOrder(m_counter, m_check);
    setTabOrder(m_check, m_save);
    setTabOrder(m_save, m_import);
    for (QWidget* w : std::initializer_list<QWidget*>{m_receipt, m_payment, m_date, m_account, m_amount,
                                                      m_summary, m_counter})
        w->installEventFilter(this);
    m_summary->setToolTip(QStringLiteral("空着时按回车打开常用摘要"));

    m_firstFocus = m_summary;
    if (preset.kind != CashKind::None) {
        // Checked as the button says, without the way through the pickers
        // that a click on 收 or 付 leads.
        QRadioButton* kind = preset.kind == CashKind::Receipt ? m_receipt : m_payment;
        {
            const QSignalBlocker block(kind);
            kind->setChecked(true);
        }
        RecordStore store(ctx.session.dataDir);
        const auto accounts = runCaught([&] { return cashAndBankAccounts(store, ctx.session); });
        if (accounts.ok) m_account->setText(qs(presetCashAccount(accounts.value, preset.account)));
        m_firstFocus = m_account->text().isEmpty() ? static_cast<QWidget*>(m_account) : m_amount;
    }
}

void CashierWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_firstFocus->setFocus(Qt::OtherFocusReason);
}

bool CashierWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        key->modifiers() & ~Qt::KeypadModifier)
        return QDialog::eventFilter(watched, event);
    if (watched == m_account) {
        onPickAccount();
        if (m_account->text().isEmpty()) return true;  // no account chosen: stay
    } else if (watched == m_counter) {
        onPickCounterAccount();
    } else if (watched == m_summary && m_summary->text().isEmpty()) {
        if (const std::optional<std::string> summary = pickSummary(m_ctx, this))
            m_summary->setText(qs(*summary));
    }
    setAttribute(Qt::WA_KeyboardFocusChange);  // the focus frame shows where Enter went
    focusNextChild();
    return true;
}

// Choosing 收 or 付 leads through the account, the amount and the summary.
void CashierWindow::onKindChosen() {
    onPickAccount();
    if (const std::optional<double> amount = askAmount(this, m_ctx.prompter))
        m_amount->setText(qs(plainDecimal(*amount)));
    if (const std::optional<std::string> summary = pickSummary(m_ctx, this))
        m_summary->setText(qs(*summary));
}

void CashierWindow::onPickAccount() { m_account->setText(qs(pickCashAccount(m_ctx, this))); }

void CashierWindow::onPickCounterAccount() {
    if (const std::optional<std::string> picked = pickAccount(m_ctx, this))
        m_counter->setText(qs(*picked));
}

void CashierWindow::onCheck() {
    if (!m_receipt->isChecked() && !m_payment->isChecked()) {
        m_ctx.prompter.showMessage(this, QString::fromUtf8(kChooseReceiptOrPayment));
        return;
    }
    m_save->setEnabled(!m_save->isEnabled());
    if (m_save->isEnabled() && focusWidget() == m_check) showKeyboardFocus(m_save);
}

void CashierWindow::onSave() {
    const std::optional<double> day = m_date->checkedDay();
    if (!day) return;
    CashierEntry entry;
    entry.date = *day;
    entry.account = m_account->text().toStdString();
    entry.kind = m_receipt->isChecked()   ? CashKind::Receipt
                 : m_payment->isChecked() ? CashKind::Payment
                                          : CashKind::None;
    entry.amountText = m_amount->text().toStdString();
    entry.summary = m_summary->text().toStdString();
    entry.counterAccount = m_counter->text().toStdString();

    RecordStore store(m_ctx.session.dataDir);
    const Result<JournalEntry> saved =
        runAction(store, [&] { return saveCashierEntry(store, m_ctx.session, entry); });
    if (!saved.ok) {
        m_ctx.prompter.showMessage(this, qs(saved.message));
        return;
    }
    accept();
}

void CashierWindow::onImport() {
    const std::optional<double> day = m_date->checkedDay();
    if (!day) return;
    JournalRequest request;
    request.account = m_account->text().toStdString();
    request.from = firstDayOfMonth(*day);
    request.to = lastDayOfMonth(*day);
    Result<int> imported;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        imported = runAction(store, [&] { return importVoucherLines(store, m_ctx.session, request); });
    }
    if (imported.ok && imported.value > 0) m_broughtIn = true;
    m_ctx.prompter.showMessage(this, qs(imported.ok ? importedMessage(imported.value) : imported.message));
}

bool runCashierWindow(AppContext& ctx, QWidget* parent, const CashierPreset& preset) {
    CashierWindow window(ctx, parent, preset);
    const bool saved = window.exec() == QDialog::Accepted;
    return saved || window.broughtIn();
}

}  // namespace tw
