#pragma once
// Logging in to an account set.
//
// Opening the login window for a set (beginLogin): nobody is logged in (user
// name and permission cleared with the flag); read
// `基本信息` with the fixed password into the login state (set password,
// company, period, set name), then list the names of `用户` in table order.
// An unreadable `基本信息` refuses with "无法读出套账数据！  请选择套账后重试！"
// (the window closes); an unreadable `用户` with "无法读出套账数据！  请检查后重试！".
//
// Logging in (logIn): the first record of `用户` whose name is the chosen name
// must hold the hash of the typed password (an empty password matches an empty
// box); otherwise "密码 或 用户名 不正确！". On success the state holds the
// user and permission; outside delete mode a set that is not enabled yet asks
// for the opening-balance window.

#include <filesystem>
#include <string>
#include <vector>

#include "shell/login_state.h"

namespace tw {

namespace fs = std::filesystem;

inline constexpr const char* kBasicInfoUnreadable = "无法读出套账数据！  请选择套账后重试！";
inline constexpr const char* kUsersUnreadable = "无法读出套账数据！  请检查后重试！";
inline constexpr const char* kLoginRefused = "密码 或 用户名 不正确！";

struct BasicInfo {
    std::string companyName;
    double startDate = 0;
    std::string setPassword;
    bool enabled = false;
    double period = 0;
};

struct BasicInfoOutcome {
    bool ok = false;
    std::string message;
    BasicInfo info;
};
BasicInfoOutcome readBasicInfo(const fs::path& dataDir, const std::string& setName);

struct BeginLoginOutcome {
    bool ok = false;             // false: show `message`
    bool closeWindow = false;    // the set cannot be read at all
    std::string message;
    std::vector<std::string> userNames;  // for `用户名选择`, in table order
};
BeginLoginOutcome beginLogin(const fs::path& dataDir, LoginState& login,
                             const std::string& setName);

struct LoginOutcome {
    bool ok = false;
    std::string message;
    bool openOpeningBalances = false;  // logged in to a set that is not enabled yet
};
// Checks login.chosenUserName and `typedPassword` against the open set.
LoginOutcome logIn(const fs::path& dataDir, LoginState& login, const std::string& typedPassword);

}  // namespace tw
