#pragma once
// `备份与恢复窗口`: backs the open set up into a ZIP archive or restores it
// from one. `确定` stays disabled until `备份单选框` or `恢复单选框` is chosen;
// afterwards, whatever happened, the user is logged out and the window closes.

#include <QDialog>

#include "app/app_context.h"

class QPushButton;
class QRadioButton;

namespace tw {

class BackupWindow : public QDialog {
    Q_OBJECT
public:
    explicit BackupWindow(AppContext& ctx, QWidget* parent = nullptr);

private:
    void onConfirm();

    AppContext& m_ctx;
    QRadioButton* m_backup;
    QRadioButton* m_restore;
    QPushButton* m_confirm;
};

}  // namespace tw
