#include "shell/login.h"

#include "shell/password_hash.h"
#include "shell/users.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace {
// A name from the chooser or the command line that can only mean a folder
// directly inside the account-set directory.
bool isFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}
}  // namespace

BasicInfoOutcome readBasicInfo(const fs::path& dataDir, const std::string& setName) {
    BasicInfoOutcome out;
    out.message = kBasicInfoUnreadable;
    if (!isFolderName(setName)) return out;
    RecordStore store(dataDir);
    const fs::path path = tablePath(dataDir, setName, file::kBasicInfo);
    if (!store.openTable(path, kFixedPassword)) return out;
    if (store.isPastEnd()) return out;  // a set's 基本信息 always holds its one record
    out.info.companyName = store.readField(field::kCompany).text();
    out.info.startDate = store.readField(field::kStartDate).number();
    out.info.setPassword = store.readField(field::kSetPassword).text();
    out.info.enabled = store.readField(field::kEnabled).boolean();
    out.info.period = store.readField(field::kPeriod).number();
    store.closeTable();
    out.ok = true;
    out.message.clear();
    return out;
}

BeginLoginOutcome beginLogin(const fs::path& dataDir, LoginState& login,
                             const std::string& setName) {
    BeginLoginOutcome out;
    // Nobody is logged in while the window is open, not even a user of the
    // set that was open before.
    login.chosenUserName.clear();
    login.loggedIn = false;
    login.userName.clear();
    login.permission = 0;
    const BasicInfoOutcome basic = readBasicInfo(dataDir, setName);
    if (!basic.ok) {
        out.message = basic.message;
        out.closeWindow = true;
        return out;
    }
    login.setPassword = basic.info.setPassword;
    login.companyName = basic.info.companyName;
    login.period = basic.info.period;
    login.setName = setName;

    UserListOutcome users = listUsers(dataDir, setName, login.setPassword);
    if (!users.ok) {
        out.message = kUsersUnreadable;
        return out;
    }
    out.userNames = std::move(users.names);
    out.ok = true;
    return out;
}

LoginOutcome logIn(const fs::path& dataDir, LoginState& login, const std::string& typedPassword) {
    LoginOutcome out;
    RecordStore store(dataDir);
    const fs::path users = tablePath(dataDir, login.setName, file::kUsers);
    bool found = false;
    std::string hash;
    int permission = 0;
    if (isFolderName(login.setName) && store.openTable(users, login.setPassword)) {
        const std::string& name = login.chosenUserName;
        store.goFirst();
        found = store.findRecord([&](const RecordView& r) { return r.text(field::kUserName) == name; });
        if (found) {
            hash = store.readField(field::kPassword).text();
            permission = static_cast<int>(store.readField(field::kPermission).integer());
        }
        store.closeTable();
    }
    if (!found || !verifyPassword(hash, typedPassword)) {
        out.message = kLoginRefused;
        return out;
    }
    login.userName = login.chosenUserName;
    login.permission = permission;
    login.loggedIn = true;
    if (login.deleteMode) {
        out.ok = true;
        return out;
    }
    const BasicInfoOutcome basic = readBasicInfo(dataDir, login.setName);
    out.openOpeningBalances = basic.ok && !basic.info.enabled;
    out.ok = true;
    return out;
}

}  // namespace tw
