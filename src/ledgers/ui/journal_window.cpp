#include "ledgers/ui/journal_window.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "ledgers/journal_import.h"
#include "ledgers/ledger_export.h"
#include "ledgers/ui/account_range_row.h"
#include "ledgers/ui/cashier_window.h"
#include "ledgers/ui/export_folder.h"
#include "ledgers/ui/workbook_export.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/date_box.h"
#include "platform/ui/widget_helpers.h"
#include "storage/dates.h"
#include "storage/record_store.h"

namespace tw {

namespace {

// Columns 2 and 3 (金额, 余额) are numbers and line up on the right.
bool isAmountColumn(int column) { return column == 2 || column == 3; }

}  // namespace

JournalWindow::JournalWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_exportFolder(exportFolder()) {
    setObjectName(QStringLiteral("日记账"));
    setWindowTitle(QStringLiteral("日记账"));
    setModal(true);

    auto* list = namedButton(this, "列出");
    auto* exportButton = namedButton(this, "导出");
    auto* add = namedButton(this, "添加");
    auto* importButton = namedButton(this, "从凭证引入");
    connect(list, &QPushButton::clicked, this, &JournalWindow::onList);
    connect(exportButton, &QPushButton::clicked, this, &JournalWindow::onExport);
    connect(add, &QPushButton::clicked, this, &JournalWindow::onAdd);
    connect(importButton, &QPushButton::clicked, this, &JournalWindow::onImport);
    auto* folderButton = exportFolderButton(m_ctx, this, m_exportFolder);
    // The day book opens on the accounting period's month, as the ledgers do.
    const AccountRangeRow top = makeAccountRangeRow(
        this, ctx.prompter, kJournalAccountPrompt, ctx.session.login.period,
        [this] { onPickAccount(); }, {list, exportButton, add, importButton, folderButton});
    m_account = top.account;
    m_from = top.from;
    m_to = top.to;
    // Enter in a date box lists, as 列出 does.
    for (DateBox* box : {m_from, m_to}) connect(box, &QLineEdit::returnPressed, this, &JournalWindow::onList);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("日记账超级列表框"));
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({QStringLiteral("日期"), QStringLiteral("字"), QStringLiteral("金额"),
                             QStringLiteral("余额"), QStringLiteral("操作"), QStringLiteral("摘要"),
                             QStringLiteral("对应科目")});
    const int widths[7] = {96, 40, 110, 110, 70, 220, 160};
    for (int c = 0; c < 7; ++c) {
        m_list->setColumnWidth(c, widths[c]);
        if (isAmountColumn(c))
            m_list->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    m_list->header()->setStretchLastSection(true);
    QWidget::setTabOrder(folderButton, m_list);  // the list after the row

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top.layout);
    layout->addWidget(m_list, 1);
    resize(900, 520);
}

void JournalWindow::onPickAccount() {
    m_account->setText(qs(pickCashAccount(m_ctx, this)));
    m_from->setFocus(Qt::OtherFocusReason);
}

std::optional<JournalRequest> JournalWindow::request() {
    if (m_account->text() == QString::fromUtf8(kJournalAccountPrompt)) onPickAccount();
    const std::optional<DayRange> range = checkedRange(*m_from, *m_to);
    if (!range) return std::nullopt;
    JournalRequest r;
    r.account = m_account->text().toStdString();
    r.from = range->from;
    r.to = range->to;
    return r;
}

void JournalWindow::onList() {
    if (const std::optional<JournalRequest> asked = request()) showListing(*asked);
}

void JournalWindow::onImport() {
    const std::optional<JournalRequest> asked = request();
    if (!asked) return;
    Result<int> imported;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        imported = runAction(store, [&] { return importVoucherLines(store, m_ctx.session, *asked); });
    }
    if (imported.ok) showListing(*asked);
    m_ctx.prompter.showMessage(this, qs(imported.ok ? importedMessage(imported.value) : imported.message));
}

void JournalWindow::showListing(const JournalRequest& request) {
    m_list->clear();
    m_listed.reset();
    Result<std::vector<JournalLine>> listed;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        listed = runCaught([&] { return listJournal(store, m_ctx.session, request); });
    }
    if (!listed.ok) {
        m_ctx.prompter.showMessage(this, qs(listed.message));
        return;
    }
    QList<QTreeWidgetItem*> items;
    for (const JournalLine& line : listed.value) {
        auto* item = new QTreeWidgetItem;
        for (int c = 0; c < 7; ++c) {
            item->setText(c, qs(line[c]));
            if (isAmountColumn(c)) item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        }
        items << item;
    }
    m_list->addTopLevelItems(items);
    m_listed = request;
}

std::vector<JournalLine> JournalWindow::shownLines() const {
    std::vector<JournalLine> lines;
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = m_list->topLevelItem(i);
        JournalLine line;
        for (int c = 0; c < 7; ++c) line[c] = item->text(c).toStdString();
        lines.push_back(std::move(line));
    }
    return lines;
}

void JournalWindow::onExport() {
    JournalRequest named;
    if (m_listed) {
        named = *m_listed;
    } else {
        // Nothing listed yet: an empty workbook, named after what the boxes show.
        if (m_account->text() != QString::fromUtf8(kJournalAccountPrompt))
            named.account = m_account->text().toStdString();
        named.from = m_from->day().value_or(0);
        named.to = m_to->day().value_or(0);
    }
    exportAndOpen(m_ctx, this, m_exportFolder, journalExportName(named),
                  [&] { return journalWorkbook(shownLines()); });
}

void JournalWindow::onAdd() {
    if (runCashierWindow(m_ctx, this) && m_listed) showListing(*m_listed);
}

void runJournalWindow(AppContext& ctx, QWidget* parent) {
    JournalWindow window(ctx, parent);
    window.exec();
}

}  // namespace tw
