#pragma once
// `用户列表窗口`: the users of the open set in table order. Also a picker:
// double-clicking a name puts it in the session's picked user name and closes.

#include <QDialog>

#include "shell/ui/app_context.h"

class QListWidget;

namespace tw {

class UserListWindow : public QDialog {
    Q_OBJECT
public:
    explicit UserListWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    AppContext& m_ctx;
    QListWidget* m_list;
};

}  // namespace tw
