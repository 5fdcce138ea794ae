#pragma once
// Where the statements go as files: into the export folder the user sees
// (as 资产负债表-2013-03.xlsx, 利润表-2013-03.pdf, 利润表-2013-Q1.xlsx,
// 现金流量表-2013-Q1.pdf, 科目余额表-2013-01至2013-12.xlsx …), or where the user names a file; never
// into the account-set directory. Either way through the one target check
// (storage/user_files.h) and written whole beside its place before it
// replaces the old one (storage/file_swap.h).

#include <filesystem>
#include <functional>
#include <string>

#include "platform/workbook.h"
#include "shell/session.h"

namespace tw {

// The file of a statement in `folder` (the export folder): stem + extension
// (".xlsx", ".pdf").
std::filesystem::path statementFile(const std::filesystem::path& folder, const std::string& stem,
                                    const std::string& extension);

// Writes `target` whole through `write` (given the temporary path). A target
// inside the account-set directory, one that is no regular file, or one
// whose folder is missing or cannot be written, is refused before anything
// is written; a file that cannot be written is refused with the real reason
// (userFileFailure) and the earlier file stays.
void writeStatementFile(const Session& session, const std::filesystem::path& target,
                        const std::function<bool(const std::filesystem::path& temporary)>& write);

// The same for a workbook.
void saveStatementWorkbook(const Session& session, const Workbook& book,
                           const std::filesystem::path& target);

}  // namespace tw
