#pragma once
// Logging in to an account set. The program and the commands take the set
// first (takeSet, shell/set_lock.h), which rolls back its interrupted actions.
//
// Opening the login window for a set (beginLogin): nobody is logged in (user
// name and permission cleared with the flag); a set with a table whose
// interrupted commit cannot be rolled back yet (it cannot be written) is
// refused, naming the file, since its tables are out of step; read `基本信息` with the fixed
// password into the login state (set password, company, period, set name),
// then list the names of `用户` in table order.
// An unreadable `基本信息` refuses with "无法读出套账数据！  请选择套账后重试！"
// (the window closes); an unreadable `用户` with "无法读出套账数据！  请检查后重试！".
//
// Logging in (logIn): who logs in and why come with the call (LoginRequest);
// the login state holds the login only. The first record of `用户` whose name
// is the request's user name must hold the hash of the typed password (an
// empty password matches an empty box); otherwise "密码 或 用户名 不正确！".
// On success the state holds the user and permission; a login to work in a
// set that is not enabled yet asks for the opening-balance window (the value
// is true), a login that authorises deleting the set never does.
//
// 上机日志 (shell/action_log.h): a refused login writes 登录失败 under the
// name as typed, whatever the login was for (a command's too: someone
// trying passwords shows); a login to work writes 登录 when the request asks
// it (the login window and the login command: every other command is a login
// of its own, and what it does is logged by itself), and otherwise only
// makes the log of a set that has none yet. Each is an action of its own; an
// entry that cannot be written changes no answer, its reason is kept in the
// outcome's detail.
//
// A login to work first brings a set made by an earlier version up to date,
// as the request says, in an action of its own. When that cannot be done (a
// table that cannot be read or written) the login is done all the same, the
// reason in the outcome's detail: the set stays as it was, the next login
// tries again, and whatever meets the table says so then — an administrator
// can still log in to restore the set.

#include <functional>
#include <string>
#include <vector>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

inline constexpr const char* kBasicInfoUnreadable = "无法读出套账数据！  请选择套账后重试！";
inline constexpr const char* kLoginRefused = "密码 或 用户名 不正确！";
// "套账文件“…/账库.edb”中有一次中断的操作无法复原，本套账暂不能使用！  请检查该文件能否写入后重试！"
std::string unrepairedTableMessage(const fs::path& table);

struct BasicInfo {
    std::string companyName;
    double startDate = 0;
    std::string setPassword;
    bool enabled = false;
    double period = 0;
};

// Reads 基本信息 of a set (the open set's, or any other folder of the
// directory); refuses with kBasicInfoUnreadable.
BasicInfo readBasicInfo(RecordStore& store, const fs::path& dataDir, const std::string& setName);
Result<BasicInfo> basicInfoOf(RecordStore& store, const fs::path& dataDir,
                              const std::string& setName);

// The names of the users of the open set, in table order.
std::vector<std::string> userNames(RecordStore& store, const Session& session);

// The value: the names for `用户名选择`.
Result<std::vector<std::string>> beginLogin(RecordStore& store, Session& session,
                                            const std::string& setName);
// Why a user logs in: to work in the set, or to authorise deleting it (the
// chooser's 删除, `set delete`).
enum class LoginPurpose { Work, DeleteSet };

// Who logs in, with the password as typed, and why.
struct LoginRequest {
    std::string userName;
    std::string password;
    LoginPurpose purpose = LoginPurpose::Work;
    bool recorded = false;  // a login to work writes 登录 in 上机日志
    // What a login to work brings an older set up to once the password is
    // right (its account codes: accounts/account_codes.h giveAccountCodes).
    // Empty: nothing.
    std::function<void(RecordStore&, const Session&)> bringUpToDate{};
};

// Checks the request against the set that beginLogin read. The value: the
// opening-balance window is to open.
Result<bool> logIn(RecordStore& store, Session& session, const LoginRequest& request);

// A login without the window (the commands): beginLogin for `setName`, then
// logIn, stopping at the first refusal.
Result<bool> logInTo(RecordStore& store, Session& session, const std::string& setName,
                     const LoginRequest& request);

// A name from the chooser or the command line that can only mean a folder
// directly inside the account-set directory.
bool isFolderName(const std::string& name);

}  // namespace tw
