#include "shell/ui/set_chooser_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "shell/account_sets.h"
#include "shell/set_lock.h"
#include "shell/ui/create_set_window.h"
#include "shell/ui/login_window.h"

namespace tw {

SetChooserWindow::SetChooserWindow(AppContext& ctx, QWidget* parent)
    : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("套账选择窗口"));
    setWindowTitle(QStringLiteral("选择套账"));
    setModal(true);

    auto* prompt = new QLabel(QStringLiteral("请选择要打开的套账："), this);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("套账列表框"));
    m_list->setMinimumSize(260, 220);
    m_list->setSpacing(2);
    m_list->setIconSize(QSize(18, 18));

    auto* open = new QPushButton(QStringLiteral("打开"), this);
    open->setObjectName(QStringLiteral("打开"));
    open->setDefault(true);
    auto* create = new QPushButton(QStringLiteral("新建"), this);
    create->setObjectName(QStringLiteral("新建"));
    auto* remove = new QPushButton(QStringLiteral("删除"), this);
    remove->setObjectName(QStringLiteral("删除"));

    const QIcon folder = style()->standardIcon(QStyle::SP_DirIcon);
    for (const std::string& name : listAccountSets(m_ctx.session.dataDir))
        m_list->addItem(new QListWidgetItem(folder, QString::fromStdString(name)));

    // The selection, not the focus frame a list puts on its first item, names the set.
    connect(m_list, &QListWidget::itemSelectionChanged, this, [this] {
        const auto selected = m_list->selectedItems();
        m_selectedSet = selected.isEmpty() ? std::string() : selected.first()->text().toStdString();
    });
    // The first set is chosen at once: arrows move on from it and Enter
    // (the default button 打开) opens it.
    if (m_list->count() > 0) m_list->setCurrentRow(0);
    m_list->setFocus();
    connect(m_list, &QListWidget::itemDoubleClicked, this, &SetChooserWindow::onOpen);
    connect(open, &QPushButton::clicked, this, &SetChooserWindow::onOpen);
    connect(create, &QPushButton::clicked, this, &SetChooserWindow::onNew);
    connect(remove, &QPushButton::clicked, this, &SetChooserWindow::onDelete);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(open);
    buttons->addWidget(create);
    buttons->addSpacing(16);
    buttons->addWidget(remove);
    buttons->addStretch();
    auto* row = new QHBoxLayout;
    row->addWidget(m_list, 1);
    row->addSpacing(4);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 16);
    layout->addWidget(prompt);
    layout->addLayout(row);
}

void SetChooserWindow::logout() {
    m_ctx.session.login.logout();
    if (m_ctx.refreshTitle) m_ctx.refreshTitle();
}

void SetChooserWindow::onOpen() {
    if (selectedSet().empty()) return;
    LoginWindow::run(m_ctx, selectedSet(), this);
    if (m_ctx.session.login.loggedIn) done(LoggedIn);
}

void SetChooserWindow::onNew() { done(NewSet); }

void SetChooserWindow::onDelete() {
    LoginState& login = m_ctx.session.login;
    const std::string name = selectedSet();
    LoginWindow::run(m_ctx, name, this, LoginPurpose::DeleteSet);
    if (login.loggedIn) {
        const tw::Outcome allowed = checkDeletePermission(login);
        if (!allowed.ok) {
            m_ctx.prompter.showMessage(this, QString::fromStdString(allowed.message));
        } else if (m_ctx.prompter.confirm(this, QString::fromUtf8(kDeleteQuestion) +
                                                    QString::fromStdString(name))) {
            const fs::path& dataDir = m_ctx.session.dataDir;
            const tw::Outcome out =
                underDirectoryLock(dataDir, [&] { return deleteAccountSet(dataDir, login); });
            if (!out.ok) m_ctx.prompter.showMessage(this, QString::fromStdString(out.message));
            login.userName.clear();
            login.loggedIn = false;
            logout();
            done(Reopen);
            return;
        }
    }
    logout();
}

void runSetChooser(AppContext& ctx, QWidget* parent) {
    for (;;) {
        SetChooserWindow chooser(ctx, parent);
        const int outcome = chooser.exec();
        if (outcome == SetChooserWindow::Reopen) continue;
        if (outcome == SetChooserWindow::NewSet && CreateSetWindow::run(ctx, parent)) continue;
        // The login (and the opening balances) closed together with the
        // chooser: the keyboard goes back to the window underneath, which the
        // window manager alone may leave without focus.
        if (parent) parent->activateWindow();
        return;
    }
}

}  // namespace tw
