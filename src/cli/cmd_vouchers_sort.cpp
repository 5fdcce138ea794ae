// tallowick-cli vouchers sort SET --user U --password P: sorts the current
// month's vouchers by date and renumbers them 30001, 30002 … (将本月凭证按日期排序).
#include "cli/set_login.h"
#include "vouchers/voucher_sort.h"

namespace tw::cli {

namespace {
struct VouchersSortOptions : SetLogin {};
}  // namespace

void addVouchersSortCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<VouchersSortOptions>();
    // Registered after `vouchers`, under it.
    CLI::App* vouchers = app.get_subcommand("vouchers");
    addCommand(
        *vouchers, ctx, "sort", "将本月凭证按日期排序",
        [o, vouchers](CLI::App& sub) {
            addSetLoginOptions(sub, *o);
            // With `sort` the listing of `vouchers` does not run.
            sub.preparse_callback([vouchers](std::size_t) { vouchers->callback(nullptr); });
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            c.report(runAction(*c.store, [&] { renumberAll(*c.store, c.session); }));
        });
}

}  // namespace tw::cli
