// tallowick-cli status SET --user U --password P: the open period as YYYY-MM,
// then the posting window's three counts (pages, posted, unreviewed), on one
// line, tab-separated.
#include "cli/set_login.h"
#include "closing/posting.h"
#include "storage/dates.h"

namespace tw::cli {

void addStatusCommand(Commands& commands) {
    auto o = std::make_shared<SetLogin>();
    commands.add(
        "status", "当前会计期间和本月凭证的张数",
        [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            const auto counts =
                runCaught([&] { return refreshPostingCounts(*c.store, c.session); });
            if (!c.report(counts)) return;
            c.out << YearMonth::of(c.session.login.period).code() << '\t' << counts.value.total
                  << '\t' << counts.value.posted << '\t' << counts.value.unreviewed << '\n';
        });
}

}  // namespace tw::cli
