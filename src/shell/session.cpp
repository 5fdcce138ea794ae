#include "shell/session.h"

#include "storage/outcome.h"
#include "storage/record_store.h"
#include "storage/schemas.h"
#include "storage/scoped_table.h"

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

bool openTableIn(ScopedTable& table, const std::filesystem::path& folder, const std::string& file,
                 const std::string& setPassword) {
    const auto path = folder / fs::u8path(file);
    const std::string password = tablePassword(file, setPassword);
    if (const Schema* schema = schemaOfFile(file)) return table.open(path, password, *schema);
    return table.open(path, password);
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

namespace {
Table openForScope(RecordStore& store, const Session& session, const std::string& file,
                   SetTable::IfOpen ifOpen, bool& opened) {
    const auto path = tablePath(session, file);
    opened = !store.isOpen(path);
    if (opened || ifOpen == SetTable::IfOpen::Reopen) openSetTable(store, session, file);
    return store.table(path);
}
}  // namespace

SetTable::SetTable(RecordStore& store, const Session& session, const std::string& file,
                   IfOpen ifOpen)
    : store_(store),
      path_(tablePath(session, file)),
      table_(openForScope(store, session, file, ifOpen, opened_)) {}

SetTable::SetTable(RecordStore& store, std::filesystem::path path)
    : store_(store), path_(std::move(path)), opened_(true), table_(store.table(path_)) {}

std::unique_ptr<SetTable> SetTable::adopt(RecordStore& store, const Session& session,
                                          const std::string& file) {
    return std::unique_ptr<SetTable>(new SetTable(store, tablePath(session, file)));
}

SetTable::~SetTable() {
    if (opened_) store_.closeTable(path_);
}

void SetTable::select() { store_.selectTable(path_); }

}  // namespace tw
