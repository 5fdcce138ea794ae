// tallowick-cli restore SET --user U --password P --from FILE.zip
#include "cli/set_login.h"
#include "shell/backup.h"

namespace tw::cli {

namespace {
struct RestoreOptions {
    std::string set, user, password, from;
};
}  // namespace

void addRestoreCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<RestoreOptions>();
    addCommand(
        app, ctx, "restore", "从ZIP备份文件恢复套账",
        [o](CLI::App& sub) {
            sub.add_option("set", o->set, "套账名称")->required();
            sub.add_option("--user", o->user, "用户名");
            sub.add_option("--password", o->password, "密码");
            sub.add_option("--from", o->from, "备份文件 (.zip)")->required();
        },
        [o](Context& c) {
            LoginState login;
            if (!logInForCommand(c, login, o->set, o->user, o->password)) return;
            const ArchiveOutcome out =
                restoreSet(c.dataDir, login.setName, std::filesystem::u8path(o->from));
            if (!out.ok) c.refuse(out.message);
        });
}

}  // namespace tw::cli
