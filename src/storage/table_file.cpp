#include "storage/table_file.h"

#include <sodium.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <stdexcept>
#include <system_error>

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

struct Statement {
    sqlite3_stmt* st = nullptr;
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
            throw StoreError(std::string("SQL: ") + sqlite3_errmsg(db) + " in " + sql);
    }
    ~Statement() { sqlite3_finalize(st); }
};

void bindValue(sqlite3_stmt* st, int i, FieldType type, const Value& v) {
    switch (type) {
        case FieldType::Text:
            // The value outlives the statement's step that follows.
            sqlite3_bind_text(st, i, v.text().data(), static_cast<int>(v.text().size()),
                              SQLITE_STATIC);
            break;
        case FieldType::Double:
        case FieldType::DateTime: sqlite3_bind_double(st, i, v.number()); break;
        default: sqlite3_bind_int64(st, i, v.integer());
    }
}

void step(sqlite3* db, sqlite3_stmt* st) {
    if (sqlite3_step(st) != SQLITE_DONE) throw StoreError(std::string("SQL: ") + sqlite3_errmsg(db));
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
}

std::string columnList(const Schema& fields) {
    std::string s;
    for (size_t i = 0; i < fields.size(); ++i) s += (i ? "," : "") + quoteName(fields[i].name);
    return s;
}

std::string placeholders(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += i ? ",?" : "?";
    return s;
}

}  // namespace

int TableData::fieldIndex(std::string_view name) const {
    auto it = index.find(name);
    if (it == index.end())
        throw std::logic_error("no field " + std::string(name) + " in " + path.string());
    return it->second;
}

bool TableData::passwordMatches(const std::string& password) const {
    const std::string v = makeVerifier(salt, password);
    return v.size() == verifier.size() && sodium_memcmp(v.data(), verifier.data(), v.size()) == 0;
}

void TableData::setPassword(const std::string& password) {
    unsigned char s[16];
    randombytes_buf(s, sizeof s);
    salt = toHex(s, sizeof s);
    verifier = makeVerifier(salt, password);
}

void TableData::buildIndex() {
    index.clear();
    for (size_t i = 0; i < fields.size(); ++i) index.emplace(fields[i].name, static_cast<int>(i));
}

void exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string detail = err ? err : "unknown";
        sqlite3_free(err);
        throw StoreError("SQL: " + detail + " in " + sql);
    }
}

std::string quoteName(const std::string& identifier) { return "\"" + identifier + "\""; }

std::shared_ptr<TableData> readTableFile(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) return nullptr;
    Connection c;
    // Read-write, so that a journal left by an interrupted commit is rolled back.
    if (sqlite3_open_v2(path.c_str(), &c.db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(c.db);
        c.db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &c.db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
            return nullptr;
    }
    auto data = std::make_shared<TableData>();
    data->path = path;
    try {
        std::map<std::string, std::string> meta;
        {
            Statement st(c.db, "SELECT key, value FROM meta");
            int rc;
            while ((rc = sqlite3_step(st.st)) == SQLITE_ROW) {
                auto k = reinterpret_cast<const char*>(sqlite3_column_text(st.st, 0));
                auto v = reinterpret_cast<const char*>(sqlite3_column_text(st.st, 1));
                meta[k ? k : ""] = v ? v : "";
            }
            if (rc != SQLITE_DONE) return nullptr;
        }
        if (meta["format"] != kFormat) return nullptr;
        const auto fields = nlohmann::json::parse(meta["fields"]);
        for (const auto& f : fields) {
            FieldDef def;
            def.name = f.at("name").get<std::string>();
            if (!typeFromName(f.at("type").get<std::string>(), def.type)) return nullptr;
            def.maxLength = f.value("max", 0);
            data->fields.push_back(def);
        }
        if (data->fields.empty()) return nullptr;
        data->salt = meta["password_salt"];
        data->verifier = meta["password_verifier"];
        if (data->salt.empty() || data->verifier.empty()) return nullptr;
        data->buildIndex();

        Statement st(c.db, "SELECT rowid," + columnList(data->fields) + " FROM records ORDER BY rowid");
        const int n = static_cast<int>(data->fields.size());
        int rc;
        while ((rc = sqlite3_step(st.st)) == SQLITE_ROW) {
            Row row;
            row.rowid = sqlite3_column_int64(st.st, 0);
            row.values.reserve(n);
            for (int i = 0; i < n; ++i) {
                const FieldType t = data->fields[i].type;
                if (sqlite3_column_type(st.st, i + 1) == SQLITE_NULL) {
                    row.values.push_back(emptyValue(t));
                } else if (t == FieldType::Text) {
                    auto p = reinterpret_cast<const char*>(sqlite3_column_text(st.st, i + 1));
                    row.values.emplace_back(std::string(p, sqlite3_column_bytes(st.st, i + 1)));
                } else if (t == FieldType::Double || t == FieldType::DateTime) {
                    row.values.emplace_back(sqlite3_column_double(st.st, i + 1));
                } else {
                    row.values.emplace_back(
                        static_cast<std::int64_t>(sqlite3_column_int64(st.st, i + 1)));
                }
            }
            data->rows.push_back(std::move(row));
        }
        if (rc != SQLITE_DONE) return nullptr;
    } catch (const std::exception&) {
        return nullptr;  // not a table file of ours, or damaged
    }
    return data;
}

