// tallowick-cli cash-flow assign SET --user U --password P --month YYYY-MM --number N
//     [--line 行次=金额 …]
// Puts voucher N of the month on the cash-flow statement's lines given, in
// place of those its counter accounts name: 金额 as the line shows it
// (receipts on lines 1, 2, 8, 9, 10, 14, 15, payments on the others; a
// negative amount lowers its line). The amounts must add up to the voucher's
// cash movement; otherwise nothing is written and the difference is told.
// Without --line the assignment is taken back. Prints what was done.
#include <algorithm>
#include <cctype>

#include "cli/set_login.h"
#include "statements/cash_flow.h"
#include "storage/dates.h"
#include "storage/number_text.h"

namespace tw::cli {

namespace {

struct AssignOptions : SetLogin {
    std::string month;
    double number = 0;
    std::vector<std::string> lines;
};

// "3=120.50" into its line and amount; false, refused, for anything else.
bool readPart(Context& c, const std::string& text, std::pair<int, double>& part) {
    const auto equals = text.find('=');
    const std::string line = text.substr(0, equals);
    const bool digits = !line.empty() && line.size() <= 2 &&
                        std::all_of(line.begin(), line.end(), [](unsigned char ch) { return std::isdigit(ch); });
    if (equals == std::string::npos || !digits) {
        c.refuse("指定应写成 行次=金额：" + text);
        return false;
    }
    part.first = std::stoi(line);
    return readAmountOption(c, text.substr(equals + 1), part.second);
}

}  // namespace

void addCashFlowAssignCommand(Commands& commands) {
    auto o = std::make_shared<AssignOptions>();
    // Registered after `cash-flow`, whose statement command is the group it joins.
    commands.in("cash-flow", "现金流量表").add(
        "assign", "指定凭证的现金流量项目（不给 --line 则取消指定）",
        [o](Options& sub) {
            addSetLoginOptions(sub, *o);
            sub.add("--month", o->month, "凭证的月份 (YYYY-MM)").required();
            sub.add("--number", o->number, "凭证编号").required();
            sub.add("--line", o->lines, "行次=金额，可给多个");
        },
        [o](Context& c) {
            YearMonth month;
            if (!parseYearMonth(o->month, month)) return c.refuse("月份应写成 YYYY-MM：" + o->month);
            std::vector<std::pair<int, double>> parts;
            for (const std::string& text : o->lines) {
                std::pair<int, double> part;
                if (!readPart(c, text, part)) return;
                parts.push_back(part);
            }
            if (!logInToBooks(c, *o)) return;
            if (!c.report(runAction(*c.store, [&] { assignCashFlow(*c.store, c.session, month, o->number, parts); })))
                return;
            const std::string voucher = month.text() + "的凭证" + plainDecimal(o->number);
            if (parts.empty()) {
                c.out << voucher << "的现金流量指定已取消。\n";
                return;
            }
            c.out << voucher << "的现金流量已指定：";
            for (std::size_t i = 0; i < parts.size(); ++i)
                c.out << (i ? "，" : "") << "第" << parts[i].first << "行 " << twoDecimals(parts[i].second);
            c.out << "。\n";
        });
}

}  // namespace tw::cli
