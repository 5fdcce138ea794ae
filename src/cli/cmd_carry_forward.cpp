// tallowick-cli carry-forward list|set|delete SET --user U --password P: the
// profit-and-loss carry-forward pairs.
//   list                    source TAB target, one pair a line, in list order
//   set SOURCE TARGET       as 确定 of 结转损益设置窗口 (a source already there gets the new
//   target) delete SOURCE           as 删除 (the confirmation is taken as answered yes)
#include "cli/set_login.h"
#include "closing/carry_forward.h"

namespace tw::cli {

namespace {
struct PairOptions : SetLogin {
    std::string source, target;
};
}  // namespace

void addCarryForwardCommands(Commands& commands) {
    Commands& pairs = commands.in("carry-forward", "结转损益科目");
    auto list = std::make_shared<SetLogin>();
    pairs.add(
        "list", "列出结转损益科目",
        [list](Options& sub) { addSetLoginOptions(sub, *list); },
        [list](Context& c) {
            if (!logInToBooks(c, *list)) return;
            for (const CarryForwardPair& p : fillCarryForwardList(*c.store, c.session))
                c.out << p.source << '\t' << p.target << '\n';
        });

    auto set = std::make_shared<PairOptions>();
    pairs.add(
        "set", "设置结转损益科目",
        [set](Options& sub) {
            addSetLoginOptions(sub, *set);
            sub.add("source", set->source, "结账前将要结转损益的科目").required();
            sub.add("target", set->target, "对应科目").required();
        },
        [set](Context& c) {
            if (!logInToBooks(c, *set)) return;
            c.report(runAction(*c.store, [&] {
                saveCarryForwardPair(*c.store, c.session, {set->source, set->target});
            }));
        });

    auto del = std::make_shared<PairOptions>();
    pairs.add(
        "delete", "删除结转损益科目",
        [del](Options& sub) {
            addSetLoginOptions(sub, *del);
            sub.add("source", del->source, "结账前将要结转损益的科目").required();
        },
        [del](Context& c) {
            if (!logInToBooks(c, *del)) return;
            c.report(runAction(*c.store,
                               [&] { deleteCarryForwardPair(*c.store, c.session, del->source); }));
        });
}

}  // namespace tw::cli
