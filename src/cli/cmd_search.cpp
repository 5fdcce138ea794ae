// tallowick-cli search SET --user U --password P [--from YYYY-MM-DD --to YYYY-MM-DD]
//     [--summary S] [--debit A] [--credit A] [--min X] [--max X]
//     [--preparer U] [--reviewer U] [--poster U]
// The voucher pages that meet every condition given, as 查阅凭证 lists them:
// one a line, its six columns tab-separated (日期, 编号, 第几, 共几, 摘要1,
// 凭证金额). The dates default to the current period's month; a condition
// not given restricts nothing.
#include <optional>

#include "cli/day_range.h"
#include "cli/set_login.h"
#include "vouchers/voucher_search.h"

namespace tw::cli {

namespace {
struct SearchOptions : SetLogin {
    DayRangeOptions days;
    std::string summary, debit, credit, min, max, preparer, reviewer, poster;
};

// A bound given on the command line; an empty one bounds nothing.
bool readBound(Context& c, const std::string& text, std::optional<double>& bound) {
    if (text.empty()) return true;
    double value = 0;
    if (!readAmountOption(c, text, value)) return false;
    bound = value;
    return true;
}

std::optional<std::string> given(const std::string& text) {
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}
}  // namespace

void addSearchCommand(Commands& commands) {
    auto o = std::make_shared<SearchOptions>();
    commands.add(
        "search", "按条件查阅凭证",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            addDayRangeOptions(sub, o->days);
            sub.add("--summary", o->summary, "摘要包含的文字");
            sub.add("--debit", o->debit, "借方科目");
            sub.add("--credit", o->credit, "贷方科目");
            sub.add("--min", o->min, "最小金额");
            sub.add("--max", o->max, "最大金额");
            sub.add("--preparer", o->preparer, "编制");
            sub.add("--reviewer", o->reviewer, "审核");
            sub.add("--poster", o->poster, "登账");
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            VoucherConditions q;
            if (!readDayRange(c, o->days, q.from, q.to) || !readBound(c, o->min, q.minimum) ||
                !readBound(c, o->max, q.maximum))
                return;
            q.summary = given(o->summary);
            q.debitAccount = given(o->debit);
            q.creditAccount = given(o->credit);
            q.preparer = given(o->preparer);
            q.reviewer = given(o->reviewer);
            q.poster = given(o->poster);
            // Listed as the pages are read: none is kept.
            c.report(runCaught([&] {
                searchVouchers(*c.store, c.session, q, [&](const VoucherPage& p) {
                    const auto cells = foundPageTexts(p);
                    for (std::size_t k = 0; k < cells.size(); ++k)
                        c.out << cells[k] << (k + 1 < cells.size() ? '\t' : '\n');
                });
            }));
        });
}

}  // namespace tw::cli
