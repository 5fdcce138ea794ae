// tallowick-cli review SET --user U --password P --number N: 审核或撤销 on the
// current month's voucher N. Prints the number and its reviewer afterwards
// (empty when the review was undone).
#include "cli/set_login.h"
#include "storage/number_text.h"
#include "vouchers/review.h"

namespace tw::cli {

namespace {
struct ReviewOptions : SetLogin {
    double number = 0;
};
}  // namespace

void addReviewCommand(Commands& commands) {
    auto o = std::make_shared<ReviewOptions>();
    commands.add(
        "review", "审核或撤销审核本月的一张凭证",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--number", o->number, "凭证编号").required();
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            const auto reviewer = runAction(*c.store, [&] {
                const VoucherPage first = monthVoucherPage(*c.store, c.session, o->number, 1);
                return toggleReview(*c.store, c.session, first.id);
            });
            if (c.report(reviewer)) c.out << plainDecimal(o->number) << '\t' << reviewer.value << '\n';
        });
}

}  // namespace tw::cli
