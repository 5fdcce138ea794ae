// tallowick-cli login SET --user U --password P: checks a login and prints the
// title the main window would show. Logs 登录 in the set's 上机日志, as the
// login window does.
#include "accounts/account_codes.h"
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
            const LoginRequest request{.userName = o->user,
                                       .password = o->password,
                                       .recorded = true,
                                       .bringUpToDate = giveAccountCodes};
            if (takeSetAndLogIn(c, o->set, request))
                c.out << mainWindowTitle(c.session.login) << "\n";
        });
}

}  // namespace tw::cli
