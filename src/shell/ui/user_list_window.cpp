#include "shell/ui/user_list_window.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "shell/login.h"

namespace tw {

UserListWindow::UserListWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("用户列表窗口"));
    setWindowTitle(QStringLiteral("用户列表"));
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("用户列表框"));
    m_list->setMinimumSize(200, 220);
    RecordStore store(m_ctx.session.dataDir);
    const auto names = runCaught([&] { return userNames(store, m_ctx.session); });
    if (!names.ok) m_ctx.prompter.showMessage(this, QString::fromStdString(names.message));
    for (const std::string& name : names.value) m_list->addItem(QString::fromStdString(name));
    // Picked by a double-click, or from the keyboard: arrows, then Enter.
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    connect(m_list, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        m_picked = item->text().toStdString();
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
}

}  // namespace tw
