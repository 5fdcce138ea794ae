#include "storage/table_file.h"

#include <sodium.h>
#include <sys/stat.h>

#include <algorithm>
#include <functional>
#include <nlohmann/json.hpp>
#include <stdexcept>
#include <system_error>

#include "storage/schemas.h"

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

void bindValue(sqlite3_stmt* st, int i, const Value& v) {
    if (v.isText())
        sqlite3_bind_text(st, i, v.text().data(), static_cast<int>(v.text().size()),
                          SQLITE_TRANSIENT);
    else if (v.isDouble())
        sqlite3_bind_double(st, i, v.number());
    else
        sqlite3_bind_int64(st, i, v.integer());
}

void bindField(sqlite3_stmt* st, int i, FieldType type, const Value& v) {
    switch (type) {
        case FieldType::Text:
            sqlite3_bind_text(st, i, v.text().data(), static_cast<int>(v.text().size()),
                              SQLITE_STATIC);
            break;
        case FieldType::Double:
        case FieldType::DateTime: sqlite3_bind_double(st, i, v.number()); break;
        default: sqlite3_bind_int64(st, i, v.integer());
    }
}

Value columnValue(sqlite3_stmt* st, int col, FieldType t) {
    if (sqlite3_column_type(st, col) == SQLITE_NULL) return emptyValue(t);
    if (t == FieldType::Text) {
        auto p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        return Value(std::string(p, sqlite3_column_bytes(st, col)));
    }
    if (t == FieldType::Double || t == FieldType::DateTime)
        return Value(sqlite3_column_double(st, col));
    return Value(static_cast<std::int64_t>(sqlite3_column_int64(st, col)));
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

// Empty text or the number 0: what a field without a value reads as.
bool isEmptyOfKind(const Value& v) { return v.isText() ? v.text().empty() : v.number() == 0; }

// A look-up with its fields resolved to positions, evaluable in SQL and in memory.
struct Resolved {
    struct Term {
        Where::Op op;
        std::vector<int> fields;
        const std::vector<Value>* values;
    };
    std::vector<Term> terms;

    Resolved(const TableState& t, const Where& where) {
        for (const auto& term : where.terms()) {
            Term r{term.op, {}, &term.values};
            for (const auto& f : term.fields) r.fields.push_back(t.fieldIndex(f));
            terms.push_back(std::move(r));
        }
    }

    bool matches(const std::vector<Value>& row) const {
        for (const Term& t : terms) {
            const auto& vs = *t.values;
            bool ok = false, comparable = false;
            switch (t.op) {
                case Where::Op::Equal:
                    ok = compareValues(row[t.fields[0]], vs[0], &comparable) == 0 && comparable;
                    break;
                case Where::Op::NotEqual:
                    ok = !(compareValues(row[t.fields[0]], vs[0], &comparable) == 0 && comparable);
                    break;
                case Where::Op::AtLeast:
                    ok = compareValues(row[t.fields[0]], vs[0], &comparable) >= 0 && comparable;
                    break;
                case Where::Op::Below:
                    ok = compareValues(row[t.fields[0]], vs[0], &comparable) < 0 && comparable;
                    break;
                case Where::Op::AtMost:
                    ok = compareValues(row[t.fields[0]], vs[0], &comparable) <= 0 && comparable;
                    break;
                case Where::Op::OneOf:
                    for (const Value& v : vs)
                        if (compareValues(row[t.fields[0]], v, &comparable) == 0 && comparable)
                            ok = true;
                    break;
                case Where::Op::AnyFieldEqual:
                    for (int f : t.fields)
                        if (compareValues(row[f], vs[0], &comparable) == 0 && comparable) ok = true;
                    break;
            }
            if (!ok) return false;
        }
        return true;
    }

    // " WHERE …" with `?` for every value, in the order bind() binds them.
    std::string sql(const Schema& fields) const {
        std::string s;
        for (const Term& t : terms) {
            s += s.empty() ? " WHERE " : " AND ";
            const std::string f = quoteName(fields[t.fields[0]].name);
            switch (t.op) {
                case Where::Op::Equal:
                    // A field without a value reads as its type's empty value:
                    // equal to empty text or 0 in the file as in memory.
                    s += isEmptyOfKind((*t.values)[0]) ? "(" + f + "=? OR " + f + " IS NULL)" : f + "=?";
                    break;
                case Where::Op::NotEqual: s += f + "<>?"; break;
                case Where::Op::AtLeast: s += f + ">=?"; break;
                case Where::Op::Below: s += f + "<?"; break;
                case Where::Op::AtMost: s += f + "<=?"; break;
                case Where::Op::OneOf:
                    s += t.values->empty() ? "0" : f + " IN (" + placeholders(t.values->size()) + ")";
                    break;
                case Where::Op::AnyFieldEqual: {
                    std::string any;
                    for (int i : t.fields)
                        any += (any.empty() ? "(" : " OR ") + quoteName(fields[i].name) + "=?";
                    s += any + ")";
                    break;
                }
            }
        }
        return s;
    }

    void bind(sqlite3_stmt* st) const {
        int n = 0;
        for (const Term& t : terms) {
            if (t.op == Where::Op::AnyFieldEqual)
                for (size_t i = 0; i < t.fields.size(); ++i) bindValue(st, ++n, (*t.values)[0]);
            else
                for (const Value& v : *t.values) bindValue(st, ++n, v);
        }
    }
};

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

// ---- SQLite helpers ----------------------------------------------------------

// A failed SQLite call as the store reports it: a damaged file is a table
// that cannot be read, anything else a file that cannot be written.
[[noreturn]] void fail(int rc, const std::string& detail) {
    const int primary = rc & 0xFF;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        throw StoreError("damaged: " + detail, kUnreadableTable);
    throw StoreError(detail);
}

Statement::Statement(sqlite3* connection, const std::string& sql) : db(connection) {
    if (const int rc = sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr); rc != SQLITE_OK)
        fail(sqlite3_extended_errcode(db), std::string("SQL: ") + sqlite3_errmsg(db) + " in " + sql);
}

