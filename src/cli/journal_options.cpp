#include "cli/journal_options.h"

#include "storage/dates.h"

namespace tw::cli {

void addJournalOptions(Options& sub, JournalOptions& options) {
    sub.add("--account", options.account, "现金或银行存款科目的全名");
    sub.add("--from", options.from, "起始日期 (YYYY-MM-DD)");
    sub.add("--to", options.to, "截至日期 (YYYY-MM-DD)");
}

bool readJournalRequest(Context& c, const JournalOptions& options, JournalRequest& request) {
    if (options.from.empty()) {
        c.refuse("请给出起始日期 (--from YYYY-MM-DD)。");
        return false;
    }
    if (options.to.empty()) {
        c.refuse("请给出截至日期 (--to YYYY-MM-DD)。");
        return false;
    }
    request.account = options.account;
    if (!parseDate(options.from, request.from)) {
        c.refuse("起始日期不是有效的日期 (YYYY-MM-DD)：" + options.from);
        return false;
    }
    if (!parseDate(options.to, request.to)) {
        c.refuse("截至日期不是有效的日期 (YYYY-MM-DD)：" + options.to);
        return false;
    }
    return true;
}

}  // namespace tw::cli
