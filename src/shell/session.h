#pragma once
// The program's process-wide state, owned by main() and handed to every window
// and operation that needs it (no globals).

#include <filesystem>

#include "accounts/account_picker.h"
#include "accounts/phrase_picker.h"
#include "shell/login_state.h"

namespace tw {

struct Session {
    std::filesystem::path dataDir;  // the account-set directory
    LoginState login;
    std::string pickedUserName;  // last name picked in the user list window
    AccountPicker accountPicker;  // the chart window as a picker
    PhrasePicker phrasePicker;    // the summary window as a picker
};

}  // namespace tw
