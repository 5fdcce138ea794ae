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
}

std::string mainWindowTitle(const LoginState& login) {
    if (!login.loggedIn && login.userName.empty()) return kLoggedOutTitle;
    const Ymd p = toYmd(login.period);
    return "Tallowick  会计期间：" + std::to_string(p.year) + "年" + std::to_string(p.month) +
           "月   用户：" + login.userName + "  " + login.companyName;
}

}  // namespace tw
