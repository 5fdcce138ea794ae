// tallowick-cli set delete NAME --user U --password P: deletes a set as its
// administrator (the confirmation is taken as answered yes).
#include "cli/set_login.h"
#include "shell/account_sets.h"

namespace tw::cli {

namespace {
struct DeleteOptions {
    std::string name, user, password;
};
}  // namespace

void addSetDeleteCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<DeleteOptions>();
    addCommand(
        *group(app, "set", "套账"), ctx, "delete", "删除套账 (需要管理员登录)",
        [o](CLI::App& sub) {
            sub.add_option("name", o->name, "套账名称")->required();
            sub.add_option("--user", o->user, "用户名");
            sub.add_option("--password", o->password, "密码");
        },
        [o](Context& c) {
            if (!logInForCommand(c, o->name, o->user, o->password, true)) return;
            c.report(deleteAccountSet(c.dataDir, c.session.login));
        });
}

}  // namespace tw::cli
