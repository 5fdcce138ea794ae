#include "closing/ui/check_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "closing/books_check.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "storage/outcome.h"

namespace tw {

namespace {
const char* kWhatIsChecked =
    "核对内容：各数据表完好；账库各科目余额逐行衔接；账库辅1与账库合计相符；"
    "已登账凭证的每一行都有账库记录，账库的每条凭证记录都有凭证；"
    "已结账各月借贷相等、试算平衡、损益类科目结转为零；会计期间与总账库一致。";
}

CheckWindow::CheckWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("核对账目窗口"));
    setWindowTitle(QStringLiteral("核对账目"));
    setModal(true);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("核对结果标签"));
    QFont bold = m_summary->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.15);
    m_summary->setFont(bold);
    auto* what = new QLabel(QString::fromUtf8(kWhatIsChecked), this);
    what->setObjectName(QStringLiteral("核对内容标签"));
    what->setWordWrap(true);
    m_findings = new QListWidget(this);
    m_findings->setObjectName(QStringLiteral("核对结果列表框"));
    m_findings->setAlternatingRowColors(true);
    m_findings->setWordWrap(true);
    m_findings->setMinimumSize(640, 260);

    auto* again = namedButton(this, "重新核对");
    auto* close = namedButton(this, "关闭");
    connect(again, &QPushButton::clicked, this, &CheckWindow::runCheck);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(again);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(what);
    layout->addWidget(m_findings, 1);
    layout->addLayout(buttons);
    runCheck();
    close->setFocus();
}

void CheckWindow::runCheck() {
    m_findings->clear();
    Result<std::vector<std::string>> found;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        found = runCaught([&] { return checkBooks(store, m_ctx.session); });
    }
    if (!found.ok) {
        m_summary->setText(qs(found.message));
        m_summary->setStyleSheet(QStringLiteral("color: #b00020;"));
        return;
    }
    m_summary->setText(qs(checkSummary(found.value)));
    m_summary->setStyleSheet(found.value.empty() ? QStringLiteral("color: #1b5e20;")
                                                 : QStringLiteral("color: #b00020;"));
    for (const std::string& line : found.value) m_findings->addItem(qs(line));
}

}  // namespace tw