bool writeNewTableFile(const std::filesystem::path& path, const Schema& fields,
                       const std::string& salt, const std::string& verifier,
                       const std::vector<const Row*>& rows) {
    std::filesystem::path tmp = path;
    tmp += ".new-" + std::to_string(::getpid());
    std::error_code ec;
    std::filesystem::remove(tmp, ec);
    try {
        {
            Connection c;
            if (sqlite3_open_v2(tmp.c_str(), &c.db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                                nullptr) != SQLITE_OK)
                return false;
            exec(c.db, "PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; BEGIN");
            exec(c.db, "PRAGMA user_version=" + std::to_string(kFormatVersion));
            exec(c.db, "CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL)");
            std::string cols;
            for (size_t i = 0; i < fields.size(); ++i)
                cols += (i ? ", " : "") + quoteName(fields[i].name) + " " + sqlType(fields[i].type);
            exec(c.db, "CREATE TABLE records(" + cols + ")");
            nlohmann::json desc = nlohmann::json::array();
            for (const auto& f : fields) {
                nlohmann::json d{{"name", f.name}, {"type", fieldTypeName(f.type)}};
                if (f.type == FieldType::Text && f.maxLength > 0) d["max"] = f.maxLength;
                desc.push_back(d);
            }
            Statement meta(c.db, "INSERT INTO meta(key, value) VALUES(?, ?)");
            const std::pair<std::string, std::string> entries[] = {
                {"format", kFormat},
                {"version", std::to_string(kFormatVersion)},
                {"fields", desc.dump()},
                {"password_salt", salt},
                {"password_verifier", verifier}};
            for (const auto& [k, v] : entries) {
                sqlite3_bind_text(meta.st, 1, k.c_str(), -1, SQLITE_TRANSIENT);
                sqlite3_bind_text(meta.st, 2, v.c_str(), -1, SQLITE_TRANSIENT);
                step(c.db, meta.st);
            }
            Statement ins(c.db, "INSERT INTO records(" + columnList(fields) + ") VALUES(" +
                                    placeholders(fields.size()) + ")");
            for (const Row* r : rows) {
                for (size_t i = 0; i < fields.size(); ++i)
                    bindValue(ins.st, static_cast<int>(i + 1), fields[i].type, r->values[i]);
                step(c.db, ins.st);
            }
            exec(c.db, "COMMIT");
        }
        std::filesystem::rename(tmp, path);
        return true;
    } catch (const std::exception&) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
}

std::vector<std::pair<Row*, std::int64_t>> writeChanges(sqlite3* db, const std::string& schemaName,
                                                        TableData& data) {
    const std::string t = schemaName + ".";
    std::vector<std::pair<Row*, std::int64_t>> inserted;
    if (data.passwordChanged) {
        Statement st(db, "INSERT OR REPLACE INTO " + t + "meta(key, value) VALUES(?, ?)");
        for (const auto& [k, v] : {std::pair<std::string, std::string>{"password_salt", data.salt},
                                   {"password_verifier", data.verifier}}) {
            sqlite3_bind_text(st.st, 1, k.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(st.st, 2, v.c_str(), -1, SQLITE_TRANSIENT);
            step(db, st.st);
        }
    }
    if (data.cleared) exec(db, "DELETE FROM " + t + "records");
    if (!data.removed.empty()) {
        Statement del(db, "DELETE FROM " + t + "records WHERE rowid = ?");
        for (std::int64_t id : data.removed) {
            sqlite3_bind_int64(del.st, 1, id);
            step(db, del.st);
        }
    }
    const size_t n = data.fields.size();
    std::unique_ptr<Statement> update, insert;
    for (Row& row : data.rows) {
        if (row.rowid != 0 && !row.dirty) continue;
        Statement* st;
        if (row.rowid == 0) {
            if (!insert)
                insert = std::make_unique<Statement>(
                    db, "INSERT INTO " + t + "records(" + columnList(data.fields) + ") VALUES(" +
                            placeholders(n) + ")");
            st = insert.get();
        } else {
            if (!update) {
                std::string set;
                for (size_t i = 0; i < n; ++i)
                    set += (i ? "," : "") + quoteName(data.fields[i].name) + "=?";
                update = std::make_unique<Statement>(
                    db, "UPDATE " + t + "records SET " + set + " WHERE rowid=?");
            }
            st = update.get();
            sqlite3_bind_int64(st->st, static_cast<int>(n + 1), row.rowid);
        }
        for (size_t i = 0; i < n; ++i)
            bindValue(st->st, static_cast<int>(i + 1), data.fields[i].type, row.values[i]);
        step(db, st->st);
        if (row.rowid == 0) inserted.emplace_back(&row, sqlite3_last_insert_rowid(db));
    }
    return inserted;
}

}  // namespace tw::detail
