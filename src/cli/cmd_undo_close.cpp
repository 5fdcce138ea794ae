// tallowick-cli undo-close SET --user U --password P: moves the books back one
// month (the confirmation is taken as answered yes).
#include "cli/set_login.h"
#include "closing/period_close.h"

namespace tw::cli {

void addUndoCloseCommand(Commands& commands) {
    auto o = std::make_shared<SetLogin>();
    commands.add(
        "undo-close", "撤销结账", [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            const auto reopened =
                runAction(*c.store, [&] { return undoClose(*c.store, c.session); });
            if (c.report(reopened)) c.out << reopened.value.message() << '\n';
        });
}

}  // namespace tw::cli
