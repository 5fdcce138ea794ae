#pragma once
// `登录窗口`: a user of the selected set logs in with name and password. A
// successful login fills the login state and the main window's title; outside
// delete mode, a set that is not enabled yet leads on to the opening balances.

#include <QDialog>

#include "shell/ui/app_context.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace tw {

class LoginWindow : public QDialog {
    Q_OBJECT
public:
    LoginWindow(AppContext& ctx, const std::string& setName, QWidget* parent = nullptr);

    // Opens the window modally for `setName` (the chooser's selected set). When
    // the set cannot be read, only the message is shown.
    static void run(AppContext& ctx, const std::string& setName, QWidget* parent);

private:
    // Reads the set and lists its users; false when the window must not open.
    bool begin();
    void onUserChosen(int index);
    void onLogin();

    AppContext& m_ctx;
    std::string m_setName;
    QComboBox* m_users;
    QLineEdit* m_password;
    QPushButton* m_login;
};

}  // namespace tw
