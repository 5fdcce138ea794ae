// tallowick-cli login SET --user U --password P: checks a login and prints the
// title the main window would show.
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct LoginOptions {
    std::string set, user, password;
};
}  // namespace

void addLoginCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<LoginOptions>();
    addCommand(
        app, ctx, "login", "登录套账，显示主窗口标题",
        [o](CLI::App& sub) {
            sub.add_option("set", o->set, "套账名称")->required();
            sub.add_option("--user", o->user, "用户名");
            sub.add_option("--password", o->password, "密码");
        },
        [o](Context& c) {
            LoginState login;
            if (logInForCommand(c, login, o->set, o->user, o->password))
                c.out << mainWindowTitle(login) << "\n";
        });
}

}  // namespace tw::cli
