// tallowick-cli opening enable SET --user U --password P: enables the set with
// the saved opening amounts, as 启用套账 does (the command is the confirmation).
#include "accounts/opening_balances.h"
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct OpeningEnableOptions : SetLogin {};
}  // namespace

void addOpeningEnableCommand(Commands& commands) {
    auto o = std::make_shared<OpeningEnableOptions>();
    commands.in("opening", "期初余额").add(
        "enable", "启用套账",
        [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            const auto rows = runAction(*c.store, [&] {
                const std::vector<OpeningRow> list = loadOpeningList(*c.store, c.session);
                saveOpeningList(*c.store, c.session, list);
                enableSet(*c.store, c.session, list);
                return list;
            });
            if (!c.report(rows)) return;
            const OpeningTotals totals = openingTotals(rows.value);
            c.out << "套账已启用：" << o->set << '\n'
                  << "借方合计\t" << totals.debit << '\n'
                  << "贷方合计\t" << totals.credit << '\n';
        });
}

}  // namespace tw::cli
