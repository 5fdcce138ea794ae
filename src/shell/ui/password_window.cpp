#include "shell/ui/password_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "shell/users.h"

namespace tw {

PasswordWindow::PasswordWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("密码修改窗口"));
    setWindowTitle(QStringLiteral("修改密码"));
    setModal(true);

    auto box = [this](const char* name) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromUtf8(name));
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(20);
        edit->setMinimumWidth(200);
        return edit;
    };
    m_old = box("原密码编辑框");
    m_new = box("新密码编辑框");
    m_repeat = box("重复新编辑框");

    const OkCancelRow buttons = okCancelRow(this);
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &PasswordWindow::onConfirm);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(QStringLiteral("原密码："), m_old);
    form->addRow(QStringLiteral("新密码："), m_new);
    form->addRow(QStringLiteral("重复新密码："), m_repeat);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons.row);
}

void PasswordWindow::onConfirm() {
    Outcome out;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        out = changePassword(store, m_ctx.session, m_old->text().toStdString(),
                             m_new->text().toStdString(), m_repeat->text().toStdString());
    }
    m_ctx.prompter.showMessage(this, QString::fromStdString(out.message));
    if (out.ok) accept();
}

}  // namespace tw
