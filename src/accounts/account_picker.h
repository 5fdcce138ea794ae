#pragma once
// What the chart window remembers between openings for the program's run,
// and what its callers read when it returns as a picker.

#include <string>

namespace tw {

// The chart of accounts as a picker.
struct AccountPicker {
    // Full name of the account last selected in any tree; empty when nothing is
    // selected. The caller takes it as the chosen account.
    std::string selectedAccount;
    // 上级科目 and 科目级别 of the last selection made in the program run. A
    // cleared selection keeps them: 增加同级科目 adds beside that account.
    std::string selectedParent;
    int selectedLevel = 0;
    // The visible tab, 1 (资产类) to 5 (损益类).
    int category = 1;
    // The window was ended by picking (double-click or a pick button).
    bool picked = false;
};

}  // namespace tw
