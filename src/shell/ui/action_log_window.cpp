#include "shell/ui/action_log_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <optional>
#include <utility>

#include "platform/ui/busy_cursor.h"
#include "platform/ui/date_box.h"
#include "platform/ui/prompter.h"
#include "platform/ui/widget_helpers.h"
#include "shell/account_sets.h"
#include "shell/action_log.h"

namespace tw {

namespace {
const QString kEveryone = QStringLiteral("全部用户");
}  // namespace

ActionLogWindow::ActionLogWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("上机日志窗口"));
    setWindowTitle(QStringLiteral("上机日志"));
    setModal(true);

    m_user = new QComboBox(this);
    m_user->setObjectName(QStringLiteral("用户筛选框"));
    m_user->addItem(kEveryone);
    m_user->setMinimumWidth(140);
    m_from = new DateBox(m_ctx.prompter, QStringLiteral("起始日期框"), this);
    m_to = new DateBox(m_ctx.prompter, QStringLiteral("截至日期框"), this);
    auto* query = namedButton(this, "查询");
    query->setDefault(true);
    connect(query, &QPushButton::clicked, this, &ActionLogWindow::list);

    m_entries = new QTreeWidget(this);
    m_entries->setObjectName(QStringLiteral("上机日志列表框"));
    m_entries->setHeaderLabels({QStringLiteral("时间"), QStringLiteral("用户"), QStringLiteral("操作"),
                                QStringLiteral("内容")});
    m_entries->setRootIsDecorated(false);
    m_entries->setAlternatingRowColors(true);
    m_entries->setMinimumSize(720, 360);
    m_entries->header()->resizeSection(0, 150);
    m_entries->header()->resizeSection(1, 100);
    m_entries->header()->resizeSection(2, 100);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("条数标签"));

    auto* close = namedButton(this, "关闭");
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("用户："), this));
    filters->addWidget(m_user);
    filters->addSpacing(12);
    filters->addWidget(new QLabel(QStringLiteral("日期："), this));
    filters->addWidget(m_from);
    filters->addWidget(new QLabel(QStringLiteral("至"), this));
    filters->addWidget(m_to);
    filters->addWidget(query);
    filters->addStretch();
    auto* foot = new QHBoxLayout;
    foot->addWidget(m_count);
    foot->addStretch();
    foot->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(m_entries, 1);
    layout->addLayout(foot);
    list();
}

void ActionLogWindow::list() {
    LogFilter filter;
    if (m_user->currentIndex() > 0) filter.user = m_user->currentText().toStdString();
    for (const auto& [box, bound] : {std::pair{m_from, &filter.from}, std::pair{m_to, &filter.to}}) {
        if (box->text().trimmed().isEmpty()) continue;
        const std::optional<double> day = box->checkedDay();
        if (!day) return;
        *bound = *day;
    }
    Result<ActionLog> read;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        read = runCaught([&] { return readActionLog(store, m_ctx.session, filter); });
    }
    m_entries->clear();
    m_count->clear();
    if (!read.ok) {
        m_ctx.prompter.showMessage(this, qs(read.message));
        return;
    }
    // The users the log names now, the one chosen kept.
    {
        const QString chosen = m_user->currentIndex() > 0 ? m_user->currentText() : QString();
        const QSignalBlocker quiet(m_user);
        m_user->clear();
        m_user->addItem(kEveryone);
        for (const std::string& name : read.value.users) m_user->addItem(qs(name));
        const int at = chosen.isEmpty() ? 0 : m_user->findText(chosen);
        m_user->setCurrentIndex(at < 0 ? 0 : at);
    }
    QList<QTreeWidgetItem*> rows;
    for (const LogEntry& e : read.value.entries)
        rows << new QTreeWidgetItem(
            QStringList{qs(momentText(e.time)), qs(e.user), qs(e.what), qs(e.detail)});
    m_entries->addTopLevelItems(rows);
    m_entries->scrollToBottom();
    m_count->setText(QStringLiteral("共 %1 条").arg(rows.size()));
}

void runActionLogWindow(AppContext& ctx, QWidget* parent) {
    if (const Outcome allowed = checkAdministrator(ctx.session.login); !allowed) {
        ctx.prompter.showMessage(parent, qs(allowed.message));
        return;
    }
    ActionLogWindow window(ctx, parent);
    window.exec();
}

}  // namespace tw
