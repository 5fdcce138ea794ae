#include "statements/statement_rules.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <map>
#include <set>
#include <sstream>
#include <system_error>

#include "accounts/account_names.h"
#include "storage/file_swap.h"
#include "storage/outcome.h"
#include "storage/paths.h"
#include "storage/schemas.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

struct DefaultRule {
    const char* statement;
    const char* line;  // "" for a caption
    const char* item;
    const char* side;
    const char* formula;
};

// 会小企01表 and 会小企02表 (小企业会计准则, 2013) over the template chart, in
// which 现金 stands for 库存现金. Accounts no line names land in the
// catch-all lines (成本类 in 存货), and the statement says which.
const DefaultRule kDefaults[] = {
    {"资产负债表", "", "流动资产：", "借", ""},
    {"资产负债表", "1", "货币资金", "借", "现金 + 银行存款 + 其他货币资金"},
    {"资产负债表", "2", "短期投资", "借", "短期投资"},
    {"资产负债表", "3", "应收票据", "借", "应收票据"},
    {"资产负债表", "4", "应收账款", "借", "借余(应收账款) + 借余(预收账款)"},
    {"资产负债表", "5", "预付账款", "借", "借余(预付账款) + 借余(应付账款)"},
    {"资产负债表", "6", "应收股利", "借", "应收股利"},
    {"资产负债表", "7", "应收利息", "借", "应收利息"},
    {"资产负债表", "8", "其他应收款", "借", "其他应收款"},
    {"资产负债表", "9", "存货", "借",
     "材料采购 + 在途物资 + 原材料 + 材料成本差异 + 生产成本 + 制造费用 + 库存商品 + "
     "委托加工物资 + 周转材料 + 其余(成本类)"},
    {"资产负债表", "10", "　其中：原材料", "借", "原材料"},
    {"资产负债表", "11", "　　　　在产品", "借", "生产成本"},
    {"资产负债表", "12", "　　　　库存商品", "借", "库存商品"},
    {"资产负债表", "13", "　　　　周转材料", "借", "周转材料"},
    {"资产负债表", "14", "其他流动资产", "借", "其余(资产类)"},
    {"资产负债表", "15", "流动资产合计", "借",
     "行1 + 行2 + 行3 + 行4 + 行5 + 行6 + 行7 + 行8 + 行9 + 行14"},
    {"资产负债表", "", "非流动资产：", "借", ""},
    {"资产负债表", "16", "长期债券投资", "借", ""},
    {"资产负债表", "17", "长期股权投资", "借", "长期股权投资"},
    {"资产负债表", "18", "固定资产原价", "借", "固定资产"},
    {"资产负债表", "19", "减：累计折旧", "借", "累计折旧"},
    {"资产负债表", "20", "固定资产账面价值", "借", "行18 - 行19"},
    {"资产负债表", "21", "在建工程", "借", "在建工程"},
    {"资产负债表", "22", "工程物资", "借", ""},
    {"资产负债表", "23", "固定资产清理", "借", "固定资产清理"},
    {"资产负债表", "24", "生产性生物资产", "借", ""},
    {"资产负债表", "25", "无形资产", "借", "无形资产 - 累计摊销"},
    {"资产负债表", "26", "开发支出", "借", "研发支出"},
    {"资产负债表", "27", "长期待摊费用", "借", "长期待摊费用"},
    {"资产负债表", "28", "其他非流动资产", "借", "待处理财产损溢"},
    {"资产负债表", "29", "非流动资产合计", "借",
     "行16 + 行17 + 行20 + 行21 + 行22 + 行23 + 行24 + 行25 + 行26 + 行27 + 行28"},
    {"资产负债表", "30", "资产总计", "借", "行15 + 行29"},
    {"资产负债表", "", "流动负债：", "贷", ""},
    {"资产负债表", "31", "短期借款", "贷", "短期借款"},
    {"资产负债表", "32", "应付票据", "贷", "应付票据"},
    {"资产负债表", "33", "应付账款", "贷", "贷余(应付账款) + 贷余(预付账款)"},
    {"资产负债表", "34", "预收账款", "贷", "贷余(预收账款) + 贷余(应收账款)"},
    {"资产负债表", "35", "应付职工薪酬", "贷", "应付职工薪酬"},
    {"资产负债表", "36", "应交税费", "贷", "应交税费"},
    {"资产负债表", "37", "应付利息", "贷", "应付利息"},
    {"资产负债表", "38", "应付利润", "贷", "应付利润"},
    {"资产负债表", "39", "其他应付款", "贷", "其他应付款"},
    {"资产负债表", "40", "其他流动负债", "贷", "其余(负债类)"},
    {"资产负债表", "41", "流动负债合计", "贷",
     "行31 + 行32 + 行33 + 行34 + 行35 + 行36 + 行37 + 行38 + 行39 + 行40"},
    {"资产负债表", "", "非流动负债：", "贷", ""},
    {"资产负债表", "42", "长期借款", "贷", "长期借款"},
    {"资产负债表", "43", "长期应付款", "贷", "长期应付款"},
    {"资产负债表", "44", "递延收益", "贷", ""},
    {"资产负债表", "45", "其他非流动负债", "贷", ""},
    {"资产负债表", "46", "非流动负债合计", "贷", "行42 + 行43 + 行44 + 行45"},
    {"资产负债表", "47", "负债合计", "贷", "行41 + 行46"},
    {"资产负债表", "", "所有者权益（或股东权益）：", "贷", ""},
    {"资产负债表", "48", "实收资本（或股本）", "贷", "实收资本"},
    {"资产负债表", "49", "资本公积", "贷", "资本公积"},
    {"资产负债表", "50", "盈余公积", "贷", "盈余公积"},
    {"资产负债表", "51", "未分配利润", "贷", "本年利润 + 利润分配 + 其余(权益类) + 其余(损益类)"},
    {"资产负债表", "52", "所有者权益（或股东权益）合计", "贷", "行48 + 行49 + 行50 + 行51"},
    {"资产负债表", "53", "负债和所有者权益（或股东权益）总计", "贷", "行47 + 行52"},

    {"利润表", "1", "一、营业收入", "贷", "主营业务收入 + 其他业务收入"},
    {"利润表", "2", "减：营业成本", "借", "主营业务成本 + 其他业务成本"},
    {"利润表", "3", "　　税金及附加", "借", "税金及附加"},
    {"利润表", "4", "　　其中：消费税", "借", "税金及附加→消费税"},
    {"利润表", "5", "　　　　　营业税", "借", "税金及附加→营业税"},
    {"利润表", "6", "　　　　　城市维护建设税", "借", "税金及附加→城市维护建设税"},
    {"利润表", "7", "　　　　　资源税", "借", "税金及附加→资源税"},
    {"利润表", "8", "　　　　　土地增值税", "借", "税金及附加→土地增值税"},
    {"利润表", "9", "　　　　　城镇土地使用税、房产税、车船税、印花税", "借",
     "税金及附加→城镇土地使用税 + 税金及附加→房产税 + 税金及附加→车船税 + 税金及附加→印花税"},
    {"利润表", "10", "　　　　　教育费附加、矿产资源补偿费、排污费", "借",
     "税金及附加→教育费附加 + 税金及附加→矿产资源补偿费 + 税金及附加→排污费"},
    {"利润表", "11", "　　销售费用", "借", "销售费用"},
    {"利润表", "12", "　　其中：商品维修费", "借", "销售费用→商品维修费"},
    {"利润表", "13", "　　　　　广告费和业务宣传费", "借",
     "销售费用→广告费和业务宣传费 + 销售费用→广告费 + 销售费用→业务宣传费"},
    {"利润表", "14", "　　管理费用", "借", "管理费用"},
    {"利润表", "15", "　　其中：开办费", "借", "管理费用→开办费"},
    {"利润表", "16", "　　　　　业务招待费", "借", "管理费用→业务招待费"},
    {"利润表", "17", "　　　　　研究费用", "借", "管理费用→研究费用"},
    {"利润表", "18", "　　财务费用", "借", "财务费用"},
    {"利润表", "19", "　　其中：利息费用（收入以“-”号填列）", "借", "财务费用→利息费用"},
    {"利润表", "20", "加：投资收益（损失以“-”号填列）", "贷", "投资收益"},
    {"利润表", "21", "二、营业利润（亏损以“-”号填列）", "贷",
     "行1 - 行2 - 行3 - 行11 - 行14 - 行18 + 行20"},
    {"利润表", "22", "加：营业外收入", "贷", "营业外收入 + 其余(损益类,贷方)"},
    {"利润表", "23", "　　其中：政府补助", "贷", "营业外收入→政府补助"},
    {"利润表", "24", "减：营业外支出", "借", "营业外支出 + 其余(损益类,借方)"},
    {"利润表", "25", "　　其中：坏账损失", "借", "营业外支出→坏账损失"},
    {"利润表", "26", "　　　　　无法收回的长期债券投资损失", "借", "营业外支出→无法收回的长期债券投资损失"},
    {"利润表", "27", "　　　　　无法收回的长期股权投资损失", "借", "营业外支出→无法收回的长期股权投资损失"},
    {"利润表", "28", "　　　　　自然灾害等不可抗力因素造成的损失", "借",
     "营业外支出→自然灾害等不可抗力因素造成的损失"},
    {"利润表", "29", "　　　　　税收滞纳金", "借", "营业外支出→税收滞纳金"},
    {"利润表", "30", "三、利润总额（亏损总额以“-”号填列）", "贷", "行21 + 行22 - 行24"},
    {"利润表", "31", "减：所得税费用", "借", "所得税费用"},
    {"利润表", "32", "四、净利润（净亏损以“-”号填列）", "贷", "行30 - 行31"},
};

