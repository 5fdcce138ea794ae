#pragma once
// The one folder the windows' exports go to (the ledgers, the journal, the
// month report, the statements): the user's documents folder until the user
// chooses another with 导出到…, which is then kept in the program's settings
// for this user of the computer. Never the account-set directory nor a
// folder inside it: such a choice is refused and not kept.

#include <QString>
#include <filesystem>
#include <optional>

class QPushButton;
class QWidget;

namespace tw {

struct AppContext;

// The user's documents folder (~/文档, ~/Documents); the home folder when
// there is none.
std::filesystem::path defaultExportFolder();

// The folder chosen last with 导出到…; defaultExportFolder() when none was
// chosen or the one chosen is no longer a folder.
std::filesystem::path exportFolder();

// False, having told the user why over `parent` (exportFolderRefusal), when
// `folder` cannot take the exports: inside the account-set directory,
// missing, or not writable.
bool checkExportFolder(AppContext& ctx, QWidget* parent, const std::filesystem::path& folder);

// 导出到…: asks for a folder, opening at `current`. A folder inside the
// account-set directory, missing or not writable is refused with its message
// (exportFolderRefusal) and not kept; a folder accepted is kept for the next
// exports and the next start, and returned. Nothing when cancelled or refused.
std::optional<std::filesystem::path> chooseExportFolder(AppContext& ctx, QWidget* parent,
                                                        const std::filesystem::path& current);

// The button `导出到` ("导出到…") of an exporting window: a click runs
// chooseExportFolder from `folder` and, when a folder is accepted, sets
// `folder` (a member of `window`, which owns the button) to it.
QPushButton* exportFolderButton(AppContext& ctx, QWidget* window, std::filesystem::path& folder);

// After an export has written `file`: opens it in the desktop's program and
// says where it went (exportedMessage, the full path); without a program to
// open it, noSpreadsheetMessage, which names the file too.
void openExported(AppContext& ctx, QWidget* parent, const std::filesystem::path& file);

}  // namespace tw
