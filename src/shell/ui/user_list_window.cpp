#include "shell/ui/user_list_window.h"

#include <QListWidget>
#include <QVBoxLayout>

#include "shell/users.h"

namespace tw {

UserListWindow::UserListWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("用户列表窗口"));
    setWindowTitle(QStringLiteral("用户列表"));
    setModal(true);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("用户列表框"));
    m_list->setMinimumSize(200, 220);
    const LoginState& login = m_ctx.session.login;
    for (const std::string& name :
         listUsers(m_ctx.session.dataDir, login.setName, login.setPassword).names)
        m_list->addItem(QString::fromStdString(name));
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        m_ctx.session.pickedUserName = item->text().toStdString();
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_list);
}

}  // namespace tw
