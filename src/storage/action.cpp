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
}  // namespace

void RecordStore::commitAction() {
    for (const auto& [key, c] : cursors_)
        for (const Row& r : c->rows)
            if (r.marked)
                throw std::logic_error("deleted marks without purgeDeleted in " + key);
    std::vector<std::shared_ptr<TableState>> tables;
    for (const auto& key : written_)
        if (auto t = tables_.at(key); t->written) tables.push_back(t);
    if (tables.empty()) return;

    std::vector<std::filesystem::path> madeFiles;  // files this commit brings into being
    try {
        Attachments attached(db_);
        std::vector<std::string> aliases;
        for (const auto& t : tables) {
            struct stat st{};
            // A table made anew replaces what is at its name, never what a
            // link there points to.
            const bool exists = (t->replaced ? ::lstat(t->path.c_str(), &st)
                                             : ::stat(t->path.c_str(), &st)) == 0;
            if (t->replaced) {
                // Whatever is there is replaced; something that is not a table
                // file cannot be written over in place.
                RecordStore::OpenFailure f;
                if (exists && (!S_ISREG(st.st_mode) || st.st_size == 0 ||
                               !detail::openTableFile(t->path, f))) {
                    std::error_code ec;
                    std::filesystem::remove(t->path, ec);
                    if (ec) throw StoreError("cannot replace " + t->path.string());
                }
                if (!std::filesystem::exists(t->path)) madeFiles.push_back(t->path);
            } else if (t->reopenIfNeeded(); !exists || st.st_dev != t->device || st.st_ino != t->inode) {
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
            detail::exec(db_, "COMMIT");
        } catch (...) {
            sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
    } catch (...) {
        std::error_code ec;
        for (const auto& p : madeFiles) std::filesystem::remove(p, ec);
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
        store_.commitAction();
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
