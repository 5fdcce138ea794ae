// tallowick-cli set create NAME --company C --admin U --password P --start YYYY-MM-DD
#include "cli/command.h"
#include "shell/account_sets.h"
#include "shell/set_lock.h"
#include "storage/dates.h"

namespace tw::cli {

namespace {
struct CreateOptions {
    std::string name, company, admin, password, start;
};
}  // namespace

void addSetCreateCommand(Commands& commands) {
    auto o = std::make_shared<CreateOptions>();
    commands.in("set", "套账").add(
        "create", "新建套账",
        [o](Options& sub) {
            sub.add("name", o->name, "套账名称").required();
            sub.add("--company", o->company, "单位名称");
            sub.add("--admin", o->admin, "管理员名");
            sub.add("--password", o->password, "管理密码");
            sub.add("--start", o->start, "启用日期 (YYYY-MM-DD，默认今天)");
        },
        [o](Context& c) {
            NewSetRequest r{o->name, o->company, o->admin, o->password, o->password, today()};
            if (!readDateOption(c, "启用日期", o->start, r.startDate)) return;
            c.report(underDirectoryLock(c.dataDir, [&] { return createAccountSet(c.dataDir, r); }));
        });
}

}  // namespace tw::cli
