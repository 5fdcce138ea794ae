// tallowick-cli journal import SET --user U --password P --account A
//     --from YYYY-MM-DD --to YYYY-MM-DD
// Brings the posted voucher lines on a cash or bank account between two days
// (both included) into its journal, as 从凭证引入 does, and prints how many
// ("已从凭证引入2笔收付。"). Lines brought in before are not brought in again.
#include "cli/set_login.h"
#include "ledgers/journal_import.h"
#include "storage/dates.h"

namespace tw::cli {

namespace {
struct JournalImportOptions : SetLogin {
    std::string account, from, to;
};
}  // namespace

void addJournalImportCommand(Commands& commands) {
    auto o = std::make_shared<JournalImportOptions>();
    // Registered after `journal`, whose listing command is the group it joins.
    commands.in("journal", "日记账").add(
        "import", "把已登账凭证中现金、银行科目的收付引入日记账",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--account", o->account, "现金或银行存款科目的全名");
            sub.add("--from", o->from, "起始日期 (YYYY-MM-DD)");
            sub.add("--to", o->to, "截至日期 (YYYY-MM-DD)");
        },
        [o](Context& c) {
            if (o->from.empty()) return c.refuse("请给出起始日期 (--from YYYY-MM-DD)。");
            if (o->to.empty()) return c.refuse("请给出截至日期 (--to YYYY-MM-DD)。");
            JournalRequest request;
            request.account = o->account;
            if (!parseDate(o->from, request.from))
                return c.refuse("起始日期不是有效的日期 (YYYY-MM-DD)：" + o->from);
            if (!parseDate(o->to, request.to))
                return c.refuse("截至日期不是有效的日期 (YYYY-MM-DD)：" + o->to);
            if (!logInToBooks(c, *o)) return;
            const auto imported = runAction(
                *c.store, [&] { return importVoucherLines(*c.store, c.session, request); });
            if (!c.report(imported)) return;
            c.out << importedMessage(imported.value) << '\n';
        });
}

}  // namespace tw::cli
