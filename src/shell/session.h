#pragma once
// The program's process-wide state, owned by main() and handed to every window
// and operation that needs it (no globals), and the way operations reach the
// tables of the open account set.

#include <filesystem>
#include <memory>
#include <string>

#include "shell/login_state.h"
#include "storage/paths.h"
#include "storage/record_store.h"

namespace tw {

class ScopedTable;

struct Session {
    std::filesystem::path dataDir;  // the account-set directory
    LoginState login;
};

// The message of a set whose tables cannot be read (damaged, or not of
// their schema).
inline constexpr const char* kUnreadableSet = kUnreadableTable;

// Path of a table file of the open set.
inline std::filesystem::path tablePath(const Session& session, const std::string& file) {
    return tablePath(session.dataDir, session.login.setName, file);
}

// The password a table file of a set carries: the fixed one for 基本信息, none
// for the phrase and report-scratch tables, the set password for the rest.
std::string tablePassword(const std::string& file, const std::string& setPassword);

// "“账库.edb”是更新版本的程序保存的，本程序不能读写它，请使用新版本的程序！"
std::string newerFormatMessage(const std::string& file);

// Opens a table of the open set (and makes it current) with its password,
// checking that its fields are those of its schema. A table that is missing,
// damaged, foreign or has other fields refuses the operation with
// kUnreadableSet (Refusal), one of a newer format with newerFormatMessage,
// before anything is written.
void openSetTable(RecordStore& store, const Session& session, const std::string& file);
// The same for a set folder that is not the open set's (restore, backup).
bool openTableIn(RecordStore& store, const std::filesystem::path& folder, const std::string& file,
                 const std::string& setPassword);
// The same into `table`, which closes it again when it goes.
bool openTableIn(ScopedTable& table, const std::filesystem::path& folder, const std::string& file,
                 const std::string& setPassword);

// A table of the open set for the length of a scope: opened as openSetTable
// opens it (the set's password, the schema check, refusing before anything is
// written), closed again when this object goes, unless it was open before;
// an operation that is part of a larger one leaves the caller's table open.
class SetTable {
public:
    // How a table that is open already is taken: opened again (current, on
    // its first record, for the cursor), or used as it stands (the indexed
    // handle only).
    enum class IfOpen { Reopen, UseAsItIs };

    SetTable(RecordStore& store, const Session& session, const std::string& file,
             IfOpen ifOpen = IfOpen::Reopen);
    ~SetTable();
    SetTable(const SetTable&) = delete;
    SetTable& operator=(const SetTable&) = delete;
    // Takes over a table of the set that the caller has just opened by other
    // means (made, or opened where a missing file is no refusal): closed when
    // the handle goes.
    static std::unique_ptr<SetTable> adopt(RecordStore& store, const Session& session,
                                           const std::string& file);

    Table& table() { return table_; }
    const Table& table() const { return table_; }
    Table* operator->() { return &table_; }
    const Table* operator->() const { return &table_; }
    const std::filesystem::path& path() const { return path_; }
    // Makes it the cursor's current table again, after another was opened.
    void select();

private:
    SetTable(RecordStore& store, std::filesystem::path path);
    RecordStore& store_;
    std::filesystem::path path_;
    bool opened_ = false;  // opened here: closed when this goes
    Table table_;
};

}  // namespace tw
