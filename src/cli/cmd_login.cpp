// tallowick-cli login SET --user U --password P: checks a login and prints the
// title the main window would show.
#include "cli/set_login.h"
#include "shell/login_state.h"

namespace tw::cli {

namespace {
struct LoginOptions : SetLogin {};
}  // namespace

void addLoginCommand(Commands& commands) {
    auto o = std::make_shared<LoginOptions>();
    commands.add(
        "login", "登录套账，显示主窗口标题",
        [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (logInForCommand(c, *o)) c.out << mainWindowTitle(c.session.login) << "\n";
        });
}

}  // namespace tw::cli
