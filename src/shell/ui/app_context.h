#pragma once
// What every window is handed: the program's state and the way to talk to the user.

#include "shell/session.h"
#include "shell/ui/prompter.h"

namespace tw {

struct AppContext {
    Session& session;
    Prompter& prompter;
};

}  // namespace tw
