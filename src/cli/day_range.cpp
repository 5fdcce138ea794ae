#include "cli/day_range.h"

#include "storage/dates.h"

namespace tw::cli {

void addDayRangeOptions(Options& sub, DayRangeOptions& options) {
    sub.add("--from", options.from, "起始日期 (YYYY-MM-DD，默认本期第一天)");
    sub.add("--to", options.to, "截至日期 (YYYY-MM-DD，默认本期最后一天)");
}

bool readDayRange(Context& c, const DayRangeOptions& options, double& from, double& to) {
    from = firstDayOfMonth(c.session.login.period);
    to = lastDayOfMonth(c.session.login.period);
    return readDateOption(c, "起始日期", options.from, from) &&
           readDateOption(c, "截至日期", options.to, to);
}

}  // namespace tw::cli
