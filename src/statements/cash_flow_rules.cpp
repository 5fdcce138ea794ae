#include "statements/cash_flow_rules.h"

#include <fstream>
#include <sstream>
#include <system_error>

#include "accounts/account_names.h"
#include "statements/statement_rules.h"
#include "storage/file_swap.h"
#include "storage/outcome.h"

namespace tw {

namespace fs = std::filesystem;

namespace {

struct DefaultRule {
    const char* account;
    int in, out;
    const char* follows;
};

// The usual table of small-business programs over the template chart.
const DefaultRule kDefaults[] = {
    {"主营业务收入", 1, 1, ""},   {"其他业务收入", 1, 1, ""}, {"应收账款", 1, 1, ""},
    {"应收票据", 1, 1, ""},       {"预收账款", 1, 1, ""},     {"材料采购", 3, 3, ""},
    {"在途物资", 3, 3, ""},       {"原材料", 3, 3, ""},       {"库存商品", 3, 3, ""},
    {"周转材料", 3, 3, ""},       {"委托加工物资", 3, 3, ""}, {"生产成本", 3, 3, ""},
    {"制造费用", 3, 3, ""},       {"主营业务成本", 3, 3, ""}, {"其他业务成本", 3, 3, ""},
    {"应付账款", 3, 3, ""},       {"应付票据", 3, 3, ""},     {"预付账款", 3, 3, ""},
    {"应付职工薪酬", 4, 4, ""},   {"应交税费", 2, 5, "1、3、10、12"},
    {"税金及附加", 2, 5, ""},     {"所得税费用", 2, 5, ""},   {"短期投资", 8, 11, ""},
    {"长期债券投资", 8, 11, ""},  {"长期股权投资", 8, 11, ""}, {"投资收益", 9, 9, ""},
    {"固定资产", 10, 12, ""},     {"在建工程", 10, 12, ""},   {"工程物资", 10, 12, ""},
    {"无形资产", 10, 12, ""},     {"固定资产清理", 10, 12, ""}, {"长期待摊费用", 10, 12, ""},
    {"短期借款", 14, 16, ""},     {"长期借款", 14, 16, ""},   {"应付利息", 2, 17, ""},
    {"财务费用→利息费用", 2, 17, ""}, {"实收资本", 15, 15, ""}, {"资本公积", 15, 15, ""},
    {"应付利润", 2, 18, ""},      {"利润分配", 2, 18, ""},    {"管理费用", 2, 6, ""},
    {"销售费用", 2, 6, ""},       {"财务费用", 2, 6, ""},     {"其他应收款", 2, 6, ""},
    {"其他应付款", 2, 6, ""},     {"营业外收入", 2, 6, ""},   {"营业外支出", 2, 6, ""},
};

const char* const kCashAccounts = "现金 + 银行存款 + 其他货币资金";

const char* const kHeader =
    "# 现金流量项目：现金流量表（会小企03表）的取数，一行一条，各栏以制表符分隔。\n"
    "# 以“#”开头的行是说明。\n"
    "# “现金科目”一行列出现金科目（含下级科目），以“ + ”连接；现金科目之间的收付不是现金流量。\n"
    "# 其余各行是对方科目：科目全名、收到现金时计入的行次（收）、支付现金时计入的行次（付），\n"
    "# 可再加一栏“随同”。科目含下级科目，下级科目另有一行时按下级科目的。\n"
    "# 凭证收到的现金按贷方各对方科目的金额比例分摊，支付的现金按借方各对方科目的金额比例分摊。\n"
    "# 行次只能是第1到6、8到12、14到18行。第1、2、8、9、10、14、15行是收到的现金，其余是\n"
    "# 支付的现金；支付现金计入收到现金的行时减少该行（如退款），反之亦然。\n"
    "# 随同：以“、”分隔的行次。同一凭证另有对方科目计入这些行时，本科目随其中金额最大的\n"
    "# 一个计入同一行（如销售或购进货物时的增值税）。\n"
    "# 没有列出的对方科目，收到现金计入第2行，支付现金计入第6行，报表会注明是哪些科目。\n"
    "# 删除本文件后，程序下次启动时会重新写出。\n";

std::string trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\r'; };
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return std::string(s);
}

// The parts of `text` between the separators, trimmed.
std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> out;
    std::string::size_type from = 0;
    for (;;) {
        const auto at = text.find(separator, from);
        out.push_back(trim(std::string_view(text).substr(from, at - from)));
        if (at == std::string::npos) return out;
        from = at + separator.size();
    }
}

// A line of the statement cash goes to, from its text; 0 for anything else.
int flowLine(const std::string& text) {
    if (text.empty() || text.size() > 2) return 0;
    int n = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return isFlowLine(n) ? n : 0;
}

std::string lineFault(const std::string& what, const std::string& text) {
    return what + "“" + text + "”应为现金流量表第1到6、8到12、14到18行之一";
}

std::string joined(const std::vector<std::string>& parts, const std::string& separator) {
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : separator) + p;
    return out;
}

}  // namespace

bool isFlowLine(int line) {
    return (line >= 1 && line <= 6) || (line >= 8 && line <= 12) || (line >= 14 && line <= 18);
}

