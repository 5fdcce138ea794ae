// tallowick-cli accounts SET --user U --password P: the chart of accounts, one
// account a line: full name, parent, category, direction, level (tab-separated).
#include "accounts/chart.h"
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct AccountsOptions {
    std::string set, user, password;
};
}  // namespace

void addAccountsCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<AccountsOptions>();
    addCommand(
        app, ctx, "accounts", "列出会计科目",
        [o](CLI::App& sub) {
            sub.add_option("set", o->set, "套账名称")->required();
            sub.add_option("--user", o->user, "用户名");
            sub.add_option("--password", o->password, "密码");
        },
        [o](Context& c) {
            Session session;
            session.dataDir = c.dataDir;
            if (!logInForCommand(c, session.login, o->set, o->user, o->password)) return;
            RecordStore store(c.dataDir);
            const auto accounts = loadAccounts(store, session);
            if (!accounts) {
                c.refuse(kUnreadableSet);
                return;
            }
            for (const Account& a : *accounts)
                c.out << a.name << '\t' << a.parent << '\t' << a.category << '\t' << a.direction
                      << '\t' << a.level << '\n';
        });
}

}  // namespace tw::cli
