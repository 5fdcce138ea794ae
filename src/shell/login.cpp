#include "shell/login.h"

#include "shell/password_hash.h"
#include "storage/record_store.h"
#include "storage/recovery.h"
#include "storage/schemas.h"

namespace tw {

std::string unrepairedTableMessage(const fs::path& table) {
    return "套账文件“" + pathText(table) +
           "”中有一次中断的操作无法复原，本套账暂不能使用！  请检查该文件能否写入后重试！";
}

bool isFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

BasicInfo readBasicInfo(RecordStore& store, const fs::path& dataDir, const std::string& setName) {
    if (!isFolderName(setName) ||
        !openTableIn(store, setFolder(dataDir, setName), file::kBasicInfo, {}))
        refuse(kBasicInfoUnreadable, "基本信息 of " + setName + " does not open");
    const Table t = store.table(tablePath(dataDir, setName, file::kBasicInfo));
    const auto record = t.first();
    store.closeTable();
    // A set's 基本信息 always holds its one record.
    if (!record) refuse(kBasicInfoUnreadable, "基本信息 of " + setName + " is empty");
    BasicInfo info;
    info.companyName = (*record)[t.position(field::kCompany)].text();
    info.startDate = (*record)[t.position(field::kStartDate)].number();
    info.setPassword = (*record)[t.position(field::kSetPassword)].text();
    info.enabled = (*record)[t.position(field::kEnabled)].boolean();
    info.period = (*record)[t.position(field::kPeriod)].number();
    return info;
}

Result<BasicInfo> basicInfoOf(RecordStore& store, const fs::path& dataDir,
                              const std::string& setName) {
    return runCaught([&] { return readBasicInfo(store, dataDir, setName); });
}

std::vector<std::string> userNames(RecordStore& store, const Session& session) {
    const SetTable users(store, session, file::kUsers);
    std::vector<std::string> names;
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
        names.push_back(store.readField(field::kUserName).text());
    return names;
}

Result<std::vector<std::string>> beginLogin(RecordStore& store, Session& session,
                                            const std::string& setName) {
    LoginState& login = session.login;
    // Nobody is logged in while the window is open, not even a user of the
    // set that was open before.
    login.chosenUserName.clear();
    login.loggedIn = false;
    login.userName.clear();
    login.permission = 0;
    return runCaught([&] {
        // An interrupted commit that could not be rolled back yet: the set's
        // tables are out of step until it is.
        if (isFolderName(setName))
            if (const auto stuck = unrecoveredTables(setFolder(session.dataDir, setName));
                !stuck.empty())
                refuse(unrepairedTableMessage(stuck.front()), "hot journal of " + pathText(stuck.front()));
        const BasicInfo basic = readBasicInfo(store, session.dataDir, setName);
        login.setPassword = basic.setPassword;
        login.companyName = basic.companyName;
        login.period = basic.period;
        login.setName = setName;
        return userNames(store, session);
    });
}

Result<bool> logIn(RecordStore& store, Session& session, const std::string& typedPassword) {
    LoginState& login = session.login;
    return runCaught([&] {
        std::string hash;
        int permission = 0;
        bool found = false;
        if (isFolderName(login.setName) &&
            openTableIn(store, setFolder(session.dataDir, login.setName), file::kUsers,
                        login.setPassword)) {
            const Table users = store.table(tablePath(session, file::kUsers));
            const auto user = users.first(Where().equal(field::kUserName, login.chosenUserName));
            store.closeTable();
            if (user) {
                found = true;
                hash = (*user)[users.position(field::kPassword)].text();
                permission = static_cast<int>((*user)[users.position(field::kPermission)].integer());
            }
        }
        if (!found || !verifyPassword(hash, typedPassword)) refuse(kLoginRefused);
        bool openingBalances = false;
        if (!login.deleteMode) {
            const auto basic = basicInfoOf(store, session.dataDir, login.setName);
            openingBalances = basic.ok && !basic.value.enabled;
        }
        login.userName = login.chosenUserName;
        login.permission = permission;
        login.loggedIn = true;
        return openingBalances;
    });
}

}  // namespace tw
