#include "cli/set_login.h"

#include "accounts/opening_balances.h"
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

void addSetLoginOptions(CLI::App& sub, SetLogin& o) {
    sub.add_option("set", o.set, "套账名称")->required();
    sub.add_option("--user", o.user, "用户名");
    sub.add_option("--password", o.password, "密码");
}

bool logInForCommand(Context& ctx, Session& session, const SetLogin& o) {
    session.dataDir = ctx.dataDir;
    return logInForCommand(ctx, session.login, o.set, o.user, o.password);
}

void refreshOpeningAfterChartChange(Context& ctx, const Session& session) {
    RecordStore store(ctx.dataDir);
    if (setIsEnabled(store, session) != false) return;
    std::vector<OpeningRow> rows;
    if (const OpeningOutcome saved = refreshOpeningList(store, session, rows); !saved.done)
        ctx.refuse(saved.message);
}

}  // namespace tw::cli
