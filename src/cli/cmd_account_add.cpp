// tallowick-cli account add SET --user U --password P --name N [--parent FULLNAME]
//   --category 资产类 --direction 借方|贷方 [--code CODE]
// With --parent the account becomes a sub-account of it (增加下级科目), of the
// parent's 余额方向 when --direction is not given; without, a top-level account
// of the category (增加同级科目 with nothing selected).
// Without --code it takes the next free code (account_codes.h).
// While the set is not enabled, the opening list follows the chart as it does
// after 科目设置.
#include "accounts/chart.h"
#include "cli/set_login.h"

namespace tw::cli {

namespace {
struct AccountAddOptions : SetLogin {
    std::string name, parent, category, direction, code;
};
}  // namespace

void addAccountAddCommand(Commands& commands) {
    auto o = std::make_shared<AccountAddOptions>();
    commands.in("account", "会计科目").add(
        "add", "增加会计科目",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--name", o->name, "科目名称");
            sub.add("--parent", o->parent, "上级科目的全名（增加下级科目）");
            sub.add("--category", o->category,
                           "科目分类：资产类、负债类、权益类、成本类、损益类")
                .required();
            sub.add("--direction", o->direction, "余额方向：借方 或 贷方");
            sub.add("--code", o->code, "科目编码（不给出时取下一个空闲编码）");
        },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            const int category = categoryNumber(o->category);
            if (category == 0) {
                c.refuse("科目分类必须是 资产类、负债类、权益类、成本类、损益类 之一！");
                return;
            }
            NewAccount request;
            request.mode = o->parent.empty() ? AddMode::Sibling : AddMode::SubAccount;
            request.typed = o->name;
            request.direction =
                o->direction == "借方" || o->direction == "贷方" ? o->direction : "";
            request.category = category;
            request.selectedAccount = o->parent;
            request.code = o->code;
            const auto added =
                runAction(*c.store, [&] { return addAccount(*c.store, c.session, request); });
            if (c.report(added)) c.out << added.value << '\n';
        });
}

}  // namespace tw::cli
