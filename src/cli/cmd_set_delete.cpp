// tallowick-cli set delete NAME --user U --password P: deletes a set as its
// administrator (the confirmation is taken as answered yes).
#include "cli/set_login.h"
#include "shell/account_sets.h"
#include "shell/set_lock.h"

namespace tw::cli {

namespace {
struct DeleteOptions {
    std::string name, user, password;
};
}  // namespace

void addSetDeleteCommand(Commands& commands) {
    auto o = std::make_shared<DeleteOptions>();
    commands.in("set", "套账").add(
        "delete", "删除套账 (需要管理员登录)",
        [o](Options& sub) {
            sub.add("name", o->name, "套账名称").required();
            sub.add("--user", o->user, "用户名");
            sub.add("--password", o->password, "密码");
        },
        [o](Context& c) {
            if (!logInForCommand(c, o->name, o->user, o->password, LoginPurpose::DeleteSet)) return;
            c.report(underDirectoryLock(c.dataDir,
                                        [&] { return deleteAccountSet(c.dataDir, c.session.login); }));
        });
}

}  // namespace tw::cli
