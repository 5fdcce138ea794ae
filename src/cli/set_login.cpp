#include "cli/set_login.h"

#include "accounts/account_codes.h"
#include "accounts/opening_balances.h"
#include "shell/set_lock.h"

namespace tw::cli {

bool logInForCommand(Context& ctx, const std::string& set, const std::string& user,
                     const std::string& password, LoginPurpose purpose) {
    if (!ctx.report(takeSet(ctx.session.login, ctx.dataDir, set, purpose))) return false;
    const LoginRequest request{
        .userName = user, .password = password, .purpose = purpose, .bringUpToDate = giveAccountCodes};
    return ctx.report(logInTo(*ctx.store, ctx.session, set, request));
}

bool logInToReplace(Context& ctx, const SetLogin& o) {
    if (!ctx.report(takeSet(ctx.session.login, ctx.dataDir, o.set, LoginPurpose::Work))) return false;
    const LoginRequest request{.userName = o.user, .password = o.password};
    return ctx.report(logInTo(*ctx.store, ctx.session, o.set, request));
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
