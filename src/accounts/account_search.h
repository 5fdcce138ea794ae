#pragma once
// The account picker's search box: accounts of every category found by the
// beginning of their code (account_codes.h), a fragment of their full name
// or pinyin initials (pinyin.h).

#include <string>
#include <string_view>
#include <vector>

#include "accounts/account_codes.h"
#include "accounts/chart.h"

namespace tw {

// The full names of the accounts that `query` finds: those whose code (in
// `codes`) begins with it — "1002" finds 银行存款 and its sub-accounts,
// "100201" 银行存款→工商银行 and what lies below it —, and those it finds by
// findByInitials on the full name, in this order:
//  1. leaves (accounts without sub-accounts) before parents — lines are
//     written on leaves;
//  2. within each, the account whose code is the query, then those whose
//     code begins with it, then a match at the start of a name part (the
//     whole name, or a part after "→"), then one inside a part: "gsyh" finds
//     银行存款→工商银行 by its own name first;
//  3. then the order of `accounts`.
// Blanks around the query do not count; an empty query finds nothing.
std::vector<std::string> searchAccounts(const std::vector<Account>& accounts,
                                        std::string_view query, const AccountCodes& codes = {});

}  // namespace tw
