#pragma once
// 上机日志窗口 (menu 其它 → 上机日志, administrators only): the open set's
// 上机日志 (shell/action_log.h), an entry a row: 时间, 用户, 操作, 内容, the
// newest at the foot. 用户筛选框 (全部用户, or one of the users the log
// names) and the two date boxes (empty: no bound) choose the entries when
// 查询 is pressed; 关闭 closes. Nothing in the set changes.

#include <QDialog>

#include "shell/ui/app_context.h"

class QComboBox;
class QLabel;
class QTreeWidget;

namespace tw {

class DateBox;

class ActionLogWindow : public QDialog {
    Q_OBJECT
public:
    explicit ActionLogWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    // Lists the entries the controls choose; a date box that names no date,
    // or a log that cannot be read, is told and lists nothing.
    void list();

    AppContext& m_ctx;
    QComboBox* m_user;
    DateBox* m_from;
    DateBox* m_to;
    QTreeWidget* m_entries;
    QLabel* m_count;
};

// Opens the window over `parent` for an administrator; tells anybody else
// "您的权限不够！".
void runActionLogWindow(AppContext& ctx, QWidget* parent);

}  // namespace tw
