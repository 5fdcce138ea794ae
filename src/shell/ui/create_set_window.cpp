#include "shell/ui/create_set_window.h"

#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "platform/ui/busy_cursor.h"
#include "platform/ui/date_box.h"
#include "platform/ui/widget_helpers.h"
#include "shell/account_sets.h"
#include "shell/set_lock.h"
#include "storage/dates.h"

namespace tw {

namespace {
QLineEdit* lineEdit(QWidget* parent, const char* name, bool password = false) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf8(name));
    edit->setMinimumWidth(220);
    if (password) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setMaxLength(20);
    }
    return edit;
}
}  // namespace

CreateSetWindow::CreateSetWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("新建套账"));
    setWindowTitle(QStringLiteral("新建套账"));
    setModal(true);

    // Made in the order they stand on screen, which is the order Tab follows.
    m_setName = lineEdit(this, "套账名称编辑框");
    // Anything but \ / : * ? " < > | — the characters a folder name cannot hold.
    m_setName->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QStringLiteral("[^\\\\/:*?\"<>|]*")), m_setName));
    m_company = lineEdit(this, "单位名称编辑框");
    m_startDate = new DateBox(ctx.prompter, QStringLiteral("启用日期框"), this);
    m_startDate->setDay(today());
    m_admin = lineEdit(this, "管理员名编辑框");
    m_password = lineEdit(this, "管理密码编辑框", true);
    m_passwordCheck = lineEdit(this, "密码效验编辑框", true);

    const OkCancelRow buttons = okCancelRow(this);
    buttons.ok->setDefault(true);
    connect(buttons.ok, &QPushButton::clicked, this, &CreateSetWindow::onConfirm);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->setVerticalSpacing(8);
    form->addRow(QStringLiteral("套账名称："), m_setName);
    form->addRow(QStringLiteral("单位名称："), m_company);
    form->addRow(QStringLiteral("启用日期："), m_startDate);
    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    form->addRow(line);
    form->addRow(QStringLiteral("管理员名："), m_admin);
    form->addRow(QStringLiteral("管理密码："), m_password);
    form->addRow(QStringLiteral("密码效验："), m_passwordCheck);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(18, 16, 18, 14);
    layout->addLayout(form);
    layout->addSpacing(10);
    layout->addLayout(buttons.row);
}

bool CreateSetWindow::run(AppContext& ctx, QWidget* parent) {
    CreateSetWindow window(ctx, parent);
    if (window.exec() != QDialog::Accepted) return false;
    ctx.prompter.showMessage(parent, QString::fromUtf8(kSetCreated));
    return true;
}

void CreateSetWindow::onConfirm() {
    const std::optional<double> start = m_startDate->checkedDay();
    if (!start) return;
    const NewSetRequest request{m_setName->text().toStdString(),
                                m_company->text().toStdString(),
                                m_admin->text().toStdString(),
                                m_password->text().toStdString(),
                                m_passwordCheck->text().toStdString(),
                                *start};
    Result<CreatedSet> out;
    {
        BusyCursor busy;
        const fs::path& dataDir = m_ctx.session.dataDir;
        out = underDirectoryLock(dataDir, [&] { return createAccountSet(dataDir, request); });
    }
    if (!out.ok) {
        m_ctx.prompter.showMessage(this, QString::fromStdString(out.message));
        return;
    }
    accept();
}

}  // namespace tw
