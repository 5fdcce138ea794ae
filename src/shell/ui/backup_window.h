#pragma once
// `备份与恢复窗口`: backs the open set up into a ZIP archive or restores it
// from one. `确定` stays disabled until `备份单选框` or `恢复单选框` is chosen;
// the save dialog suggests "<set name>-<yyyymmdd>.zip" in the folder of the
// archive last backed up to or restored from (remembered between runs; the
// home folder at first), where the open dialog starts too. A success says
// so and names the file; afterwards, whatever happened, the user is logged
// out and the window closes.

#include <QDialog>
#include <string>

#include "shell/ui/app_context.h"

class QDate;
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

// The folder of the archive last backed up to or restored from, kept in the
// program's settings; the home folder when there is none (or it is gone).
QString lastArchiveFolder();
void rememberArchiveFolder(const QString& archive);
// "华兴-20120315.zip"
QString suggestedArchiveName(const std::string& setName, const QDate& day);

}  // namespace tw
