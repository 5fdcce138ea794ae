// tallowick-cli journal SET --user U --password P --account A --from YYYY-MM-DD
//     --to YYYY-MM-DD
// The cash and bank journal of an account between two days (both included),
// as 日记账 lists it: the opening line (期初余额), then one entry a line,
// seven tab-separated columns (日期, 字, 金额, 余额, 操作, 摘要, 对应科目),
// amounts as plain decimal texts. `journal add` (cmd_journal_add.cpp) and
// `journal import` (cmd_journal_import.cpp) are its subcommands.
#include "cli/journal_options.h"
#include "ledgers/journal.h"

namespace tw::cli {

void addJournalCommand(Commands& commands) {
    auto o = std::make_shared<JournalOptions>();
    commands.add(
        "journal", "列出现金、银行科目的日记账（journal add：记一笔收付）",
        [o](Options& sub) {
            // `journal add SET` names the set after its own subcommand.
            addSetLoginOptions(sub, *o, /*setRequired=*/false);
            addJournalOptions(sub, *o);
        },
        [o](Context& c) {
            if (o->set.empty()) return c.refuse("请给出套账名称。");
            // Required here rather than by the parser: `journal add` shares this command's options.
            if (o->account.empty()) return c.refuse("请给出科目 (--account 科目全名)。");
            JournalRequest request;
            if (!readJournalRequest(c, *o, request)) return;
            if (!logInToBooks(c, *o)) return;
            const auto listed = runCaught([&] { return listJournal(*c.store, c.session, request); });
            if (!c.report(listed)) return;
            for (const JournalLine& line : listed.value)
                for (int k = 0; k < 7; ++k) c.out << line[k] << (k < 6 ? '\t' : '\n');
        });
}

}  // namespace tw::cli
