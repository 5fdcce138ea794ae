#include "cli/set_login.h"

#include "shell/login.h"
#include "shell/set_folders.h"

namespace tw::cli {

bool logInForCommand(Context& ctx, LoginState& login, const std::string& set,
                     const std::string& user, const std::string& password, bool deleteMode) {
    clearWorkLeftovers(ctx.dataDir);
    const BeginLoginOutcome begun = beginLogin(ctx.dataDir, login, set);
    if (!begun.ok) {
        ctx.refuse(begun.message);
        return false;
    }
    login.deleteMode = deleteMode;
    login.chosenUserName = user;
    const LoginOutcome done = logIn(ctx.dataDir, login, password);
    if (!done.ok) {
        ctx.refuse(done.message);
        return false;
    }
    return true;
}

}  // namespace tw::cli
