#pragma once
// A real account set in a temporary account-set directory, logged in as its
// administrator, for the tests of the chart, the phrases and the openings.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "accounts/account_codes.h"
#include "accounts/chart.h"
#include "accounts/opening_balances.h"
#include "shell/account_sets.h"
#include "shell/session.h"
#include "startup/start_up.h"
#include "storage/dates.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw::test {

inline std::filesystem::path freshTempDir(const std::string& tag) {
    static int counter = 0;
    auto dir = std::filesystem::temp_directory_path() /
               ("tallowick-" + tag + "-" + std::to_string(::getpid()) + "-" +
                std::to_string(++counter));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// Makes a set named `name` (started 2013-3-1) in `dataDir` and logs its
// administrator in to `session`, the set given its account codes as the
// first login to work gives them.
inline void makeSet(const std::filesystem::path& dataDir, const std::string& name,
                    Session& session) {
    prepareDataDir(dataDir);
    NewSetRequest r;
    r.setName = name;
    r.companyName = "测试公司";
    r.adminName = "张三";
    r.password = r.passwordCheck = "mima";
    r.startDate = dayNumber(2013, 3, 1);
    const auto made = createAccountSet(dataDir, r);
    ASSERT_TRUE(made.ok) << made.message << " " << made.detail;
    session.dataDir = dataDir;
    session.login.loggedIn = true;
    session.login.setName = made.value.setName;
    session.login.setPassword = made.value.setPassword;
    session.login.companyName = r.companyName;
    session.login.userName = r.adminName;
    session.login.permission = 1;
    session.login.period = r.startDate;
    RecordStore store(dataDir);
    const Outcome coded = runAction(store, [&] { giveAccountCodes(store, session); });
    ASSERT_TRUE(coded.ok) << coded.message << " " << coded.detail;
}

// Every record of a table file, in order.
inline std::vector<std::vector<Value>> tableRows(const std::filesystem::path& path,
                                                 const std::string& password) {
    RecordStore store(path.parent_path().parent_path());
    std::vector<std::vector<Value>> rows;
    if (!store.openTable(path, password)) {
        ADD_FAILURE() << "cannot open " << path;
        return rows;
    }
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1)) {
        std::vector<Value> row;
        for (int i = 1; i <= store.fieldCount(); ++i) row.push_back(store.readField(i));
        rows.push_back(std::move(row));
    }
    store.closeTable();
    return rows;
}

class AccountSetTest : public ::testing::Test {
protected:
    // Making a set hashes the administrator's password, which takes a while:
    // the set is made once and every test works on its own copy.
    static void SetUpTestSuite() {
        master_ = freshTempDir("acc-master");
        makeSet(master_, "演示账套", masterSession_);
    }
    static void TearDownTestSuite() { std::filesystem::remove_all(master_); }

    void SetUp() override {
        dataDir = freshTempDir("acc");
        std::filesystem::copy(master_, dataDir, std::filesystem::copy_options::recursive |
                                                    std::filesystem::copy_options::overwrite_existing);
        session = masterSession_;
        session.dataDir = dataDir;
        store = std::make_unique<RecordStore>(dataDir);
    }
    void TearDown() override {
        store.reset();
        std::filesystem::remove_all(dataDir);
    }

    std::filesystem::path path(const char* file) const {
        return tablePath(dataDir, session.login.setName, file);
    }
    std::vector<std::vector<Value>> rows(const char* file) const {
        const bool fixed = std::string(file) == file::kBasicInfo;
        const bool open = std::string(file) == file::kPhrases;
        return tableRows(path(file), fixed ? kFixedPassword : open ? "" : session.login.setPassword);
    }
    // Appends one record to a table of the set.
    void append(const char* file, const std::vector<Value>& values) {
        const bool open = std::string(file) == file::kPhrases;
        Action a(*store);
        ASSERT_TRUE(store->openTable(path(file), open ? "" : session.login.setPassword));
        store->appendRecord(values);
        a.commit();
        store->closeTable();
    }

    std::filesystem::path dataDir;
    // Adds a debit sub-account `name` under `parent`, in the parent's category.
    void addSub(const std::string& parent, const std::string& name) {
        NewAccount r;
        r.mode = AddMode::SubAccount;
        r.typed = name;
        r.direction = "借方";
        r.selectedAccount = parent;
        for (const Account& a : loadAccounts(*store, session))
            if (a.name == parent) r.category = categoryNumber(a.category);
        const auto added = runAction(*store, [&] { return addAccount(*store, session, r); });
        ASSERT_TRUE(added.ok) << parent << "→" << name << " " << added.message;
    }

    // Enables the set without opening amounts, as 启用套账 on an empty list
    // does: the books may be kept from then on.
    void enableEmpty() {
        const Outcome out = runAction(*store, [&] {
            enableSet(*store, session, loadOpeningList(*store, session));
        });
        ASSERT_TRUE(out.ok) << out.message << " " << out.detail;
    }

    // Deletes an account as the chart window's button does, in one action.
    Result<std::string> deleteOne(const std::string& name) {
        return runAction(*store, [&] { return deleteAccount(*store, session, name); });
    }

    Session session;
    AccountPicker picker;  // what the chart window remembers
    std::unique_ptr<RecordStore> store;

private:
    static inline std::filesystem::path master_;
    static inline Session masterSession_;
};

}  // namespace tw::test
