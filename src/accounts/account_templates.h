#pragma once
// What the template tables of the accounts hold, for the directory's first
// start: a standard small-business chart of accounts (会计科目), the pairs
// carrying every top-level profit-and-loss account into 本年利润 (结转科目),
// and the common summary phrases (常用摘要) by category.

#include <map>
#include <string>

#include "storage/templates.h"

namespace tw {

// The records of those three template tables, by file name.
std::map<std::string, TemplateRecords> accountTemplateRecords();

}  // namespace tw
