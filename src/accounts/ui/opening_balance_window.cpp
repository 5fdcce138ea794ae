#include "accounts/ui/opening_balance_window.h"

#include <algorithm>

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "accounts/ui/chart_window.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "storage/amount_reader.h"
#include "storage/number_text.h"

namespace tw {

namespace {

QLineEdit* totalBox(QWidget* parent, const char* name) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QString::fromUtf8(name));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight);
    return box;
}

}  // namespace

OpeningBalanceWindow::OpeningBalanceWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("账务初始化窗口"));
    setWindowTitle(QStringLiteral("账务初始化"));
    setModal(true);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("超级列表框"));
    m_list->setColumnCount(5);
    m_list->setHeaderLabels({QStringLiteral("会计科目"), QStringLiteral("期初借方"),
                             QStringLiteral("期初贷方"), QStringLiteral("方向"),
                             QStringLiteral("期初余额")});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    // The account column can be widened by its header's edge; the list
    // scrolls sideways when it no longer fits.
    m_list->header()->setStretchLastSection(true);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Interactive);
    m_list->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_list->setColumnWidth(0, 240);
    for (int c = 1; c <= 4; ++c) {
        m_list->setColumnWidth(c, c == 3 ? 50 : 110);
        m_list->headerItem()->setTextAlignment(
            c, c == 3 ? Qt::Alignment(Qt::AlignCenter) : Qt::AlignRight | Qt::AlignVCenter);
    }
    connect(m_list, &QTreeWidget::itemDoubleClicked, this,
            &OpeningBalanceWindow::onRowDoubleClicked);
    // Enter or F2 on a row opens its amount boxes, as a double-click does.
    m_list->installEventFilter(this);

    m_debitTotal = totalBox(this, "借方合计框");
    m_creditTotal = totalBox(this, "贷方合计框");
    auto* save = namedButton(this, "保存修改");
    auto* settings = namedButton(this, "科目设置");
    m_enable = namedButton(this, "启用套账");
    connect(save, &QPushButton::clicked, this, &OpeningBalanceWindow::onSave);
    connect(settings, &QPushButton::clicked, this, &OpeningBalanceWindow::onChartSettings);
    connect(m_enable, &QPushButton::clicked, this, &OpeningBalanceWindow::onEnable);

    auto* totals = new QGridLayout;
    totals->addWidget(new QLabel(QStringLiteral("借方合计："), this), 0, 0);
    totals->addWidget(m_debitTotal, 0, 1);
    totals->addWidget(new QLabel(QStringLiteral("贷方合计："), this), 0, 2);
    totals->addWidget(m_creditTotal, 0, 3);
    totals->setColumnStretch(1, 1);
    totals->setColumnStretch(3, 1);
    auto* note = new QLabel(QStringLiteral("注：套账启用后，期初金额将不能再修改！"), this);
    note->setObjectName(QStringLiteral("注释标签"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(note);
    buttons->addStretch();
    buttons->addWidget(save);
    buttons->addWidget(settings);
    buttons->addWidget(m_enable);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(totals);
    layout->addLayout(buttons);
    resize(720, 520);

    {
        const BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        const auto rows = runCaught([&] { return loadOpeningList(store, m_ctx.session); });
        m_readable = rows.ok;
        m_rows = rows.value;
        m_saved = m_rows;
        if (!rows.ok) m_loadRefusal = rows.message;
    }
    showList();
    if (!m_readable) m_ctx.prompter.showMessage(this, qs(m_loadRefusal));
}

void OpeningBalanceWindow::showList() {
    m_list->clear();
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        auto* item = new QTreeWidgetItem(m_list);
        for (int c = 1; c <= 4; ++c)
            item->setTextAlignment(
                c, c == 3 ? Qt::Alignment(Qt::AlignCenter) : Qt::AlignRight | Qt::AlignVCenter);
        showRow(static_cast<int>(i));
    }
    showTotals();
    // The name column grows to the longest name, within reason (the user may
    // widen it further); it never shrinks under the user's hand.
    const int current = m_list->columnWidth(0);
    m_list->resizeColumnToContents(0);
    m_list->setColumnWidth(0, std::max(current, std::min(m_list->columnWidth(0) + 12, 420)));
}

void OpeningBalanceWindow::showRow(int index) {
    QTreeWidgetItem* item = m_list->topLevelItem(index);
    const OpeningRow& r = m_rows[index];
    item->setText(0, qs(r.account));
    item->setToolTip(0, qs(r.account));
    item->setText(1, qs(r.debit));
    item->setText(2, qs(r.credit));
    item->setText(3, qs(r.side));
    item->setText(4, qs(r.balance));
}

