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

void addAccountDeleteCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<AccountDeleteOptions>();
    addCommand(
        *group(app, "account", "会计科目"), ctx, "delete", "删除会计科目",
        [o](CLI::App& sub) {
            addSetLoginOptions(sub, *o);
            sub.add_option("--name", o->name, "科目全名");
        },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            const auto deleted =
                runAction(*c.store, [&] { return deleteAccount(*c.store, c.session, o->name); });
            if (c.report(deleted)) c.out << deleted.value << '\n';
        });
}

}  // namespace tw::cli
