#include "accounts/account_names.h"

#include <algorithm>
#include <map>

#include "accounts/chart.h"

namespace tw {

std::string topLevelAccount(std::string_view name) {
    return std::string(name.substr(0, name.find(kAccountSeparator)));
}

std::string parentOf(std::string_view name) {
    const auto at = name.rfind(kAccountSeparator);
    return at == std::string_view::npos ? std::string() : std::string(name.substr(0, at));
}

std::string ownNameOf(std::string_view name) {
    const auto at = name.rfind(kAccountSeparator);
    return std::string(at == std::string_view::npos ? name : name.substr(at + kAccountSeparator.size()));
}

std::string childName(std::string_view parent, std::string_view own) {
    if (parent.empty()) return std::string(own);
    std::string name(parent);
    name += kAccountSeparator;
    name += own;
    return name;
}

std::vector<std::string_view> nameParts(std::string_view name) {
    std::vector<std::string_view> parts;
    for (;;) {
        const auto at = name.find(kAccountSeparator);
        parts.push_back(name.substr(0, at));
        if (at == std::string_view::npos) return parts;
        name.remove_prefix(at + kAccountSeparator.size());
    }
}

bool isTopLevel(std::string_view name) { return name.find(kAccountSeparator) == std::string_view::npos; }

bool isOwnName(std::string_view text) { return isTopLevel(text); }

bool isBelow(std::string_view name, std::string_view ancestor) {
    return name.starts_with(ancestor) && name.substr(ancestor.size()).starts_with(kAccountSeparator);
}

std::vector<std::string> leavesAtOrBelow(const std::vector<std::string>& names,
                                         std::string_view account) {
    std::vector<std::string> leaves;
    for (const std::string& n : names) {
        if (n != account && !isBelow(n, account)) continue;
        const bool parent = std::any_of(names.begin(), names.end(),
                                        [&](const std::string& other) { return isBelow(other, n); });
        if (!parent) leaves.push_back(n);
    }
    return leaves;
}

bool inChart(const std::vector<Account>& chart, std::string_view name) {
    return std::any_of(chart.begin(), chart.end(), [&](const Account& a) { return a.name == name; });
}

bool hasSubAccounts(const std::vector<Account>& chart, std::string_view name) {
    return std::any_of(chart.begin(), chart.end(), [&](const Account& a) { return a.parent == name; });
}

std::vector<std::string> accountsAtOrBelow(const std::vector<Account>& chart,
                                           std::string_view name) {
    std::vector<std::string> out;
    for (const Account& a : chart)
        if (a.name == name || isBelow(a.name, name)) out.push_back(a.name);
    return out;
}

void NameTree::add(const std::string& name, const std::string& parent, std::size_t record) {
    if (parent.empty()) {
        roots.push_back(static_cast<int>(items.size()));
        items.push_back({name, {}, record});
        return;
    }
    const std::size_t n = items.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (items[i].name != parent) continue;
        items[i].children.push_back(static_cast<int>(items.size()));
        items.push_back({name, {}, record});
    }
}

namespace {

// Places `record` and, depth first, every record naming it as parent. A
// record named as an item on its own path would repeat that path without
// end: it is not placed there again.
void placeRecord(NameTree& tree, const std::vector<NamedRecord>& records,
                 const std::map<std::string_view, std::vector<std::size_t>>& childrenOf,
                 std::size_t record, std::vector<std::string_view>& path) {
    const std::string_view name = records[record].name;
    const int item = static_cast<int>(tree.items.size());
    tree.items.push_back({std::string(name), {}, record});
    const auto children = childrenOf.find(name);
    if (children == childrenOf.end()) return;
    path.push_back(name);
    for (const std::size_t child : children->second) {
        if (std::find(path.begin(), path.end(), records[child].name) != path.end()) continue;
        tree.items[item].children.push_back(static_cast<int>(tree.items.size()));
        placeRecord(tree, records, childrenOf, child, path);
    }
    path.pop_back();
}

}  // namespace

NameTree buildNameTree(const std::vector<NamedRecord>& records, EarlyChildren early) {
    NameTree tree;
    if (early == EarlyChildren::Hidden) {
        for (std::size_t i = 0; i < records.size(); ++i)
            tree.add(std::string(records[i].name), std::string(records[i].parent), i);
        return tree;
    }
    std::map<std::string_view, std::vector<std::size_t>> childrenOf;
    for (std::size_t i = 0; i < records.size(); ++i)
        if (!records[i].parent.empty()) childrenOf[records[i].parent].push_back(i);
    std::vector<std::string_view> path;
    for (std::size_t i = 0; i < records.size(); ++i) {
        if (!records[i].parent.empty()) continue;
        tree.roots.push_back(static_cast<int>(tree.items.size()));
        placeRecord(tree, records, childrenOf, i, path);
    }
    return tree;
}

}  // namespace tw
