#pragma once
// Account sets made by the real operations in a throw-away account-set
// directory, and snapshots of their table files for before/after comparisons.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "../storage/store_fixture.h"
#include "shell/account_sets.h"
#include "shell/login.h"
#include "shell/users.h"
#include "startup/start_up.h"
#include "storage/dates.h"
#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw::test {

namespace fs = std::filesystem;

inline NewSetRequest setRequest(const std::string& name, const std::string& admin = "张三",
                                const std::string& password = "mima") {
    NewSetRequest r;
    r.setName = name;
    r.companyName = "某某商贸有限公司";
    r.adminName = admin;
    r.password = r.passwordCheck = password;
    r.startDate = dayNumber(2012, 3, 15);
    return r;
}

// A login state as the login window leaves it after `user` logged in.
inline Session loggedIn(const fs::path& dataDir, const std::string& set, const std::string& user,
                        const std::string& password) {
    Session session;
    session.dataDir = dataDir;
    RecordStore store(dataDir);
    const auto begun = beginLogin(store, session, set);
    EXPECT_TRUE(begun.ok) << begun.message;
    const auto done = logIn(store, session, {.userName = user, .password = password});
    EXPECT_TRUE(done.ok) << done.message;
    return session;
}

// The password of a set's working tables, read as the login window reads it.
inline std::string setPasswordOf(const fs::path& dataDir, const std::string& set) {
    RecordStore store(dataDir);
    return basicInfoOf(store, dataDir, set).value.setPassword;
}

// The user operations as one window action each, on a store of their own.
inline Outcome addUser(const fs::path& dataDir, const Session& session, const NewUserRequest& r) {
    RecordStore store(dataDir);
    return tw::addUser(store, session, r);
}
inline Outcome changePassword(const fs::path& dataDir, const Session& session,
                              const std::string& oldPassword, const std::string& newPassword,
                              const std::string& repeat) {
    RecordStore store(dataDir);
    return tw::changePassword(store, session, oldPassword, newPassword, repeat);
}

// Every table file of a set folder with its rows (as text), by file name.
// Files that are not tables map to their size, folders to "<folder>".
inline std::map<std::string, std::vector<std::string>> snapshot(const fs::path& dataDir,
                                                                const fs::path& folder) {
    std::map<std::string, std::vector<std::string>> out;
    const auto basic = tableRows(dataDir, folder / fs::u8path(file::kBasicInfo), kFixedPassword);
    RecordStore store(dataDir);
    std::string setPassword;
    if (store.openTable(folder / fs::u8path(file::kBasicInfo), kFixedPassword) && !store.isPastEnd())
        setPassword = store.readField(field::kSetPassword).text();
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string name = pathText(e.path().filename());
        if (e.is_directory()) {
            out[name] = {"<folder>"};
            continue;
        }
        if (name == file::kBasicInfo) {
            out[name] = basic;
            continue;
        }
        auto rows = tableRows(dataDir, e.path(), setPassword);
        if (rows == std::vector<std::string>{"<cannot open>"}) rows = tableRows(dataDir, e.path(), "");
        if (rows == std::vector<std::string>{"<cannot open>"})
            rows = {"bytes " + std::to_string(fs::file_size(e.path()))};
        out[name] = rows;
    }
    return out;
}

// A snapshot without 上机日志: for sets that differ only by what the log
// recorded, such as a set and the restore of its archive (the restore logs
// itself in the set it brings back).
inline std::map<std::string, std::vector<std::string>> withoutLog(
    std::map<std::string, std::vector<std::string>> snapshot) {
    snapshot.erase(file::kActionLog);
    return snapshot;
}

// Names of the entries of a folder, sorted.
inline std::vector<std::string> entryNames(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(pathText(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override { prepareDataDir(dataDir()); }
    const fs::path& dataDir() const { return dir_.path(); }

    Result<CreatedSet> create(const NewSetRequest& r) {
        auto made = createAccountSet(dataDir(), r);
        EXPECT_TRUE(made.ok) << made.message << " / " << made.detail;
        return made;
    }

private:
    TempDir dir_;
};

}  // namespace tw::test
