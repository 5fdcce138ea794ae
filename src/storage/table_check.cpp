#include "storage/table_check.h"

#include <sqlite3.h>

#include <algorithm>

#include "storage/paths.h"
#include "storage/schemas.h"
#include "storage/sqlite_connection.h"

namespace tw {

std::vector<std::string> quickCheck(const std::filesystem::path& file, int limit) {
    detail::Connection c;
    if (sqlite3_open_v2(file.c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return {std::string("cannot open: ") + (c.db ? sqlite3_errmsg(c.db) : "no memory")};
    detail::configureConnection(c.db);
    std::vector<std::string> problems;
    sqlite3_stmt* st = nullptr;
    const std::string sql = "PRAGMA quick_check(" + std::to_string(std::max(1, limit)) + ")";
    if (sqlite3_prepare_v2(c.db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        return {sqlite3_errmsg(c.db)};
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
        const auto text = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        const std::string line = text ? text : "";
        if (line != "ok") problems.push_back(line);
    }
    if (rc != SQLITE_DONE) problems.push_back(sqlite3_errmsg(c.db));
    sqlite3_finalize(st);
    return problems;
}

std::vector<DamagedTable> damagedTables(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto it = std::filesystem::directory_iterator(folder, ec);
         !ec && it != std::filesystem::directory_iterator(); it.increment(ec)) {
        const std::string name = pathText(it->path().filename());
        if (schemaOfFile(name) && it->is_regular_file(ec)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    std::vector<DamagedTable> damaged;
    for (const std::string& name : names)
        if (const auto problems = quickCheck(folder / fs::u8path(name), 1); !problems.empty())
            damaged.push_back({name, problems.front()});
    return damaged;
}

}  // namespace tw