bool isInflowLine(int line) {
    return line == 1 || line == 2 || line == 8 || line == 9 || line == 10 || line == 14 || line == 15;
}

std::string CashFlowRules::cashAccountOf(std::string_view account) const {
    for (const std::string& cash : cashAccounts)
        if (account == cash || isBelow(account, cash)) return cash;
    return {};
}

const CashFlowRule* CashFlowRules::ruleOf(std::string_view account) const {
    for (std::string name(account); !name.empty(); name = parentOf(name))
        if (const auto it = byAccount.find(name); it != byAccount.end()) return &counters[it->second];
    return nullptr;
}

std::optional<CashFlowRules> parseCashFlowRules(std::string_view text, std::string* error) {
    CashFlowRules rules;
    std::map<std::string, int> counterAt;  // account → file line
    int cashAt = 0;
    const auto fail = [&](int at, const std::string& why) -> std::optional<CashFlowRules> {
        if (error) *error = at ? "第" + std::to_string(at) + "行：" + why : why;
        return std::nullopt;
    };
    std::istringstream in{std::string(text)};
    std::string raw;
    for (int at = 1; std::getline(in, raw); ++at) {
        const std::string line = trim(raw);
        if (line.empty() || line.starts_with("#")) continue;
        const std::vector<std::string> f = split(line, "\t");
        if (f[0] == kCashAccountsKey) {
            if (cashAt) return fail(at, std::string("“") + kCashAccountsKey + "”重复");
            if (f.size() != 2 || f[1].empty())
                return fail(at, std::string("“") + kCashAccountsKey + "”之后应是以“ + ”连接的现金科目");
            cashAt = at;
            for (const std::string& name : split(f[1], " + ")) {
                if (name.empty()) return fail(at, "现金科目中有空的一项");
                for (const std::string& other : rules.cashAccounts) {
                    if (other == name) return fail(at, "现金科目“" + name + "”重复");
                    if (isBelow(name, other) || isBelow(other, name))
                        return fail(at, "现金科目“" + name + "”与“" + other + "”一个在另一个之下");
                }
                rules.cashAccounts.push_back(name);
            }
            continue;
        }
        if (f.size() < 3 || f.size() > 4)
            return fail(at, "应有以制表符分隔的三栏或四栏：对方科目、收、付、随同");
        CashFlowRule r;
        r.account = f[0];
        if (r.account.empty()) return fail(at, "对方科目不能为空");
        if (counterAt.count(r.account)) return fail(at, "对方科目“" + r.account + "”重复");
        r.in = flowLine(f[1]);
        if (!r.in) return fail(at, lineFault("收", f[1]));
        r.out = flowLine(f[2]);
        if (!r.out) return fail(at, lineFault("付", f[2]));
        if (f.size() == 4 && !f[3].empty())
            for (const std::string& part : split(f[3], "、")) {
                const int n = flowLine(part);
                if (!n) return fail(at, lineFault("随同", part));
                r.follows.push_back(n);
            }
        counterAt[r.account] = at;
        rules.byAccount[r.account] = rules.counters.size();
        rules.counters.push_back(std::move(r));
    }
    if (!cashAt) return fail(0, std::string("没有“") + kCashAccountsKey + "”一行");
    for (const CashFlowRule& r : rules.counters)
        if (rules.isCash(r.account))
            return fail(counterAt.at(r.account), "“" + r.account + "”是现金科目，不能作为对方科目");
    return rules;
}

const std::string& defaultCashFlowRulesText() {
    static const std::string text = [] {
        std::string t = std::string(kHeader) + kCashAccountsKey + "\t" + kCashAccounts + "\n";
        for (const DefaultRule& r : kDefaults) {
            t += std::string(r.account) + "\t" + std::to_string(r.in) + "\t" + std::to_string(r.out);
            if (*r.follows) t += std::string("\t") + r.follows;
            t += "\n";
        }
        return t;
    }();
    return text;
}

bool writeCashFlowRulesIfMissing(const fs::path& dataDir) {
    return writeRulesFileIfMissing(dataDir / fs::u8path(kCashFlowRulesFile),
                                   defaultCashFlowRulesText());
}

CashFlowRules loadCashFlowRules(const fs::path& dataDir) {
    const std::string name = std::string("现金流量项目文件“") + kCashFlowRulesFile + "”";
    const std::string text = readRulesFile(dataDir / fs::u8path(kCashFlowRulesFile), name, "现金流量项目");
    std::string error;
    auto rules = parseCashFlowRules(text, &error);
    if (!rules) refuse(name + "有误，" + error + "。请改正，或删除它后重新启动程序。", error);
    return std::move(*rules);
}

std::vector<std::string> cashFlowRuleLines(const CashFlowRules& rules) {
    std::vector<std::string> out{std::string(kCashAccountsKey) + "\t" + joined(rules.cashAccounts, " + ")};
    for (const CashFlowRule& r : rules.counters) {
        std::vector<std::string> follows;
        for (int n : r.follows) follows.push_back(std::to_string(n));
        std::string line = r.account + "\t" + std::to_string(r.in) + "\t" + std::to_string(r.out);
        if (!follows.empty()) line += "\t" + joined(follows, "、");
        out.push_back(std::move(line));
    }
    return out;
}

}  // namespace tw
