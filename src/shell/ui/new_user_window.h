#pragma once
// `新建用户窗口`: a logged-in user adds a user (permission 2) to the open set.
// The window stays open for the next user; `用户列表` shows who exists.

#include <QDialog>

#include "shell/ui/app_context.h"

class QLineEdit;

namespace tw {

class NewUserWindow : public QDialog {
    Q_OBJECT
public:
    explicit NewUserWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    void onConfirm();

    AppContext& m_ctx;
    QLineEdit* m_name;
    QLineEdit* m_password;
    QLineEdit* m_passwordCheck;
};

}  // namespace tw
