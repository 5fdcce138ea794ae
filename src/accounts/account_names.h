#pragma once
// Full account names: the own names of the levels from the top down, joined
// by "→" ("应交税费→应交增值税"). Everything that splits, joins or compares
// names by their levels asks here, and the tree the chart and phrase windows
// show is built here.
//
// Two ways tell a sub-account, and each caller keeps the one it has always
// used: by the name (isBelow: it begins with the other name and "→"), or by
// the chart's record (hasSubAccounts: some record names it as 上级科目).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tw {

struct Account;  // a record of the chart (chart.h)

inline constexpr std::string_view kAccountSeparator = "→";

// The part before the first separator (the whole name when it has none).
std::string topLevelAccount(std::string_view name);
// The name one level up: the part before the last separator; empty at the top.
std::string parentOf(std::string_view name);
// The part after the last separator (the whole name at the top).
std::string ownNameOf(std::string_view name);
// The full name of `own` under `parent`; `own` alone when `parent` is empty.
std::string childName(std::string_view parent, std::string_view own);
// The own names of the levels, from the top down ("" parts included).
std::vector<std::string_view> nameParts(std::string_view name);
// A name without the separator: a top-level account's.
bool isTopLevel(std::string_view name);
// Whether a typed text may be an own name: it holds no separator.
bool isOwnName(std::string_view text);
// Whether `name` lies strictly below `ancestor`: it begins with `ancestor`
// and the separator. "银行存款二" is not below "银行存款".
bool isBelow(std::string_view name, std::string_view ancestor);

// Calls visit(key, value) for the entry of `name` and then those below it,
// of a map keyed by full names in the order of std::string.
template <class Map, class Visit>
void forEachAtOrBelow(const Map& byName, const std::string& name, Visit&& visit) {
    if (const auto own = byName.find(name); own != byName.end()) visit(own->first, own->second);
    // The names below sort together from here; a name like "银行存款A"
    // sorts between "银行存款" and them.
    for (auto it = byName.lower_bound(name + std::string(kAccountSeparator));
         it != byName.end() && isBelow(it->first, name); ++it)
        visit(it->first, it->second);
}

// Of `names`, those at or below `account` that no other of `names` lies
// below, in the order given.
std::vector<std::string> leavesAtOrBelow(const std::vector<std::string>& names,
                                         std::string_view account);

// ---- on the chart's records ----

// Whether some record has this full name.
bool inChart(const std::vector<Account>& chart, std::string_view name);
// Whether some record names it as its 上级科目.
bool hasSubAccounts(const std::vector<Account>& chart, std::string_view name);
// The full names of the records at or below `name` (isBelow), in table order.
std::vector<std::string> accountsAtOrBelow(const std::vector<Account>& chart,
                                           std::string_view name);

// ---- the tree of names ----

// Records of (name, parent) in table order as a tree: a record without a
// parent is a root item; any other is a child of every item whose text is
// its parent. Items carry the index of the record they show.
struct NameTree {
    struct Item {
        std::string name;
        std::vector<int> children;  // indexes into items
        std::size_t record = 0;     // the index of its record in the list it was built from
    };
    std::vector<Item> items;
    std::vector<int> roots;

    // Adds the next record as the chart and phrase windows do: under the
    // items already in the tree only, so a record whose parent comes later
    // in the table is not shown.
    void add(const std::string& name, const std::string& parent, std::size_t record);
};

// How a tree built at once takes a record that comes before its parent's.
enum class EarlyChildren {
    Hidden,  // not shown, as NameTree::add does; items in table order
    Placed,  // under its parent all the same; items depth first, each
             // followed by what lies below it, children in table order
};

struct NamedRecord {
    std::string_view name, parent;
};
NameTree buildNameTree(const std::vector<NamedRecord>& records, EarlyChildren early);

// The same for any records with a name and a parent member.
template <class Record>
NameTree buildNameTree(const std::vector<Record>& records, std::string Record::*name,
                       std::string Record::*parent, EarlyChildren early) {
    std::vector<NamedRecord> named;
    named.reserve(records.size());
    for (const Record& r : records) named.push_back({r.*name, r.*parent});
    return buildNameTree(named, early);
}

}  // namespace tw
