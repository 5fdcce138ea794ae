#pragma once
// Commands that work inside an account set log in first, as the login window
// would, with the user and password given on the command line.

#include <string>

#include "cli/command.h"
#include "shell/login.h"

namespace tw::cli {

// The options of a command that works inside an account set: SET --user U --password P.
struct SetLogin {
    std::string set, user, password;
};
// `setRequired` false: the command checks for the set itself (a command with
// commands under it, whose own SET follows theirs).
void addSetLoginOptions(Options& sub, SetLogin& options, bool setRequired = true);

// Takes the set (shell/set_lock.h: refused with kExitDirectoryInUse when
// another process has it), then logs in to it as `request` says. On a
// refusal prints the login window's message and returns false.
bool takeSetAndLogIn(Context& ctx, const std::string& set, const LoginRequest& request);

// Takes the set (shell/set_lock.h: refused with kExitDirectoryInUse when
// another process has it), logs in to `set` as `user`, for `purpose`, and
// fills the context's session; a login to work brings an older set up to
// date first, as the login window does (shell/login.h). On a refusal prints the login window's
// message and returns false.
bool logInForCommand(Context& ctx, const std::string& set, const std::string& user,
                     const std::string& password, LoginPurpose purpose = LoginPurpose::Work);
inline bool logInForCommand(Context& ctx, const SetLogin& o) {
    return logInForCommand(ctx, o.set, o.user, o.password);
}

// The same for `restore`, which replaces the set: a set about to be replaced
// is not brought up to date (a restore that is stopped leaves it as it was).
bool logInToReplace(Context& ctx, const SetLogin& o);

// The same for the commands that keep or read the books (vouchers, review,
// posting, closing, carry-forward, ledgers, journal, reports, search): a set
// that is not enabled yet is refused (kSetNotEnabled) once the login is done,
// before the command touches anything.
bool logInToBooks(Context& ctx, const SetLogin& o);

}  // namespace tw::cli
