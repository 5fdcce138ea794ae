// tallowick-cli undo-post SET --user U --password P: undoes the posting of the
// open month (the confirmation is taken as answered yes).
#include "cli/set_login.h"
#include "closing/posting.h"

namespace tw::cli {

void addUndoPostCommand(Commands& commands) {
    auto o = std::make_shared<SetLogin>();
    commands.add(
        "undo-post", "撤销本月登账", [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            if (c.report(runAction(*c.store, [&] { undoPosting(*c.store, c.session); })))
                c.out << kPostingUndone << '\n';
        });
}

}  // namespace tw::cli
