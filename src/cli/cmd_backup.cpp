// tallowick-cli backup SET --user U --password P --to FILE.zip
#include "cli/set_login.h"
#include "shell/backup.h"

namespace tw::cli {

namespace {
struct BackupOptions {
    std::string set, user, password, to;
};
}  // namespace

void addBackupCommand(CLI::App& app, Context& ctx) {
    auto o = std::make_shared<BackupOptions>();
    addCommand(
        app, ctx, "backup", "把套账备份到ZIP文件",
        [o](CLI::App& sub) {
            sub.add_option("set", o->set, "套账名称")->required();
            sub.add_option("--user", o->user, "用户名");
            sub.add_option("--password", o->password, "密码");
            sub.add_option("--to", o->to, "备份文件 (.zip)")->required();
        },
        [o](Context& c) {
            LoginState login;
            if (!logInForCommand(c, login, o->set, o->user, o->password)) return;
            // Like the save dialog: a name without an extension gets ".zip".
            std::filesystem::path to = std::filesystem::u8path(o->to);
            if (!to.has_extension()) to += ".zip";
            const ArchiveOutcome out = backupSet(c.dataDir, login.setName, to);
            if (!out.ok) c.refuse(out.message);
        });
}

}  // namespace tw::cli
