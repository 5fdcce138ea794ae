// tallowick-cli voucher add SET --user U --password P --day D [--attachments N]
//   --line "摘要|科目|借|贷" ...
// Adds a voucher of the current month with one --line per voucher line, in
// order (four to a page; more continue on added pages), each with either a
// debit or a credit. Prints the new voucher's number. An unbalanced or empty
// voucher is refused and nothing is written.
#include "cli/set_login.h"
#include "storage/number_text.h"
#include "vouchers/voucher_entry.h"

namespace tw::cli {

namespace {
struct VoucherAddOptions : SetLogin {
    int day = 0;
    std::int64_t attachments = 0;
    std::vector<std::string> lines;
};

// "摘要|科目|借|贷"; false (with the refusal printed) when it is not one.
bool parseLine(Context& c, const std::string& text, EntryLine& line) {
    std::vector<std::string> parts;
    std::string::size_type from = 0;
    for (;;) {
        const auto bar = text.find('|', from);
        parts.push_back(text.substr(from, bar == std::string::npos ? std::string::npos : bar - from));
        if (bar == std::string::npos) break;
        from = bar + 1;
    }
    if (parts.size() != 4) {
        c.refuse("凭证行须写成“摘要|科目|借方金额|贷方金额”：" + text);
        return false;
    }
    double amounts[2] = {0, 0};
    for (int i = 0; i < 2; ++i)
        if (!readAmountOption(c, parts[2 + i], amounts[i])) return false;
    line = {parts[0], parts[1], amounts[0], amounts[1]};
    return true;
}
}  // namespace

void addVoucherAddCommand(Commands& commands) {
    auto o = std::make_shared<VoucherAddOptions>();
    commands.in("voucher", "凭证").add(
        "add", "新建一张本月凭证",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--day", o->day, "本月的日").required();
            sub.add("--attachments", o->attachments, "附件数");
            sub.add("--line", o->lines, "摘要|科目|借方金额|贷方金额（每行一个）").required();
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            VoucherEntry entry{o->day, o->attachments, {}};
            for (const std::string& text : o->lines) {
                EntryLine line;
                if (!parseLine(c, text, line)) return;
                entry.lines.push_back(line);
            }
            const auto added =
                runAction(*c.store, [&] { return addVoucher(*c.store, c.session, entry); });
            if (!c.report(added)) {
                // An unbalanced voucher: its totals, to show where it went wrong.
                if (added.kind == &kUnbalancedEntry) c.err << added.detail << "\n";
                return;
            }
            c.out << plainDecimal(added.value) << "\n";
        });
}

}  // namespace tw::cli
