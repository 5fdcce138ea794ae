// tallowick-cli post SET --user U --password P: posts the reviewed vouchers of
// the open month, as 将已审核凭证按编号登账 does, and prints the count message.
#include "cli/set_login.h"
#include "closing/posting.h"

namespace tw::cli {

void addPostCommand(Commands& commands) {
    auto o = std::make_shared<SetLogin>();
    commands.add(
        "post", "将已审核凭证按编号登账",
        [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            const auto posted =
                runAction(*c.store, [&] { return postReviewedVouchers(*c.store, c.session); });
            if (c.report(posted)) c.out << postedMessage(posted.value) << '\n';
        });
}

}  // namespace tw::cli
