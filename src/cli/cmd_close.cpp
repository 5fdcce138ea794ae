// tallowick-cli close SET --user U --password P: carries profit and loss forward
// and closes the open month in one action (the confirmation is taken as
// answered yes); prints the posting count and the new period as the window does.
#include "cli/set_login.h"
#include "closing/period_close.h"
#include "closing/posting.h"

namespace tw::cli {

namespace {
// The window's line break, as a terminal shows it.
std::string lines(const std::string& text) {
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text.compare(i, 2, "\r\n") != 0) shown += text[i];
    return shown;
}
}  // namespace

void addCloseCommand(Commands& commands) {
    auto o = std::make_shared<SetLogin>();
    commands.add(
        "close", "结转损益并期末结账",
        [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            const auto closed =
                runAction(*c.store, [&] { return closePeriod(*c.store, c.session); });
            if (!c.report(closed)) return;
            c.out << postedMessage(closed.value.posted) << '\n'
                  << lines(closed.value.message()) << '\n';
        });
}

}  // namespace tw::cli
