#include "shell/login.h"

#include <optional>

#include "shell/action_log.h"
#include "shell/password_hash.h"
#include "storage/record_store.h"
#include "storage/recovery.h"
#include "storage/schemas.h"
#include "storage/scoped_table.h"

namespace tw {

std::string unrepairedTableMessage(const fs::path& table) {
    return "套账文件“" + pathText(table) +
           "”中有一次中断的操作无法复原，本套账暂不能使用！  请检查该文件能否写入后重试！";
}

bool isFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

BasicInfo readBasicInfo(RecordStore& store, const fs::path& dataDir, const std::string& setName) {
    ScopedTable basic(store);
    if (!isFolderName(setName) ||
        !openTableIn(basic, setFolder(dataDir, setName), file::kBasicInfo, {}))
        refuse(kBasicInfoUnreadable, "基本信息 of " + setName + " does not open");
    const Table t = basic.table();
    const auto record = t.first();
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

namespace {

struct StoredUser {
    std::string passwordHash;
    int permission = 0;
};

// The first record of `用户` of the set being logged into that names `userName`;
// none when there is no such record or the table does not open.
std::optional<StoredUser> storedUser(RecordStore& store, const Session& session,
                                     const std::string& userName) {
    const LoginState& login = session.login;
    if (!isFolderName(login.setName)) return std::nullopt;
    ScopedTable users(store);
    if (!openTableIn(users, setFolder(session.dataDir, login.setName), file::kUsers,
                     login.setPassword))
        return std::nullopt;
    const Table t = users.table();
    const auto user = t.first(Where().equal(field::kUserName, userName));
    if (!user) return std::nullopt;
    return StoredUser{(*user)[t.position(field::kPassword)].text(),
                      static_cast<int>((*user)[t.position(field::kPermission)].integer())};
}

}  // namespace

Result<bool> logIn(RecordStore& store, Session& session, const LoginRequest& request) {
    LoginState& login = session.login;
    std::string unrecorded;  // why the login's entry is missing from 上机日志
    Outcome upToDate;
    Result<bool> out = runCaught([&] {
        const auto user = storedUser(store, session, request.userName);
        if (!user || !verifyPassword(user->passwordHash, request.password)) {
            const Outcome noted =
                isFolderName(login.setName)
                    ? recordOnItsOwn(store, setFolder(session.dataDir, login.setName),
                                     login.setPassword,
                                     {currentMoment(), request.userName, logged::kLoginFailed, {}})
                    : Outcome{};
            refuse(kLoginRefused, noted.ok ? std::string() : "failed login not logged: " + noted.detail);
        }
        bool openingBalances = false;
        if (request.purpose == LoginPurpose::Work) {
            if (request.bringUpToDate)
                upToDate = runAction(store, [&] { request.bringUpToDate(store, session); });
            const auto basic = basicInfoOf(store, session.dataDir, login.setName);
            openingBalances = basic.ok && !basic.value.enabled;
        }
        login.userName = request.userName;
        login.permission = user->permission;
        login.loggedIn = true;
        if (request.purpose == LoginPurpose::Work) {
            const Outcome noted = runAction(store, [&] {
                if (request.recorded) logAction(store, session, logged::kLogin);
                else ensureActionLog(store, session);
            });
            if (!noted.ok) unrecorded = "login not logged: " + noted.detail;
        }
        return openingBalances;
    });
    if (out.ok) out.detail = unrecorded;
    if (out.ok && !upToDate.ok)
        out.detail += (out.detail.empty() ? "" : " ") + upToDate.message + " " + upToDate.detail;
    return out;
}

Result<bool> logInTo(RecordStore& store, Session& session, const std::string& setName,
                     const LoginRequest& request) {
    const Outcome begun = beginLogin(store, session, setName);
    if (!begun.ok) return begun;
    return logIn(store, session, request);
}

}  // namespace tw
