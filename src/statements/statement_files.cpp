#include "statements/statement_files.h"

#include "storage/file_swap.h"
#include "storage/outcome.h"
#include "storage/paths.h"
#include "storage/user_files.h"

namespace tw {

namespace fs = std::filesystem;

fs::path statementFile(const Session& session, const std::string& stem, const std::string& extension) {
    return setFolder(session.dataDir, session.login.setName) / fs::u8path(stem + extension);
}

void writeStatementFile(const Session& session, const fs::path& target,
                        const std::function<bool(const fs::path&)>& write) {
    // A file of the set folder is the set's own only under a statement's name.
    std::vector<fs::path> own;
    const std::string name = pathText(target.filename());
    const std::string ext = pathText(target.extension());
    if (target.parent_path() == setFolder(session.dataDir, session.login.setName) &&
        (ext == ".xlsx" || ext == ".pdf"))
        for (const char* stem : {"资产负债表-", "利润表-", "现金流量表-", "科目余额表-"})
            if (name.starts_with(stem)) own.push_back(target);
    requireUserFileTarget(target, session.dataDir, own);
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
