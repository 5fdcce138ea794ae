// tallowick-cli check SET --user U --password P
// Verifies the set without changing it (closing/books_check.h): one line per
// finding on stdout, saying where and how much, then the summary. Exits 0
// only when every check holds.
#include "cli/set_login.h"
#include "closing/books_check.h"

namespace tw::cli {

void addCheckCommand(Commands& commands) {
    auto o = std::make_shared<SetLogin>();
    commands.add(
        "check", "核对套账：数据表完好，账目相符",
        [o](Options& sub) { addSetLoginOptions(sub, *o); },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            const auto findings = runCaught([&] { return checkBooks(*c.store, c.session); });
            if (!c.report(findings)) return;
            for (const std::string& line : findings.value) c.out << line << '\n';
            if (findings.value.empty()) c.out << checkSummary(findings.value) << '\n';
            else c.refuse(checkSummary(findings.value));
        });
}

}  // namespace tw::cli
