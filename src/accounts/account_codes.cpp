#include "accounts/account_codes.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <set>

#include "storage/outcome.h"
#include "storage/schemas.h"

namespace tw {

namespace {

// The top-level accounts of the small-business standard (小企业会计准则), by
// the template's name and, where it differs, the standard's own.
struct StandardAccount {
    const char* code;
    const char* name;
};
constexpr StandardAccount kStandard[] = {
    {"1001", "现金"},         {"1001", "库存现金"},       {"1002", "银行存款"},
    {"1012", "其他货币资金"}, {"1101", "短期投资"},       {"1121", "应收票据"},
    {"1122", "应收账款"},     {"1123", "预付账款"},       {"1131", "应收股利"},
    {"1132", "应收利息"},     {"1221", "其他应收款"},     {"1401", "材料采购"},
    {"1402", "在途物资"},     {"1403", "原材料"},         {"1404", "材料成本差异"},
    {"1405", "库存商品"},     {"1408", "委托加工物资"},   {"1411", "周转材料"},
    {"1501", "长期债券投资"}, {"1511", "长期股权投资"},   {"1601", "固定资产"},
    {"1602", "累计折旧"},     {"1604", "在建工程"},       {"1605", "工程物资"},
    {"1606", "固定资产清理"}, {"1701", "无形资产"},       {"1702", "累计摊销"},
    {"1801", "长期待摊费用"}, {"1901", "待处理财产损溢"}, {"2001", "短期借款"},
    {"2201", "应付票据"},     {"2202", "应付账款"},       {"2203", "预收账款"},
    {"2211", "应付职工薪酬"}, {"2221", "应交税费"},       {"2231", "应付利息"},
    {"2232", "应付利润"},     {"2241", "其他应付款"},     {"2501", "长期借款"},
    {"2701", "长期应付款"},   {"3001", "实收资本"},       {"3002", "资本公积"},
    {"3101", "盈余公积"},     {"3103", "本年利润"},       {"3104", "利润分配"},
    {"4001", "生产成本"},     {"4101", "制造费用"},       {"4301", "研发支出"},
    {"5001", "主营业务收入"}, {"5051", "其他业务收入"},   {"5111", "投资收益"},
    {"5301", "营业外收入"},   {"5401", "主营业务成本"},   {"5402", "其他业务成本"},
    {"5403", "税金及附加"},   {"5601", "销售费用"},       {"5602", "管理费用"},
    {"5603", "财务费用"},     {"5711", "营业外支出"},     {"5801", "所得税费用"},
};

constexpr std::size_t kTopDigits = 4;
constexpr std::size_t kLevelDigits = 2;

bool allDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// `number` written with `width` digits, leading zeros kept.
std::string digits(int number, std::size_t width) {
    std::string text = std::to_string(number);
    return std::string(width - std::min(width, text.size()), '0') + text;
}

// The category's first digit ('1' … '5'); 0 for a number outside 1..5.
char categoryDigit(int category) {
    return category >= 1 && category <= 5 ? static_cast<char>('0' + category) : 0;
}

std::set<std::string> takenCodes(const AccountCodes& codes) {
    std::set<std::string> taken;
    for (const auto& [name, code] : codes)
        if (!code.empty()) taken.insert(code);
    return taken;
}

// The next free code of `prefix` and `width` more digits (never all zeros):
// after the highest one taken, else the lowest free one; empty when all are taken.
std::string nextFree(const std::set<std::string>& taken, const std::string& prefix,
                     std::size_t width) {
    int limit = 1;
    for (std::size_t i = 0; i < width; ++i) limit *= 10;
    int highest = 0;
    for (auto it = taken.lower_bound(prefix); it != taken.end() && it->starts_with(prefix); ++it)
        if (it->size() == prefix.size() + width && allDigits(*it))
            highest = std::max(highest, std::stoi(it->substr(prefix.size())));
    for (int n = highest + 1; n < limit; ++n)
        if (!taken.count(prefix + digits(n, width))) return prefix + digits(n, width);
    for (int n = 1; n < highest; ++n)
        if (!taken.count(prefix + digits(n, width))) return prefix + digits(n, width);
    return {};
}

std::string nextFreeCode(const AccountCodes& codes, const std::set<std::string>& taken,
                         const std::string& parent, int category) {
    if (parent.empty()) {
        const char digit = categoryDigit(category);
        return digit ? nextFree(taken, std::string(1, digit), kTopDigits - 1) : std::string();
    }
    const std::string parentCode = codeOf(codes, parent);
    return parentCode.empty() ? std::string() : nextFree(taken, parentCode, kLevelDigits);
}

// Opens 科目编码 and makes it current; nullptr when the set has none yet.
// Whatever else is at its name refuses, as any table of the set that cannot
// be read: the codes it held are not known.
std::unique_ptr<SetTable> openCodes(RecordStore& store, const Session& session) {
    if (session.login.setName.empty()) refuse(kUnreadableSet, "no set is open");
    if (!openTableIn(store, setFolder(session.dataDir, session.login.setName), file::kAccountCodes,
                     session.login.setPassword)) {
        std::error_code ec;
        if (store.lastOpenFailure() == RecordStore::OpenFailure::Missing &&
            std::filesystem::symlink_status(tablePath(session, file::kAccountCodes), ec).type() ==
                std::filesystem::file_type::not_found)
            return nullptr;
        openSetTable(store, session, file::kAccountCodes);  // refuses with the reason
    }
    return SetTable::adopt(store, session, file::kAccountCodes);
}

}  // namespace

std::string standardCode(std::string_view name) {
    for (const StandardAccount& a : kStandard)
        if (name == a.name) return a.code;
    return {};
}

std::string codeOf(const AccountCodes& codes, const std::string& name) {
    const auto found = codes.find(name);
    return found == codes.end() ? std::string() : found->second;
}

std::string codeAndName(const std::string& code, const std::string& name) {
    return code.empty() ? name : code + " " + name;
}

AccountCodes assignAccountCodes(const std::vector<Account>& chart, const AccountCodes& stored) {
    AccountCodes codes;
    std::set<std::string> taken;
    const auto give = [&](const Account& a, const std::string& code) {
        if (code.empty() || codes.count(a.name) || !taken.insert(code).second) return;
        codes[a.name] = code;
    };
    for (const Account& a : chart) give(a, codeOf(stored, a.name));
    // 1. the standard's own, each in its category only;
    for (const Account& a : chart) {
        const std::string code = a.parent.empty() ? standardCode(a.name) : std::string();
        if (!code.empty() && code.front() == categoryDigit(categoryNumber(a.category))) give(a, code);
    }
    // 2. the other top-level accounts;
    for (const Account& a : chart)
        if (a.parent.empty() && !codes.count(a.name))
            give(a, nextFreeCode(codes, taken, {}, categoryNumber(a.category)));
    // 3. the sub-accounts, parents first.
    const NameTree tree =
        buildNameTree(chart, &Account::name, &Account::parent, EarlyChildren::Placed);
    for (const NameTree::Item& item : tree.items) {
        const Account& a = chart[item.record];
        if (!a.parent.empty() && !codes.count(a.name))
            give(a, nextFreeCode(codes, taken, a.parent, 0));
    }
    return codes;
}

AccountCodes storedAccountCodes(RecordStore& store, const Session& session) {
    AccountCodes codes;
    const auto table = openCodes(store, session);
    if (!table) return codes;
    const Table& t = table->table();
    const int code = t.position(field::kAccountCode), name = t.position(field::kAccountName);
    for (const Record& r : t.select()) codes.emplace(r[name].text(), r[code].text());
    return codes;
}

AccountCodes accountCodes(RecordStore& store, const Session& session,
                          const std::vector<Account>& chart) {
    return assignAccountCodes(chart, storedAccountCodes(store, session));
}

std::string accountCode(RecordStore& store, const Session& session, const std::string& name) {
    return codeOf(accountCodes(store, session, loadAccounts(store, session)), name);
}

void storeAccountCodes(RecordStore& store, const Session& session, const AccountCodes& codes) {
    auto table = openCodes(store, session);
    if (!table) {
        const auto path = tablePath(session, file::kAccountCodes);
        if (!store.createTable(path, accountCodesSchema()) || !store.openTable(path, ""))
            throw StoreError("cannot make " + pathText(path));
        table = SetTable::adopt(store, session, file::kAccountCodes);
        store.setTablePassword(session.login.setPassword);
    }
    std::map<std::string, std::string> byCode;
    for (const auto& [name, code] : codes)
        if (!code.empty()) byCode.emplace(code, name);
    store.clearTable();
    for (const auto& [code, name] : byCode) store.appendRecord({code, name});
}

void giveAccountCodes(RecordStore& store, const Session& session) {
    if (openCodes(store, session)) return;
    storeAccountCodes(store, session, assignAccountCodes(loadAccounts(store, session), {}));
}

std::string proposedCode(const AccountCodes& codes, const std::string& parent, int category) {
    return nextFreeCode(codes, takenCodes(codes), parent, category);
}

std::string proposeAccountCode(RecordStore& store, const Session& session,
                               const std::string& parent, int category) {
    return proposedCode(accountCodes(store, session, loadAccounts(store, session)), parent, category);
}

std::string codeRefusal(const AccountCodes& codes, const std::string& parent, int category,
                        const std::string& code) {
    if (parent.empty()) {
        const char digit = categoryDigit(category);
        if (!digit || !allDigits(code) || code.size() != kTopDigits || code.front() != digit ||
            code.substr(1) == "000")
            return std::string("一级科目的编码应为以") + (digit ? digit : '?') + "开头的4位数字（" +
                   categoryText(category) + "）！";
    } else {
        const std::string parentCode = codeOf(codes, parent);
        if (parentCode.empty()) return "上级科目 " + parent + " 没有科目编码！";
        if (!allDigits(code) || code.size() != parentCode.size() + kLevelDigits ||
            !code.starts_with(parentCode) || code.ends_with("00"))
            return "科目编码应为上级科目的编码 " + parentCode + " 加两位数字！";
    }
    for (const auto& [name, taken] : codes)
        if (taken == code) return "科目编码 " + code + " 已被 " + name + " 使用！";
    return {};
}

std::vector<Account> inCodeOrder(const std::vector<Account>& chart, const AccountCodes& codes) {
    std::vector<Account> ordered = chart;
    std::stable_sort(ordered.begin(), ordered.end(), [&](const Account& x, const Account& y) {
        const std::string cx = codeOf(codes, x.name), cy = codeOf(codes, y.name);
        if (cx.empty() != cy.empty()) return cy.empty();
        return cx < cy;
    });
    return ordered;
}

CodedChart loadCodedChart(RecordStore& store, const Session& session) {
    CodedChart chart;
    const std::vector<Account> accounts = loadAccounts(store, session);
    chart.codes = accountCodes(store, session, accounts);
    chart.accounts = inCodeOrder(accounts, chart.codes);
    return chart;
}

}  // namespace tw
