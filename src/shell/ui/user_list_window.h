#pragma once
// `用户列表窗口`: the users of the open set in table order. Also a picker:
// double-clicking a name picks it (pickedUser()) and closes.

#include <QDialog>
#include <optional>
#include <string>

#include "shell/ui/app_context.h"

class QListWidget;

namespace tw {

class UserListWindow : public QDialog {
    Q_OBJECT
public:
    explicit UserListWindow(AppContext& ctx, QWidget* parent = nullptr);
    const std::optional<std::string>& pickedUser() const { return m_picked; }

private:
    AppContext& m_ctx;
    QListWidget* m_list;
    std::optional<std::string> m_picked;
};

}  // namespace tw
