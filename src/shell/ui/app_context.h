#pragma once
// What every window is handed: the program's state, the way to talk to the
// user, and what the picker windows remember between openings for the run.

#include <functional>
#include <string>

#include "accounts/account_picker.h"
#include "accounts/phrase_picker.h"
#include "platform/ui/prompter.h"
#include "shell/session.h"

class QWidget;

namespace tw {

struct VoucherPageTexts;

struct AppContext {
    Session& session;
    Prompter& prompter;
    // The chart window's selection and tab, and the summary window's choice,
    // kept while the program runs. Callers get a picker's result as its
    // return value, not from here.
    AccountPicker chart{};
    PhrasePicker phrases{};
    // Opens the opening-balance window modally over the given window, after the
    // login of a set that is not enabled yet. Empty: nothing to open.
    std::function<void(QWidget*)> openOpeningBalances{};
    // Opens the statements window modally over the given window (the report
    // window's 财务报表 button). Empty: nothing to open.
    std::function<void(QWidget*)> openStatements{};
    // Rebuilds the main window's title from the login state. Empty: no main window.
    std::function<void()> refreshTitle{};
    // 审撤全部's mode for the program's run: "审核", "撤销", or empty (= "审核").
    std::string reviewAllMode{};
    // Prints the voucher page shown in the voucher window over it (locate mode
    // with the print flag). Empty: no printing is installed and nothing prints.
    std::function<void(QWidget* voucherWindow, const VoucherPageTexts& page)> printVoucherPage{};
};

}  // namespace tw
