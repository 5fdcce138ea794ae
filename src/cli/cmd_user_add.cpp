// tallowick-cli user add SET NAME --password P --as U --as-password P2: a
// logged-in user adds a user (the confirmation is taken as answered yes).
#include "cli/set_login.h"
#include "shell/users.h"

namespace tw::cli {

namespace {
struct UserAddOptions {
    std::string set, name, password, as, asPassword;
};
}  // namespace

void addUserAddCommand(Commands& commands) {
    auto o = std::make_shared<UserAddOptions>();
    commands.in("user", "用户").add(
        "add", "新建用户",
        [o](Options& sub) {
            sub.add("set", o->set, "套账名称").required();
            sub.add("name", o->name, "新用户名").required();
            sub.add("--password", o->password, "新用户的密码");
            sub.add("--as", o->as, "登录的用户名");
            sub.add("--as-password", o->asPassword, "登录用户的密码");
        },
        [o](Context& c) {
            if (!logInForCommand(c, o->set, o->as, o->asPassword)) return;
            c.report(addUser(*c.store, c.session, {o->name, o->password, o->password}));
        });
}

}  // namespace tw::cli
