#include "storage/templates.h"

#include <system_error>

#include "storage/file_swap.h"
#include "storage/schemas.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

// Writes a table whole, unless a file appeared at its place meanwhile.
void makeTable(const fs::path& path, const TemplateTable& t, const TemplateRecords& fill,
               const fs::path& dataDir) {
    writeThenRename(
        path,
        [&](const fs::path& tmp) {
            RecordStore store(dataDir);
            Action action(store);
            if (!store.createTable(tmp, t.schema()) || !store.openTable(tmp, "")) return false;
            if (fill) fill(store);
            store.setTablePassword(t.password);
            action.commit();
            store.closeTable();
            return true;
        },
        Existing::Keep);
}

}  // namespace

void makeMissingTemplateTables(const fs::path& dataDir,
                               const std::map<std::string, TemplateRecords>& contents) {
    std::error_code ec;
    if (!fs::is_directory(dataDir, ec)) return;
    for (const TemplateTable& t : templateTables()) {
        const fs::path path = dataDir / fs::u8path(t.fileName);
        if (fs::exists(path, ec)) continue;
        const auto records = contents.find(t.fileName);
        try {
            makeTable(path, t, records == contents.end() ? TemplateRecords{} : records->second,
                      dataDir);
        } catch (const std::exception&) {
            // An unwritable directory leaves the template missing; creating a set says so.
        }
    }
}

void makeFileIfMissing(const fs::path& path, const std::function<void(const fs::path&)>& make) {
    std::error_code ec;
    if (fs::exists(path, ec)) return;
    writeThenRename(
        path,
        [&](const fs::path& tmp) {
            make(tmp);
            std::error_code made;
            return fs::exists(tmp, made);
        },
        Existing::Keep);
}

}  // namespace tw
