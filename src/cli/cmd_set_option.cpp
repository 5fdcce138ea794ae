// tallowick-cli set option SET --user U --password P [--reviewer-apart on|off]:
// the set's options of the 套账选项 window. Prints 审核人与制单人不能为同一人
// ("审核人与制单人不能为同一人：是" or "否"), after changing it when on or off
// is given; only an administrator changes it.
#include "cli/set_login.h"
#include "shell/set_options.h"

namespace tw::cli {

namespace {
struct SetOptionOptions : SetLogin {
    std::string apart;  // on, off, or empty: as it is
};
}  // namespace

void addSetOptionCommand(Commands& commands) {
    auto o = std::make_shared<SetOptionOptions>();
    commands.in("set", "套账").add(
        "option", "套账选项 (修改需要管理员登录)",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--reviewer-apart", o->apart, "审核人与制单人不能为同一人 (on 或 off)")
                .oneOf({"on", "off"});
        },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            if (!o->apart.empty() && !c.report(runAction(*c.store, [&] {
                    setReviewerApart(*c.store, c.session, o->apart == "on");
                })))
                return;
            const auto on = runCaught([&] { return reviewerApart(*c.store, c.session); });
            if (!c.report(on)) return;
            c.out << kReviewerApartOption << "：" << (on.value ? kOptionOn : kOptionOff) << '\n';
        });
}

}  // namespace tw::cli
