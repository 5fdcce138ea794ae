// tallowick-cli review-all SET --user U --password P [--undo]: 审撤全部 over
// the current month. Each run of the command is a run of the program, so its
// mode starts as "审核"; --undo runs it as "撤销". Prints the window's message;
// an unbalanced voucher stops it (nothing written, exit status 1).
#include "cli/set_login.h"
#include "storage/number_text.h"
#include "vouchers/review.h"

namespace tw::cli {

namespace {
struct ReviewAllOptions : SetLogin {
    bool undo = false;
};
}  // namespace

void addReviewAllCommand(Commands& commands) {
    auto o = std::make_shared<ReviewAllOptions>();
    commands.add(
        "review-all", "审核（或撤销）本月全部凭证",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.flag("--undo", o->undo, "撤销全部审核");
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            const auto run = runAction(*c.store, [&] {
                return reviewAll(*c.store, c.session, o->undo ? kModeUndo : kModeReview);
            });
            if (!c.report(run)) return;
            if (run.value.done) {
                c.out << run.value.message << "\n";
                return;
            }
            c.refuse(run.value.message);
        });
}

}  // namespace tw::cli
