#include "cli/set_login.h"

#include "accounts/opening_balances.h"
#include "shell/login.h"

namespace tw::cli {

bool logInForCommand(Context& ctx, const std::string& set, const std::string& user,
                     const std::string& password, bool deleteMode) {
    if (!ctx.report(beginLogin(*ctx.store, ctx.session, set))) return false;
    ctx.session.login.deleteMode = deleteMode;
    ctx.session.login.chosenUserName = user;
    const Result<bool> done = logIn(*ctx.store, ctx.session, password);
    if (!done.ok) ctx.refuse(done.message);
    return done.ok;
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
