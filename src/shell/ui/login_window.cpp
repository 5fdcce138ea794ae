#include "shell/ui/login_window.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "accounts/account_codes.h"
#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "shell/login.h"
#include "shell/set_lock.h"

namespace tw {

namespace {

// The user list: arrows move through the names and the focus stays here, so
// that a name can be looked for with the keyboard; a name chosen from the
// drop-down list sends the focus on to the password.
class UserList : public QComboBox {
public:
    using QComboBox::QComboBox;
    bool movingByKeys() const { return m_keys; }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        m_keys = true;
        QComboBox::keyPressEvent(event);
        m_keys = false;
    }
    void wheelEvent(QWheelEvent* event) override {
        m_keys = true;
        QComboBox::wheelEvent(event);
        m_keys = false;
    }

private:
    bool m_keys = false;
};

}  // namespace

LoginWindow::LoginWindow(AppContext& ctx, const std::string& setName, LoginPurpose purpose,
                         QWidget* parent)
    : QDialog(parent), m_ctx(ctx), m_setName(setName), m_purpose(purpose) {
    setObjectName(QStringLiteral("登录窗口"));
    setWindowTitle(QStringLiteral("用户登录"));
    setModal(true);

    auto* heading = new QLabel(QStringLiteral("套账：") + QString::fromStdString(setName), this);
    heading->setObjectName(QStringLiteral("套账名称标签"));
    heading->setTextFormat(Qt::PlainText);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    m_users = new UserList(this);
    m_users->setObjectName(QStringLiteral("用户名选择"));
    m_users->setPlaceholderText(QStringLiteral("请选择用户"));
    m_users->setMinimumWidth(240);

    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("密码框"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setMaxLength(20);

    const OkCancelRow buttons = okCancelRow(this, "登陆");
    m_login = buttons.ok;
    m_login->setDefault(true);

    connect(m_users, &QComboBox::currentIndexChanged, this, &LoginWindow::onUserChosen);
    connect(m_login, &QPushButton::clicked, this, &LoginWindow::onLogin);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight);
    form->addRow(QStringLiteral("用户名："), m_users);
    form->addRow(QStringLiteral("密  码："), m_password);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(heading);
    layout->addSpacing(6);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons.row);
}

void LoginWindow::run(AppContext& ctx, const std::string& setName, QWidget* parent,
                      LoginPurpose purpose) {
    LoginWindow window(ctx, setName, purpose, parent);
    if (window.begin()) window.exec();
    // Nobody logged in: the set taken for the window is free again.
    if (!ctx.session.login.loggedIn) ctx.session.login.setLock.reset();
}

bool LoginWindow::begin() {
    Outcome taken;
    {
        BusyCursor busy;
        taken = takeSet(m_ctx.session.login, m_ctx.session.dataDir, m_setName, m_purpose);
    }
    // Another program works on the set. Nobody is logged in, as after any
    // login window: the chooser must not act on the set that was open.
    if (!taken.ok) {
        m_ctx.session.login.logout();
        if (m_ctx.refreshTitle) m_ctx.refreshTitle();
        m_ctx.prompter.showMessage(parentWidget(), QString::fromStdString(taken.message));
        return false;
    }
    Result<std::vector<std::string>> out;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        out = beginLogin(store, m_ctx.session, m_setName);
    }
    {
        const QSignalBlocker quiet(m_users);
        for (const std::string& name : out.value) m_users->addItem(QString::fromStdString(name));
        m_users->setCurrentIndex(-1);  // nobody is chosen until the user picks a name
    }
    // The only user of a set is chosen already: the password is all that is asked.
    if (m_users->count() == 1) m_users->setCurrentIndex(0);
    else m_users->setFocus();
    if (m_ctx.refreshTitle) m_ctx.refreshTitle();
    if (!out.ok) m_ctx.prompter.showMessage(this, QString::fromStdString(out.message));
    // A set whose 基本信息 cannot be read cannot be logged into at all.
    return out.message != kBasicInfoUnreadable;
}

void LoginWindow::onUserChosen(int index) {
    // A list set back to no row leaves nobody chosen.
    m_chosenUser = index < 0 ? std::string() : m_users->itemText(index).toStdString();
    if (index < 0) return;
    if (!static_cast<UserList*>(m_users)->movingByKeys()) m_password->setFocus();
}

void LoginWindow::onLogin() {
    Result<bool> out;
    {
        BusyCursor busy;
        RecordStore store(m_ctx.session.dataDir);
        const LoginRequest request{.userName = m_chosenUser,
                                   .password = m_password->text().toStdString(),
                                   .purpose = m_purpose,
                                   .recorded = true,
                                   .bringUpToDate = giveAccountCodes};
        out = logIn(store, m_ctx.session, request);
    }
    if (!out.ok) {
        m_ctx.prompter.showMessage(this, QString::fromStdString(out.message));
        m_password->clear();
        m_password->setFocus();
        return;
    }
    if (m_ctx.refreshTitle) m_ctx.refreshTitle();
    accept();
    if (out.value && m_ctx.openOpeningBalances)
        m_ctx.openOpeningBalances(parentWidget());
}

}  // namespace tw