const char* const kHeader =
    "# 报表项目：资产负债表（会小企01表）和利润表（会小企02表）的各行与取数，一行一条，\n"
    "# 五栏以制表符分隔：报表、行次、项目、方向、取数。以“#”开头的行是说明。\n"
    "# 行次为空的是栏目标题（如“流动资产：”），没有金额。\n"
    "# 方向为“借”或“贷”：资产负债表中“借”的项目在左半（资产），“贷”的在右半\n"
    "# （负债和所有者权益）；“其余(…)”按这个方向取数。\n"
    "# 取数是用“ + ”“ - ”（符号两边各一个空格）连起来的各项：\n"
    "#   科目全名            该科目（含下级科目）按本身余额方向的期末余额（资产负债表）\n"
    "#                       或本期发生额（利润表，不含结转损益）\n"
    "#   借余(科目)          该科目各末级科目的借方余额之和\n"
    "#   贷余(科目)          该科目各末级科目的贷方余额之和\n"
    "#   行N                 本表第N行的金额\n"
    "#   其余(类别)          本表取数中没有提到的该类一级科目，报表会注明是哪些科目\n"
    "#   其余(类别,借方)     同上，只取余额方向为借方（或贷方）的科目\n"
    "# 同一笔金额只计一次：某项目取了下级科目，而同一合计中另一项目取其上级科目或“其余(…)”时，\n"
    "# 后者只取上级科目中未被取走的部分；不计入任何合计的“其中”项目不影响其他项目。\n"
    "# 取数为空的项目没有金额。删除本文件后，程序下次启动时会重新写出。\n";

