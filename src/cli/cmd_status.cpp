// tallowick-cli status SET --user U --password P: the open period as YYYY-MM,
// then the month's voucher pages: all, posted and unreviewed (the counts that
// decide what the posting window allows), on one line, tab-separated.
#include "cli/set_login.h"
#include "closing/posting.h"
#include "storage/dates.h"

namespace tw::cli {

void addStatusCommand(Commands& commands) {
    auto o = std::make_shared<SetLogin>();
    commands.add(
        "status", "当前会计期间和本月凭证的页数",
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
