// tallowick-cli vouchers sort SET --user U --password P: sorts the current
// month's vouchers by date and renumbers them 30001, 30002 … (将本月凭证按日期排序).
#include "cli/set_login.h"
#include "vouchers/voucher_sort.h"

namespace tw::cli {

namespace {
struct VouchersSortOptions : SetLogin {};
}  // namespace

void addVouchersSortCommand(Commands& commands) {
    auto o = std::make_shared<VouchersSortOptions>();
    // Registered after `vouchers`, under it.
    commands.in("vouchers", "").add(
        "sort", "将本月凭证按日期排序",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            c.report(runAction(*c.store, [&] { renumberAll(*c.store, c.session); }));
        });
}

}  // namespace tw::cli
