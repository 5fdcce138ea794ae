#include "ledgers/ui/export_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>

#include "platform/ui/open_document.h"
#include "platform/ui/widget_helpers.h"
#include "shell/ui/app_context.h"
#include "storage/paths.h"
#include "storage/user_files.h"

namespace tw {

namespace {

// In the user's settings file for Tallowick (~/.config/Tallowick/Tallowick.conf).
const QString kFolderKey = QStringLiteral("export/folder");
const QString kSettingsName = QStringLiteral("Tallowick");

std::filesystem::path pathOf(const QString& folder) {
    return std::filesystem::u8path(folder.toStdString());
}

}  // namespace

std::filesystem::path defaultExportFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const bool there = !documents.isEmpty() && QFileInfo(documents).isDir();
    return pathOf(there ? documents : QDir::homePath());
}

std::filesystem::path exportFolder() {
    const QSettings settings(kSettingsName, kSettingsName);
    const QString folder = settings.value(kFolderKey).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? pathOf(folder) : defaultExportFolder();
}

bool checkExportFolder(AppContext& ctx, QWidget* parent, const std::filesystem::path& folder) {
    const TargetProblem problem = exportFolderProblem(folder, ctx.session.dataDir);
    if (problem == TargetProblem::None) return true;
    ctx.prompter.showMessage(parent, qs(exportFolderRefusal(problem, folder)));
    return false;
}

std::optional<std::filesystem::path> chooseExportFolder(AppContext& ctx, QWidget* parent,
                                                        const std::filesystem::path& current) {
    const QString chosen =
        ctx.prompter.folderName(parent, QStringLiteral("导出到"), qs(pathText(current)));
    if (chosen.isEmpty()) return std::nullopt;
    const std::filesystem::path folder = pathOf(QDir::cleanPath(chosen));
    if (!checkExportFolder(ctx, parent, folder)) return std::nullopt;
    QSettings settings(kSettingsName, kSettingsName);
    settings.setValue(kFolderKey, qs(pathText(folder)));
    return folder;
}

QPushButton* exportFolderButton(AppContext& ctx, QWidget* window, std::filesystem::path& folder) {
    QPushButton* button = namedButton(window, "导出到", "导出到…");
    QObject::connect(button, &QPushButton::clicked, window, [&ctx, window, &folder] {
        if (const auto chosen = chooseExportFolder(ctx, window, folder)) folder = *chosen;
    });
    return button;
}

void openExported(AppContext& ctx, QWidget* parent, const std::filesystem::path& file) {
    ctx.prompter.showMessage(parent, openDocument(file) ? qs(exportedMessage(file))
                                                        : noSpreadsheetMessage(file));
}

}  // namespace tw
