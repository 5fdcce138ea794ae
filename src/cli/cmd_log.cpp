// tallowick-cli log SET --user U --password P [--from YYYY-MM-DD] [--to YYYY-MM-DD]
//     [--by USER]
// 上机日志 of the set, for administrators: an entry a line, tab-separated:
// 时间 ("2013-3-1 09:05:03"), 用户名, 操作, 内容. --from and --to keep the
// entries of those days (both included), --by those of one user; a filter
// not given keeps everything. (--user is the login, as in every command.)
#include "cli/set_login.h"
#include "shell/action_log.h"

namespace tw::cli {

namespace {
struct LogOptions : SetLogin {
    std::string from, to, by;
};
}  // namespace

void addLogCommand(Commands& commands) {
    auto o = std::make_shared<LogOptions>();
    commands.add(
        "log", "上机日志 (需要管理员登录)",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--from", o->from, "起始日期 (YYYY-MM-DD)");
            sub.add("--to", o->to, "截至日期 (YYYY-MM-DD)");
            sub.add("--by", o->by, "只列出这个用户的操作");
        },
        [o](Context& c) {
            if (!logInForCommand(c, *o)) return;
            LogFilter filter;
            filter.user = o->by;
            double from = 0, to = 0;
            if (!readDateOption(c, "起始日期", o->from, from) ||
                !readDateOption(c, "截至日期", o->to, to))
                return;
            if (!o->from.empty()) filter.from = from;
            if (!o->to.empty()) filter.to = to;
            const auto log = runCaught([&] { return readActionLog(*c.store, c.session, filter); });
            if (!c.report(log)) return;
            for (const LogEntry& e : log.value.entries)
                c.out << momentText(e.time) << '\t' << e.user << '\t' << e.what << '\t' << e.detail
                      << '\n';
        });
}

}  // namespace tw::cli
