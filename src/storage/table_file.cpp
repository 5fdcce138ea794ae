// The table file format: reading a file's meta and checking its records
// against the fields, making a new file, and writing an action's pending
// changes into an attached file; password verifiers.
#include "storage/table_file.h"

#include <sodium.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <unordered_map>

#include "storage/schemas.h"
#include "storage/sqlite_connection.h"

namespace tw::detail {

namespace {

constexpr const char* kFormat = "tallowick-table";
constexpr int kFormatVersion = 1;

const char* sqlType(FieldType t) {
    switch (t) {
        case FieldType::Text: return "TEXT";
        case FieldType::Double:
        case FieldType::DateTime: return "REAL";
        default: return "INTEGER";
    }
}

bool typeFromName(const std::string& name, FieldType& t) {
    for (FieldType c : {FieldType::Text, FieldType::Double, FieldType::Int32, FieldType::Int64,
                        FieldType::Byte, FieldType::Boolean, FieldType::DateTime}) {
        if (name == fieldTypeName(c)) {
            t = c;
            return true;
        }
    }
    return false;
}

std::string toHex(const unsigned char* p, size_t n) {
    std::string out(n * 2 + 1, '\0');
    sodium_bin2hex(out.data(), out.size(), p, n);
    out.resize(n * 2);
    return out;
}

std::string makeVerifier(const std::string& salt, const std::string& password) {
    unsigned char hash[32];
    crypto_generichash(hash, sizeof hash, reinterpret_cast<const unsigned char*>(password.data()),
                       password.size(), reinterpret_cast<const unsigned char*>(salt.data()),
                       salt.size());
    return toHex(hash, sizeof hash);
}

// True when `records` has exactly the columns of the fields, in their order,
// each of its field's SQL type: read from the table's own description, since
// a query naming a column that is missing would not tell.
bool recordsMatch(sqlite3* db, const Schema& fields) {
    Statement info(db, "PRAGMA table_info(records)");
    size_t i = 0;
    while (info.row()) {
        if (i >= fields.size()) return false;
        const auto text = [&](int col) {
            const auto p = reinterpret_cast<const char*>(sqlite3_column_text(info.st, col));
            return std::string(p ? p : "");
        };
        if (text(1) != fields[i].name || text(2) != sqlType(fields[i].type)) return false;
        ++i;
    }
    return i == fields.size();
}

// Creates meta and records (with the indexes) in the attached database.
void createTableFile(sqlite3* db, const std::string& schemaName, const TableState& t) {
    const std::string s = schemaName + ".";
    exec(db, "DROP TABLE IF EXISTS " + s + "records; DROP TABLE IF EXISTS " + s + "meta");
    exec(db, "PRAGMA " + s + "user_version=" + std::to_string(kFormatVersion));
    exec(db, "CREATE TABLE " + s + "meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)");
    std::string cols;
    for (size_t i = 0; i < t.fields.size(); ++i)
        cols += (i ? ", " : "") + quoteName(t.fields[i].name) + " " + sqlType(t.fields[i].type);
    exec(db, "CREATE TABLE " + s + "records(" + cols + ")");
    nlohmann::json desc = nlohmann::json::array();
    for (const auto& f : t.fields) {
        nlohmann::json d{{"name", f.name}, {"type", fieldTypeName(f.type)}};
        if (f.type == FieldType::Text && f.maxLength > 0) d["max"] = f.maxLength;
        desc.push_back(d);
    }
    Statement meta(db, "INSERT INTO " + s + "meta(key, value) VALUES(?, ?)");
    const std::pair<std::string, std::string> entries[] = {
        {"format", kFormat},
        {"version", std::to_string(kFormatVersion)},
        {"fields", desc.dump()},
        {"password_salt", t.salt},
        {"password_verifier", t.verifier}};
    for (const auto& [k, v] : entries) {
        sqlite3_bind_text(meta.st, 1, k.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(meta.st, 2, v.c_str(), -1, SQLITE_TRANSIENT);
        meta.done();
    }
    ensureIndexes(db, schemaName, t);
}

}  // namespace

void makePassword(const std::string& password, std::string& salt, std::string& verifier) {
    unsigned char s[16];
    randombytes_buf(s, sizeof s);
    salt = toHex(s, sizeof s);
    verifier = makeVerifier(salt, password);
}

bool TableState::passwordMatches(const std::string& password) const {
    const std::string v = makeVerifier(salt, password);
    return v.size() == verifier.size() && sodium_memcmp(v.data(), verifier.data(), v.size()) == 0;
}

void TableState::setPassword(const std::string& password) { makePassword(password, salt, verifier); }

void TableState::reopenIfNeeded() const {
    if (!reopen) return;
    RecordStore::OpenFailure f;
    auto fresh = openTableFile(path, f);
    if (!fresh) throw StoreError("table file unreadable after its commit: " + path.string(), kDiskMessage);
    auto& self = const_cast<TableState&>(*this);
    std::swap(self.reader.db, fresh->reader.db);
    self.device = fresh->device;
    self.inode = fresh->inode;
    self.reopen = false;
}

// ---- files ---------------------------------------------------------------------

std::shared_ptr<TableState> openTableFile(const std::filesystem::path& path,
                                          RecordStore::OpenFailure& failure) {
    using F = RecordStore::OpenFailure;
    struct stat st{};
    // An empty file is what a table made by an interrupted commit leaves behind.
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size == 0) {
        failure = F::Missing;
        return nullptr;
    }
    failure = F::NotATable;
    auto t = std::make_shared<TableState>();
    t->path = path;
    t->device = st.st_dev;
    t->inode = st.st_ino;
    // Read-write, so that a journal left by an interrupted commit is rolled back.
    // A connection serves one table of one store, on one thread: SQLite's
    // own locking of every call is not needed.
    if (sqlite3_open_v2(path.c_str(), &t->reader.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        t->reader.close();
        if (sqlite3_open_v2(path.c_str(), &t->reader.db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK)
            return nullptr;
    }
    configureConnection(t->reader.db);
    try {
        std::map<std::string, std::string> meta;
        Statement q(t->reader.db, "SELECT key, value FROM meta");
        while (q.row()) {
            auto k = reinterpret_cast<const char*>(sqlite3_column_text(q.st, 0));
            auto v = reinterpret_cast<const char*>(sqlite3_column_text(q.st, 1));
            meta[k ? k : ""] = v ? v : "";
        }
        if (meta["format"] != kFormat) return nullptr;
        // A newer program's file may hold what this one cannot keep.
        if (std::stoi(meta["version"]) > kFormatVersion) {
            failure = F::NewerFormat;
            return nullptr;
        }
        for (const auto& f : nlohmann::json::parse(meta["fields"])) {
            FieldDef def;
            def.name = f.at("name").get<std::string>();
            if (!typeFromName(f.at("type").get<std::string>(), def.type)) return nullptr;
            def.maxLength = f.value("max", 0);
            t->fields.push_back(def);
        }
        if (t->fields.empty()) return nullptr;
        t->salt = meta["password_salt"];
        t->verifier = meta["password_verifier"];
        if (t->salt.empty() || t->verifier.empty()) return nullptr;
        t->buildIndex();
        if (!recordsMatch(t->reader.db, t->fields)) return nullptr;
    } catch (const std::exception&) {
        return nullptr;  // not a table file of ours, or damaged
    }
    failure = F::None;
    return t;
}

void ensureIndexes(sqlite3* db, const std::string& schemaName, const TableState& t) {
    for (const auto& columns : tableIndexes(t.path.filename().string())) {
        std::string name = "i", cols;
        bool present = true;
        for (const auto& c : columns) {
            present = present && t.index.count(c);
            name += "_" + c;
            cols += (cols.empty() ? "" : ",") + quoteName(c);
        }
        if (!present) continue;
        exec(db, "CREATE INDEX IF NOT EXISTS " + schemaName + "." + quoteName(name) + " ON records(" +
                     cols + ")");
    }
}

namespace {

// The new values of the changed fields of a changed row, as a key: rows with
// the same key get the same UPDATE.
std::string changeKey(const TableState::Changed& c, size_t n) {
    std::string key(reinterpret_cast<const char*>(&c.mask), sizeof c.mask);
    for (size_t i = 0; i < n; ++i) {
        if (!(c.mask & (std::uint64_t{1} << i))) continue;
        const Value& v = c.values[i];
        if (v.isText()) {
            const std::string& text = v.text();
            const std::uint64_t size = text.size();
            key += 't';
            key.append(reinterpret_cast<const char*>(&size), sizeof size);
            key += text;
        } else if (v.isDouble()) {
            const double d = v.number();
            key += 'd';
            key.append(reinterpret_cast<const char*>(&d), sizeof d);
        } else {
            const std::int64_t i64 = v.integer();
            key += 'i';
            key.append(reinterpret_cast<const char*>(&i64), sizeof i64);
        }
    }
    return key;
}

// The action's changed rows into the attached file, in record order. Only the
// changed fields are set, so that indexes of the others are not rewritten;
// rows given the same new values (a stamp on many records) share one
// statement per 500 of them.
void writeChangedRows(sqlite3* db, const std::string& s, const TableState& t) {
    const size_t n = t.fields.size();
    std::vector<std::int64_t> ids;
    ids.reserve(t.changed.size());
    for (const auto& [id, c] : t.changed) ids.push_back(id);
    std::sort(ids.begin(), ids.end());
    std::vector<std::vector<std::int64_t>> groups;  // in order of their first row
    std::unordered_map<std::string, size_t> groupOf;
    for (const std::int64_t id : ids) {
        const auto [g, fresh] = groupOf.try_emplace(changeKey(t.changed.at(id), n), groups.size());
        if (fresh) groups.emplace_back();
        groups[g->second].push_back(id);
    }

    constexpr size_t kBatch = 500;
    std::map<std::pair<std::uint64_t, size_t>, std::unique_ptr<Statement>> statements;
    const auto statement = [&](std::uint64_t mask, size_t count) -> Statement& {
        auto& st = statements[{mask, count}];
        if (!st) {
            std::string set;
            for (size_t i = 0; i < n; ++i)
                if (mask & (std::uint64_t{1} << i))
                    set += (set.empty() ? "" : ",") + quoteName(t.fields[i].name) + "=?";
            st = std::make_unique<Statement>(db, "UPDATE " + s + "records SET " + set +
                                                     " WHERE rowid IN (" + placeholders(count) + ")");
        }
        return *st;
    };
    for (const auto& group : groups) {
        const TableState::Changed& c = t.changed.at(group.front());
        for (size_t from = 0; from < group.size(); from += kBatch) {
            const size_t count = std::min(kBatch, group.size() - from);
            Statement& st = statement(c.mask, count);
            int k = 0;
            for (size_t i = 0; i < n; ++i)
                if (c.mask & (std::uint64_t{1} << i)) bindField(st.st, ++k, t.fields[i].type, c.values[i]);
            for (size_t j = 0; j < count; ++j) sqlite3_bind_int64(st.st, ++k, group[from + j]);
            st.done();
            if (st.changes() != static_cast<int>(count))
                throw StoreError("a changed record vanished from " + t.path.string());
        }
    }
}

}  // namespace

void writeChanges(sqlite3* db, const std::string& schemaName, TableState& t) {
    const std::string s = schemaName + ".";
    const size_t n = t.fields.size();
    if (t.replaced) {
        createTableFile(db, schemaName, t);
    } else {
        // A table without the indexes its name calls for (one from elsewhere)
        // gets them in the first action that writes it, never on reading.
        ensureIndexes(db, schemaName, t);
        if (t.cleared) exec(db, "DELETE FROM " + s + "records");
        if (!t.removed.empty()) {
            Statement del(db, "DELETE FROM " + s + "records WHERE rowid=?");
            for (std::int64_t id : t.removed) {
                sqlite3_bind_int64(del.st, 1, id);
                del.done();
                if (del.changes() != 1)
                    throw StoreError("record " + std::to_string(id) + " vanished from " +
                                     t.path.string());
            }
        }
        writeChangedRows(db, s, t);
        if (t.passwordChanged) {
            Statement st(db, "INSERT OR REPLACE INTO " + s + "meta(key, value) VALUES(?, ?)");
            for (const auto& [k, v] : {std::pair<std::string, std::string>{"password_salt", t.salt},
                                       {"password_verifier", t.verifier}}) {
                sqlite3_bind_text(st.st, 1, k.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(st.st, 2, v.c_str(), -1, SQLITE_TRANSIENT);
                st.done();
            }
        }
    }
    if (!t.added.empty()) {
        Statement ins(db, "INSERT INTO " + s + "records(rowid," + columnList(t.fields) +
                              ") VALUES(?," + placeholders(n) + ")");
        for (const Row& r : t.added) {
            sqlite3_bind_int64(ins.st, 1, r.id);
            for (size_t i = 0; i < n; ++i)
                bindField(ins.st, static_cast<int>(i + 2), t.fields[i].type, r.values[i]);
            ins.done();
        }
    }
}

}  // namespace tw::detail
