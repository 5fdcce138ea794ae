#pragma once
// The account picker's search box: accounts of every category found by a
// fragment of their full name or by pinyin initials (pinyin.h).

#include <string>
#include <string_view>
#include <vector>

#include "accounts/chart.h"

namespace tw {

// The full names of the accounts that `query` finds (findByInitials on the
// full name), in this order:
//  1. leaves (accounts without sub-accounts) before parents — lines are
//     written on leaves;
//  2. within each, a match at the start of a name part (the whole name, or
//     a part after "→") before one inside a part: "gsyh" finds
//     银行存款→工商银行 by its own name first;
//  3. then table order.
// Blanks around the query do not count; an empty query finds nothing.
std::vector<std::string> searchAccounts(const std::vector<Account>& accounts,
                                        std::string_view query);

}  // namespace tw
