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

void addUserAddCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<UserAddOptions>();
    addCommand(
        *group(app, "user", "用户"), ctx, "add", "新建用户",
        [o](CLI::App& sub) {
            sub.add_option("set", o->set, "套账名称")->required();
            sub.add_option("name", o->name, "新用户名")->required();
            sub.add_option("--password", o->password, "新用户的密码");
            sub.add_option("--as", o->as, "登录的用户名");
            sub.add_option("--as-password", o->asPassword, "登录用户的密码");
        },
        [o](Context& c) {
            if (!logInForCommand(c, o->set, o->as, o->asPassword)) return;
            c.report(addUser(*c.store, c.session, {o->name, o->password, o->password}));
        });
}

}  // namespace tw::cli
