#include "statements/statement_files.h"

#include "storage/file_swap.h"
#include "storage/outcome.h"
#include "storage/paths.h"
#include "storage/user_files.h"

namespace tw {

namespace fs = std::filesystem;

fs::path statementFile(const fs::path& folder, const std::string& stem,
                       const std::string& extension) {
    return folder / fs::u8path(stem + extension);
}

void writeStatementFile(const Session& session, const fs::path& target,
                        const std::function<bool(const fs::path&)>& write) {
    requireUserFileTarget(target, session.dataDir);
    if (!writeUserFile(target, session.dataDir, write))
        throw StoreError("cannot write " + pathText(target), userFileFailure(target));
}

void saveStatementWorkbook(const Session& session, const Workbook& book, const fs::path& target) {
    std::string error;
    try {
        writeStatementFile(session, target, [&](const fs::path& tmp) { return book.write(tmp, &error); });
    } catch (const StoreError& e) {
        throw StoreError(error.empty() ? e.what() : error, e.userMessage());
    }
}

}  // namespace tw
