#pragma once
// `新建套账`: the boxes of a new account set. The set-name box refuses, as
// they are typed, the nine characters a file name cannot hold.

#include <QDialog>

#include "shell/ui/app_context.h"

class QLineEdit;

namespace tw {

class DateBox;

class CreateSetWindow : public QDialog {
    Q_OBJECT
public:
    explicit CreateSetWindow(AppContext& ctx, QWidget* parent = nullptr);

    // Opens the window modally; true when a set was made (its success message
    // has been shown, after the window closed).
    static bool run(AppContext& ctx, QWidget* parent);

private:
    void onConfirm();

    AppContext& m_ctx;
    QLineEdit* m_setName;
    QLineEdit* m_company;
    QLineEdit* m_admin;
    QLineEdit* m_password;
    QLineEdit* m_passwordCheck;
    DateBox* m_startDate;
};

}  // namespace tw
