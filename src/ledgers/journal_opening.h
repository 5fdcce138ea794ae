#pragma once
// Where a cash or bank account's journal starts: the balance enabling gave the
// account (its "期初余额" row of 账库, dated the set's start day), and the
// balance the journal brings into a day: that opening plus every entry of
// the account dated before the day, summed in whole cents. The journal's
// list opens with it (listJournal), and an account's first entry follows it
// (journalBalance).

#include <string>

#include "shell/session.h"
#include "storage/outcome.h"

namespace tw {

// The account's balance when the set was enabled (debit side positive); 0
// when it had none. Refuses kUnreadableSet when 基本信息 or 账库 cannot be read.
double accountOpening(RecordStore& store, const Session& session, const std::string& account);

// The balance the account's journal brings into the day `day` (only the day
// counts). Refuses kUnreadableSet when a table it reads cannot be read.
double journalOpening(RecordStore& store, const Session& session, const std::string& account,
                      double day);

}  // namespace tw
