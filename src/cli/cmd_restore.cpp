// tallowick-cli restore SET --user U --password P --from FILE.zip
#include "cli/set_login.h"
#include "shell/backup.h"
#include "shell/set_lock.h"

namespace tw::cli {

namespace {
struct RestoreOptions : SetLogin {
    std::string from;
};
}  // namespace

void addRestoreCommand(Commands& commands) {
    auto o = std::make_shared<RestoreOptions>();
    commands.add(
        "restore", "从ZIP备份文件恢复套账",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--from", o->from, "备份文件 (.zip)").required();
        },
        [o](Context& c) {
            if (!logInToReplace(c, *o)) return;
            // Like every command, answers yes to the question an archive of
            // another set asks in the window.
            const auto restore = [&] { return restoreSet(c.session, std::filesystem::u8path(o->from)); };
            if (c.report(underDirectoryLock(c.dataDir, restore)))
                c.out << restoreDoneNotice(c.session.login.setName, o->from) << "\n";
        });
}

}  // namespace tw::cli