std::string trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> out;
    std::string::size_type from = 0;
    for (;;) {
        const auto tab = line.find('\t', from);
        out.push_back(trim(std::string_view(line).substr(from, tab - from)));
        if (tab == std::string::npos) return out;
        from = tab + 1;
    }
}

// "行12" → 12; 0 for anything else.
int lineReference(const std::string& term) {
    const std::string prefix = "行";
    if (!term.starts_with(prefix) || term.size() == prefix.size() || term.size() > prefix.size() + 2)
        return 0;
    int n = 0;
    for (char c : term.substr(prefix.size())) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The text inside "NAME(…)" or "NAME（…）"; nullopt when `term` is not that.
std::optional<std::string> inside(const std::string& term, const std::string& name) {
    for (const auto& [open, close] : {std::pair<std::string, std::string>{"(", ")"}, {"（", "）"}}) {
        const std::string head = name + open;
        if (term.starts_with(head) && term.ends_with(close) && term.size() > head.size() + close.size())
            return trim(term.substr(head.size(), term.size() - head.size() - close.size()));
    }
    return std::nullopt;
}

bool isCategory(const std::string& text) {
    for (const char* c : kCategories)
        if (text == c) return true;
    return false;
}

// One term, or why it cannot be read.
std::optional<RuleTerm> parseTerm(const std::string& text, int sign, std::string& why) {
    RuleTerm t;
    t.sign = sign;
    if (text.empty()) {
        why = "取数中有空的一项";
        return std::nullopt;
    }
    if (const int n = lineReference(text)) {
        t.kind = RuleTerm::Kind::Line;
        t.line = n;
        return t;
    }
    if (auto name = inside(text, "借余")) {
        t.kind = RuleTerm::Kind::DebitSides;
        t.name = *name;
        return t;
    }
    if (auto name = inside(text, "贷余")) {
        t.kind = RuleTerm::Kind::CreditSides;
        t.name = *name;
        return t;
    }
    if (auto args = inside(text, "其余")) {
        t.kind = RuleTerm::Kind::Rest;
        std::string category = *args;
        for (const char* comma : {",", "，"})
            if (const auto at = category.find(comma); at != std::string::npos) {
                t.side = trim(category.substr(at + std::string(comma).size()));
                category = trim(category.substr(0, at));
            }
        if (!isCategory(category)) {
            why = "“" + text + "”中的类别应为资产类、负债类、权益类、成本类或损益类";
            return std::nullopt;
        }
        if (!t.side.empty() && t.side != "借方" && t.side != "贷方") {
            why = "“" + text + "”中的方向应为借方或贷方";
            return std::nullopt;
        }
        t.name = category;
        return t;
    }
    if (text.find_first_of("()") != std::string::npos || text.find("（") != std::string::npos) {
        why = "不认识取数“" + text + "”";
        return std::nullopt;
    }
    t.name = text;
    return t;
}

// The terms of a formula: split at " + " and " - ". Each sign's next place
// is looked for again only once the reading has passed it, so a formula is
// read in one pass however long it is.
std::optional<std::vector<RuleTerm>> parseFormula(const std::string& formula, std::string& why) {
    std::vector<RuleTerm> terms;
    if (formula.empty()) return terms;
    constexpr auto none = std::string::npos;
    int sign = 1;
    std::string::size_type from = 0, plus = formula.find(" + "), minus = formula.find(" - ");
    for (;;) {
        if (plus != none && plus < from) plus = formula.find(" + ", from);
        if (minus != none && minus < from) minus = formula.find(" - ", from);
        const std::string::size_type at = std::min(plus, minus);
        const int next = at != none && at == minus ? -1 : 1;
        auto term = parseTerm(trim(std::string_view(formula).substr(from, at - from)), sign, why);
        if (!term) return std::nullopt;
        terms.push_back(std::move(*term));
        if (at == none) return terms;
        sign = next;
        from = at + 3;
    }
}

// True when the lines' 行N terms run in a circle; `line` is then one on it.
bool hasCircle(const std::vector<LineRule>& rules, int& line) {
    std::map<int, const LineRule*> byLine;
    for (const LineRule& r : rules)
        if (r.line) byLine[r.line] = &r;
    std::map<int, int> state;  // 1 on the path, 2 done
    std::function<bool(int)> visit = [&](int n) {
        if (state[n] == 2) return false;
        if (state[n] == 1) {
            line = n;
            return true;
        }
        state[n] = 1;
        for (const RuleTerm& t : byLine.at(n)->terms)
            if (t.kind == RuleTerm::Kind::Line && visit(t.line)) return true;
        state[n] = 2;
        return false;
    };
    for (const auto& [n, rule] : byLine)
        if (visit(n)) return true;
    return false;
}

}  // namespace

