#include "shell/set_options.h"

#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// Opens 套账选项 and makes it current; false when the set has none yet.
bool openOptions(RecordStore& store, const Session& session) {
    if (openTableIn(store, setFolder(session.dataDir, session.login.setName), file::kSetOptions,
                    session.login.setPassword))
        return true;
    if (store.lastOpenFailure() == RecordStore::OpenFailure::Missing) return false;
    openSetTable(store, session, file::kSetOptions);  // refuses with the reason
    return true;
}

bool findOption(RecordStore& store, const std::string& name) {
    store.goFirst();
    return store.findRecord([&](const RecordView& r) { return r.text(field::kOptionName) == name; });
}

}  // namespace

std::string readSetOption(RecordStore& store, const Session& session, const std::string& name,
                          const std::string& fallback) {
    if (session.login.setName.empty()) refuse(kUnreadableSet, "no set is open");
    if (!openOptions(store, session)) return fallback;
    const std::string value =
        findOption(store, name) ? store.readField(field::kOptionValue).text() : fallback;
    store.closeTable();
    return value;
}

void writeSetOption(RecordStore& store, const Session& session, const std::string& name,
                    const std::string& value) {
    if (session.login.setName.empty()) refuse(kUnreadableSet, "no set is open");
    if (!openOptions(store, session)) {
        const auto path = table(session, file::kSetOptions);
        if (!store.createTable(path, setOptionsSchema()) || !store.openTable(path, ""))
            throw StoreError("cannot make " + pathText(path));
        store.setTablePassword(session.login.setPassword);
    }
    if (findOption(store, name))
        store.writeField(field::kOptionValue, value);
    else
        store.appendRecord({name, value});
    store.closeTable();
}

bool setOptionOn(RecordStore& store, const Session& session, const std::string& name) {
    return readSetOption(store, session, name, kOptionOff) == kOptionOn;
}

void setOptionOn(RecordStore& store, const Session& session, const std::string& name, bool on) {
    writeSetOption(store, session, name, on ? kOptionOn : kOptionOff);
}

}  // namespace tw