bool Statement::row() {
    const int rc = sqlite3_step(st);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(rc, std::string("SQL: ") + sqlite3_errmsg(db));
}

void Statement::done() {
    if (const int rc = sqlite3_step(st); rc != SQLITE_DONE)
        fail(rc, std::string("SQL: ") + sqlite3_errmsg(db));
    sqlite3_reset(st);
    sqlite3_clear_bindings(st);
}

void exec(sqlite3* db, const std::string& sql) {
    char* err = nullptr;
    if (const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err); rc != SQLITE_OK) {
        std::string detail = err ? err : "unknown";
        sqlite3_free(err);
        fail(rc, "SQL: " + detail + " in " + sql);
    }
}

std::string quoteName(const std::string& identifier) {
    std::string quoted = "\"";
    for (const char c : identifier) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

void configureConnection(sqlite3* db) {
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // A double-quoted name is an identifier, never a text: a name that
    // matches no column is an error instead of reading as its own name.
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    // Cells that do not fit their page are corruption, reported as such
    // rather than read as rows missing or wrong.
    sqlite3_exec(db, "PRAGMA cell_size_check=ON", nullptr, nullptr, nullptr);
}

void makePassword(const std::string& password, std::string& salt, std::string& verifier) {
    unsigned char s[16];
    randombytes_buf(s, sizeof s);
    salt = toHex(s, sizeof s);
    verifier = makeVerifier(salt, password);
}

// ---- the table ----------------------------------------------------------------

int TableState::fieldIndex(std::string_view name) const {
    auto it = index.find(name);
    if (it == index.end())
        throw std::logic_error("no field " + std::string(name) + " in " + path.string());
    return it->second;
}

bool TableState::passwordMatches(const std::string& password) const {
    const std::string v = makeVerifier(salt, password);
    return v.size() == verifier.size() && sodium_memcmp(v.data(), verifier.data(), v.size()) == 0;
}

void TableState::setPassword(const std::string& password) { makePassword(password, salt, verifier); }

void TableState::buildIndex() {
    index.clear();
    for (size_t i = 0; i < fields.size(); ++i) index.emplace(fields[i].name, static_cast<int>(i));
}

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

void TableState::scan(const Where& where, long limit, bool reverse,
                      const std::function<bool(Row&)>& visit) const {
    reopenIfNeeded();
    const Resolved r(*this, where);
    // Rows written by the action that satisfy the condition, in order.
    std::vector<Row> extra;
    for (const auto& [id, c] : changed)
        if (r.matches(c.values)) extra.push_back({id, c.values, false});
    std::sort(extra.begin(), extra.end(), [](const Row& a, const Row& b) { return a.id < b.id; });
    for (const Row& a : added)
        if (r.matches(a.values)) extra.push_back(a);
    if (reverse) std::reverse(extra.begin(), extra.end());
    const auto before = [reverse](std::int64_t a, std::int64_t b) { return reverse ? a > b : a < b; };

    // The file's rows and the action's, merged in record order as they come.
    long given = 0;
    size_t next = 0;  // in extra
    const auto give = [&](Row& row) {
        ++given;
        return visit(row) && (limit < 0 || given < limit);
    };
    if (hasFileRows()) {
        Statement st(reader.db, "SELECT rowid," + columnList(fields) + " FROM records" +
                                    r.sql(fields) + " ORDER BY rowid" + (reverse ? " DESC" : ""));
        r.bind(st.st);
        const int n = static_cast<int>(fields.size());
        while (st.row()) {
            const std::int64_t id = sqlite3_column_int64(st.st, 0);
            if (removed.count(id) || changed.count(id)) continue;
            while (next < extra.size() && before(extra[next].id, id))
                if (!give(extra[next++])) return;
            Row row;
            row.id = id;
            row.values.reserve(n);
            for (int i = 0; i < n; ++i) row.values.push_back(columnValue(st.st, i + 1, fields[i].type));
            if (!give(row)) return;
        }
    }
    while (next < extra.size())
        if (!give(extra[next++])) return;
}

std::vector<Row> TableState::select(const Where& where, long limit, bool reverse) const {
    std::vector<Row> out;
    scan(where, limit, reverse, [&](Row& row) {
        out.push_back(std::move(row));
        return true;
    });
    return out;
}

std::optional<Row> TableState::get(std::int64_t id) const {
    reopenIfNeeded();
    auto a = std::lower_bound(added.begin(), added.end(), id,
                              [](const Row& r, std::int64_t x) { return r.id < x; });
    if (a != added.end() && a->id == id) return *a;
    if (auto c = changed.find(id); c != changed.end()) return Row{id, c->second.values, false};
    if (!hasFileRows() || removed.count(id)) return std::nullopt;
    Statement st(reader.db, "SELECT " + columnList(fields) + " FROM records WHERE rowid=?");
    sqlite3_bind_int64(st.st, 1, id);
    if (!st.row()) return std::nullopt;
    Row row;
    row.id = id;
    for (size_t i = 0; i < fields.size(); ++i)
        row.values.push_back(columnValue(st.st, static_cast<int>(i), fields[i].type));
    return row;
}

long TableState::count(const Where& where) const {
    reopenIfNeeded();
    if (changed.empty() && removed.empty() && added.empty()) {
        if (!hasFileRows()) return 0;
        const Resolved r(*this, where);
        Statement st(reader.db, "SELECT count(*) FROM records" + r.sql(fields));
        r.bind(st.st);
        return st.row() ? static_cast<long>(sqlite3_column_int64(st.st, 0)) : 0;
    }
    return static_cast<long>(select(where).size());
}

std::int64_t TableState::appendRow(std::vector<Value> values) {
    reopenIfNeeded();
    if (nextId == 0) {
        nextId = 1;
        if (reader.db && !replaced) {
            Statement st(reader.db, "SELECT max(rowid) FROM records");
            if (st.row()) nextId = sqlite3_column_int64(st.st, 0) + 1;
        }
        if (!added.empty()) nextId = std::max(nextId, added.back().id + 1);
    }
    const std::int64_t id = nextId++;
    added.push_back({id, std::move(values), false});
    ++version;
    written = true;
    return id;
}

void TableState::updateRow(std::int64_t id, std::vector<Value> values, std::uint64_t mask) {
    // Only the changed fields are taken over a record the action already
    // holds: `values` may come from a copy read before another change of it.
    const auto merge = [&](std::vector<Value>& into) {
        for (std::size_t i = 0; i < into.size() && i < values.size(); ++i)
            if (mask & (std::uint64_t{1} << i)) into[i] = std::move(values[i]);
    };
    auto a = std::lower_bound(added.begin(), added.end(), id,
                              [](const Row& r, std::int64_t x) { return r.id < x; });
    if (a != added.end() && a->id == id) {
        merge(a->values);
    } else {
        if (removed.count(id)) throw std::logic_error("a change to a deleted record");
        auto [c, fresh] = changed.try_emplace(id);
        if (fresh)
            c->second.values = std::move(values);
        else
            merge(c->second.values);
        c->second.mask |= mask;
    }
    ++version;
    written = true;
}

void TableState::removeRow(std::int64_t id) {
    auto a = std::lower_bound(added.begin(), added.end(), id,
                              [](const Row& r, std::int64_t x) { return r.id < x; });
    if (a != added.end() && a->id == id) {
        added.erase(a);
    } else {
        changed.erase(id);
        removed.insert(id);
    }
    ++version;
    written = true;
}

void TableState::clearRows() {
    cleared = true;
    changed.clear();
    removed.clear();
    added.clear();
    ++version;
    written = true;
}

void TableState::discardWrites() {
    replaced = cleared = passwordChanged = false;
    changed.clear();
    removed.clear();
    added.clear();
    nextId = 0;
    written = false;
    ++version;
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
        // One statement per set of changed fields, so that indexes of the
        // fields left alone are not rewritten.
        std::map<std::uint64_t, std::unique_ptr<Statement>> updates;
        for (const auto& [id, c] : t.changed) {
            auto& st = updates[c.mask];
            if (!st) {
                std::string set;
                for (size_t i = 0; i < n; ++i)
                    if (c.mask & (std::uint64_t{1} << i))
                        set += (set.empty() ? "" : ",") + quoteName(t.fields[i].name) + "=?";
                st = std::make_unique<Statement>(db, "UPDATE " + s + "records SET " + set +
                                                         " WHERE rowid=?");
            }
            int k = 0;
            for (size_t i = 0; i < n; ++i)
                if (c.mask & (std::uint64_t{1} << i))
                    bindField(st->st, ++k, t.fields[i].type, c.values[i]);
            sqlite3_bind_int64(st->st, k + 1, id);
            st->done();
            if (st->changes() != 1)
                throw StoreError("record " + std::to_string(id) + " vanished from " +
                                 t.path.string());
        }
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