std::optional<StatementRules> parseStatementRules(std::string_view text, std::string* error) {
    StatementRules rules;
    std::map<std::pair<int, int>, int> seen;  // (statement, 行次) → file line
    const auto fail = [&](int at, const std::string& why) -> std::optional<StatementRules> {
        if (error) *error = at ? "第" + std::to_string(at) + "行：" + why : why;
        return std::nullopt;
    };
    std::istringstream in{std::string(text)};
    std::string raw;
    for (int at = 1; std::getline(in, raw); ++at) {
        const std::string line = trim(raw);
        if (line.empty() || line.starts_with("#")) continue;
        const std::vector<std::string> f = splitTabs(line);
        if (f.size() < 3 || f.size() > 5)
            return fail(at, "应有以制表符分隔的五栏：报表、行次、项目、方向、取数");
        LineRule r;
        if (f[0] == kBalanceSheetName) r.statement = StatementKind::BalanceSheet;
        else if (f[0] == kIncomeStatementName) r.statement = StatementKind::IncomeStatement;
        else return fail(at, "不认识的报表“" + f[0] + "”");
        if (!f[1].empty()) {
            r.line = lineReference("行" + f[1]);
            if (r.line < 1) return fail(at, "行次“" + f[1] + "”应为1到99的整数");
            const auto key = std::make_pair(static_cast<int>(r.statement), r.line);
            if (seen.count(key)) return fail(at, "行次" + f[1] + "重复");
            seen[key] = at;
        }
        r.item = f[2];
        if (r.item.empty()) return fail(at, "项目不能为空");
        const std::string side = f.size() > 3 ? f[3] : "";
        if (side != "借" && side != "贷") return fail(at, "方向应为“借”或“贷”");
        r.debitSide = side == "借";
        r.formula = f.size() > 4 ? f[4] : "";
        if (!r.line && !r.formula.empty()) return fail(at, "栏目标题没有行次，不能取数");
        std::string why;
        auto terms = parseFormula(r.formula, why);
        if (!terms) return fail(at, why);
        r.terms = std::move(*terms);
        auto& list = r.statement == StatementKind::BalanceSheet ? rules.balanceSheet : rules.incomeStatement;
        list.push_back(std::move(r));
    }
    // Where each rule came from, for the checks across lines.
    std::map<std::pair<int, int>, int>& from = seen;
    for (const auto* list : {&rules.balanceSheet, &rules.incomeStatement})
        for (const LineRule& r : *list)
            for (const RuleTerm& t : r.terms)
                if (t.kind == RuleTerm::Kind::Line &&
                    !from.count({static_cast<int>(r.statement), t.line}))
                    return fail(from.at({static_cast<int>(r.statement), r.line}),
                                "本表没有取数中的“行" + std::to_string(t.line) + "”");
    for (const auto* list : {&rules.balanceSheet, &rules.incomeStatement}) {
        int line = 0;
        if (!list->empty() && hasCircle(*list, line))
            return fail(from.at({static_cast<int>(list->front().statement), line}),
                        "各行的取数互相引用，算不出金额");
    }
    if (rules.balanceSheet.empty() || rules.incomeStatement.empty())
        return fail(0, "没有资产负债表或利润表的项目");
    return rules;
}

