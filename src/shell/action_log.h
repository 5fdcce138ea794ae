#pragma once
// 上机日志: who did what in a set, and when. Each set keeps it in a table of
// its own (上机日志.edb, with the set password), one record per entry: 时间
// (the day number with the time of day as its fraction), 用户名, 操作 and
// 内容. The program only ever appends to it: no window or command changes or
// deletes an entry.
//
// An entry is written by the operation it records, inside that operation's
// action (logAction): an action that does not commit leaves no entry, and an
// entry that cannot be written fails the whole action with the disk message.
// What has no action of its own writes its entry in one made for it
// (recordOnItsOwn):
//   - a login to work from the login window or the login command (登录), and
//     every failed login (登录失败, under the name as typed); a login stands
//     when its entry cannot be written, the reason kept in the outcome's
//     detail (shell/login.h);
//   - a backup, once its archive is in place, likewise (backUpOpenSet,
//     shell/backup.h);
//   - a restore, into the restored set before it is put in place: the old set
//     stays without the entry, or the restored one comes with it. A restore
//     of the same set keeps the set's own log (shell/backup.h): no entry is
//     ever taken out.
// A set made before the log existed gets it at its first login
// (ensureActionLog); until then it has no entries.
//
// Reading the log (readActionLog) is for administrators. A set without the
// file has no entries; anything else at its name that is not the table
// refuses (kUnreadableSet), as every table of a set that cannot be read.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

// 操作 of the entries.
namespace logged {
inline constexpr const char* kLogin = "登录";
inline constexpr const char* kLoginFailed = "登录失败";
inline constexpr const char* kVoucherAdded = "新建凭证";
inline constexpr const char* kVoucherDeleted = "删除凭证";
inline constexpr const char* kVoucherRenumbered = "凭证改号";
inline constexpr const char* kVouchersSorted = "凭证排序";
inline constexpr const char* kReviewed = "审核凭证";
inline constexpr const char* kReviewUndone = "撤销审核";
inline constexpr const char* kAllReviewed = "全部审核";
inline constexpr const char* kAllReviewsUndone = "全部撤销审核";
inline constexpr const char* kPosted = "登账";
inline constexpr const char* kPostingUndone = "撤销登账";
inline constexpr const char* kClosed = "结账";
inline constexpr const char* kCloseUndone = "撤销结账";
inline constexpr const char* kPairSaved = "设置结转损益";
inline constexpr const char* kPairDeleted = "删除结转损益";
inline constexpr const char* kOpeningChanged = "修改期初余额";
inline constexpr const char* kSetEnabled = "启用套账";
inline constexpr const char* kUserAdded = "新建用户";
inline constexpr const char* kPasswordChanged = "修改密码";
inline constexpr const char* kOptionChanged = "修改套账选项";
inline constexpr const char* kBackedUp = "备份";
inline constexpr const char* kRestored = "恢复";
inline constexpr const char* kReportWritten = "编辑报表";
}  // namespace logged

struct LogEntry {
    double time = 0;     // 时间: day number, the time of day as its fraction
    std::string user;    // 用户名
    std::string what;    // 操作
    std::string detail;  // 内容
    bool operator==(const LogEntry&) const = default;
};

// This moment, as 时间 holds it (local time, to the second).
double currentMoment();
// "2013-3-1 09:05:03"
std::string momentText(double moment);

// Appends `entry` to the log of the set in `folder`, whose tables carry
// `setPassword`, inside the caller's action; the log is made when nothing is
// at its name. Texts are cut to what their fields hold, at a character's end,
// with a character GBK cannot hold written "?" and a control character as a
// blank: an entry never fails on its text.
void appendLogEntry(RecordStore& store, const std::filesystem::path& folder,
                    const std::string& setPassword, const LogEntry& entry);
// An entry of the open set, now, by the logged-in user, inside the caller's
// action. Refuses when no set is open.
void logAction(RecordStore& store, const Session& session, const std::string& what,
               const std::string& detail = {});
// Makes the open set's log, inside the caller's action, when nothing is at
// its name; leaves whatever is there.
void ensureActionLog(RecordStore& store, const Session& session);
// `entry` appended in an action of its own (none may be open in `store`).
Outcome recordOnItsOwn(RecordStore& store, const std::filesystem::path& folder,
                       const std::string& setPassword, const LogEntry& entry);

struct LogFilter {
    std::string user;               // only this user's entries; empty: everybody's
    std::optional<double> from, to;  // days, both included; none: no bound
};

struct ActionLog {
    std::vector<LogEntry> entries;   // the entries the filter lets through, in order
    std::vector<std::string> users;  // every user the log names, by first entry
};

// The open set's log through `filter`. Refuses kNoPermission unless an
// administrator is logged in, and a log that cannot be read.
ActionLog readActionLog(RecordStore& store, const Session& session, const LogFilter& filter);

}  // namespace tw
