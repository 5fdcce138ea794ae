// tallowick-cli journal add SET --user U --password P --day YYYY-MM-DD
//     --account A --kind 收|付 --amount X --summary S [--counter C]
// Saves one cashier entry into the journal as 出纳窗口's 保存 does and prints
// it as the journal lists it (seven tab-separated columns, its balance
// included). Entries cannot be changed afterwards.
#include "cli/set_login.h"
#include "ledgers/journal.h"
#include "storage/dates.h"

namespace tw::cli {

namespace {
struct JournalAddOptions : SetLogin {
    std::string day, account, kind, amount, summary, counter;
};
}  // namespace

void addJournalAddCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<JournalAddOptions>();
    // Registered after `journal`, whose listing command is the group it joins.
    CLI::App* journal = group(app, "journal", "日记账");
    addCommand(
        *journal, ctx, "add", "记一笔现金或银行存款的收付",
        [o, journal](CLI::App& sub) {
            addSetLoginOptions(sub, *o);
            sub.add_option("--day", o->day, "日期 (YYYY-MM-DD)")->required();
            sub.add_option("--account", o->account, "现金或银行存款科目的全名");
            sub.add_option("--kind", o->kind, "收 或 付");
            sub.add_option("--amount", o->amount, "金额");
            sub.add_option("--summary", o->summary, "摘要");
            sub.add_option("--counter", o->counter, "对方科目（可不填写）");
            // With `add` the listing of `journal` does not run.
            sub.preparse_callback([journal](std::size_t) { journal->callback(nullptr); });
        },
        [o](Context& c) {
            CashierEntry entry;
            if (!parseDate(o->day, entry.date))
                return c.refuse("日期不是有效的日期 (YYYY-MM-DD)：" + o->day);
            entry.account = o->account;
            entry.kind = o->kind == kReceipt   ? CashKind::Receipt
                         : o->kind == kPayment ? CashKind::Payment
                                               : CashKind::None;
            entry.amountText = o->amount;
            entry.summary = o->summary;
            entry.counterAccount = o->counter;
            if (!logInToBooks(c, *o)) return;
            const auto saved =
                runAction(*c.store, [&] { return saveCashierEntry(*c.store, c.session, entry); });
            if (!c.report(saved)) return;
            const JournalLine line = journalLine(saved.value);
            for (int k = 0; k < 7; ++k) c.out << line[k] << (k < 6 ? '\t' : '\n');
        });
}

}  // namespace tw::cli
