#pragma once
// The --from/--to options of the commands that list the days of a range
// (ledger, search): two dates, by default the current period's month, as the
// windows open.

#include <string>

#include "cli/command.h"

namespace tw::cli {

struct DayRangeOptions {
    std::string from, to;  // as given; empty when not given
};

// Adds --from and --to.
void addDayRangeOptions(Options& sub, DayRangeOptions& options);

// The days given into `from` and `to`; one not given is the first (last) day
// of the logged-in period's month. A text that names no date is refused
// ("起始日期 不是有效的日期：…"): false then.
bool readDayRange(Context& c, const DayRangeOptions& options, double& from, double& to);

}  // namespace tw::cli
