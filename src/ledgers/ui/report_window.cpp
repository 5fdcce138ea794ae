#include "ledgers/ui/report_window.h"

#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ledgers/report.h"
#include "ledgers/ui/export_folder.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "storage/record_store.h"

namespace tw {

namespace {

// A whole decimal number, or nothing.
std::optional<int> wholeNumber(const QString& text) {
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(n) : std::nullopt;
}

}  // namespace

ReportWindow::ReportWindow(AppContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), m_ctx(ctx), m_exportFolder(exportFolder()) {
    setObjectName(QStringLiteral("报表窗口"));
    setWindowTitle(QStringLiteral("编辑报表"));
    setAttribute(Qt::WA_DeleteOnClose);

    const YearMonth shown = YearMonth::of(ctx.session.login.period).previous();
    m_year = new QLineEdit(QString::number(shown.year), this);
    m_year->setObjectName(QStringLiteral("年份编辑框"));
    m_month = new QLineEdit(QString::number(shown.month), this);
    m_month->setObjectName(QStringLiteral("月份编辑框"));
    for (QLineEdit* box : {m_year, m_month}) {
        box->setMaxLength(4);
        box->setFixedWidth(80);
        box->setAlignment(Qt::AlignRight);
    }
    m_month->setMaxLength(2);
    connect(m_year, &QLineEdit::textEdited, this, &ReportWindow::onYearEdited);
    connect(m_month, &QLineEdit::textEdited, this, &ReportWindow::onMonthEdited);

    auto* exportButton = namedButton(this, "导出", "导出Excel报表");
    exportButton->setDefault(true);
    connect(exportButton, &QPushButton::clicked, this, &ReportWindow::onExport);
    auto* folderButton = exportFolderButton(m_ctx, this, m_exportFolder);

    // The statements of the same books, in a window of their own.
    auto* statementsButton = namedButton(this, "财务报表", "财务报表…");
    connect(statementsButton, &QPushButton::clicked, this, [this] {
        if (!m_ctx.session.login.loggedIn) {
            m_ctx.prompter.showMessage(this, QStringLiteral("请先选择套账并登陆！"));
            return;
        }
        if (m_ctx.openStatements) m_ctx.openStatements(this);
    });

    auto* boxes = new QHBoxLayout;
    boxes->addWidget(m_year);
    boxes->addWidget(new QLabel(QStringLiteral("年"), this));
    boxes->addSpacing(8);
    boxes->addWidget(m_month);
    boxes->addWidget(new QLabel(QStringLiteral("月"), this));
    boxes->addStretch();

    auto* hint = new QLabel(QStringLiteral("科目汇总表与试算平衡表写入本月的报表工作簿，"
                                           "总账与分账另存为“总账.xls”“分账.xls”。"),
                            this);
    hint->setWordWrap(true);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("请输入报表的年份和月份："), this));
    layout->addLayout(boxes);
    layout->addWidget(hint);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(statementsButton);
    buttons->addStretch();
    buttons->addWidget(folderButton);
    buttons->addWidget(exportButton);
    layout->addLayout(buttons);
    setFixedWidth(360);
}

void ReportWindow::onYearEdited(const QString& text) {
    if (text.size() >= 4) {
        m_month->setFocus();
        m_month->selectAll();
    }
}

void ReportWindow::onMonthEdited(const QString& text) {
    if (text.isEmpty()) return;
    const auto month = wholeNumber(text);
    if (!month || *month > 12 || *month < 1) m_month->clear();
}

void ReportWindow::onExport() {
    // The window outlives a logout from the main window.
    if (!m_ctx.session.login.loggedIn) {
        m_ctx.prompter.showMessage(this, QStringLiteral("请先选择套账并登陆！"));
        return;
    }
    const auto year = wholeNumber(m_year->text());
    const auto month = wholeNumber(m_month->text());
    if (!year || !month) {
        m_ctx.prompter.showMessage(this, QString::fromUtf8(kNoMonthData));
        return;
    }
    // A folder inside the account-set directory is refused as a folder, before anything is read.
    if (!checkExportFolder(m_ctx, this, m_exportFolder)) return;
    const YearMonth chosen{*year, *month};
    Result<ExportedReport> exported;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        exported = exportMonthReport(store, m_ctx.session, chosen,
                                     monthReportPath(m_exportFolder, chosen));
    }
    if (!exported.ok) {
        m_ctx.prompter.showMessage(this, qs(exported.message));
        return;
    }
    hide();
    openExported(m_ctx, parentWidget(), exported.value.workbook);
    close();
}

void ReportWindow::closeEvent(QCloseEvent* event) {
    if (QWidget* main = parentWidget()) main->activateWindow();
    event->accept();
}

}  // namespace tw
