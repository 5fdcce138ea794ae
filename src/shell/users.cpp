#include "shell/users.h"

#include "shell/account_sets.h"
#include "shell/action_log.h"
#include "shell/password_hash.h"
#include "storage/gbk.h"
#include "storage/record_store.h"
#include "storage/schemas.h"

namespace tw {

namespace {

constexpr std::size_t kMaxUserNameBytes = 100;

// The checks of the new-user window in their order, then what the table
// cannot hold. Returns the trimmed name.
std::string checkedNewUser(RecordStore& store, const Session& session, const NewUserRequest& r) {
    const std::string name = trimBlanks(r.name);
    if (name.empty()) refuse(kUserNameEmpty);
    if (r.password != r.passwordCheck) refuse(kUserPasswordsDiffer);
    if (SetTable(store, session, file::kUsers)->any(Where().equal(field::kUserName, name)))
        refuse(kUserNameTaken);
    if (std::string m = checkGbkText("用户名", name, kMaxUserNameBytes); !m.empty()) refuse(m);
    if (std::string m = checkGbkText("密码", r.passwordCheck, kMaxPasswordBytes); !m.empty())
        refuse(m);
    return name;
}

}  // namespace

Result<std::string> checkNewUser(RecordStore& store, const Session& session,
                                 const NewUserRequest& request) {
    return runCaught([&] { return checkedNewUser(store, session, request); });
}

std::string newUserQuestion(const std::string& name) {
    return "是否创建用户：" + name + "  ？\r\n创建后将不能再删除！";
}

Outcome addUser(RecordStore& store, const Session& session, const NewUserRequest& request) {
    return runAction(store, [&] {
        const std::string name = checkedNewUser(store, session, request);
        const SetTable users(store, session, file::kUsers);
        store.appendRecord({name, hashPassword(request.passwordCheck), 2});
        logAction(store, session, logged::kUserAdded, name);
        return Outcome::done(name + kUserCreated);
    });
}

Outcome changePassword(RecordStore& store, const Session& session, const std::string& oldPassword,
                       const std::string& newPassword, const std::string& repeatPassword) {
    return runAction(store, [&] {
        if (newPassword != repeatPassword) refuse(kNewPasswordsDiffer);
        if (std::string m = checkGbkText("密码", newPassword, kMaxPasswordBytes); !m.empty())
            refuse(m);
        SetTable users(store, session, file::kUsers);
        const auto user = users->first(Where().equal(field::kUserName, session.login.userName));
        if (!user || !verifyPassword((*user)[users->position(field::kPassword)].text(), oldPassword))
            refuse(kOldPasswordWrong);
        users->set(user->id, field::kPassword, hashPassword(newPassword));
        logAction(store, session, logged::kPasswordChanged);
        return Outcome::done(kPasswordChanged);
    });
}

}  // namespace tw
