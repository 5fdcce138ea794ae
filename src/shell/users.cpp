#include "shell/users.h"

#include "shell/account_sets.h"
#include "shell/password_hash.h"
#include "shell/login.h"
#include "storage/gbk.h"
#include "storage/paths.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace {

constexpr std::size_t kMaxUserNameBytes = 100;

fs::path usersPath(const fs::path& dataDir, const LoginState& login) {
    return tablePath(dataDir, login.setName, file::kUsers);
}

Condition nameIs(const std::string& name) {
    return [name](const RecordView& r) { return r.text(field::kUserName) == name; };
}

// The checks of the new-user window in their order, then what the table
// cannot hold; fills out.name. Empty when the user may be added.
std::string refusalOf(RecordStore& store, const fs::path& dataDir, const LoginState& login,
                      const NewUserRequest& r, UserOutcome& out) {
    out.name = trimBlanks(r.name);
    if (out.name.empty()) return kUserNameEmpty;
    if (r.password != r.passwordCheck) return kUserPasswordsDiffer;
    if (!store.openTable(usersPath(dataDir, login), login.setPassword)) return kUsersUnreadable;
    store.goFirst();
    const bool taken = store.findRecord(nameIs(out.name));
    store.closeTable();
    if (taken) return kUserNameTaken;
    if (std::string m = checkGbkText("用户名", out.name, kMaxUserNameBytes); !m.empty()) return m;
    return checkGbkText("密码", r.passwordCheck, kMaxPasswordBytes);
}

// Runs `write` on the set's 用户 table inside one action, committed when it
// returns true. A table that will not open or a failing write becomes the
// outcome's message; nothing is written then.
template <typename Write>
bool writeUsers(RecordStore& store, const fs::path& dataDir, const LoginState& login,
                UserOutcome& out, Write write) {
    try {
        Action action(store);
        if (!store.openTable(usersPath(dataDir, login), login.setPassword))
            throw StoreError("用户 does not open", kUsersUnreadable);
        if (!write()) return false;
        action.commit();
        store.closeTable();
        return true;
    } catch (const StoreError& e) {
        out.message = e.userMessage().empty() ? kDiskFailure : e.userMessage();
        out.detail = e.what();
        return false;
    }
}

}  // namespace

UserListOutcome listUsers(const fs::path& dataDir, const std::string& setName,
                          const std::string& setPassword) {
    UserListOutcome out;
    RecordStore store(dataDir);
    if (setName.empty() || !store.openTable(tablePath(dataDir, setName, file::kUsers), setPassword)) {
        out.message = kUsersUnreadable;
        return out;
    }
    for (store.goFirst(); !store.isPastEnd(); store.skipRecords(1))
        out.names.push_back(store.readField(field::kUserName).text());
    store.closeTable();
    out.ok = true;
    return out;
}

UserOutcome checkNewUser(const fs::path& dataDir, const LoginState& login,
                         const NewUserRequest& request) {
    UserOutcome out;
    RecordStore store(dataDir);
    out.message = refusalOf(store, dataDir, login, request, out);
    out.ok = out.message.empty();
    return out;
}

std::string newUserQuestion(const std::string& name) {
    return "是否创建用户：" + name + "  ？\r\n创建后将不能再删除！";
}

UserOutcome addUser(const fs::path& dataDir, const LoginState& login,
                    const NewUserRequest& request) {
    UserOutcome out;
    RecordStore store(dataDir);
    out.message = refusalOf(store, dataDir, login, request, out);
    if (!out.message.empty()) return out;
    const std::string hash = hashPassword(request.passwordCheck);
    if (!writeUsers(store, dataDir, login, out, [&] {
            store.appendRecord({out.name, hash, 2});
            return true;
        }))
        return out;
    out.ok = true;
    out.message = out.name + kUserCreated;
    return out;
}

UserOutcome changePassword(const fs::path& dataDir, const LoginState& login,
                           const std::string& oldPassword, const std::string& newPassword,
                           const std::string& repeatPassword) {
    UserOutcome out;
    out.name = login.userName;
    if (newPassword != repeatPassword) {
        out.message = kNewPasswordsDiffer;
        return out;
    }
    if (out.message = checkGbkText("密码", newPassword, kMaxPasswordBytes); !out.message.empty())
        return out;
    RecordStore store(dataDir);
    if (!writeUsers(store, dataDir, login, out, [&] {
            store.goFirst();
            if (!store.findRecord(nameIs(login.userName)) ||
                !verifyPassword(store.readField(field::kPassword).text(), oldPassword)) {
                out.message = kOldPasswordWrong;
                return false;
            }
            store.writeField(field::kPassword, hashPassword(newPassword));
            return true;
        }))
        return out;
    out.ok = true;
    out.message = kPasswordChanged;
    return out;
}

}  // namespace tw