void OpeningBalanceWindow::showTotals() {
    const OpeningTotals t = openingTotals(m_rows);
    m_debitTotal->setText(qs(t.debit));
    m_creditTotal->setText(qs(t.credit));
    m_enable->setEnabled(t.balanced());
}

bool OpeningBalanceWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2) &&
            m_list->currentItem()) {
            m_list->currentItem()->setSelected(true);
            onRowDoubleClicked();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void OpeningBalanceWindow::onRowDoubleClicked() {
    const auto selected = m_list->selectedItems();
    if (selected.isEmpty()) return;
    const int index = m_list->indexOfTopLevelItem(selected.first());
    OpeningRow& row = m_rows[index];
    if (const std::string refusal = openingAmountRefusal(m_rows, row.account); !refusal.empty()) {
        m_ctx.prompter.showMessage(this, qs(refusal));
        return;
    }
    const QString name = qs(row.account);
    const auto debit = m_ctx.prompter.inputNumber(
        this, QStringLiteral(" 借方"),
        QStringLiteral("科目：") + name + QStringLiteral("  的期初借方金额为......"),
        parseNumber(row.debit));
    const auto credit = m_ctx.prompter.inputNumber(
        this, QStringLiteral(" 贷方"),
        QStringLiteral("科目：") + name + QStringLiteral("  的期初贷方金额为......"),
        parseNumber(row.credit));
    // The amounts as the one amount reader would take them: never rounded silently.
    for (const auto& amount : {debit, credit})
        if (amount)
            if (const std::string refusal = checkAmount(*amount); !refusal.empty()) {
                m_ctx.prompter.showMessage(this, qs(refusal));
                return;
            }
    setRowAmounts(row, debit, credit);
    showRow(index);
    showTotals();
}

bool OpeningBalanceWindow::save() {
    // A list that could not be read is never saved over the tables.
    if (!m_readable) {
        m_ctx.prompter.showMessage(this, qs(m_loadRefusal));
        return false;
    }
    RecordStore store(m_ctx.session.dataDir);
    const Outcome out = runAction(store, [&] { saveOpeningList(store, m_ctx.session, m_rows); });
    if (!out.ok) m_ctx.prompter.showMessage(this, qs(out.message));
    else m_saved = m_rows;
    return out.ok;
}

void OpeningBalanceWindow::onSave() { save(); }

void OpeningBalanceWindow::onChartSettings() {
    // The amounts typed so far are kept before the list is built afresh.
    if (!save()) return;
    ChartWindow chart(m_ctx, this, {}, ChartUse::Settings);
    chart.exec();
    RecordStore store(m_ctx.session.dataDir);
    std::vector<OpeningRow> rows;
    const auto cleared =
        runAction(store, [&] { return refreshOpeningList(store, m_ctx.session, rows); });
    if (cleared.ok) m_rows = m_saved = std::move(rows);
    showList();
    if (!cleared.ok) m_ctx.prompter.showMessage(this, qs(cleared.message));
    else if (!cleared.value.empty())
        m_ctx.prompter.showMessage(this, qs(openingClearedMessage(cleared.value)));
}

void OpeningBalanceWindow::onEnable() {
    if (!save()) return;
    if (!m_ctx.prompter.confirm(this, QStringLiteral("是否启用当前套账？"))) return;
    RecordStore store(m_ctx.session.dataDir);
    const Outcome out = runAction(store, [&] { enableSet(store, m_ctx.session, m_rows); });
    if (!out.ok) {
        m_ctx.prompter.showMessage(this, qs(out.message));
        return;
    }
    m_enabled = true;
    accept();
}

void OpeningBalanceWindow::done(int result) {
    // Amounts typed but not saved are not dropped without a word: 是的 saves
    // them, 不是 leaves them, 取消 (or a failed save) keeps the window open.
    if (!m_enabled && m_readable && m_rows != m_saved) {
        switch (m_ctx.prompter.confirmOrCancel(this, QStringLiteral("是否保存修改？"))) {
        case Prompter::Answer::Cancel:
            return;
        case Prompter::Answer::Yes:
            if (!save()) return;
            break;
        case Prompter::Answer::No:
            break;
        }
    }
    if (!m_enabled) m_ctx.session.login.logout();
    QDialog::done(result);
}

void runOpeningBalanceWindow(AppContext& ctx, QWidget* parent) {
    OpeningBalanceWindow window(ctx, parent);
    window.exec();
    if (!ctx.session.login.loggedIn && ctx.refreshTitle) ctx.refreshTitle();
}

}  // namespace tw
