#include "shell/login_state.h"

#include "storage/dates.h"

namespace tw {

void LoginState::logout() {
    setPassword.clear();
    companyName.clear();
    permission = 0;
    userName.clear();
    setName.clear();
    loggedIn = false;
    setLock.reset();
}

std::string mainWindowTitle(const LoginState& login) {
    if (!login.loggedIn && login.userName.empty()) return kLoggedOutTitle;
    return "Tallowick  会计期间：" + YearMonth::of(login.period).text() + "   用户：" +
           login.userName + "  " + login.companyName;
}

}  // namespace tw
