#pragma once
// `登录窗口`: a user of the selected set logs in with name and password. A
// successful login fills the login state and the main window's title; a login
// to work in a set that is not enabled yet leads on to the opening balances,
// one that authorises deleting the set never does.

#include <QDialog>

#include "shell/login.h"
#include "shell/ui/app_context.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tw {

class LoginWindow : public QDialog {
    Q_OBJECT
public:
    LoginWindow(AppContext& ctx, const std::string& setName, LoginPurpose purpose,
                QWidget* parent = nullptr);

    // Opens the window modally for `setName` (the chooser's selected set), for
    // a login of `purpose`. When the set cannot be read, only the message is
    // shown.
    static void run(AppContext& ctx, const std::string& setName, QWidget* parent,
                    LoginPurpose purpose = LoginPurpose::Work);

    // The name picked in `用户名选择`; empty while nobody is picked.
    const std::string& chosenUser() const { return m_chosenUser; }

private:
    // Reads the set and lists its users; false when the window must not open.
    bool begin();
    void onUserChosen(int index);
    void onLogin();

    AppContext& m_ctx;
    std::string m_setName;
    LoginPurpose m_purpose;
    std::string m_chosenUser;
    QComboBox* m_users;
    QLineEdit* m_password;
    QPushButton* m_login;
};

}  // namespace tw
