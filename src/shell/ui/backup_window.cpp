#include "shell/ui/backup_window.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QSettings>
#include <QVBoxLayout>

#include "platform/ui/busy_cursor.h"
#include "platform/ui/widget_helpers.h"
#include "shell/account_sets.h"
#include "shell/backup.h"
#include "shell/set_lock.h"

namespace tw {

namespace {

const QString kZipFilter = QStringLiteral("*.zip");
// The one setting the program keeps between runs, in the user's settings
// file for Tallowick (~/.config/Tallowick/Tallowick.conf on Linux).
const QString kFolderKey = QStringLiteral("backup/folder");
const QString kSettingsName = QStringLiteral("Tallowick");

}  // namespace

QString lastArchiveFolder() {
    const QSettings settings(kSettingsName, kSettingsName);
    const QString folder = settings.value(kFolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void rememberArchiveFolder(const QString& archive) {
    QSettings settings(kSettingsName, kSettingsName);
    settings.setValue(kFolderKey, QFileInfo(archive).absolutePath());
}

QString suggestedArchiveName(const std::string& setName, const QDate& day) {
    return QString::fromStdString(setName) + QLatin1Char('-') +
           day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".zip");
}

BackupWindow::BackupWindow(AppContext& ctx, QWidget* parent) : QDialog(parent), m_ctx(ctx) {
    setObjectName(QStringLiteral("备份与恢复窗口"));
    setWindowTitle(QStringLiteral("备份与恢复"));
    setModal(true);

    auto* group = new QGroupBox(QStringLiteral("将当前套账："), this);
    m_backup = new QRadioButton(QStringLiteral("备份"), group);
    m_backup->setObjectName(QStringLiteral("备份单选框"));
    m_restore = new QRadioButton(QStringLiteral("恢复"), group);
    m_restore->setObjectName(QStringLiteral("恢复单选框"));
    auto* choices = new QHBoxLayout(group);
    choices->addWidget(m_backup);
    choices->addSpacing(24);
    choices->addWidget(m_restore);
    choices->addStretch();

    m_confirm = namedButton(this, "确定");
    m_confirm->setDefault(true);
    m_confirm->setEnabled(false);
    for (QRadioButton* choice : {m_backup, m_restore})
        connect(choice, &QRadioButton::toggled, m_confirm, [this] { m_confirm->setEnabled(true); });
    connect(m_confirm, &QPushButton::clicked, this, &BackupWindow::onConfirm);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_confirm);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(group);
    layout->addLayout(buttons);
    group->setMinimumWidth(260);
}

void BackupWindow::onConfirm() {
    const std::string setName = m_ctx.session.login.setName;
    const QString folder = lastArchiveFolder();
    Outcome out;
    QString file;
    if (m_backup->isChecked()) {
        file = m_ctx.prompter.saveFileName(
            this, QStringLiteral("备份套账到"), kZipFilter, QStringLiteral("zip"),
            QDir(folder).filePath(suggestedArchiveName(setName, QDate::currentDate())));
        if (!file.isEmpty()) {
            BusyCursor busy;
            out = backUpOpenSet(m_ctx.session, fs::u8path(file.toStdString()));
        }
    } else {
        // A restore replaces the set's users too: for administrators only.
        out = checkAdministrator(m_ctx.session.login);
        file = out.ok ? m_ctx.prompter.openFileName(this, QStringLiteral("从备份文件恢复套账"),
                                                    kZipFilter, folder)
                      : QString();
        if (!file.isEmpty()) {
            BusyCursor busy;
            // An archive of another set asks before it replaces this one.
            const auto ask = [this](const std::string& question) {
                return m_ctx.prompter.confirm(this, QString::fromStdString(question));
            };
            out = underDirectoryLock(m_ctx.session.dataDir, [&] {
                return restoreSet(m_ctx.session, fs::u8path(file.toStdString()), ask);
            });
        }
    }
    QString message;
    if (!out.ok) {
        // Answered 不是: nothing more to say.
        message = QString::fromStdString(out.message);
    } else if (!file.isEmpty()) {
        rememberArchiveFolder(file);
        const std::string shown = QDir::toNativeSeparators(file).toStdString();
        message = QString::fromStdString(m_backup->isChecked() ? backupDoneNotice(setName, shown)
                                                               : restoreDoneNotice(setName, shown));
    }
    m_ctx.session.login.logout();
    if (m_ctx.refreshTitle) m_ctx.refreshTitle();
    accept();
    // Told over the window underneath, which then has the keyboard again.
    if (!message.isEmpty()) m_ctx.prompter.showMessage(parentWidget(), message);
}

}  // namespace tw
