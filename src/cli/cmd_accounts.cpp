// tallowick-cli accounts SET --user U --password P: the chart of accounts in
// code order, one account a line: code, full name, parent, category,
// direction, level (tab-separated).
#include "accounts/account_codes.h"
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
            const CodedChart chart = loadCodedChart(*c.store, c.session);
            for (const Account& a : chart.accounts)
                c.out << codeOf(chart.codes, a.name) << '\t' << a.name << '\t' << a.parent << '\t'
                      << a.category << '\t' << a.direction << '\t' << a.level << '\n';
        });
}

}  // namespace tw::cli
