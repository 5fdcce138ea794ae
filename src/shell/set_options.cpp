#include "shell/set_options.h"

#include <filesystem>

#include "shell/account_sets.h"
#include "shell/action_log.h"
#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// True when nothing at all is at `path`: not even an empty file, a folder or
// a link that leads nowhere.
bool nothingAt(const std::filesystem::path& path) {
    std::error_code ec;
    return std::filesystem::symlink_status(path, ec).type() == std::filesystem::file_type::not_found;
}

// Opens 套账选项 and makes it current; nullptr when the set has none yet.
// Whatever else is at its name refuses, as any table of the set that cannot
// be read: the options it held are not known.
std::unique_ptr<SetTable> openOptions(RecordStore& store, const Session& session) {
    if (!openTableIn(store, setFolder(session.dataDir, session.login.setName), file::kSetOptions,
                     session.login.setPassword)) {
        if (store.lastOpenFailure() == RecordStore::OpenFailure::Missing &&
            nothingAt(tablePath(session, file::kSetOptions)))
            return nullptr;
        openSetTable(store, session, file::kSetOptions);  // refuses with the reason
    }
    return SetTable::adopt(store, session, file::kSetOptions);
}

bool findOption(RecordStore& store, const std::string& name) {
    store.goFirst();
    return store.findRecord([&](const RecordView& r) { return r.text(field::kOptionName) == name; });
}

}  // namespace

std::string readSetOption(RecordStore& store, const Session& session, const std::string& name,
                          const std::string& fallback) {
    if (session.login.setName.empty()) refuse(kUnreadableSet, "no set is open");
    const auto options = openOptions(store, session);
    if (!options) return fallback;
    return findOption(store, name) ? store.readField(field::kOptionValue).text() : fallback;
}

void writeSetOption(RecordStore& store, const Session& session, const std::string& name,
                    const std::string& value) {
    if (session.login.setName.empty()) refuse(kUnreadableSet, "no set is open");
    auto options = openOptions(store, session);
    if (!options) {
        const auto path = tablePath(session, file::kSetOptions);
        if (!store.createTable(path, setOptionsSchema()) || !store.openTable(path, ""))
            throw StoreError("cannot make " + pathText(path));
        options = SetTable::adopt(store, session, file::kSetOptions);
        store.setTablePassword(session.login.setPassword);
    }
    if (findOption(store, name))
        store.writeField(field::kOptionValue, value);
    else
        store.appendRecord({name, value});
    logAction(store, session, logged::kOptionChanged, name + "：" + value);
}

bool setOptionOn(RecordStore& store, const Session& session, const std::string& name) {
    return readSetOption(store, session, name, kOptionOff) == kOptionOn;
}

void setOptionOn(RecordStore& store, const Session& session, const std::string& name, bool on) {
    writeSetOption(store, session, name, on ? kOptionOn : kOptionOff);
}

bool reviewerApart(RecordStore& store, const Session& session) {
    return setOptionOn(store, session, kReviewerApartOption);
}

void setReviewerApart(RecordStore& store, const Session& session, bool on) {
    if (const Outcome allowed = checkAdministrator(session.login); !allowed)
        refuse(allowed.message, "the option is for administrators");
    setOptionOn(store, session, kReviewerApartOption, on);
}

}  // namespace tw
