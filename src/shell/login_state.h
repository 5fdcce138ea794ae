#pragma once
// Who is logged in to which account set: the one record every window reads.
// It holds the login only; what a window or command is doing stays with it.

#include <memory>
#include <string>

namespace tw {

struct SetLock;

inline constexpr const char* kLoggedOutTitle = "Tallowick    尚未登陆、请选择套帐！";
inline constexpr const char* kStartTitle = "Tallowick";

struct LoginState {
    bool loggedIn = false;
    std::string setName;      // folder name of the open set
    std::string setPassword;  // password of the set's working tables
    std::string companyName;
    std::string userName;
    int permission = 0;  // 1 administrator, 2 ordinary user, 0 nobody
    double period = 0;   // current accounting period (day number; year and month count)
    // The lock of the set this process works on (shell/set_lock.h), taken
    // before the login and let go at logout; copies of the login share it.
    std::shared_ptr<SetLock> setLock;

    // Clears the set, company, user and permission and the logged-in flag,
    // and lets go of the set's lock.
    void logout();
};

// "Tallowick  会计期间：2012年3月   用户：张三  某某公司"
std::string mainWindowTitle(const LoginState& login);

}  // namespace tw
