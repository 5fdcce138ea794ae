// tallowick-cli opening set SET --user U --password P --account FULLNAME
//   [--debit D] [--credit C]
// Sets the opening amounts of a leaf account as the row's input boxes do (an
// amount left out stays as it was), saves the list and prints the row and the
// totals.
#include "accounts/opening_balances.h"
#include "cli/set_login.h"
#include "storage/number_text.h"

namespace tw::cli {

namespace {
struct OpeningSetOptions : SetLogin {
    std::string account;
    std::optional<std::string> debit, credit;
};

// The amount given on the command line; false when it is not a number.
bool amountOption(Context& c, const std::optional<std::string>& text,
                  std::optional<double>& value) {
    if (!text) return true;
    double v = 0;
    if (!parseAmount(*text, v)) {
        c.refuse("金额必须是数字：" + *text);
        return false;
    }
    value = v;
    return true;
}
}  // namespace

void addOpeningSetCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<OpeningSetOptions>();
    addCommand(
        *group(app, "opening", "期初余额"), ctx, "set", "设置科目的期初金额",
        [o](CLI::App& sub) {
            addSetLoginOptions(sub, *o);
            sub.add_option("--account", o->account, "科目全名")->required();
            sub.add_option("--debit", o->debit, "期初借方金额");
            sub.add_option("--credit", o->credit, "期初贷方金额");
        },
        [o](Context& c) {
            Session session;
            if (!logInForCommand(c, session, *o)) return;
            std::optional<double> debit, credit;
            if (!amountOption(c, o->debit, debit) || !amountOption(c, o->credit, credit)) return;
            RecordStore store(c.dataDir);
            if (setIsEnabled(store, session) != false) {
                c.refuse(kAlreadyEnabled);
                return;
            }
            std::vector<OpeningRow> rows = loadOpeningList(store, session);
            OpeningRow* row = nullptr;
            for (OpeningRow& r : rows)
                if (r.account == o->account) row = &r;
            if (!row) {
                c.refuse("没有这个科目：" + o->account);
                return;
            }
            if (hasSubAccountRows(rows, row->account)) {
                c.refuse(kNoAmountForParent);
                return;
            }
            // An amount left out keeps the one saved (0 when there is none).
            if (!debit) debit = parseNumber(row->debit);
            if (!credit) credit = parseNumber(row->credit);
            setRowAmounts(*row, debit, credit);
            const OpeningRow shown = *row;
            if (const OpeningOutcome saved = saveOpeningList(store, session, rows); !saved.done) {
                c.refuse(saved.message);
                return;
            }
            const OpeningTotals totals = openingTotals(rows);
            c.out << shown.account << '\t' << shown.debit << '\t' << shown.credit << '\t'
                  << shown.side << '\t' << shown.balance << '\n'
                  << "借方合计\t" << totals.debit << '\n'
                  << "贷方合计\t" << totals.credit << '\n';
        });
}

}  // namespace tw::cli
