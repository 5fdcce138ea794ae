#pragma once
// The program's process-wide state, owned by main() and handed to every window
// and operation that needs it (no globals), and the way operations reach the
// tables of the open account set.

#include <filesystem>
#include <string>

#include "shell/login_state.h"
#include "storage/paths.h"
#include "storage/record_store.h"

namespace tw {

struct Session {
    std::filesystem::path dataDir;  // the account-set directory
    LoginState login;
};

// The message of a set whose tables cannot be read (damaged, or not of
// their schema).
inline constexpr const char* kUnreadableSet = kUnreadableTable;

// Path of a table file of the open set.
inline std::filesystem::path table(const Session& session, const std::string& file) {
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

}  // namespace tw
