// tallowick-cli voucher delete SET --user U --password P --number N --page K:
// deletes page K of the current month's voucher N, as 删除 does after the
// user said yes.
#include "cli/set_login.h"
#include "vouchers/voucher_edits.h"

namespace tw::cli {

namespace {
struct VoucherDeleteOptions : SetLogin {
    double number = 0;
    int page = 1;
};
}  // namespace

void addVoucherDeleteCommand(Commands& commands) {
    auto o = std::make_shared<VoucherDeleteOptions>();
    commands.in("voucher", "凭证").add(
        "delete", "删除本月凭证的一页",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--number", o->number, "凭证编号").required();
            sub.add("--page", o->page, "第几页").required();
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            c.report(runAction(*c.store, [&] {
                const VoucherPage page = monthVoucherPage(*c.store, c.session, o->number, o->page);
                deleteVoucherPage(*c.store, c.session, page.id);
            }));
        });
}

}  // namespace tw::cli