const std::string& defaultStatementRulesText() {
    static const std::string text = [] {
        std::string t = kHeader;
        for (const DefaultRule& r : kDefaults)
            t += std::string(r.statement) + "\t" + r.line + "\t" + r.item + "\t" + r.side + "\t" +
                 r.formula + "\n";
        return t;
    }();
    return text;
}

// A device never ends and a FIFO waits for a writer: the type is looked at
// before the file is opened, and again on what was opened (without waiting,
// for a FIFO put in its place meanwhile); the reading stops past the limit
// whatever the size said.
std::string readRulesFile(const fs::path& path, const std::string& name, const std::string& contents) {
    const std::string missing = name + "不见了，请重新启动程序，程序会重新写出它。";
    const std::string notRegular = name + "不是普通文件，无法读取。请删除它后重新启动程序，程序会重新写出它。";
    const std::string tooLarge = name + "超过" + std::to_string(kMaxStatementRulesBytes / (1024 * 1024)) +
                                 "MB，不像是" + contents + "。请改正，或删除它后重新启动程序。";
    const std::string unreadable = name + "无法读取，请检查它的权限，或删除它后重新启动程序。";
    const auto failed = [&](const std::string& message, const char* what) {
        const int code = errno;
        refuse(code == ENOENT ? missing : message,
               std::string(what) + " " + pathText(path) + ": " + std::strerror(code));
    };
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) failed(unreadable, "stat");
    if (!S_ISREG(info.st_mode)) refuse(notRegular, "not a regular file: " + pathText(path));
    if (info.st_size > kMaxStatementRulesBytes) refuse(tooLarge, std::to_string(info.st_size) + " bytes");

    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) failed(unreadable, "open");
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    if (::fstat(fd, &info) != 0) failed(unreadable, "fstat");
    if (!S_ISREG(info.st_mode)) refuse(notRegular, "not a regular file once opened: " + pathText(path));
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed(unreadable, "read");
        if (n == 0) return text;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() > static_cast<std::size_t>(kMaxStatementRulesBytes))
            refuse(tooLarge, "grew past the limit while read");
    }
}

