// tallowick-cli opening set SET --user U --password P --account FULLNAME
//   [--debit D] [--credit C]
// Sets the opening amounts of a leaf account as the row's input boxes do (an
// amount left out stays as it was), saves the list and prints the row and the
// totals.
#include "accounts/opening_balances.h"
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct OpeningSetOptions : SetLogin {
    std::string account;
    std::optional<std::string> debit, credit;
};

// An amount given on the command line, read as the row's input box reads it.
bool amountOption(Context& c, const std::optional<std::string>& text,
                  std::optional<double>& value) {
    if (!text) return true;
    double v = 0;
    if (!readAmountOption(c, *text, v)) return false;
    value = v;
    return true;
}
}  // namespace

void addOpeningSetCommand(Commands& commands) {
    auto o = std::make_shared<OpeningSetOptions>();
    commands.in("opening", "期初余额").add(
        "set", "设置科目的期初金额",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--account", o->account, "科目全名").required();
            sub.add("--debit", o->debit, "期初借方金额");
            sub.add("--credit", o->credit, "期初贷方金额");
        },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            std::optional<double> debit, credit;
            if (!amountOption(c, o->debit, debit) || !amountOption(c, o->credit, credit)) return;
            const auto rows = runAction(*c.store, [&] {
                return setOpeningAmounts(*c.store, c.session, o->account, debit, credit);
            });
            if (!c.report(rows)) return;
            for (const OpeningRow& r : rows.value)
                if (r.account == o->account)
                    c.out << r.account << '\t' << r.debit << '\t' << r.credit << '\t' << r.side
                          << '\t' << r.balance << '\n';
            const OpeningTotals totals = openingTotals(rows.value);
            c.out << "借方合计\t" << totals.debit << '\n'
                  << "贷方合计\t" << totals.credit << '\n';
        });
}

}  // namespace tw::cli
