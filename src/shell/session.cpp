#include "shell/session.h"

#include "storage/outcome.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

std::string tablePassword(const std::string& file, const std::string& setPassword) {
    if (file == file::kBasicInfo) return kFixedPassword;
    if (file == file::kPhrases || file == file::kReportScratch) return {};
    return setPassword;
}

bool openTableIn(RecordStore& store, const std::filesystem::path& folder, const std::string& file,
                 const std::string& setPassword) {
    const auto path = folder / fs::u8path(file);
    const std::string password = tablePassword(file, setPassword);
    if (const Schema* schema = schemaOfFile(file)) return store.openTable(path, password, *schema);
    return store.openTable(path, password);
}

std::string newerFormatMessage(const std::string& file) {
    return "“" + file + "”是更新版本的程序保存的，本程序不能读写它，请使用新版本的程序！";
}

void openSetTable(RecordStore& store, const Session& session, const std::string& file) {
    if (session.login.setName.empty() ||
        !openTableIn(store, setFolder(session.dataDir, session.login.setName), file,
                     session.login.setPassword)) {
        if (store.lastOpenFailure() == RecordStore::OpenFailure::NewerFormat)
            refuse(newerFormatMessage(file), file + " of " + session.login.setName + " is of a newer format");
        refuse(kUnreadableSet, "cannot open " + file + " of " + session.login.setName);
    }
}

}  // namespace tw
