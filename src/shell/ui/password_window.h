#pragma once
// `密码修改窗口`: the logged-in user changes the own password.

#include <QDialog>

#include "shell/ui/app_context.h"

class QLineEdit;

namespace tw {

class PasswordWindow : public QDialog {
    Q_OBJECT
public:
    explicit PasswordWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    void onConfirm();

    AppContext& m_ctx;
    QLineEdit* m_old;
    QLineEdit* m_new;
    QLineEdit* m_repeat;
};

}  // namespace tw
