// The action: the commit that writes every table the action touched in one
// SQLite transaction across attached files, or none, and the rollback that
// shows the files as they were again.
#include "storage/record_store.h"

#include <sys/stat.h>

#include <system_error>

#include "storage/cursor.h"
#include "storage/sqlite_connection.h"
#include "storage/table_file.h"

namespace tw {

using detail::Row;
using detail::TableState;

namespace {
// Attached table files of one commit, detached however the commit ends.
class Attachments {
public:
    explicit Attachments(sqlite3* db) : db_(db) {}
    ~Attachments() {
        for (const auto& alias : aliases_)
            sqlite3_exec(db_, ("DETACH DATABASE " + alias).c_str(), nullptr, nullptr, nullptr);
    }
    std::string attach(const std::filesystem::path& path) {
        const std::string alias = "t" + std::to_string(aliases_.size() + 1);
        detail::Statement st(db_, "ATTACH DATABASE ? AS " + alias);
        sqlite3_bind_text(st.st, 1, path.c_str(), -1, SQLITE_TRANSIENT);
        st.done();
        aliases_.push_back(alias);
        detail::exec(db_, "PRAGMA " + alias + ".journal_mode=DELETE; PRAGMA " + alias +
                              ".synchronous=FULL; PRAGMA " + alias + ".cache_size=-16000");
        return alias;
    }

private:
    sqlite3* db_;
    std::vector<std::string> aliases_;
};

// Whether a COMMIT that reported a failure has landed all the same. SQLite
// commits an action across files by removing its super-journal, then syncs
// the folder that held it; only that sync, after the commit point, reports
// SQLITE_IOERR_DIR_FSYNC in our set-up (rollback journals, synchronous=FULL),
// and the transaction has ended then: the journals left name a super-journal
// that is gone, so nothing ever plays them back.
bool landedUnsynced(sqlite3* db) {
    return sqlite3_extended_errcode(db) == SQLITE_IOERR_DIR_FSYNC && sqlite3_get_autocommit(db);
}

// What stands at the name of a table made anew, before the commit writes it.
enum class Place { Free, Table, Link, Foreign };

Place placeOf(const std::filesystem::path& path) {
    struct stat st{};
    if (::lstat(path.c_str(), &st) != 0) return Place::Free;
    if (S_ISLNK(st.st_mode)) return Place::Link;
    // An empty file is an empty database to SQLite: written in place.
    RecordStore::OpenFailure f;
    if (S_ISREG(st.st_mode) && (st.st_size == 0 || detail::openTableFile(path, f))) return Place::Table;
    return Place::Foreign;
}
}  // namespace

bool RecordStore::commitAction() {
    for (const auto& [key, c] : cursors_)
        for (const Row& r : c->rows)
            if (r.marked)
                throw std::logic_error("deleted marks without purgeDeleted in " + key);
    std::vector<std::shared_ptr<TableState>> tables;
    for (const auto& key : written_)
        if (auto t = tables_.at(key); t->written) tables.push_back(t);
    if (tables.empty()) return true;

    std::vector<std::filesystem::path> madeFiles;  // files this commit brings into being
    // Links a table made anew took the place of, with what they named: put
    // back should the commit fail.
    std::vector<std::pair<std::filesystem::path, std::filesystem::path>> links;
    bool confirmed = true;
    try {
        Attachments attached(db_);
        std::vector<std::string> aliases;
        for (const auto& t : tables) {
            if (t->replaced) {
                // A table made anew is written into a table file or an empty
                // file at its name, inside the transaction, and replaces a
                // link there, never what the link points to. Anything else
                // (another program's file, a newer program's table, a folder)
                // is not ours to delete: the action stops.
                switch (placeOf(t->path)) {
                    case Place::Free: madeFiles.push_back(t->path); break;
                    case Place::Table: break;
                    case Place::Link: {
                        std::error_code ec;
                        const auto named = std::filesystem::read_symlink(t->path, ec);
                        if (ec || !std::filesystem::remove(t->path, ec))
                            throw StoreError("cannot replace the link " + t->path.string());
                        links.emplace_back(t->path, named);
                        madeFiles.push_back(t->path);
                        break;
                    }
                    case Place::Foreign:
                        throw StoreError("not a table file at " + t->path.string(), kUnreadableTable);
                }
            } else {
                struct stat st{};
                t->reopenIfNeeded();
                if (::stat(t->path.c_str(), &st) != 0 || st.st_dev != t->device || st.st_ino != t->inode)
                    throw StoreError("table file vanished or was replaced: " + t->path.string());
            }
            aliases.push_back(attached.attach(t->path));
        }
        detail::exec(db_, "BEGIN IMMEDIATE");
        try {
            for (size_t i = 0; i < tables.size(); ++i) {
                if (commitHook_) commitHook_(tables[i]->path);
                detail::writeChanges(db_, aliases[i], *tables[i]);
            }
            try {
                detail::exec(db_, "COMMIT");
            } catch (const StoreError&) {
                if (!landedUnsynced(db_)) throw;
                confirmed = false;
            }
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (...) {
        std::error_code ec;
        for (const auto& p : madeFiles) std::filesystem::remove(p, ec);
        for (const auto& [link, named] : links) std::filesystem::create_symlink(named, link, ec);
        throw;
    }

    // The files now hold what the tables showed. Nothing may fail from here
    // on: the commit has landed. A table made anew is read again when next
    // used (and fails then, should its file be gone).
    for (const auto& t : tables) {
        const bool wasReplaced = t->replaced;
        const auto version = t->version;
        t->discardWrites();
        t->version = version;  // the cursors' rows are still right
        if (wasReplaced) {
            t->reader.close();
            t->reopen = true;
        }
    }
    return confirmed;
}

void RecordStore::rollbackAction() {
    // The files are as they were: tables show them again; a table that was
    // being made shows what its file holds, or is closed when there is none.
    // Deleted marks belong to the action too.
    for (auto& [key, c] : cursors_)
        for (Row& r : c->rows) r.marked = false;
    for (const auto& key : written_) {
        auto it = tables_.find(key);
        if (it == tables_.end()) continue;
        auto t = it->second;
        const bool reread = t->replaced || t->passwordChanged;
        t->discardWrites();
        if (reread) {
            RecordStore::OpenFailure f;
            auto fresh = detail::openTableFile(t->path, f);
            if (!fresh) {
                for (auto c = cursors_.begin(); c != cursors_.end();) {
                    if (c->second->table != t) {
                        ++c;
                        continue;
                    }
                    if (current_ == c->first) current_.clear();
                    c = cursors_.erase(c);
                }
                t->cursors = 0;
                tables_.erase(it);
                continue;
            }
            std::swap(t->reader.db, fresh->reader.db);
            t->reopen = false;
            t->fields = fresh->fields;
            t->buildIndex();
            t->salt = fresh->salt;
            t->verifier = fresh->verifier;
            t->device = fresh->device;
            t->inode = fresh->inode;
        }
        if (t->cursors == 0) tables_.erase(it);
    }
    written_.clear();
}

Action::Action(RecordStore& store) : store_(store) {
    if (store_.action_) throw std::logic_error("actions do not nest");
    store_.action_ = this;
}

Action::~Action() {
    if (!done_) store_.rollbackAction();
    store_.dropScratchCopies();
    store_.action_ = nullptr;
}

void Action::commit() {
    if (done_) throw std::logic_error("action committed twice");
    try {
        confirmed_ = store_.commitAction();
    } catch (...) {
        store_.rollbackAction();
        store_.dropScratchCopies();
        done_ = true;
        store_.action_ = nullptr;
        throw;
    }
    for (const auto& key : store_.written_) store_.dropIfUnused(key);
    store_.written_.clear();
    done_ = true;
}

}  // namespace tw
