#pragma once
// Commands that work inside an account set log in first, as the login window
// would, with the user and password given on the command line.

#include <string>

#include "cli/command.h"
#include "shell/login_state.h"
#include "shell/session.h"

namespace tw::cli {

// Fills `login` for `user` of `set`; on a refusal prints the login window's
// message and returns false.
bool logInForCommand(Context& ctx, LoginState& login, const std::string& set,
                     const std::string& user, const std::string& password, bool deleteMode = false);

// The options of a command that works inside an account set: SET --user U --password P.
struct SetLogin {
    std::string set, user, password;
};
void addSetLoginOptions(CLI::App& sub, SetLogin& options);

// Logs in as the options say; fills the session's data directory and login
// state. On a refusal prints the login window's message and returns false.
bool logInForCommand(Context& ctx, Session& session, const SetLogin& options);

// After the chart changed from the command line: a set not yet enabled gets its
// opening list refreshed, as 科目设置 does in the opening-balance window. A
// failure is printed as a refusal.
void refreshOpeningAfterChartChange(Context& ctx, const Session& session);

}  // namespace tw::cli
