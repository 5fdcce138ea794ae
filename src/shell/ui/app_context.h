#pragma once
// What every window is handed: the program's state and the way to talk to the user.

#include <functional>

#include "shell/session.h"
#include "shell/ui/prompter.h"

class QWidget;

namespace tw {

struct AppContext {
    Session& session;
    Prompter& prompter;
    // Opens the opening-balance window modally over the given window, after the
    // login of a set that is not enabled yet. Empty: nothing to open.
    std::function<void(QWidget*)> openOpeningBalances{};
    // Rebuilds the main window's title from the login state. Empty: no main window.
    std::function<void()> refreshTitle{};
};

}  // namespace tw
