#pragma once
// The options the journal commands share (journal, journal import): the cash
// or bank account and the two days of the listing, both required, as the
// journal window asks for them.

#include <string>

#include "cli/command.h"
#include "cli/set_login.h"
#include "ledgers/journal.h"

namespace tw::cli {

struct JournalOptions : SetLogin {
    std::string account, from, to;  // as given; empty when not given
};

// Adds --account, --from and --to (the set and login options are the
// command's own).
void addJournalOptions(Options& sub, JournalOptions& options);

// The request the options name. A day not given, or a text that names no
// date, is refused ("起始日期不是有效的日期 (YYYY-MM-DD)：…"): false then.
// The account is taken as given.
bool readJournalRequest(Context& c, const JournalOptions& options, JournalRequest& request);

}  // namespace tw::cli
