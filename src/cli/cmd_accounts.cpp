// tallowick-cli accounts SET --user U --password P: the chart of accounts, one
// account a line: full name, parent, category, direction, level (tab-separated).
#include "accounts/chart.h"
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct AccountsOptions : SetLogin {};
}  // namespace

void addAccountsCommand(Commands& commands) {
    auto o = std::make_shared<AccountsOptions>();
    commands.add(
        "accounts", "列出会计科目", [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            for (const Account& a : loadAccounts(*c.store, c.session))
                c.out << a.name << '\t' << a.parent << '\t' << a.category << '\t' << a.direction
                      << '\t' << a.level << '\n';
        });
}

}  // namespace tw::cli
