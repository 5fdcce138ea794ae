#include "ledgers/cover_page.h"

#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw {

std::filesystem::path coverWorkbookPath(const Session& session) {
    return tablePath(session, file::kCoverWorkbook);
}

std::string missingCoverMessage(const std::filesystem::path& file) {
    return "找不到封面文件：" + pathText(file);
}

}  // namespace tw
