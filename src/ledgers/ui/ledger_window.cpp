#include "ledgers/ui/ledger_window.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "accounts/ui/chart_window.h"
#include "ledgers/ledger_export.h"
#include "ledgers/ui/account_range_row.h"
#include "ledgers/ui/export_folder.h"
#include "ledgers/ui/workbook_export.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/date_box.h"
#include "platform/ui/page_grid_widget.h"
#include "platform/ui/page_printing.h"
#include "platform/ui/widget_helpers.h"
#include "storage/dates.h"
#include "storage/record_store.h"
#include "vouchers/ui/voucher_window.h"

namespace tw {

LedgerWindow::LedgerWindow(AppContext& ctx, LedgerMode mode, QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_mode(mode), m_exportFolder(exportFolder()) {
    setObjectName(QStringLiteral("明细账窗口"));
    setWindowTitle(mode == LedgerMode::General ? QStringLiteral("总账") + QStringLiteral("窗口")
                                               : QStringLiteral("明细账窗口"));
    setModal(true);

    auto* list = namedButton(this, "列出");
    auto* print = namedButton(this, "打印");
    auto* exportButton = namedButton(this, "导出");
    connect(list, &QPushButton::clicked, this, &LedgerWindow::onList);
    connect(print, &QPushButton::clicked, this, &LedgerWindow::onPrint);
    connect(exportButton, &QPushButton::clicked, this, &LedgerWindow::onExport);
    auto* folderButton = exportFolderButton(m_ctx, this, m_exportFolder);
    const AccountRangeRow top = makeAccountRangeRow(
        this, m_ctx.prompter, kChooseAccountPrompt, m_ctx.session.login.period,
        [this] { onPickAccount(); }, {list, print, exportButton, folderButton});
    m_account = top.account;
    m_from = top.from;
    m_to = top.to;
    // Enter in a date box lists, as 列出 does.
    for (DateBox* box : {m_from, m_to}) connect(box, &QLineEdit::returnPressed, this, &LedgerWindow::onList);

    m_page = new PageGridWidget(this);
    m_page->setObjectName(QStringLiteral("账页表格"));
    m_page->setGrid(loadLedgerTemplate(m_ctx.session.dataDir));
    connect(m_page, &PageGridWidget::rowClicked, this, &LedgerWindow::onRowClicked);
    QWidget::setTabOrder(folderButton, m_page);  // the page after the row

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top.layout);
    layout->addWidget(m_page, 1);
    resize(m_page->sizeHint().width() + 24, 700);
}

void LedgerWindow::onPickAccount() {
    const std::optional<std::string> picked = pickAccount(m_ctx, this);
    if (picked && !picked->empty()) m_account->setText(qs(*picked));
    m_from->setFocus();
}

std::optional<LedgerRequest> LedgerWindow::request() {
    const std::optional<DayRange> range = checkedRange(*m_from, *m_to);
    if (!range) return std::nullopt;
    return LedgerRequest{m_mode, m_account->text().toStdString(), range->from, range->to};
}

void LedgerWindow::onList() {
    const std::optional<LedgerRequest> asked = request();
    if (!asked) return;
    const LedgerRequest& r = *asked;
    Result<LedgerListing> listed;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        listed = runCaught([&] { return listLedgerPage(store, m_ctx.session, r); });
    }
    m_armed = false;
    m_listed.reset();
    if (listed.ok) {
        m_page->setGrid(std::move(listed.value.page));
        m_listed = r;
        return;
    }
    if (listed.message == kChooseAccountFirst) {
        m_ctx.prompter.showMessage(this, qs(listed.message));
        onPickAccount();
        return;
    }
    // The page is reset to its heading, with no rows, as the table could not be read.
    m_page->setGrid(ledgerPage(loadLedgerTemplate(m_ctx.session.dataDir), ledgerHeading(r), {}));
    m_ctx.prompter.showMessage(this, qs(listed.message));
}

void LedgerWindow::onPrint() {
    const QString name = m_listed ? qs(ledgerJobName(*m_listed))
                                  : QString::fromUtf8(m_mode == LedgerMode::General ? "总账" : "明细账");
    printPreview(this, PrintJob{{m_page->grid()}, name, ledgerFooter(m_ctx.session)});
}

void LedgerWindow::onExport() {
    exportAndOpen(m_ctx, this, m_exportFolder,
                  m_listed ? ledgerExportName(*m_listed) : std::string("账页.xlsx"),
                  [&] { return ledgerWorkbook(m_page->grid()); });
}

void LedgerWindow::onRowClicked(int row) {
    if (!m_armed) {
        m_armed = true;
        return;
    }
    const PageGrid& page = m_page->grid();
    const std::string number = page.text(row, 2);
    double date = 0;
    // Rows of no voucher (openings, totals) and the column heads open nothing;
    // the next click tries again.
    if (number.empty() || number == "编号" || number == "凭证号" ||
        !parseDate(page.text(row, 1), date))
        return;
    m_armed = false;
    VoucherTarget target;  // page 1 of the voucher
    target.date = date;
    target.number = number;
    runVoucherWindow(m_ctx, this, target);
}

void runLedgerWindow(AppContext& ctx, LedgerMode mode, QWidget* parent) {
    LedgerWindow window(ctx, mode, parent);
    window.exec();
}

}  // namespace tw
