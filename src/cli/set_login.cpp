#include "cli/set_login.h"

#include "accounts/account_codes.h"
#include "accounts/opening_balances.h"
#include "shell/set_lock.h"

namespace tw::cli {

bool takeSetAndLogIn(Context& ctx, const std::string& set, const LoginRequest& request) {
    if (!ctx.report(takeSet(ctx.session.login, ctx.dataDir, set, request.purpose))) return false;
    return ctx.report(logInTo(*ctx.store, ctx.session, set, request));
}

bool logInForCommand(Context& ctx, const std::string& set, const std::string& user,
                     const std::string& password, LoginPurpose purpose) {
    return takeSetAndLogIn(ctx, set,
                           {.userName = user,
                            .password = password,
                            .purpose = purpose,
                            .bringUpToDate = giveAccountCodes});
}

bool logInToReplace(Context& ctx, const SetLogin& o) {
    return takeSetAndLogIn(ctx, o.set, {.userName = o.user, .password = o.password});
}

bool logInToBooks(Context& ctx, const SetLogin& o) {
    if (!logInForCommand(ctx, o)) return false;
    return ctx.report(runCaught([&] { requireEnabledSet(*ctx.store, ctx.session); }));
}

void addSetLoginOptions(Options& sub, SetLogin& o, bool setRequired) {
    Option& set = sub.add("set", o.set, "套账名称");
    if (setRequired) set.required();
    sub.add("--user", o.user, "用户名");
    sub.add("--password", o.password, "密码");
}

}  // namespace tw::cli