bool writeRulesFileIfMissing(const fs::path& path, const std::string& text) {
    std::error_code ec;
    if (fs::exists(path, ec)) return true;
    return writeThenRename(
        path,
        [&](const fs::path& tmp) {
            std::ofstream out(tmp, std::ios::binary);
            out << text;
            out.close();
            return static_cast<bool>(out);
        },
        Existing::Keep);
}

bool writeStatementRulesIfMissing(const fs::path& dataDir) {
    return writeRulesFileIfMissing(dataDir / fs::u8path(kStatementRulesFile),
                                   defaultStatementRulesText());
}

StatementRules loadStatementRules(const fs::path& dataDir) {
    const fs::path path = dataDir / fs::u8path(kStatementRulesFile);
    const std::string name = std::string("报表项目文件“") + kStatementRulesFile + "”";
    std::string error;
    const std::string text = readRulesFile(path, name, "报表项目");
    auto rules = parseStatementRules(text, &error);
    if (!rules) refuse(name + "有误，" + error + "。请改正，或删除它后重新启动程序。", error);
    return std::move(*rules);
}

std::vector<std::string> namedTopLevels(const std::vector<LineRule>& rules) {
    std::set<std::string> names;
    for (const LineRule& r : rules)
        for (const RuleTerm& t : r.terms)
            if ((t.kind == RuleTerm::Kind::Account || t.kind == RuleTerm::Kind::DebitSides ||
                 t.kind == RuleTerm::Kind::CreditSides) &&
                isTopLevel(t.name))
                names.insert(t.name);
    return {names.begin(), names.end()};
}

std::string ruleLine(const LineRule& r) {
    return std::string(r.statement == StatementKind::BalanceSheet ? kBalanceSheetName
                                                                   : kIncomeStatementName) +
           "\t" + (r.line ? std::to_string(r.line) : std::string()) + "\t" + r.item + "\t" +
           (r.debitSide ? "借" : "贷") + "\t" + r.formula;
}

}  // namespace tw
