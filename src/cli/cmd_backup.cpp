// tallowick-cli backup SET --user U --password P --to FILE.zip
#include "cli/set_login.h"
#include "shell/backup.h"

namespace tw::cli {

namespace {
struct BackupOptions : SetLogin {
    std::string to;
};
}  // namespace

void addBackupCommand(Commands& commands) {
    auto o = std::make_shared<BackupOptions>();
    commands.add(
        "backup", "把套账备份到ZIP文件",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--to", o->to, "备份文件 (.zip)").required();
        },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            // Like the save dialog: a name without an extension gets ".zip".
            std::filesystem::path to = std::filesystem::u8path(o->to);
            if (!to.has_extension()) to += ".zip";
            if (c.report(backUpOpenSet(c.session, to)))
                c.out << backupDoneNotice(c.session.login.setName, to.string()) << "\n";
        });
}

}  // namespace tw::cli
