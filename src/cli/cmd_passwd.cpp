// tallowick-cli passwd SET --user U --old P --new P2: a user changes the own password.
#include "cli/set_login.h"
#include "shell/users.h"

namespace tw::cli {

namespace {
struct PasswdOptions {
    std::string set, user, oldPassword, newPassword;
};
}  // namespace

void addPasswdCommand(Commands& commands) {
    auto o = std::make_shared<PasswdOptions>();
    commands.add(
        "passwd", "修改自己的密码",
        [o](Options& sub) {
            sub.add("set", o->set, "套账名称").required();
            sub.add("--user", o->user, "用户名");
            sub.add("--old", o->oldPassword, "原密码");
            sub.add("--new", o->newPassword, "新密码");
        },
        [o](Context& c) {
            if (!logInForCommand(c, o->set, o->user, o->oldPassword)) return;
            c.report(changePassword(*c.store, c.session, o->oldPassword, o->newPassword,
                                    o->newPassword));
        });
}

}  // namespace tw::cli
