// tallowick-cli account delete SET --user U --password P --name FULLNAME: deletes
// an account that has no sub-accounts and has never been used (the command is
// the confirmation).
#include "accounts/chart.h"
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct AccountDeleteOptions : SetLogin {
    std::string name;
};
}  // namespace

void addAccountDeleteCommand(Commands& commands) {
    auto o = std::make_shared<AccountDeleteOptions>();
    commands.in("account", "会计科目").add(
        "delete", "删除会计科目",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--name", o->name, "科目全名");
        },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            const auto deleted =
                runAction(*c.store, [&] { return deleteAccount(*c.store, c.session, o->name); });
            if (c.report(deleted)) c.out << deleted.value << '\n';
        });
}

}  // namespace tw::cli
