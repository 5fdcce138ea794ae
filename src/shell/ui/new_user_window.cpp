#include "shell/ui/new_user_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/widget_helpers.h"
#include "shell/ui/user_list_window.h"
#include "shell/users.h"

namespace tw {

NewUserWindow::NewUserWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("新建用户窗口"));
    setWindowTitle(QStringLiteral("新建用户"));
    setModal(true);

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("用户名编辑框"));
    m_name->setMinimumWidth(200);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("用户密码编辑框"));
    m_passwordCheck = new QLineEdit(this);
    m_passwordCheck->setObjectName(QStringLiteral("用户密码效验编辑框"));
    for (QLineEdit* box : {m_password, m_passwordCheck}) {
        box->setEchoMode(QLineEdit::Password);
        box->setMaxLength(20);
    }

    // 用户列表 stands left of 确定, and Tab follows.
    auto* list = new QPushButton(QStringLiteral("用户列表"), this);
    list->setObjectName(QStringLiteral("用户列表"));
    auto* confirm = namedButton(this, "确定");
    confirm->setDefault(true);
    connect(confirm, &QPushButton::clicked, this, &NewUserWindow::onConfirm);
    connect(list, &QPushButton::clicked, this, [this] {
        UserListWindow window(m_ctx, this);
        window.exec();
    });

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(QStringLiteral("用户名："), m_name);
    form->addRow(QStringLiteral("密码："), m_password);
    form->addRow(QStringLiteral("密码效验："), m_passwordCheck);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(list);
    buttons->addStretch();
    buttons->addWidget(confirm);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons);
}

void NewUserWindow::onConfirm() {
    const NewUserRequest request{m_name->text().toStdString(), m_password->text().toStdString(),
                                 m_passwordCheck->text().toStdString()};
    RecordStore store(m_ctx.session.dataDir);
    const auto checked = checkNewUser(store, m_ctx.session, request);
    if (!checked.ok) {
        m_ctx.prompter.showMessage(this, QString::fromStdString(checked.message));
        return;
    }
    if (!m_ctx.prompter.confirm(this, QString::fromStdString(newUserQuestion(checked.value))))
        return;
    const Outcome added = addUser(store, m_ctx.session, request);
    m_ctx.prompter.showMessage(this, QString::fromStdString(added.message));
    if (!added.ok) return;
    m_name->clear();
    m_password->clear();
    m_passwordCheck->clear();
}

}  // namespace tw
