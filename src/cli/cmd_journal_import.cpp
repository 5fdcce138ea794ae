// tallowick-cli journal import SET --user U --password P --account A
//     --from YYYY-MM-DD --to YYYY-MM-DD
// Brings the posted voucher lines on a cash or bank account between two days
// (both included) into its journal, as 从凭证引入 does, and prints how many
// ("已从凭证引入2笔收付。"). Lines brought in before are not brought in again.
#include "cli/journal_options.h"
#include "ledgers/journal_import.h"

namespace tw::cli {

void addJournalImportCommand(Commands& commands) {
    auto o = std::make_shared<JournalOptions>();
    // Registered after `journal`, whose listing command is the group it joins.
    commands.in("journal", "日记账").add(
        "import", "把已登账凭证中现金、银行科目的收付引入日记账",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            addJournalOptions(sub, *o);
        },
        [o](Context& c) {
            JournalRequest request;
            if (!readJournalRequest(c, *o, request)) return;
            if (!logInToBooks(c, *o)) return;
            const auto imported = runAction(
                *c.store, [&] { return importVoucherLines(*c.store, c.session, request); });
            if (!c.report(imported)) return;
            c.out << importedMessage(imported.value) << '\n';
        });
}

}  // namespace tw::cli
