// tallowick-cli carry-forward year-end SET --user U --password P [on|off]:
// 年末将本年利润转入利润分配, kept in the set: on, the December close also
// moves 本年利润 into 利润分配→未分配利润. Prints the setting ("是" or "否"),
// after changing it when on or off is given.
#include "cli/set_login.h"
#include "shell/set_options.h"

namespace tw::cli {

namespace {
struct YearEndOptions : SetLogin {
    std::string value;
};
}  // namespace

void addYearEndCommand(Commands& commands) {
    Commands& pairs = commands.in("carry-forward", "结转损益科目");
    auto o = std::make_shared<YearEndOptions>();
    pairs.add(
        "year-end", "年末将本年利润转入利润分配 (on 或 off)",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("value", o->value, "on 或 off").oneOf({"on", "off"});
        },
        [o](Context& c) {
            if (!logInToBooks(c, *o)) return;
            if (!o->value.empty() && !c.report(runAction(*c.store, [&] {
                    setOptionOn(*c.store, c.session, kYearEndTransferOption, o->value == "on");
                })))
                return;
            const auto on =
                runCaught([&] { return setOptionOn(*c.store, c.session, kYearEndTransferOption); });
            if (!c.report(on)) return;
            c.out << kYearEndTransferOption << "：" << (on.value ? kOptionOn : kOptionOff) << '\n';
        });
}

}  // namespace tw::cli
