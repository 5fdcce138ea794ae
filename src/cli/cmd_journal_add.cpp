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

void addJournalAddCommand(Commands& commands) {
    auto o = std::make_shared<JournalAddOptions>();
    // Registered after `journal`, whose listing command is the group it joins.
    commands.in("journal", "日记账").add(
        "add", "记一笔现金或银行存款的收付",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--day", o->day, "日期 (YYYY-MM-DD)").required();
            sub.add("--account", o->account, "现金或银行存款科目的全名");
            sub.add("--kind", o->kind, "收 或 付");
            sub.add("--amount", o->amount, "金额");
            sub.add("--summary", o->summary, "摘要");
            sub.add("--counter", o->counter, "对方科目（可不填写）");
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
